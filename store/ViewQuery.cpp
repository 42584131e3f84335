#include "ViewQuery.h"

#include "ClassStatement.h"
#include "InternalError.h"

#include <sqlite3.h>

namespace ViewQuery {
namespace {

const char *sortClause(int sortBy)
{
    switch (sortBy) {
    case byTitle:
        return "order by action";
    case byDueDate:
        return "order by endDate";
    case byImportance:
        return "order by importance";
    default:
        return "order by manualSort";
    }
}

// Prepares, binds, collects column 0 of every row and finalises. A failure
// anywhere raises: a view cut short by a lock would look like tasks lost.
template<typename Bind>
QList<int> collectKeys(sqlite3 *database, const QByteArray &sql, Bind bind)
{
    QList<int> keys;
    Query query(database, sql, "AppController::loadTasksForCategory");
    bind(query.statement());
    while (query.next())
        keys.append(sqlite3_column_int(query.statement(), 0));
    return keys;
}

QList<int> collectKeys(sqlite3 *database, const QByteArray &sql)
{
    return collectKeys(database, sql, [](sqlite3_stmt *) {});
}

} // namespace

QPair<QDateTime, QDateTime> dayBounds(const QDate &day, const QTimeZone &zone)
{
    // Where the clock jumps at midnight, 00:00 does not exist on the change
    // day: the day starts at its first valid instant.
    return {day.startOfDay(zone), day.addDays(1).startOfDay(zone)};
}

QList<int> categoryKeysByName(sqlite3 *database)
{
    return collectKeys(database, "SELECT pk FROM category order by name");
}

QList<int> categoryKeys(sqlite3 *database)
{
    return collectKeys(database, "SELECT pk FROM category");
}

QList<int> taskKeys(sqlite3 *database, const QString &viewName, int sortBy,
                    const QDateTime &dayStart, const QDateTime &dayEnd, int limit)
{
    // The first rows of a long view come from the same statement cut short:
    // an index that orders the rows gives them without reading the rest.
    const QByteArray cut = limit < 0 ? QByteArray() : " limit " + QByteArray::number(limit);
    if (viewName == QLatin1String(completed))
        return collectKeys(database,
                           "SELECT pk FROM item where completed=1 order by startDate" + cut);
    if (viewName == QLatin1String(today))
        return collectKeys(database,
                           "SELECT pk FROM item where endDate>=? and endDate<? and completed=0 "
                           "order by importance" + cut,
                           [&](sqlite3_stmt *statement) {
                               sql::bindDate(statement, 1, dayStart);
                               sql::bindDate(statement, 2, dayEnd);
                           });
    if (viewName == QLatin1String(allTasks))
        return collectKeys(database,
                           QByteArray("SELECT pk FROM item where completed=0 ") + sortClause(sortBy)
                               + cut);
    return collectKeys(database,
                       QByteArray("SELECT pk FROM item where category=? and completed=0 ")
                           + sortClause(sortBy) + cut,
                       [&](sqlite3_stmt *statement) { sql::bindText(statement, 1, viewName); });
}

QList<int> openTaskKeysOfList(sqlite3 *database, const QString &listName, int limit)
{
    return taskKeys(database, listName, manualSort, {}, {}, limit);
}

QList<OpenTask> openTasksByTitle(sqlite3 *database)
{
    const char *failure = "Error: failed to read the open tasks with message '%s'.";
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(database,
                           "SELECT pk, action, extra2 FROM item where completed=0 "
                           "order by action, pk",
                           -1, &statement, nullptr)
        != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw InternalError(sql::describe(failure, database), "ViewQuery::openTasksByTitle");
    }
    QList<OpenTask> tasks;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW)
        tasks.append({sqlite3_column_int(statement, 0), sql::columnText(statement, 1, QString()),
                      sql::columnText(statement, 2, QString())});
    if (result != SQLITE_DONE) {
        const QString description = sql::describe(failure, database);
        sqlite3_finalize(statement);
        throw InternalError(description, "ViewQuery::openTasksByTitle");
    }
    sqlite3_finalize(statement);
    return tasks;
}

} // namespace ViewQuery
