#include "Recurrence.h"

#include <QStringList>
#include <QTimeZone>

#include <algorithm>
#include <bit>
#include <limits>
#include <optional>

namespace {

constexpr qint64 msPerDay = 86'400'000;
constexpr qint64 msPerWeek = 7 * msPerDay;
// The Gregorian calendar repeats itself after 400 years: 146,097 days, a whole number of weeks.
constexpr qint64 daysPer400Years = 146'097;
// After the skips in rollWeekly a weekly chain needs a handful of calls for a well-formed
// code and at most about 800 years of weeks (some 42,000) for a damaged one; this bound
// only backs up that reasoning.
constexpr int maxWeeklyCalls = 100'000;

// The fields of a rec code; a field the code does not have reads as empty (number 0), so a
// damaged code never fails, it only means less.
class Fields
{
public:
    explicit Fields(const QString &code)
        : parts_(code.split(QLatin1Char(':')))
    {
    }
    QString at(qsizetype i) const { return i < parts_.size() ? parts_.at(i) : QString(); }
    int number(qsizetype i) const { return Recurrence::integerValue(at(i)); }

private:
    QStringList parts_;
};

// --- time zone helpers --------------------------------------------------------------------

// A moment in the same time representation as ref (local time, UTC, fixed offset or zone).
QDateTime fromMSecsInZoneOf(const QDateTime &ref, qint64 msecs)
{
    switch (ref.timeSpec()) {
    case Qt::LocalTime:
        return QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime);
    case Qt::UTC:
        return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    case Qt::OffsetFromUTC:
        return QDateTime::fromMSecsSinceEpoch(msecs, Qt::OffsetFromUTC, ref.offsetFromUtc());
    case Qt::TimeZone:
        return QDateTime::fromMSecsSinceEpoch(msecs, ref.timeZone());
    }
    return {};
}

QDateTime toZoneOf(const QDateTime &ref, const QDateTime &moment)
{
    return fromMSecsInZoneOf(ref, moment.toMSecsSinceEpoch());
}

// Date and clock time in the time representation of ref. A clock time that a daylight-saving
// gap skips (2:30 on the night the clocks jump from 2:00 to 3:00) moves forward by the gap,
// to 3:30, exactly as QDateTime's own calendar steps treat it; Qt builds such a moment as
// invalid, but still knows where it falls.
QDateTime inZoneOf(const QDateTime &ref, QDate date, QTime time)
{
    QDateTime dt;
    switch (ref.timeSpec()) {
    case Qt::LocalTime:
        dt = QDateTime(date, time, Qt::LocalTime);
        break;
    case Qt::UTC:
        dt = QDateTime(date, time, Qt::UTC);
        break;
    case Qt::OffsetFromUTC:
        dt = QDateTime(date, time, Qt::OffsetFromUTC, ref.offsetFromUtc());
        break;
    case Qt::TimeZone:
        dt = QDateTime(date, time, ref.timeZone());
        break;
    }
    if (dt.isValid() || !date.isValid() || !time.isValid())
        return dt;
    const QDateTime shifted = fromMSecsInZoneOf(ref, dt.toMSecsSinceEpoch());
    // Outside the representable range the fallback would land anywhere: refuse it there.
    if (!shifted.isValid() || qAbs(shifted.date().daysTo(date)) > 1)
        return {};
    return shifted;
}

// --- month arithmetic ---------------------------------------------------------------------

// Months counted with astronomical year numbers, so that adding months can cross the year
// 0 that QDate (1 BC is year -1) leaves out.
qint64 monthIndex(QDate date)
{
    const qint64 year = date.year() < 0 ? date.year() + 1 : date.year();
    return year * 12 + date.month() - 1;
}

