#include "CalendarImport.h"

#include "CalendarExport.h"
#include "IndexesSetAside.h"
#include "Item.h"
#include "Transaction.h"
#include "ViewQuery.h"

#include <QLoggingCategory>
#include <QSet>
#include <algorithm>
#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcCalendar)

CalendarImport::CalendarImport(CalendarStore &store, sqlite3 *database, int indexSort)
    : store_(store)
    , database_(database)
    , indexSort_(indexSort)
{
}

void CalendarImport::loadOpenTasks(MatchBy by, const QString &absent)
{
    keys_.clear();
    titles_.clear();
    oids_.clear();
    indexes_.clear();
    for (const ViewQuery::OpenTask &task : ViewQuery::openTasksByTitle(database_)) {
        const QString &key = by == MatchBy::oid ? task.oid : task.title;
        append(key.isNull() ? absent : key, task.key);
        titles_.back() = task.title;
        oids_.back() = task.oid;
    }
}

int CalendarImport::find(const QString &matchKey) const
{
    const auto found = indexes_.constFind(matchKey);
    return found == indexes_.cend() || found->isEmpty() ? -1 : found->first();
}

void CalendarImport::append(const QString &matchKey, int key)
{
    keys_.push_back(key);
    titles_.emplace_back();
    oids_.emplace_back();
    indexes_[matchKey].append(int(keys_.size()) - 1);
}

void CalendarImport::importTask(const CalendarTask &copy)
{
    if (copy.title.isEmpty()) {
        qCInfo(lcCalendar) << "Not importing calendar task" << copy.uid << "without a title";
        return;
    }
    // The row and its fields together or not at all: a failed write must
    // not leave a blank task (inside the start-up import's transaction this
    // one is part of that).
    Transaction transaction(database_);
    Item task = Item::insertNew(database_);
    task.setAction(copy.title);
    task.setEndDate(copy.dueDate);
    task.setCategory(copy.calendar.title.isNull() ? QStringLiteral("") : copy.calendar.title);
    task.setImportance(CalendarExport::translateImpToVrel(copy.priority));
    if (!copy.notes.isNull())
        task.setNotes(copy.notes);
    task.setIndexSort(indexSort_);
    task.setRecCode(QStringLiteral("None"));
    task.setOid(copy.uid);
    task.dehydrate();
    transaction.commit();
    // A later mention of the same uid in this run finds the new task.
    append(copy.uid, task.primaryKey());
}

void CalendarImport::importAtStartup(const QStringList &listNames)
{
    QSet<QString> titles;
    for (const Calendar &calendar : store_.calendars())
        titles.insert(calendar.title);
    for (const QString &name : listNames)
        if (!titles.contains(name))
            store_.saveCalendar(name);
    // One transaction: ten thousand calendar tasks are one commit, not ten
    // thousand, and a failure half-way leaves the file as it was.
    Transaction transaction(database_);
    loadOpenTasks(MatchBy::oid, QStringLiteral(""));
    const QList<CalendarTask> copies = store_.allTasks();
    // The first start over a calendar folder adds thousands of tasks at once.
    const qsizetype added = std::count_if(copies.cbegin(), copies.cend(), [this](const auto &copy) {
        return !copy.completed && find(copy.uid) < 0;
    });
    std::optional<IndexesSetAside> aside;
    if (IndexesSetAside::pays(database_, added, "CalendarImport::importAtStartup"))
        aside.emplace(database_, QByteArray(), "CalendarImport::importAtStartup");
    for (const CalendarTask &copy : copies) {
        if (copy.completed)
            continue;
        const int index = find(copy.uid);
        if (index < 0) {
            importTask(copy);
        } else if (!copy.title.isEmpty() && copy.title != titles_[size_t(index)]) {
            Item task(keys_[size_t(index)], database_);
            task.hydrate();
            task.setAction(copy.title);
            task.dehydrate();
        }
    }
    if (aside)
        aside->restore();
    transaction.commit();
}

void CalendarImport::tasksChanged(const CalendarChanges &changes)
{
    Transaction transaction(database_);
    loadOpenTasks(MatchBy::oid, QStringLiteral("noidnoid"));
    // Fields taken over from a calendar task; the due date only for an update.
    const auto takeOver = [this](int index, const CalendarTask &copy, bool withDueDate) {
        Item task(keys_[size_t(index)], database_);
        task.hydrate();
        if (withDueDate)
            task.setEndDate(copy.dueDate);
        if (!copy.title.isEmpty())
            task.setAction(copy.title);
        task.setImportance(CalendarExport::translateImpToVrel(copy.priority));
        if (!copy.notes.isNull())
            task.setNotes(copy.notes);
        task.dehydrate();
    };
    for (const QString &uid : changes.inserted) {
        // Gone again before we looked: nothing to take over.
        const std::optional<CalendarTask> copy = store_.taskWithUid(uid);
        if (!copy)
            continue;
        if (const int index = find(uid); index >= 0)
            takeOver(index, *copy, false);
        else
            importTask(*copy);
    }
    for (const QString &uid : changes.updated) {
        const std::optional<CalendarTask> copy = store_.taskWithUid(uid);
        if (!copy)
            continue;
        const int index = find(uid);
        if (index >= 0 && copy->completed) {
            Item task(keys_[size_t(index)], database_);
            task.hydrate();
            task.setStartDate(QDateTime::currentDateTime());
            task.dehydrate();
            task.complete();
        } else if (index >= 0) {
            takeOver(index, *copy, true);
        } else if (!copy->completed) {
            importTask(*copy);
        }
    }
    for (const QString &uid : changes.deleted) {
        const int index = find(uid);
        if (index < 0)
            continue;
        Item(keys_[size_t(index)], database_).deleteFromDatabase();
        indexes_[uid].removeFirst();
    }
    transaction.commit();
}

void CalendarImport::linkNewCopies(
    const QStringList &inserted, const QHash<QString, int> &newCopies)
{
    loadOpenTasks(MatchBy::title, QStringLiteral("noidnoidnoid"));
    Transaction transaction(database_);
    for (const QString &uid : inserted) {
        const std::optional<CalendarTask> copy = store_.taskWithUid(uid);
        if (!copy)
            continue;
        // The task the copy was made for, when it is still open.
        int index = -1;
        if (const auto made = newCopies.constFind(uid); made != newCopies.cend())
            index = int(std::find(keys_.begin(), keys_.end(), *made) - keys_.begin());
        // Else by title, but never taking a task away from a copy it already
        // has: that would leave the copy orphaned and the task to be copied
        // again at its next edit.
        if (index < 0 || size_t(index) >= keys_.size()) {
            index = -1;
            for (int candidate : indexes_.value(copy->title))
                if (oids_[size_t(candidate)].isEmpty()) {
                    index = candidate;
                    break;
                }
        }
        if (index < 0)
            continue;
        Item task(keys_[size_t(index)], database_);
        task.hydrate();
        task.setOid(uid);
        task.dehydrate();
        oids_[size_t(index)] = uid;
    }
    transaction.commit();
}
