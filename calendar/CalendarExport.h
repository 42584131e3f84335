// CalendarExport: mirrors a task that a command has just added, changed,
// rolled forward, completed or deleted into the calendar store. Each task
// keeps the uid of its calendar copy in its oid.
//
// Store failures are ignored here: the command that calls has already made
// (or will make) its database change, and says nothing to the user.
#pragma once

#include "CalendarStore.h"

class Item;

class CalendarExport
{
public:
    // What a command passes. An invalid dueDate leaves the copy's due date
    // as it is; null notes leave its notes.
    struct Values
    {
        QString title;
        QString listName;
        QDateTime dueDate;
        QString importance;
        QString notes;
    };
    // A hydrated task's own values; its due date only when it has one.
    static Values valuesOf(const Item &task);

    // exportOptions 1 puts every copy into the calendar titled calendarTitle;
    // 0, and anything else, one calendar per list, titled with its name.
    CalendarExport(CalendarStore &store, int exportOptions, const QString &calendarTitle);

    // Importance "1".."5" to iCalendar priority, and back.
    static int translateImpToiCal(const QString &importance);
    static QString translateImpToVrel(int priority);

    // A new copy; its uid, or empty when it could not be saved.
    QString addCopy(const Values &values);
    // Updates the copy linked by oid or, when the calendar has lost it (or
    // there is none), makes a new one whose uid goes to newUid. Returns the
    // oid the task keeps: empty once its copy is gone.
    QString updateCopy(const QString &oid, const Values &values, QString *newUid = nullptr);
    void completeCopy(const QString &oid);
    void removeCopy(const QString &oid);

private:
    Calendar targetCalendar(const QString &listName);
    QString save(CalendarTask task, const Values &values);

    CalendarStore &store_;
    int exportOptions_;
    QString calendarTitle_;
};
