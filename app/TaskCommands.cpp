// Completing, deleting, moving and archiving tasks; creating, renaming and
// deleting lists; the manual order set by drag and drop.
#include "AppController.h"

#include "CompletedArchive.h"
#include "ManualOrder.h"
#include "Recurrence.h"
#include "TaskTableModel.h"
#include "Transaction.h"
#include "ViewQuery.h"

#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace {
constexpr int newListMarker = 999;
constexpr int renameListMarker = 1;
} // namespace

void AppController::connectTaskCommands()
{
    connect(popUpMenu, &QMenu::triggered, this, command(&AppController::moveActionToListOK));
    connect(listSheetOK, &QPushButton::clicked, this, command(&AppController::editListOK));
    connect(listSheetCancel, &QPushButton::clicked, this, command(&AppController::editListCancel));
    connect(editListsWindow, &QDialog::rejected, this, command(&AppController::editListCancel));
}

std::optional<Item> AppController::taskAt(int row)
{
    if (!rows_.contains(row))
        return std::nullopt;
    // Not the record drawn, which may be stale: another program may have
    // changed the task since, and the command writes every field back.
    Item task = Item::deferred(rows_.key(row), database_);
    task.hydrate();
    if (task.exists())
        return task;
    // Deleted meanwhile: nothing to change, and the row should go.
    reloadView();
    return std::nullopt;
}

void AppController::reloadView()
{
    loadTasksForCategory(selectedCatName->text());
    reloadTable();
}

void AppController::removeRow(int row)
{
    rows_.remove(row);
    reloadTable();
}

void AppController::checkOffRow(int row)
{
    // Not through the selection: a Ctrl- or Shift-click on the box may just
    // have toggled this row out of it.
    completeTaskAt(row);
}

void AppController::completeTask()
{
    completeTaskAt(selectedRow());
}

void AppController::completeTaskAt(int row)
{
    std::optional<Item> task = taskAt(row);
    if (!task)
        return;
    if (inCompletedView()) {
        task->unComplete();
        removeRow(row);
        return;
    }
    if (task->recCode().isEmpty())
        task->setRecCode(QStringLiteral("None"));
    const QDateTime now = QDateTime::currentDateTime();
    // The fields and the completed mark are written together or not at all;
    // the calendar copy follows only what was committed.
    Transaction transaction(database_);
    if (task->recCode() == QLatin1String("None")) {
        task->setStartDate(now);
        const QString oid = task->oid();
        task->dehydrate();
        task->complete();
        transaction.commit();
        calendar_.exportCompletion(oid);
    } else {
        // The loop in rollForward skips the occurrences missed while the task
        // was overdue, and ends even for codes that make no progress.
        if (Item::hasDueDate(task->endDate()))
            task->setEndDate(Recurrence::rollForward(task->endDate().toLocalTime(),
                                                     task->recCode(), now));
        task->setStartDate(now);
        task->dehydrate();
        task->hydrate();
        transaction.commit();
        calendar_.exportTaskUpdate(
            task->primaryKey(), task->oid(), CalendarExport::valuesOf(*task));
    }
    reloadView();
}

void AppController::deleteAction()
{
    const int row = selectedRow();
    std::optional<Item> task = selectedTask();
    if (!task)
        return;
    task->deleteFromDatabase();
    // After the row: a task whose delete failed keeps its calendar copy.
    calendar_.exportDeletion(task->oid());
    removeRow(row);
}

void AppController::moveActionToList()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    popUpMenu->clear();
    for (const Category &list : categories_) {
        QString title = list.name();
        QAction *action = popUpMenu->addAction(title.replace(QLatin1Char('&'), "&&"));
        action->setData(list.name());
    }
    if (popUpMenu->isEmpty())
        return;
    // Beside the row, wherever the table has scrolled it to.
    const QRect rowRect = table->visualRect(tableModel_->index(row, TaskTableModel::firstColumn));
    popUpMenu->popup(table->viewport()->mapToGlobal(rowRect.bottomLeft()));
}

void AppController::moveActionToListOK(QAction *picked)
{
    std::optional<Item> task = selectedTask();
    if (!task || !picked)
        return;
    task->setCategory(picked->data().toString());
    task->dehydrate();
    reloadView();
}

