// The queries that decide which rows a view shows. Each returns keys only:
// the records read their titles and fields when a row is drawn, so a view of
// a hundred thousand tasks costs one indexed scan.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QTimeZone>

struct sqlite3;

namespace ViewQuery {

// The three built-in views; a list with one of these names shows that view.
inline constexpr const char *allTasks = "All Tasks";
inline constexpr const char *today = "Today";
inline constexpr const char *completed = "Completed";

inline bool isBuiltInView(const QString &name)
{
    return name == QLatin1String(allTasks) || name == QLatin1String(today)
        || name == QLatin1String(completed);
}

// Sort orders of list views and "All Tasks"; any other value sorts manually.
enum SortBy { manualSort = 0, byTitle = 1, byDueDate = 2, byImportance = 3 };

// The first instant of day and of the next day in zone. On the days the
// clock changes these are 23 or 25 hours apart.
QPair<QDateTime, QDateTime> dayBounds(const QDate &day,
                                      const QTimeZone &zone = QTimeZone::systemTimeZone());

// Keys of all lists, by name in byte order (the start-up load).
QList<int> categoryKeysByName(sqlite3 *database);
// Keys of all lists in table order (reloading the list array).
QList<int> categoryKeys(sqlite3 *database);
// Keys of the rows of a view. dayStart and dayEnd bound "Today"; other views
// ignore them. With limit 0 or more, only that many of the first rows, in
// the same order. A query that fails raises InternalError.
QList<int> taskKeys(sqlite3 *database, const QString &viewName, int sortBy,
                    const QDateTime &dayStart = {}, const QDateTime &dayEnd = {},
                    int limit = -1);
// The open tasks of one list in manual order (the start-up load), or the
// first limit of them.
QList<int> openTaskKeysOfList(sqlite3 *database, const QString &listName, int limit = -1);

// An open task as the calendar import matches it; absent texts stay null.
struct OpenTask
{
    int key = 0;
    QString title;
    QString oid;
};
// Every open task of every list by title, equal titles by key. Raises
// InternalError when the rows cannot be read: a half-read list would make
// the import take known tasks for new ones.
QList<OpenTask> openTasksByTitle(sqlite3 *database);

} // namespace ViewQuery
