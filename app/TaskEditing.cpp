// Adding and editing tasks: the entry line, the task sheet, the edit panel
// that slides over the table, and the date and recurrence pop-ups.
//
// Editor modes live in hidden fields, as the windows were designed:
// bigEditWindowRow holds 999 for a new task or the row being edited,
// selectedCalendar says which date pop-up is open ("none", "main" for the
// edit panel, "edit" for the sheet), selectedRecWin whether the recurrence
// pop-up is ("none", "main").
#include "AppController.h"

#include "LumAttachedWindow.h"
#include "RecOptions.h"
#include "Transaction.h"
#include "ViewQuery.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <algorithm>
#include <functional>

namespace {

const QString newTaskMarker = QStringLiteral("999");
const QString popUpClosed = QStringLiteral("none");
const QString popUpMain = QStringLiteral("main");
const QString popUpEdit = QStringLiteral("edit");
constexpr qreal popUpDistance = 12.0;
constexpr int slideDuration = 250;

// Passes the events of one object to a function; the controller's own
// filter already serves the main window.
class EventHook : public QObject
{
public:
    EventHook(QObject *watched, std::function<bool(QEvent *)> handler)
        : QObject(watched)
        , handler_(std::move(handler))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override { return handler_(event); }

private:
    std::function<bool(QEvent *)> handler_;
};

// The check box beside a date picker turns the due date on (at the present
// moment) or off (the picker keeps its date for when it is turned on again).
void switchDueDate(const QCheckBox *hasDueDate, QDateTimeEdit *picker)
{
    if (hasDueDate->isChecked())
        picker->setDateTime(QDateTime::currentDateTime());
    picker->setEnabled(hasDueDate->isChecked());
}

// Written with exclusivity off: an exclusive radio button refuses to be
// switched off directly, and both may be off in a stored state.
void setRadioPair(QRadioButton *first, bool firstOn, QRadioButton *second, bool secondOn)
{
    first->setAutoExclusive(false);
    second->setAutoExclusive(false);
    first->setChecked(firstOn);
    second->setChecked(secondOn);
    first->setAutoExclusive(true);
    second->setAutoExclusive(true);
}

// The centre of a button in the coordinates of its window: where a pop-up's
// arrow points.
QPointF centreInWindow(const QWidget *button)
{
    return QRectF(button->mapTo(button->window(), QPoint(0, 0)), QSizeF(button->size())).center();
}

} // namespace

void AppController::connectEditingCommands()
{
    selectedCalendar->setText(popUpClosed);
    selectedRecWin->setText(popUpClosed);

    // Only Return adds a task: leaving the field with a half-typed title
    // must not.
    connect(taskField, &QLineEdit::returnPressed, this, command(&AppController::controlTextDidEndEditing));
    connect(bigEditWindowOK, &QPushButton::clicked, this, command(&AppController::newTaskOK));
    connect(bigEditWindowCancel, &QPushButton::clicked, this, command(&AppController::newTaskCancel));
    // Escape and the close button end the sheet as Cancel does.
    connect(bigEditWindow, &QDialog::rejected, this, command(&AppController::newTaskCancel));
    connect(table, &QAbstractItemView::doubleClicked, this, command(&AppController::doubleClickInTable));
    connect(editWindowSave, &QPushButton::clicked, this, command(&AppController::saveEditView));
    connect(editWindowCancel, &QPushButton::clicked, this, command(&AppController::cancelEditView));
    connect(editTaskField, &QLineEdit::returnPressed, this, command(&AppController::saveEditView));
    // clicked, not toggled: filling an editor sets the boxes and must not
    // reset the dates it has just shown.
    connect(bigEditWindowNoDueDate, &QCheckBox::clicked, this, command(&AppController::noDueDate));
    connect(Ui::MainWindow::noDueDate, &QCheckBox::clicked, this, command(&AppController::noDueDate2));
    connect(mainCalendarPop, &QToolButton::clicked, this, command(&AppController::popCalendarMain));
    connect(editCalendarPop, &QToolButton::clicked, this, command(&AppController::popCalendarEdit));
    connect(calendarPopOK, &QPushButton::clicked, this, command(&AppController::popCalendarEditOK));
    connect(btnShowRecWin, &QPushButton::clicked, this, command(&AppController::showRecWindow));
    connect(recType2, &QComboBox::currentTextChanged, this, command(&AppController::setRecType));
    connect(recWinOK, &QPushButton::clicked, this, command(&AppController::recWindowOK));
    connect(recWinCancel, &QPushButton::clicked, this, command(&AppController::recWindowCancel));

    // Table and panel share the content area without a layout, which would
    // fight the slide; they follow its size here instead.
    new EventHook(contentArea, [this](QEvent *event) {
        if (event->type() == QEvent::Resize)
            placeEditPanel();
        return false;
    });
    connect(table, &MyTableView::switchToEditView, this, command(&AppController::switchToEditView));
}

