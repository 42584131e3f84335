// The plain values that pass between Wendra and its calendar store: a
// calendar, a calendar task, and the uids a change notification carries.
// Nothing here knows how a store keeps them.
#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

struct Calendar
{
    // The store's own name for the calendar (a folder name for a vdir store);
    // empty for a calendar that was never stored, into which no task saves.
    QString id;
    // May be absent; readers count an absent title as the empty text.
    QString title;
};

struct CalendarTask
{
    // Empty until the store has saved the task for the first time.
    QString uid;
    Calendar calendar;
    QString title;
    // Invalid: no due date.
    QDateTime dueDate;
    // iCalendar's scale: 0 undefined, 1 highest, 9 lowest.
    int priority = 0;
    // Absent (null) when the task has no notes; empty notes are notes.
    QString notes;
    bool completed = false;
};

// The uids of one notification; any list may be empty.
struct CalendarChanges
{
    QStringList inserted;
    QStringList updated;
    QStringList deleted;

    bool isEmpty() const { return inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty(); }
};

Q_DECLARE_METATYPE(CalendarChanges)
