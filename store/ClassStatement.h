// A prepared statement shared by every record of one class. Records prepare
// their statements once per run on first use and keep them until the
// controller finalises them at shutdown, so a view of a hundred thousand rows
// never compiles the same SQL twice.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <sqlite3.h>

class ClassStatement
{
public:
    explicit constexpr ClassStatement(const char *sql)
        : sql_(sql)
    {
    }
    ClassStatement(const ClassStatement &) = delete;
    ClassStatement &operator=(const ClassStatement &) = delete;

    // Prepares on first use. A statement prepared on another connection (a
    // test that opens a second file) is prepared again rather than run against
    // the wrong database. Raises "Error: failed to prepare statement ...".
    sqlite3_stmt *get(sqlite3 *database, const char *where);
    void finalize();
    bool isPrepared() const { return statement_ != nullptr; }

private:
    const char *sql_;
    sqlite3_stmt *statement_ = nullptr;
};

// Resets a statement when a step is over, also when the step raised: the
// next user of the class-wide statement must find it ready.
class StatementReset
{
public:
    explicit StatementReset(sqlite3_stmt *statement)
        : statement_(statement)
    {
    }
    ~StatementReset() { sqlite3_reset(statement_); }
    StatementReset(const StatementReset &) = delete;
    StatementReset &operator=(const StatementReset &) = delete;

private:
    sqlite3_stmt *statement_;
};

namespace sql {
// Absent texts bind as NULL; present ones as transient UTF-8 copies.
void bindText(sqlite3_stmt *statement, int index, const QString &text);
// An absent date binds as 0.0, the no-due-date value of the file format.
void bindDate(sqlite3_stmt *statement, int index, const QDateTime &date);
// A NULL column reads as nullValue (the empty text unless a column says otherwise).
QString columnText(sqlite3_stmt *statement, int column, const QString &nullValue = QStringLiteral(""));
QDateTime columnDate(sqlite3_stmt *statement, int column);
QDateTime dateFromSeconds(double secondsSince1970);
double secondsFromDate(const QDateTime &date);
// Steps a query: true with a row, false when the rows are over. Any other
// result (a lock held past the busy timeout, an I/O error) raises the
// description: a read that fails is never taken for a missing row.
bool stepRow(sqlite3_stmt *statement, sqlite3 *database, const char *where);
// Steps a statement that must finish (an UPDATE, DELETE or INSERT) and resets
// it; raises the description, with the connection's message, when it does not.
void stepToDone(sqlite3_stmt *statement, sqlite3 *database, const char *failure, const char *where);
// Runs a class-wide INSERT; returns the new row's key.
int insertRow(ClassStatement &insert, sqlite3 *database, const char *where);
// The description with the connection's own message in place of %s.
QString describe(const char *format, sqlite3 *database);
} // namespace sql

// A statement prepared for one use and finalised when it goes out of scope.
// A statement that cannot be prepared raises: once start-up has checked the
// schema, that means the file is locked or damaged, not that a view is empty.
class Query
{
public:
    Query(sqlite3 *database, const QByteArray &sql, const char *where);
    ~Query() { sqlite3_finalize(statement_); }
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    sqlite3_stmt *statement() const { return statement_; }
    // The next row: true with one, false when the rows are over; raises on a failure.
    bool next() { return sql::stepRow(statement_, database_, where_); }

private:
    sqlite3 *database_;
    sqlite3_stmt *statement_ = nullptr;
    const char *where_;
};
