// CalendarSync: what the task commands call to keep the calendar store in
// step with the database. It owns the store, reads the settings at every use
// (so switching synchronisation off counts from the next command) and
// remembers which task each new copy was made for until the store's
// notification links them.
#pragma once

#include "CalendarExport.h"

#include <QHash>
#include <functional>
#include <memory>
#include <optional>

struct sqlite3;

class CalendarSync
{
public:
    CalendarSync();
    ~CalendarSync();

    // The user's store, made at first use: the calendarFolder setting, else
    // the default vdir.
    CalendarStore &store();
    // Called once with the store when it is made, to observe it.
    std::function<void(CalendarStore &)> storeMade;

    // Each export does nothing unless syncEnabled is 1; store failures are
    // silent and never stop the command.
    void exportNewTask(int taskKey, const CalendarExport::Values &values);
    // Returns the oid the task keeps: cleared when its copy is gone.
    QString exportTaskUpdate(int taskKey, const QString &oid, const CalendarExport::Values &values);
    void exportCompletion(const QString &oid);
    void exportDeletion(const QString &oid);

    // The imports return false, doing nothing, unless syncEnabled is 1.
    // indexSort is the manual position of tasks they add.
    bool importAtStartup(sqlite3 *database, const QStringList &listNames, int indexSort);
    bool importChanges(sqlite3 *database, const CalendarChanges &changes, int indexSort);
    bool linkNewCopies(sqlite3 *database, const CalendarChanges &changes, int indexSort);

private:
    std::optional<CalendarExport> exporter();

    std::unique_ptr<CalendarStore> store_;
    // Copies made by commands whose uid no task holds yet, with the key of
    // the task each was made for.
    QHash<QString, int> newCopies_;
};