bool AppController::inCompletedView() const
{
    return selectedCatName->text() == QLatin1String(ViewQuery::completed);
}

std::optional<Item> AppController::taskBeingEdited(int primaryKey)
{
    // By key, not by row: the view may have changed while the editor was
    // open, and what was typed must still reach the task.
    Item task = Item::deferred(primaryKey, database_);
    task.hydrate();
    if (task.exists())
        return task;
    showError(QStringLiteral("The task you were editing no longer exists, so your changes were "
                             "not saved."));
    reloadView();
    return std::nullopt;
}

int AppController::addTask(const std::function<void(Item &)> &fill)
{
    // Without the transaction a write that fails (a full disk, a lock held
    // too long) would leave a blank task behind, one per try.
    Transaction transaction(database_);
    Item task = Item::insertNew(database_);
    fill(task);
    task.dehydrate();
    transaction.commit();
    return task.primaryKey();
}

void AppController::fillListNames(QComboBox *box) const
{
    box->clear();
    for (const Category &category : categories_)
        box->addItem(category.name());
    box->setEditText(QStringLiteral(""));
}

void AppController::showDueDate(
    const Item &task, QDateTimeEdit *picker, QCheckBox *hasDueDate) const
{
    // A completed task shows when it was done; nothing is saved there.
    if (inCompletedView()) {
        picker->setDateTime(task.startDate());
        return;
    }
    const bool due = Item::hasDueDate(task.endDate());
    picker->setDateTime(due ? task.endDate() : QDateTime::currentDateTime());
    picker->setEnabled(due);
    hasDueDate->setChecked(due);
}

// ---- The entry line ----

void AppController::controlTextDidEndEditing()
{
    // Taken whole as the title: no parsing, no trimming.
    const QString title = taskField->text();
    if (title.isEmpty())
        return;
    CalendarExport::Values copy;
    const int key = addTask([&](Item &task) {
        task.setAction(title);
        // With no list at all the task still gets a list name, the empty
        // one, and shows under "All Tasks".
        const QString list = currentCategoryName();
        task.setCategory(list.isNull() ? QStringLiteral("") : list);
        task.setImportance(QStringLiteral("5"));
        task.setEndDate(QDateTime::currentDateTime());
        copy = {title, task.category(), task.endDate(), task.importance(), {}};
    });
    calendar_.exportNewTask(key, copy);
    reloadView();
    taskField->clear();
}

// ---- The task sheet ----

void AppController::newTask()
{
    bigEditWindowAction->setText(QStringLiteral(""));
    bigEditWindow->setWindowTitle(QStringLiteral("Add New Task"));
    bigEditWindowDueLabel->setText(QStringLiteral("Due"));
    fillListNames(bigEditWindowProject);
    bigEditWindowProject->setCurrentIndex(0);
    bigEditWindowImportance->setCurrentIndex(0);
    bigEditWindowDueDate->setDateTime(QDateTime::currentDateTime());
    bigEditWindowNotes->setPlainText(QStringLiteral(""));
    bigEditWindowRow->setText(newTaskMarker);
    sheetTaskKey_ = -1;
    // A new task starts due now and not recurring, whatever the last task
    // shown in the sheet left in these controls.
    bigEditWindowNoDueDate->setChecked(true);
    bigEditWindowDueDate->setEnabled(true);
    setRecOptions(QStringLiteral("None"));
    bigEditWindowAction->setFocus();
    bigEditWindow->open();
}

QString AppController::recurrenceError() const
{
    const RecOptions options = readRecOptions();
    if (options.recType2 == QLatin1String("Daily") && options.recDEvery
        && options.recDNumDays.isEmpty())
        return QStringLiteral("You need to enter how many days");
    if (options.recType2 == QLatin1String("Weekly") && options.recWNumOfWeeks.isEmpty())
        return QStringLiteral("You need to enter how many weeks");
    if (options.recType2 == QLatin1String("Monthly") && options.recMDayCheck
        && (options.recMDayOfMonth.isEmpty() || options.recMEveryMonth1.isEmpty()))
        return QStringLiteral("You need to enter the day of the month and how many months");
    if (options.recType2 == QLatin1String("Monthly") && options.recMThe
        && (options.recMNumberDayOfWeek.isEmpty() || options.recMMonth2.isEmpty()))
        return QStringLiteral("You need to enter the day of the week and how many months");
    return QString();
}

