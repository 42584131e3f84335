// CalendarImport: takes the calendar store's tasks into the database, at
// start-up and when the store announces changes. Tasks and calendar tasks
// are matched by the uid a task keeps in its oid; only open tasks take part.
//
// A calendar task that can no longer be fetched, or that has no title, is
// skipped: an import never blanks a task and never adds an empty one.
#pragma once

#include "CalendarStore.h"

#include <QHash>
#include <vector>

struct sqlite3;

class CalendarImport
{
public:
    // indexSort: the manual position imported tasks get (after the rows on
    // screen).
    CalendarImport(CalendarStore &store, sqlite3 *database, int indexSort);

    // Saves a calendar for every list, then takes over every calendar task
    // that is not completed: a linked task takes only the title, any other
    // becomes a new task in the list named after its calendar.
    void importAtStartup(const QStringList &listNames);
    // Another program inserted, updated or removed calendar tasks.
    void tasksChanged(const CalendarChanges &changes);
    // Links the copies that Wendra's own commands have just made to their
    // tasks: the task the command named in newCopies (uid to key), else the
    // first open, unlinked task with the copy's title.
    void linkNewCopies(const QStringList &inserted, const QHash<QString, int> &newCopies);

private:
    enum class MatchBy
    {
        oid,
        title
    };
    void loadOpenTasks(MatchBy by, const QString &absent);
    int find(const QString &matchKey) const;
    void append(const QString &matchKey, int key);
    void importTask(const CalendarTask &copy);

    CalendarStore &store_;
    sqlite3 *database_;
    int indexSort_;
    std::vector<int> keys_;
    std::vector<QString> titles_;
    std::vector<QString> oids_;
    // Every index of each match key, in order; the first is the one used.
    QHash<QString, QList<int>> indexes_;
};
