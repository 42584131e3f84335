// Completing, deleting, moving and archiving tasks; creating, renaming and
// deleting lists; the manual order set by drag and drop.
#include "AppController.h"

#include "CompletedArchive.h"
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
    connect(popUpMenu, &QMenu::triggered, this, &AppController::moveActionToListOK);
    connect(listSheetOK, &QPushButton::clicked, this, &AppController::editListOK);
    connect(listSheetCancel, &QPushButton::clicked, this, &AppController::editListCancel);
    connect(editListsWindow, &QDialog::rejected, this, &AppController::editListCancel);
}

Item *AppController::selectedTask()
{
    const int row = selectedRow();
    if (row < 0 || size_t(row) >= items_.size())
        return nullptr;
    Item &task = items_[size_t(row)];
    // Commands change and write the whole record; one that was never
    // loaded would overwrite the row's fields with nothing.
    task.hydrate();
    return &task;
}

void AppController::reloadView()
{
    loadTasksForCategory(selectedCatName->text());
    reloadTable();
}

void AppController::removeRow(int row)
{
    items_.erase(items_.begin() + row);
    reloadTable();
}

void AppController::checkOffRow(int row)
{
    table->selectRow(row);
    completeTask();
}

void AppController::completeTask()
{
    const int row = selectedRow();
    Item *task = selectedTask();
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
    if (task->recCode() == QLatin1String("None")) {
        task->setStartDate(now);
        const QString oid = task->oid();
        task->dehydrate();
        task->complete();
        // After the row: a copy is never marked done for a task that is not.
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
        calendar_.exportTaskUpdate(
            task->primaryKey(), task->oid(), CalendarExport::valuesOf(*task));
    }
    reloadView();
}

void AppController::deleteAction()
{
    const int row = selectedRow();
    Item *task = selectedTask();
    if (!task)
        return;
    calendar_.exportDeletion(task->oid());
    task->deleteFromDatabase();
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
    Item *task = selectedTask();
    if (!task || !picked)
        return;
    task->setCategory(picked->data().toString());
    task->dehydrate();
    reloadView();
}

void AppController::archiveCompletedTasks()
{
    const QString path = QFileDialog::getSaveFileName(mainWindow, tr("Archive Completed Tasks"),
                                                      QString(), tr("Text files (*.txt);;All files (*)"));
    // Without a file nothing was archived, so clearing is not offered.
    if (path.isEmpty())
        return;
    if (archiveCompletedTasksTo(path) && askToClearCompleted())
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
    loadTasksForCategory(QString::fromLatin1(ViewQuery::completed));
    reloadTable();
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

void AppController::editListOK()
{
    editListsWindow->hide();
    if (editingRow->text().toInt() == newListMarker) {
        const bool hadNoList = categories_.empty();
        Category list(Category::insertNewCategoryIntoDatabase(database_), database_);
        list.setName(listName->text());
        list.dehydrate();
        list.hydrate();
        categories_.push_back(std::move(list));
        // The first list of all becomes the current one at once; otherwise
        // the view on screen stays.
        if (hadNoList)
            selectCategory(0);
        return;
    }
    if (currentCategoryName().isNull())
        return;
    Category &list = categories_[size_t(selectedCat_)];
    list.setName(listName->text());
    list.dehydrate();
    list.hydrate();
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
    const int count = int(items_.size());
    if (sourceRow < 0 || sourceRow >= count || destinationRow < 0 || destinationRow > count)
        return false;
    Item moved = std::move(items_[size_t(sourceRow)]);
    items_.erase(items_.begin() + sourceRow);
    const int target = sourceRow < destinationRow ? destinationRow - 1 : destinationRow;
    items_.insert(items_.begin() + target, std::move(moved));
    table->clearSelection();

    // Every shown task gets its place as displayed; one transaction keeps a
    // drop in a view of many thousand tasks quick.
    Transaction transaction(database_);
    for (size_t index = 0; index < items_.size(); ++index) {
        Item &task = items_[index];
        task.hydrate();
        task.setIndexSort(int(index));
        task.dehydrate();
    }
    transaction.commit();
    reloadTable();
    return true;
}
