// Recurrence: the next due date of a recurring task.
//
// Given a due date and a rec code ("D:n", "E", "W:n:d0:...:d6", "M:d:n", "N:k:n:weekday")
// it returns the next due date. Every calendar field (day, month, weekday, clock time) is
// read in the time representation of the date given (local time, UTC, a fixed offset or a
// named zone), and every date built here carries that same representation.
//
// Two kinds of steps are used, as each rule says: fixed steps add absolute seconds (one day
// is 86,400 s, so the clock time moves across a daylight-saving change), calendar steps add
// days or months to the calendar fields and keep the clock time.
//
// Nothing here loops over missed occurrences one by one when it can count them: every call,
// and the roll-forward a check-off makes, ends after a small bounded amount of work for any
// input, however damaged the code or far away the dates.
#pragma once

#include <QDateTime>
#include <QString>

class Recurrence
{
public:
    // The next due date after dueDate by recCode, measured against the present moment,
    // which is read once.
    QDateTime getNextDueDate(const QDateTime &dueDate, const QString &recCode) const;

    // The same with an explicit present moment. For a code of no known kind ("None", the
    // empty code, any other first field), an invalid dueDate, or a rule that cannot move
    // forward (a count of 0 or less whose first candidate is not after now, a weekly code
    // with no day chosen, a count so large that the result leaves the representable
    // range) the result is dueDate unchanged.
    QDateTime getNextDueDate(
        const QDateTime &dueDate, const QString &recCode, const QDateTime &now) const;

    // What a check-off does with a recurring task's due date: ask for the next due date,
    // and again with the result while the result lies strictly before now. Occurrences
    // missed while the task was overdue are skipped; a result equal to now ends it.
    // When the code stops making progress (a call gives a date that is not later than the
    // one it was given) the latest date reached is kept, so a code that cannot advance at
    // all leaves dueDate as it was.
    static QDateTime rollForward(
        const QDateTime &dueDate, const QString &recCode, const QDateTime &now);
    static QDateTime rollForward(const QDateTime &dueDate, const QString &recCode);

    // The integer value of a number field: leading white space skipped, an optional sign,
    // then the leading decimal digits; the rest is ignored and a field without leading
    // digits is 0. Values beyond the range of int saturate at its limits.
    static int integerValue(const QString &field);
};
