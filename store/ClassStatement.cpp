#include "ClassStatement.h"

#include "InternalError.h"

#include <algorithm>
#include <cmath>

sqlite3_stmt *ClassStatement::get(sqlite3 *database, const char *where)
{
    if (statement_ && sqlite3_db_handle(statement_) != database)
        finalize();
    if (!statement_) {
        if (sqlite3_prepare_v2(database, sql_, -1, &statement_, nullptr) != SQLITE_OK) {
            statement_ = nullptr;
            throw InternalError(
                sql::describe("Error: failed to prepare statement with message '%s'.", database),
                QString::fromLatin1(where));
        }
    }
    return statement_;
}

void ClassStatement::finalize()
{
    if (statement_) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
}

namespace sql {

void bindText(sqlite3_stmt *statement, int index, const QString &text)
{
    if (text.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindDate(sqlite3_stmt *statement, int index, const QDateTime &date)
{
    sqlite3_bind_double(statement, index, secondsFromDate(date));
}

QString columnText(sqlite3_stmt *statement, int column, const QString &nullValue)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    if (!text)
        return nullValue;
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

QDateTime columnDate(sqlite3_stmt *statement, int column)
{
    return dateFromSeconds(sqlite3_column_double(statement, column));
}

QDateTime dateFromSeconds(double secondsSince1970)
{
    // A damaged row must not overflow the millisecond count; a quarter of a
    // million years either way is far beyond any due date.
    constexpr double limit = 8.64e12;
    if (!std::isfinite(secondsSince1970))
        secondsSince1970 = 0.0;
    secondsSince1970 = std::clamp(secondsSince1970, -limit, limit);
    return QDateTime::fromMSecsSinceEpoch(std::llround(secondsSince1970 * 1000.0));
}

double secondsFromDate(const QDateTime &date)
{
    return date.isValid() ? double(date.toMSecsSinceEpoch()) / 1000.0 : 0.0;
}

bool stepRow(sqlite3_stmt *statement, sqlite3 *database, const char *where)
{
    const int result = sqlite3_step(statement);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    throw InternalError(describe("Error: failed to read from the database with message '%s'.",
                                 database),
                        QString::fromLatin1(where));
}

void stepToDone(sqlite3_stmt *statement, sqlite3 *database, const char *failure, const char *where)
{
    StatementReset reset(statement);
    if (sqlite3_step(statement) != SQLITE_DONE)
        throw InternalError(describe(failure, database), QString::fromLatin1(where));
}

// Any result but SQLITE_DONE is a failure: a read-only or full database must
// not hand back the key of some earlier row as if the insert had worked.
int insertRow(ClassStatement &insert, sqlite3 *database, const char *where)
{
    stepToDone(insert.get(database, where), database,
               "Error: failed to insert into the database with message '%s'.", where);
    return int(sqlite3_last_insert_rowid(database));
}

QString describe(const char *format, sqlite3 *database)
{
    const char *message = database ? sqlite3_errmsg(database) : "no database connection";
    return QString::fromUtf8(format).replace(QLatin1String("%s"), QString::fromUtf8(message));
}

} // namespace sql

Query::Query(sqlite3 *database, const QByteArray &sql, const char *where)
    : database_(database)
    , where_(where)
{
    if (sqlite3_prepare_v2(database, sql.constData(), int(sql.size()), &statement_, nullptr)
        != SQLITE_OK) {
        const InternalError error(
            sql::describe("Error: failed to prepare statement with message '%s'.", database),
            QString::fromLatin1(where));
        sqlite3_finalize(statement_);
        throw error;
    }
}