QDate firstOfMonth(qint64 index)
{
    qint64 year = index / 12;
    qint64 month = index % 12;
    if (month < 0) {
        month += 12;
        --year;
    }
    if (year <= 0)
        --year;
    if (year < std::numeric_limits<int>::min() || year > std::numeric_limits<int>::max())
        return {};
    return QDate(int(year), int(month) + 1, 1);
}

// The month `count` steps of `months` after the month with index `base`; invalid on overflow.
QDate firstOfMonthAfter(qint64 base, qint64 count, int months)
{
    qint64 index = 0;
    if (__builtin_mul_overflow(count, qint64(months), &index)
        || __builtin_add_overflow(index, base, &index))
        return {};
    return firstOfMonth(index);
}

// Day `day` of the month of `first`, kept inside that month: a month without day 31 (or
// 29, 30) uses its last day, a day below 1 means the 1st.
QDate dayOfMonth(QDate first, int day)
{
    return QDate(first.year(), first.month(), std::clamp(day, 1, first.daysInMonth()));
}

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The first candidate after now of a monthly rule whose k-th candidate lies in the month
// `months` × k after the due date's month, from k = kFirst on. With a positive step the
// candidates grow with k, and a candidate two or more months before `reference` (now, or
// now less a fixed lead the candidates carry) cannot be after now, so the search starts
// just before that month and needs only a few candidates. With a step of 0 or less the
// candidates never move forward: only the first one can qualify, else the due date stays.
template <typename Candidate>
QDateTime firstCandidateAfter(const QDateTime &due, qint64 kFirst, int months,
    qint64 monthsToReference, const Candidate &candidate, const QDateTime &now)
{
    if (months <= 0) {
        const QDateTime c = candidate(kFirst);
        return c.isValid() && c > now ? c : due;
    }
    const qint64 kStart = std::max(kFirst, floorDiv(monthsToReference - 1, months));
    // Four candidates always reach a month after the reference; the rest is headroom.
    for (qint64 k = kStart; k < kStart + 16; ++k) {
        const QDateTime c = candidate(k);
        if (!c.isValid())
            return due;
        if (c > now)
            return c;
    }
    return due;
}

qint64 monthsBetween(const QDateTime &due, qint64 referenceMsecs)
{
    const QDateTime reference = fromMSecsInZoneOf(due, referenceMsecs);
    return reference.isValid() ? monthIndex(reference.date()) - monthIndex(due.date()) : 0;
}

// --- the rules ----------------------------------------------------------------------------

// "D": the first due date + k × n days (fixed steps, k >= 1) after now. k is counted, not
// searched, so a task overdue for decades costs the same as one overdue for a day.
QDateTime nextEveryNDays(const QDateTime &due, int days, const QDateTime &now)
{
    const qint64 step = days * msPerDay;
    qint64 k = 1;
    if (days > 0) {
        qint64 behind = 0;
        if (__builtin_sub_overflow(now.toMSecsSinceEpoch(), due.toMSecsSinceEpoch(), &behind))
            return due;
        if (behind >= 0)
            k = behind / step + 1;
    }
    qint64 total = 0;
    if (__builtin_mul_overflow(k, step, &total))
        return due;
    const QDateTime next = due.addMSecs(total);
    return next.isValid() && next > now ? next : due;
}

// "E": whole days (fixed steps) from the due date, at least one, to the first weekday after
// now. The first step after now is counted; from there the weekend is skipped. A 24-hour
// step across a daylight-saving change can land on the same weekday twice or skip one, so
// the walk allows two weeks, far more than it can need.
QDateTime nextWeekday(const QDateTime &due, const QDateTime &now)
{
    qint64 behind = 0;
    if (__builtin_sub_overflow(now.toMSecsSinceEpoch(), due.toMSecsSinceEpoch(), &behind))
        return due;
    for (qint64 k = behind >= 0 ? behind / msPerDay + 1 : 1, tries = 0; tries < 14; ++k, ++tries) {
        const QDateTime d = due.addMSecs(k * msPerDay);
        if (!d.isValid())
            return due;
        if (d.date().dayOfWeek() < Qt::Saturday)
            return d;
    }
    return due;
}

