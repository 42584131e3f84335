// IcsFormat: the text of one task's .ics file, read and written with libical.
// This is the only class that knows iCalendar; everything else passes
// CalendarTask values.
//
// One file holds a VCALENDAR with exactly one VTODO. Wendra knows SUMMARY,
// DUE, PRIORITY, DESCRIPTION and STATUS/COMPLETED; every other property and
// component (X- properties, VALARM, RRULE, CATEGORIES, VTIMEZONE) belongs to
// the programs that share the folder and is carried over unchanged when
// Wendra rewrites a file.
#pragma once

#include "CalendarTypes.h"

#include <QByteArray>
#include <optional>

class IcsFormat
{
public:
    // Files larger than this are not read: no real task is that big, and a
    // hostile one must not hold up the other files.
    static constexpr qint64 maximumSize = 4 * 1024 * 1024;

    // The task in text; none, with the reason in why, when text is not one
    // complete VCALENDAR holding exactly one VTODO with a UID. The calendar
    // is left empty: the file's folder decides it.
    static std::optional<CalendarTask> read(const QByteArray &text, QString *why = nullptr);

    // The text for task. With previous (the file as it is now) the known
    // fields are changed where their meaning differs and everything else is
    // kept; an empty or unreadable previous gives a new VCALENDAR.
    static QByteArray write(const CalendarTask &task, const QByteArray &previous = {});

    // The libical version, for the About window. libical has no call that
    // reports it at run time; this is the release Wendra was built against.
    static QString libraryVersion();
};
