// CalendarStore: the user's calendars and their tasks, shared with other
// programs. Wendra mirrors its tasks into it and takes their changes back.
// Every operation runs on the main thread. Failures are reported by the
// return value only: the commands that call here go on without a message.
#pragma once

#include "CalendarTypes.h"

#include <QObject>
#include <optional>

class CalendarStore : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~CalendarStore() override = default;

    // Every calendar, in the store's order.
    virtual QList<Calendar> calendars() = 0;
    // The calendar of this title, made when the store has none: a title
    // already in the store is reused rather than given a second calendar.
    // Nothing when it cannot be made.
    virtual std::optional<Calendar> saveCalendar(const QString &title) = 0;
    // Saves task into task.calendar. A new task (no uid) is given one here.
    virtual bool saveTask(CalendarTask &task) = 0;
    // The task with this uid, or none.
    virtual std::optional<CalendarTask> taskWithUid(const QString &uid) = 0;
    virtual bool removeTask(const QString &uid) = 0;
    // Every task of every calendar, completed or not, in the store's order.
    virtual QList<CalendarTask> allTasks() = 0;
    // From now on changes made by other programs are announced through
    // tasksChangedExternally.
    virtual void startWatching() = 0;

signals:
    // Tasks inserted, updated or removed by this program's own saves; sent
    // from the event loop after the save, never from inside it.
    void tasksChanged(const CalendarChanges &changes);
    // Tasks inserted, updated or removed by another program.
    void tasksChangedExternally(const CalendarChanges &changes);
};