struct WeeklyRule
{
    int weeks = 0; // n
    int ownDays = 0; // day fields holding their own day's digit
    unsigned matches = 0; // bit i set: some day field holds digit i (Monday = 0)

    bool matchesDay(QDate date) const { return matches & (1u << (date.dayOfWeek() - 1)); }
};

WeeklyRule weeklyRule(const Fields &fields)
{
    WeeklyRule rule;
    rule.weeks = fields.number(1);
    for (int day = 0; day < 7; ++day) {
        const QString field = fields.at(2 + day);
        if (field == QString::number(day))
            ++rule.ownDays;
        if (field.size() == 1 && field.at(0) >= u'0' && field.at(0) <= u'6')
            rule.matches |= 1u << (field.at(0).unicode() - u'0');
    }
    return rule;
}

// "W" on plain dates (calendar steps). Day-of-year numbers fall into seven-day blocks
// (block b holds days 7b to 7b + 6); with fewer than two days in their own place the start is
// the first day of the block n blocks on, with two or more it is the next day. From the start
// the first matching weekday is taken. No match possible: no result.
std::optional<QDate> weeklyStep(QDate date, const WeeklyRule &rule)
{
    if (rule.matches == 0)
        return std::nullopt;
    QDate start;
    if (rule.ownDays >= 2) {
        start = date.addDays(1);
    } else {
        const qint64 dayOfYear = date.dayOfYear();
        start = date.addDays(7 * (rule.weeks + dayOfYear / 7) - dayOfYear);
    }
    for (int i = 0; i < 7 && start.isValid(); ++i, start = start.addDays(1)) {
        if (rule.matchesDay(start))
            return start;
    }
    return std::nullopt;
}

// "M": day d of every n months, candidates at day d of the due date's month + k × n months.
// A month without day d uses its last day, both for the first candidate and for every
// later one; a due date on that last day counts as being on day d. So a task on the 31st
// goes 31 January, 28 February, 31 March, never drifting to the 28th for good.
QDateTime nextDayOfMonth(const QDateTime &due, int day, int months, const QDateTime &now)
{
    const QDate given = due.date();
    const QDate givenMonth(given.year(), given.month(), 1);
    const bool onDay = given == dayOfMonth(givenMonth, day);
    // On the rule's day the due date itself is never returned and its seconds carry over;
    // otherwise the first candidate is in the due date's own month, at second 0.
    const qint64 kFirst = onDay ? 1 : 0;
    const QTime time = onDay ? due.time() : QTime(due.time().hour(), due.time().minute());
    const qint64 base = monthIndex(given);
    const auto candidate = [&](qint64 k) {
        const QDate first = firstOfMonthAfter(base, k, months);
        return first.isValid() ? inZoneOf(due, dayOfMonth(first, day), time) : QDateTime();
    };
    return firstCandidateAfter(
        due, kFirst, months, monthsBetween(due, now.toMSecsSinceEpoch()), candidate, now);
}

int weekdayNamed(const QString &name)
{
    static const char *const names[]
        = {"Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    for (int i = 0; i < 6; ++i) {
        if (name == QLatin1String(names[i]))
            return Qt::Tuesday + i;
    }
    return Qt::Monday; // "Monday" and every text not recognised
}

