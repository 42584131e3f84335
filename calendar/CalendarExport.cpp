#include "CalendarExport.h"

#include "Item.h"

CalendarExport::Values CalendarExport::valuesOf(const Item &task)
{
    return {task.action(), task.category(),
        Item::hasDueDate(task.endDate()) ? task.endDate() : QDateTime(), task.importance(),
        task.notes()};
}

CalendarExport::CalendarExport(
    CalendarStore &store, int exportOptions, const QString &calendarTitle)
    : store_(store)
    , exportOptions_(exportOptions)
    , calendarTitle_(calendarTitle)
{
}

int CalendarExport::translateImpToiCal(const QString &importance)
{
    // Wendra's "5" is the most important; iCalendar's 1 is.
    if (importance == QLatin1String("2"))
        return 9;
    if (importance == QLatin1String("3") || importance == QLatin1String("4"))
        return 5;
    if (importance == QLatin1String("5"))
        return 1;
    return 0;
}

QString CalendarExport::translateImpToVrel(int priority)
{
    switch (priority) {
    case 1:
    case 2:
    case 3:
        return QStringLiteral("5");
    case 5:
    case 6:
        return QStringLiteral("3");
    case 8:
    case 9:
        return QStringLiteral("2");
    default:
        return QStringLiteral("1");
    }
}

Calendar CalendarExport::targetCalendar(const QString &listName)
{
    // With one calendar chosen but never named, the list's own calendar is
    // used rather than letting every export fail unseen.
    const bool oneCalendar = exportOptions_ == 1 && !calendarTitle_.isEmpty();
    const QString title = oneCalendar ? calendarTitle_ : listName;
    const QString wanted = title.isNull() ? QStringLiteral("") : title;
    // One that cannot be made is never stored, so the save that follows
    // fails, quietly.
    return store_.saveCalendar(wanted).value_or(Calendar {QString(), wanted});
}

QString CalendarExport::save(CalendarTask task, const Values &values)
{
    task.calendar = targetCalendar(values.listName);
    task.title = values.title;
    if (values.dueDate.isValid())
        task.dueDate = values.dueDate;
    task.priority = translateImpToiCal(values.importance);
    if (!values.notes.isNull())
        task.notes = values.notes;
    return store_.saveTask(task) ? task.uid : QString();
}

QString CalendarExport::addCopy(const Values &values)
{
    return save(CalendarTask(), values);
}

QString CalendarExport::updateCopy(const QString &oid, const Values &values, QString *newUid)
{
    std::optional<CalendarTask> copy;
    if (!oid.isEmpty())
        copy = store_.taskWithUid(oid);
    if (copy) {
        save(*copy, values);
        return oid;
    }
    const QString uid = save(CalendarTask(), values);
    if (newUid)
        *newUid = uid;
    return QStringLiteral("");
}

void CalendarExport::completeCopy(const QString &oid)
{
    if (oid.isEmpty())
        return;
    if (std::optional<CalendarTask> copy = store_.taskWithUid(oid)) {
        copy->completed = true;
        store_.saveTask(*copy);
    }
}

void CalendarExport::removeCopy(const QString &oid)
{
    if (!oid.isEmpty() && store_.taskWithUid(oid))
        store_.removeTask(oid);
}