void AppController::archiveCompletedTasks()
{
    // The archive is appended to the file, so picking one that exists
    // replaces nothing and must not be asked about.
    const QString path = QFileDialog::getSaveFileName(
        mainWindow, tr("Archive Completed Tasks"), QString(),
        tr("Text files (*.txt);;All files (*)"), nullptr, QFileDialog::DontConfirmOverwrite);
    // An archive that failed offers no clearing: those tasks are nowhere
    // else. Without a file the user is still asked, and the answer decides.
    if (!path.isEmpty() && !archiveCompletedTasksTo(path))
        return;
    if (askToClearCompleted())
        clearCompletedTasks();
}

bool AppController::archiveCompletedTasksTo(const QString &path)
{
    const std::optional<QByteArray> bytes =
        CompletedArchive::toMacRoman(CompletedArchive::archiveText(database_));
    QString error;
    if (!bytes)
        error = tr("The completed tasks were not archived: some of their text cannot be "
                   "written in the Mac OS Roman encoding of archive files.");
    else if (!CompletedArchive::appendToFile(path, *bytes, &error))
        error = tr("The completed tasks were not archived. %1").arg(error);
    if (error.isEmpty())
        return true;
    QMessageBox::warning(mainWindow, QStringLiteral("Error"), error, QMessageBox::Ok);
    return false;
}

bool AppController::askToClearCompleted()
{
    QMessageBox question(QMessageBox::Question, QStringLiteral("Clear Completed?"),
                         QStringLiteral("Do you wish to clear the Completed list now?"),
                         QMessageBox::NoButton, mainWindow);
    QPushButton *clear = question.addButton(QStringLiteral("Clear"), QMessageBox::AcceptRole);
    question.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    question.setDefaultButton(clear);
    question.exec();
    return question.clickedButton() == clear;
}

void AppController::clearCompletedTasks()
{
    CompletedArchive::clearCompletedTasks(database_);
    // The label names what the table shows.
    showView(QString::fromLatin1(ViewQuery::completed));
}

void AppController::newList()
{
    listName->clear();
    editingRow->setText(QString::number(newListMarker));
    listName->setFocus();
    editListsWindow->open();
}

void AppController::editList()
{
    const QString current = currentCategoryName();
    if (current.isNull())
        return;
    listName->setText(current);
    editingRow->setText(QString::number(renameListMarker));
    listName->setFocus();
    editListsWindow->open();
}

Category AppController::writeList(int key, const QString &name)
{
    // A new list's row and its name are written together or not at all.
    Transaction transaction(database_);
    Category list(key < 0 ? Category::insertNewCategoryIntoDatabase(database_) : key, database_);
    // Read first: the row's other columns are written back as they are.
    list.hydrate();
    list.setName(name);
    list.dehydrate();
    list.hydrate();
    transaction.commit();
    return list;
}

void AppController::editListOK()
{
    editListsWindow->hide();
    if (editingRow->text().toInt() == newListMarker) {
        const bool hadNoList = categories_.empty();
        categories_.push_back(writeList(-1, listName->text()));
        // The first list of all becomes the current one at once; otherwise
        // the view on screen stays.
        if (hadNoList)
            selectCategory(0);
        return;
    }
    if (currentCategoryName().isNull())
        return;
    Category &list = categories_[size_t(selectedCat_)];
    list = writeList(list.primaryKey(), listName->text());
    selectedCatName->setText(list.name());
    // Tasks keep the old name; the list under its new name shows what is
    // filed under that name now.
    reloadView();
}

void AppController::editListCancel()
{
    editListsWindow->hide();
}

void AppController::deleteList()
{
    if (currentCategoryName().isNull())
        return;
    categories_[size_t(selectedCat_)].deleteFromDatabase();
    categories_.erase(categories_.begin() + selectedCat_);
    selectedCat_ = 0;
    // With the last list gone there is no current list: the label empties and
    // the view is empty until a new list is made.
    selectedCatName->setText(currentCategoryName());
    reloadView();
}

bool AppController::acceptDrop(int sourceRow, int destinationRow)
{
    const int count = rows_.size();
    if (sourceRow < 0 || sourceRow >= count || destinationRow < 0 || destinationRow > count)
        return false;
    QList<int> keys = rows_.keys();
    keys.move(sourceRow, sourceRow < destinationRow ? destinationRow - 1 : destinationRow);
    table->clearSelection();

    // Every shown task gets its place as displayed, and only its place: one
    // transaction makes the drop all-or-nothing. The rows move on screen
    // only once the file has them in the new order.
    Transaction transaction(database_);
    ManualOrder::writeRowNumbers(database_, keys);
    transaction.commit();
    tableModel_->moveRowBefore(sourceRow, destinationRow);
    return true;
}