// "N": the k-th weekday w of every n months, from the month n months after the due date's.
// The first w of a month is found in 24-hour steps from the 1st at the due date's hour and
// minute, then k - 1 weeks are added, also as fixed steps; a k beyond the month's last w
// runs on into the next month.
QDateTime nextNthWeekdayOfMonth(
    const QDateTime &due, int nth, int months, int weekday, const QDateTime &now)
{
    const QTime time(due.time().hour(), due.time().minute());
    const qint64 lead = nth > 0 ? (qint64(nth) - 1) * msPerWeek : 0;
    const qint64 base = monthIndex(due.date());
    const auto candidate = [&](qint64 k) -> QDateTime {
        const QDate first = firstOfMonthAfter(base, k, months);
        if (!first.isValid())
            return {};
        QDateTime c = inZoneOf(due, first, time);
        // Seven steps find any weekday; a daylight-saving change or a zone that skipped a
        // whole day can cost one or two more.
        for (int steps = 0; c.isValid() && c.date().dayOfWeek() != weekday; ++steps) {
            if (steps == 14)
                return {};
            c = c.addMSecs(msPerDay);
        }
        return c.isValid() ? c.addMSecs(lead) : c;
    };
    // A candidate lies at least `lead` after the 1st of its month: the search is placed by
    // the month of now - lead.
    qint64 reference = 0;
    const qint64 monthsToReference
        = __builtin_sub_overflow(now.toMSecsSinceEpoch(), lead, &reference)
        ? 0
        : monthsBetween(due, reference);
    return firstCandidateAfter(due, 1, months, monthsToReference, candidate, now);
}

// The roll-forward of a weekly code, on plain dates: a weekly chain can be long (a weekly
// task overdue for years), and each call is a few date operations; a moment is built only
// for dates near now.
QDateTime rollWeekly(const QDateTime &due, const WeeklyRule &rule, const QDateTime &now)
{
    const QTime time = due.time();
    const QDate today = toZoneOf(due, now).date();
    if (rule.matches == 0)
        return due;

    if (rule.ownDays >= 2) {
        // Each call moves to the next chosen weekday after its date, so the chain ends on the
        // first chosen day after the due date whose moment is not before now.
        const QDate afterDue = due.date().addDays(1);
        QDate d = today.isValid() ? std::max(afterDue, today.addDays(-1)) : afterDue;
        for (int i = 0; i < 16 && d.isValid(); ++i, d = d.addDays(1)) {
            if (!rule.matchesDay(d))
                continue;
            const QDateTime next = inZoneOf(due, d, time);
            if (!next.isValid())
                return due;
            if (next >= now)
                return next;
        }
        return due;
    }

    // The first call, as the check-off makes it: its result stands when it is not before now,
    // even if it is earlier than the due date (a week count of 0 or less).
    const std::optional<QDate> first = weeklyStep(due.date(), rule);
    if (!first)
        return due;
    const QDateTime firstMoment = inZoneOf(due, *first, time);
    if (!firstMoment.isValid())
        return due;
    if (firstMoment >= now)
        return firstMoment;
    if (*first <= due.date())
        return due; // before now and not moving forward: the due date stays

    QDate date = *first;
    const qint64 surelyBehind = today.isValid() ? date.daysTo(today) - 2 : 0;
    if (rule.weeks < 1) {
        // A week count of 0 or less moves at most once more; the walk below sees it stall.
    } else if (std::has_single_bit(rule.matches)) {
        // The result lies on the one chosen weekday, and from a date on that weekday every
        // call lands exactly n weeks later (n >= 1 here): count the missed weeks instead of
        // walking them.
        const qint64 period = 7 * qint64(rule.weeks);
        if (surelyBehind > 0)
            date = date.addDays(surelyBehind / period * period);
    } else if (surelyBehind > 2 * daysPer400Years) {
        // Only a damaged code can match several weekdays with at most one in its own place.
        // Its chain is walked; the rule looks only at day of year, weekday and year length,
        // which repeat every 400 years, so a due date centuries behind first skips whole
        // cycles (close to, not exactly, where the walk would be: such a row is broken
        // anyway).
        const qint64 cycles = surelyBehind / daysPer400Years - 1;
        if (cycles * 400 <= std::numeric_limits<int>::max())
            date = date.addYears(int(cycles * 400));
    }

    // Days more than one before today lie before now, whatever daylight saving does, so a
    // moment is built only near now.
    const auto mayBeNotBeforeNow
        = [&](QDate d) { return !today.isValid() || d.daysTo(today) <= 1; };
    const auto reached = [&] {
        const QDateTime r = inZoneOf(due, date, time);
        return r.isValid() ? r : due;
    };
    for (int calls = 0; calls < maxWeeklyCalls; ++calls) {
        const std::optional<QDate> next = weeklyStep(date, rule);
        if (!next)
            return reached();
        if (mayBeNotBeforeNow(*next)) {
            const QDateTime moment = inZoneOf(due, *next, time);
            if (!moment.isValid())
                return reached();
            if (moment >= now)
                return moment;
        }
        if (*next <= date)
            return reached(); // stalled before now: keep the latest date reached
        date = *next;
    }
    return reached();
}

} // namespace

