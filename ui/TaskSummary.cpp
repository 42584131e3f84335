#include "TaskSummary.h"

#include "Item.h"

namespace {

// Rows treat a due date this close to 1970 as no due date at all: the
// no-due-date sentinel is stored as 0.0, and older files hold small values.
constexpr double NoDueDateLimitSeconds = 1000.0;

QDateTime localInstant(const QDateTime &date)
{
    const QDateTime instant = date.isValid() ? date : QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    return instant.toLocalTime();
}

double secondsSince1970(const QDateTime &date)
{
    return date.isValid() ? date.toMSecsSinceEpoch() / 1000.0 : 0.0;
}

// "MM/dd" with ASCII digits whatever the locale: the "12/31" test below
// compares against exactly these characters.
QString monthDay(const QDate &date)
{
    return QString::asprintf("%02d/%02d", date.month(), date.day());
}

// Abbreviated weekday, a space, then month/day, e.g. "Tue 03/04".
QString weekdayMonthDay(const QDateTime &date, const QLocale &locale)
{
    const QDate day = localInstant(date).date();
    return locale.dayName(day.dayOfWeek(), QLocale::ShortFormat) + u' ' + monthDay(day);
}

// A task without a due date reads back as 1 January 1970 (31 December west
// of UTC); its "previous" date would be meaningless, so it is shown as n/a.
QString previousText(const QDateTime &startDate)
{
    const QString text = monthDay(localInstant(startDate).date());
    return text == QLatin1String("12/31") ? QStringLiteral("n/a") : text;
}

// An empty or missing rec code means "no recurrence", as it does when a task
// is checked off; only a real rule earns the "prev" column.
bool recurs(const QString &recCode)
{
    return !recCode.isEmpty() && recCode != QLatin1String("None");
}

} // namespace

namespace TaskSummary {

QString summaryText(const QString &viewTitle, const QDateTime &endDate, const QDateTime &startDate,
    const QString &recCode, const QString &category, const QLocale &locale)
{
    if (viewTitle == QLatin1String("Completed"))
        return QStringLiteral("Completed %1       %2")
            .arg(weekdayMonthDay(startDate, locale), category);

    // Blank due text keeps the list name of the cross-list views in its
    // column when a task has no due date.
    QString dueText(16, u' ');
    if (recurs(recCode))
        dueText = QStringLiteral("%1    prev %2")
                      .arg(weekdayMonthDay(endDate, locale), previousText(startDate));
    else if (secondsSince1970(endDate) > NoDueDateLimitSeconds)
        dueText = weekdayMonthDay(endDate, locale);

    if (viewTitle == QLatin1String("Today") || viewTitle == QLatin1String("All Tasks"))
        return QStringLiteral("Due %1      %2").arg(dueText, category);
    return QStringLiteral("Due %1").arg(dueText);
}

QString summaryText(const QString &viewTitle, const Item &task, const QLocale &locale)
{
    return summaryText(
        viewTitle, task.endDate(), task.startDate(), task.recCode(), task.category(), locale);
}

bool checkBoxIsOn(const QString &viewTitle)
{
    return viewTitle == QLatin1String("Completed");
}

} // namespace TaskSummary
