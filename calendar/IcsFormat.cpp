#include "IcsFormat.h"

#include <QTimeZone>
#include <libical/ical.h>
#include <memory>
#include <vector>

namespace {

// More components than any task needs; the limit keeps a hostile file from
// nesting deep enough to exhaust the stack in libical's recursive walks.
constexpr int maximumComponents = 500;

struct ComponentFree
{
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

QString fromIcal(const char *value)
{
    return value ? QString::fromUtf8(value) : QString();
}

// libical leaves out a carriage return, a backspace and a form feed when it
// writes a text value, and white space at either end of a value when it
// reads one, so a value read with either would change at Wendra's next
// write: a uid most of all, whose task would then seem deleted and a new one
// appear. Text is taken as it will be read back.
QString textFromIcal(const char *value)
{
    QString text = fromIcal(value);
    text.removeIf([](QChar c) { return c == u'\r' || c == u'\b' || c == u'\f'; });
    return value ? text.trimmed() : text;
}

int componentCount(const QByteArray &text)
{
    int count = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        if (text.size() - at >= 6 && qstrnicmp(text.constData() + at, "BEGIN:", 6) == 0)
            ++count;
        const qsizetype next = text.indexOf('\n', at);
        if (next < 0)
            break;
        at = next + 1;
    }
    return count;
}

// A writer that stopped half-way leaves no END:VCALENDAR; libical would read
// what is there and a task would lose its due date or notes.
bool isComplete(const QByteArray &text)
{
    const QByteArray end = text.trimmed().right(13);
    return end.size() == 13 && qstrnicmp(end.constData(), "END:VCALENDAR", 13) == 0;
}

QDateTime dateTime(icalcomponent *todo)
{
    icalproperty *due = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY);
    if (!due)
        return {};
    const icaltimetype value = icalcomponent_get_due(todo);
    if (icaltime_is_null_time(value) || !icaltime_is_valid_time(value))
        return {};
    const QDate date(value.year, value.month, value.day);
    if (!date.isValid())
        return {};
    // A date without time is due at the start of that day here.
    if (value.is_date)
        return QDateTime(date, QTime(0, 0));
    const QTime time(value.hour, value.minute, value.second);
    if (icaltime_is_utc(value))
        return QDateTime(date, time, QTimeZone::utc());
    if (const char *tzid = icalproperty_get_parameter_as_string(due, "TZID")) {
        const QTimeZone zone {QByteArray(tzid)};
        if (zone.isValid())
            return QDateTime(date, time, zone);
        // Not a zone name Qt knows: the file's own VTIMEZONE, when it has one.
        if (value.zone)
            return QDateTime::fromSecsSinceEpoch(
                qint64(icaltime_as_timet_with_zone(value, value.zone)));
    }
    // Floating, or a zone nobody can resolve: the wall-clock time here.
    return QDateTime(date, time);
}

void removeAll(icalcomponent *component, icalproperty_kind kind)
{
    while (icalproperty *property = icalcomponent_get_first_property(component, kind)) {
        icalcomponent_remove_property(component, property);
        icalproperty_free(property);
    }
}

void replace(icalcomponent *component, icalproperty_kind kind, icalproperty *property)
{
    removeAll(component, kind);
    icalcomponent_add_property(component, property);
}

// libical splits "CATEGORIES:a,b" into one property per value when it reads;
// written back that way todoman cannot read the file. The values go back
// into the first property, which keeps its parameters.
void joinSplitValues(icalcomponent *component, icalproperty_kind kind)
{
    std::vector<icalproperty *> parts;
    for (icalproperty *part = icalcomponent_get_first_property(component, kind); part;
         part = icalcomponent_get_next_property(component, kind))
        parts.push_back(part);
    if (parts.size() < 2)
        return;
    QByteArray joined;
    for (icalproperty *part : parts) {
        const char *value = icalvalue_get_text(icalproperty_get_value(part));
        joined += (joined.isEmpty() ? "" : ",") + QByteArray(value ? value : "");
        if (part != parts.front()) {
            icalcomponent_remove_property(component, part);
            icalproperty_free(part);
        }
    }
    icalproperty_set_value(parts.front(), icalvalue_new_text(joined.constData()));
}

icaltimetype utc(const QDateTime &moment)
{
    return icaltime_from_timet_with_zone(
        time_t(moment.toSecsSinceEpoch()), 0, icaltimezone_get_utc_timezone());
}

bool isCompleted(icalcomponent *todo)
{
    return icalcomponent_get_status(todo) == ICAL_STATUS_COMPLETED
        || icalcomponent_get_first_property(todo, ICAL_COMPLETED_PROPERTY);
}