QDateTime Recurrence::getNextDueDate(const QDateTime &dueDate, const QString &recCode) const
{
    return getNextDueDate(dueDate, recCode, QDateTime::currentDateTime());
}

QDateTime Recurrence::getNextDueDate(
    const QDateTime &dueDate, const QString &recCode, const QDateTime &now) const
{
    if (!dueDate.isValid())
        return dueDate;
    const Fields fields(recCode);
    const QString kind = fields.at(0);
    if (kind == QLatin1String("D"))
        return nextEveryNDays(dueDate, fields.number(1), now);
    if (kind == QLatin1String("E"))
        return nextWeekday(dueDate, now);
    if (kind == QLatin1String("W")) {
        const std::optional<QDate> next = weeklyStep(dueDate.date(), weeklyRule(fields));
        const QDateTime moment = next ? inZoneOf(dueDate, *next, dueDate.time()) : QDateTime();
        return moment.isValid() ? moment : dueDate;
    }
    if (kind == QLatin1String("M"))
        return nextDayOfMonth(dueDate, fields.number(1), fields.number(2), now);
    if (kind == QLatin1String("N"))
        return nextNthWeekdayOfMonth(
            dueDate, fields.number(1), fields.number(2), weekdayNamed(fields.at(3)), now);
    return dueDate;
}

QDateTime Recurrence::rollForward(const QDateTime &dueDate, const QString &recCode)
{
    return rollForward(dueDate, recCode, QDateTime::currentDateTime());
}

QDateTime Recurrence::rollForward(
    const QDateTime &dueDate, const QString &recCode, const QDateTime &now)
{
    if (!dueDate.isValid())
        return dueDate;
    const Fields fields(recCode);
    if (fields.at(0) == QLatin1String("W"))
        return rollWeekly(dueDate, weeklyRule(fields), now);

    // Every other rule gives a date after now, or the date it was given when it cannot move
    // forward, so this ends after one or two calls; the bound only guards that promise.
    const Recurrence recurrence;
    QDateTime reached = dueDate;
    QDateTime next = recurrence.getNextDueDate(dueDate, recCode, now);
    for (int calls = 1; next < now; ++calls) {
        if (!(next > reached) || calls == 64)
            return reached;
        reached = next;
        next = recurrence.getNextDueDate(reached, recCode, now);
    }
    return next;
}

int Recurrence::integerValue(const QString &field)
{
    const qsizetype size = field.size();
    qsizetype i = 0;
    while (i < size && field.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < size && (field.at(i) == u'+' || field.at(i) == u'-')) {
        negative = field.at(i) == u'-';
        ++i;
    }
    // Saturate just past int's range while reading; the clamp below settles the sign.
    constexpr qint64 ceiling = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (; i < size && field.at(i) >= u'0' && field.at(i) <= u'9'; ++i)
        value = std::min(ceiling, value * 10 + (field.at(i).unicode() - u'0'));
    return int(std::clamp<qint64>(negative ? -value : value, std::numeric_limits<int>::min(),
        std::numeric_limits<int>::max()));
}