void AppController::showError(const QString &message)
{
    QWidget *parent
        = bigEditWindow->isVisible() ? static_cast<QWidget *>(bigEditWindow) : mainWindow;
    QMessageBox alert(
        QMessageBox::Warning, QStringLiteral("Error"), message, QMessageBox::NoButton, parent);
    alert.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    alert.exec();
}

void AppController::newTaskOK()
{
    // The sheet stays open so the user can fill in what is missing.
    if (const QString error = recurrenceError(); !error.isNull()) {
        showError(error);
        return;
    }
    const QString recCode = createRecCode();
    if (bigEditWindowRow->text() == newTaskMarker)
        addTaskFromSheet(recCode);
    else if (sheetTaskKey_ >= 0)
        saveSheetToTask(recCode);
    closeSheet();
}

void AppController::writeSheetFields(Item &task, const QString &recCode) const
{
    task.setAction(bigEditWindowAction->text());
    // Whatever was typed, even a name no list has.
    task.setCategory(bigEditWindowProject->currentText());
    task.setImportance(bigEditWindowImportance->currentText());
    task.setNotes(bigEditWindowNotes->toPlainText());
    task.setEndDate(
        bigEditWindowNoDueDate->isChecked() ? bigEditWindowDueDate->dateTime() : QDateTime());
    task.setRecCode(recCode);
}

void AppController::addTaskFromSheet(const QString &recCode)
{
    if (bigEditWindowAction->text().isEmpty())
        return;
    CalendarExport::Values copy;
    const int key = addTask([&](Item &task) {
        writeSheetFields(task, recCode);
        // After the tasks shown.
        task.setIndexSort(rows_.size());
        copy = CalendarExport::valuesOf(task);
    });
    calendar_.exportNewTask(key, copy);
    reloadView();
}

void AppController::saveSheetToTask(const QString &recCode)
{
    std::optional<Item> task = taskBeingEdited(sheetTaskKey_);
    if (!task)
        return;
    writeSheetFields(*task, recCode);
    const CalendarExport::Values copy = CalendarExport::valuesOf(*task);
    const QString oid = task->oid();
    task->dehydrate();
    calendar_.exportTaskUpdate(task->primaryKey(), oid, copy);
    reloadView();
}

void AppController::newTaskCancel()
{
    closeSheet();
}

void AppController::closeSheet()
{
    // Pop-ups of the sheet would otherwise outlive it, still marked open.
    closeRecWindow();
    if (selectedCalendar->text() == popUpEdit)
        closeCalendarPop();
    sheetTaskKey_ = -1;
    bigEditWindow->hide();
}

void AppController::doubleClickInTable()
{
    const std::optional<Item> task = selectedTask();
    if (!task)
        return;
    bigEditWindowDueLabel->setText(
        inCompletedView() ? QStringLiteral("Completed") : QStringLiteral("Due"));
    bigEditWindow->setWindowTitle(QStringLiteral("Edit Task"));
    bigEditWindowAction->setText(task->action());
    bigEditWindowImportance->setCurrentText(task->importance());
    showDueDate(*task, bigEditWindowDueDate, bigEditWindowNoDueDate);
    fillListNames(bigEditWindowProject);
    bigEditWindowProject->setCurrentText(task->category());
    bigEditWindowNotes->setPlainText(task->notes());
    bigEditWindowRow->setText(QString::number(selectedRow()));
    // A completed task is shown, not changed.
    sheetTaskKey_ = inCompletedView() ? -1 : task->primaryKey();
    setRecOptions(task->recCode());
    bigEditWindowAction->setFocus();
    bigEditWindow->open();
}

// ---- The edit panel ----

void AppController::switchToEditView()
{
    // Opening again while open would throw away what was typed.
    if (editing_)
        return;
    const std::optional<Item> task = selectedTask();
    if (!task)
        return;
    dueDateLabel->setText(
        inCompletedView() ? QStringLiteral("Completed") : QStringLiteral("Due Date"));
    editTaskField->setText(task->action());
    importance->setCurrentText(task->importance());
    showDueDate(*task, dueDate, Ui::MainWindow::noDueDate);
    fillListNames(project);
    project->setCurrentText(task->category());
    notes->setPlainText(task->notes());
    panelTaskKey_ = inCompletedView() ? -1 : task->primaryKey();

    editWindow->show();
    editing_ = true;
    previousCategoryBut->setEnabled(false);
    nextCategoryBut->setEnabled(false);
    slideEditPanel();
    editTaskField->setFocus();
}