Component parse(const QByteArray &text, QString *why)
{
    const auto fail = [why](const char *reason) {
        if (why)
            *why = QString::fromLatin1(reason);
        return Component();
    };
    if (text.size() > IcsFormat::maximumSize)
        return fail("larger than any task");
    if (!isComplete(text))
        return fail("no END:VCALENDAR (damaged or cut short)");
    if (componentCount(text) > maximumComponents)
        return fail("too many components");
    Component calendar(icalparser_parse_string(text.constData()));
    if (!calendar || icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT)
        return fail("not a VCALENDAR");
    const int todos = icalcomponent_count_components(calendar.get(), ICAL_VTODO_COMPONENT);
    if (todos != 1)
        return fail(todos == 0 ? "no VTODO" : "more than one VTODO");
    return calendar;
}

} // namespace

std::optional<CalendarTask> IcsFormat::read(const QByteArray &text, QString *why)
{
    Component calendar = parse(text, why);
    if (!calendar)
        return std::nullopt;
    icalcomponent *todo = icalcomponent_get_first_component(calendar.get(), ICAL_VTODO_COMPONENT);
    CalendarTask task;
    task.uid = textFromIcal(icalcomponent_get_uid(todo));
    if (task.uid.isEmpty()) {
        if (why)
            *why = QStringLiteral("VTODO without UID");
        return std::nullopt;
    }
    task.title = textFromIcal(icalcomponent_get_summary(todo));
    task.dueDate = dateTime(todo);
    if (icalproperty *priority = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY))
        task.priority = icalproperty_get_priority(priority);
    task.notes = textFromIcal(icalcomponent_get_description(todo));
    task.completed = isCompleted(todo);
    return task;
}

QByteArray IcsFormat::write(const CalendarTask &task, const QByteArray &previous)
{
    Component calendar = previous.isEmpty() ? Component() : parse(previous, nullptr);
    icalcomponent *todo = nullptr;
    const icaltimetype now = utc(QDateTime::currentDateTimeUtc());
    if (calendar) {
        // libical's notes about what it could not parse are not the file's.
        icalcomponent_strip_errors(calendar.get());
        todo = icalcomponent_get_first_component(calendar.get(), ICAL_VTODO_COMPONENT);
    } else {
        calendar.reset(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
        icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
        icalcomponent_add_property(
            calendar.get(), icalproperty_new_prodid("-//Wendra//Wendra//EN"));
        todo = icalcomponent_new(ICAL_VTODO_COMPONENT);
        icalcomponent_add_component(calendar.get(), todo);
        icalcomponent_add_property(todo, icalproperty_new_created(now));
    }
    const QByteArray uid = task.uid.toUtf8();
    if (fromIcal(icalcomponent_get_uid(todo)) != task.uid)
        icalcomponent_set_uid(todo, uid.constData());
    if (fromIcal(icalcomponent_get_summary(todo)) != task.title)
        icalcomponent_set_summary(todo, task.title.toUtf8().constData());
    // A due date is rewritten only when it names another moment, so a
    // date-only DUE or one with its own TZID stays as the other program wrote it.
    if (dateTime(todo) != task.dueDate) {
        removeAll(todo, ICAL_DUE_PROPERTY);
        if (task.dueDate.isValid())
            icalcomponent_add_property(todo, icalproperty_new_due(utc(task.dueDate)));
    }
    icalproperty *priority = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY);
    if (priority ? icalproperty_get_priority(priority) != task.priority : task.priority != 0)
        replace(todo, ICAL_PRIORITY_PROPERTY, icalproperty_new_priority(task.priority));
    if (fromIcal(icalcomponent_get_description(todo)) != task.notes) {
        removeAll(todo, ICAL_DESCRIPTION_PROPERTY);
        // Cleared notes drop the property; an empty DESCRIPTION is not one.
        if (!task.notes.isEmpty())
            icalcomponent_add_property(
                todo, icalproperty_new_description(task.notes.toUtf8().constData()));
    }
    if (isCompleted(todo) != task.completed) {
        icalcomponent_set_status(
            todo, task.completed ? ICAL_STATUS_COMPLETED : ICAL_STATUS_NEEDSACTION);
        removeAll(todo, ICAL_COMPLETED_PROPERTY);
        if (task.completed)
            icalcomponent_add_property(todo, icalproperty_new_completed(now));
    }
    joinSplitValues(todo, ICAL_CATEGORIES_PROPERTY);
    joinSplitValues(todo, ICAL_RESOURCES_PROPERTY);
    replace(todo, ICAL_DTSTAMP_PROPERTY, icalproperty_new_dtstamp(now));
    replace(todo, ICAL_LASTMODIFIED_PROPERTY, icalproperty_new_lastmodified(now));

    char *written = icalcomponent_as_ical_string_r(calendar.get());
    QByteArray result(written ? written : "");
    icalmemory_free_buffer(written);
    return result;
}

QString IcsFormat::libraryVersion()
{
    return QStringLiteral("%1.%2.%3")
        .arg(ICAL_MAJOR_VERSION)
        .arg(ICAL_MINOR_VERSION)
        .arg(ICAL_PATCH_VERSION);
}