void AppController::saveEditView()
{
    if (!editing_)
        return;
    std::optional<Item> task;
    if (panelTaskKey_ >= 0)
        task = taskBeingEdited(panelTaskKey_);
    if (task) {
        task->setAction(editTaskField->text());
        task->setCategory(project->currentText());
        task->setImportance(importance->currentText());
        task->setNotes(notes->toPlainText());
        task->setEndDate(
            Ui::MainWindow::noDueDate->isChecked() ? dueDate->dateTime() : QDateTime());
        // Before the write, so that an oid whose copy is gone is cleared with it.
        task->setOid(calendar_.exportTaskUpdate(
            task->primaryKey(), task->oid(), CalendarExport::valuesOf(*task)));
        task->dehydrate();
        reloadView();
    }
    closeEditView();
}

void AppController::cancelEditView()
{
    closeEditView();
}

void AppController::closeEditView()
{
    if (selectedCalendar->text() == popUpMain)
        closeCalendarPop();
    editing_ = false;
    panelTaskKey_ = -1;
    previousCategoryBut->setEnabled(true);
    nextCategoryBut->setEnabled(true);
    slideEditPanel();
    table->setFocus();
}

void AppController::slideEditPanel()
{
    if (slide_)
        slide_->stop();
    const int width = contentArea->width();
    auto *group = new QParallelAnimationGroup(this);
    const std::pair<QWidget *, int> moves[]
        = {{tableScrollView, editing_ ? -width : 0}, {editWindow, editing_ ? 0 : width}};
    for (const auto &[view, x] : moves) {
        auto *move = new QPropertyAnimation(view, "pos", group);
        move->setDuration(slideDuration);
        move->setEasingCurve(QEasingCurve::OutCubic);
        move->setEndValue(QPoint(x, 0));
        group->addAnimation(move);
    }
    slide_ = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void AppController::placeEditPanel()
{
    if (slide_)
        slide_->stop();
    const QSize size = contentArea->size();
    tableScrollView->setGeometry(QRect(QPoint(editing_ ? -size.width() : 0, 0), size));
    editWindow->setGeometry(QRect(QPoint(editing_ ? 0 : size.width(), 0), size));
}

void AppController::noDueDate()
{
    switchDueDate(bigEditWindowNoDueDate, bigEditWindowDueDate);
}

void AppController::noDueDate2()
{
    switchDueDate(Ui::MainWindow::noDueDate, dueDate);
}

// ---- The date pop-up ----

void AppController::openCalendarPop(
    QAbstractButton *button, const QString &mode, const QDateTimeEdit *picker)
{
    // The button toggles: a second press closes and keeps the editor's date.
    if (selectedCalendar->text() != popUpClosed) {
        closeCalendarPop();
        return;
    }
    calendarDatePicker->setSelectedDate(picker->date());
    attachedWindow_ = openPopUp(calendarPop, button);
    selectedCalendar->setText(mode);
}

void AppController::closeCalendarPop()
{
    selectedCalendar->setText(popUpClosed);
    closePopUp(attachedWindow_);
}

LumAttachedWindow *AppController::openPopUp(QWidget *view, QAbstractButton *button)
{
    view->adjustSize();
    auto *popUp = new LumAttachedWindow(view, centreInWindow(button), button->window(),
                                        LumSideBottom, popUpDistance);
    popUp->orderFront();
    return popUp;
}

void AppController::closePopUp(QPointer<LumAttachedWindow> &popUp)
{
    if (!popUp)
        return;
    popUp->orderOut();
    // Later: the pop-up's own OK button may be the one being pressed.
    popUp->deleteLater();
    popUp.clear();
}

void AppController::popCalendarMain()
{
    openCalendarPop(mainCalendarPop, popUpMain, dueDate);
}

void AppController::popCalendarEdit()
{
    openCalendarPop(editCalendarPop, popUpEdit, bigEditWindowDueDate);
}

void AppController::popCalendarEditOK()
{
    // Only the day is picked; the editor keeps its time of day.
    const QString mode = selectedCalendar->text();
    if (mode == popUpMain)
        dueDate->setDate(calendarDatePicker->selectedDate());
    else if (mode == popUpEdit)
        bigEditWindowDueDate->setDate(calendarDatePicker->selectedDate());
    closeCalendarPop();
}

// ---- The recurrence pop-up ----

void AppController::showRecWindow()
{
    if (selectedRecWin->text() != popUpClosed) {
        closeRecWindow();
        return;
    }
    recAttachedWindow_ = openPopUp(recWindow, btnShowRecWin);
    selectedRecWin->setText(popUpMain);
}

void AppController::closeRecWindow()
{
    selectedRecWin->setText(popUpClosed);
    closePopUp(recAttachedWindow_);
}

void AppController::setRecType()
{
    RecOptions options;
    options.recType2 = recType2->currentText();
    options.setRecType();
    showRecBox(options);
    // The bubble grows or shrinks with the box now shown.
    if (recAttachedWindow_) {
        recWindow->adjustSize();
        recAttachedWindow_->setPoint(recAttachedWindow_->point(), recAttachedWindow_->side());
    }
}

void AppController::recWindowOK()
{
    recurrentLabel->setText(recType2->currentText() == QLatin1String("None")
            ? QStringLiteral("No Recurrence")
            : QStringLiteral("Recurrent Task"));
    closeRecWindow();
}

void AppController::recWindowCancel()
{
    // Nothing is restored: the sheet's OK builds the code from the controls
    // as they are.
    closeRecWindow();
}

void AppController::showRecBox(const RecOptions &options)
{
    dailyBox->setVisible(options.visibleBox == RecOptions::Box::Daily);
    weeklyBox->setVisible(options.visibleBox == RecOptions::Box::Weekly);
    monthlyBox->setVisible(options.visibleBox == RecOptions::Box::Monthly);
}

RecOptions AppController::readRecOptions() const
{
    RecOptions options;
    options.recType2 = recType2->currentText();
    options.recDEvery = recDEvery->isChecked();
    options.recDNumDays = recDNumDays->text();
    options.recDWeekdays = recDWeekdays->isChecked();
    options.recWNumOfWeeks = recWNumOfWeeks->text();
    options.recWMonday = recWMonday->isChecked();
    options.recWTueday = recWTueday->isChecked();
    options.recWWednesday = recWWednesday->isChecked();
    options.recWThrusday = recWThrusday->isChecked();
    options.recWFriday = recWFriday->isChecked();
    options.recWSaturday = recWSaturday->isChecked();
    options.recWSunday = recWSunday->isChecked();
    options.recMDayCheck = recMDayCheck->isChecked();
    options.recMDayOfMonth = recMDayOfMonth->text();
    options.recMEveryMonth1 = recMEveryMonth1->text();
    options.recMThe = recMThe->isChecked();
    options.recMNumberDayOfWeek = recMNumberDayOfWeek->text();
    options.recMMonth2 = recMMonth2->text();
    options.recMDayOfWeek = recMDayOfWeek->currentText();
    options.visibleBox = !dailyBox->isHidden() ? RecOptions::Box::Daily
        : !weeklyBox->isHidden()               ? RecOptions::Box::Weekly
        : !monthlyBox->isHidden()              ? RecOptions::Box::Monthly
                                               : RecOptions::Box::None;
    options.recurrentLabel = recurrentLabel->text();
    options.btnShowRecWin = btnShowRecWin->text();
    return options;
}

void AppController::writeRecOptions(const RecOptions &options)
{
    // The type first: its change signal shows a box, which the stored
    // visibility below then settles.
    if (options.recType2FirstItemSelected)
        recType2->setCurrentIndex(0);
    else
        recType2->setCurrentText(options.recType2);
    setRadioPair(recDEvery, options.recDEvery, recDWeekdays, options.recDWeekdays);
    recDNumDays->setText(options.recDNumDays);
    recWNumOfWeeks->setText(options.recWNumOfWeeks);
    recWMonday->setChecked(options.recWMonday);
    recWTueday->setChecked(options.recWTueday);
    recWWednesday->setChecked(options.recWWednesday);
    recWThrusday->setChecked(options.recWThrusday);
    recWFriday->setChecked(options.recWFriday);
    recWSaturday->setChecked(options.recWSaturday);
    recWSunday->setChecked(options.recWSunday);
    setRadioPair(recMDayCheck, options.recMDayCheck, recMThe, options.recMThe);
    recMDayOfMonth->setText(options.recMDayOfMonth);
    recMEveryMonth1->setText(options.recMEveryMonth1);
    recMNumberDayOfWeek->setText(options.recMNumberDayOfWeek);
    recMMonth2->setText(options.recMMonth2);
    recMDayOfWeek->setCurrentText(options.recMDayOfWeek);
    showRecBox(options);
    recurrentLabel->setText(options.recurrentLabel);
    btnShowRecWin->setText(options.btnShowRecWin);
}

QString AppController::createRecCode() const
{
    return readRecOptions().createRecCode();
}

void AppController::setRecOptions(const QString &recCode)
{
    RecOptions options = readRecOptions();
    options.setRecOptions(recCode);
    writeRecOptions(options);
}
