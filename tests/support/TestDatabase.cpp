#include "TestDatabase.h"

#include <QFile>

TestDatabase::TestDatabase()
    : path_(dir_.path() + QStringLiteral("/wendra.dbz"))
{
    if (sqlite3_open(path_.toUtf8().constData(), &database_) != SQLITE_OK)
        qFatal("cannot open test database");
    QFile schema(QStringLiteral(WENDRA_SOURCE_DIR "/resources/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(schema.fileName()));
    exec(QString::fromUtf8(schema.readAll()));
    // The template's starter lists would get in the way of the lists each test adds.
    exec(QStringLiteral("DELETE FROM category"));
}

TestDatabase::~TestDatabase()
{
    sqlite3_close_v2(database_);
}

void TestDatabase::exec(const QString &sql) const
{
    char *error = nullptr;
    if (sqlite3_exec(database_, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        qFatal("SQL failed: %s: %s", qPrintable(sql), error);
}

namespace {
// A text as an SQL literal: the tests' own rows, quotes and all.
QString literal(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''"))
        + QLatin1Char('\'');
}
} // namespace

int TestDatabase::addList(const QString &name) const
{
    exec(QStringLiteral("INSERT INTO category (name) VALUES (%1)").arg(literal(name)));
    return int(sqlite3_last_insert_rowid(database_));
}

int TestDatabase::addTask(const QString &title, const QString &list, double endDate,
                          int manualSort, int completed, const QString &importance) const
{
    exec(QStringLiteral("INSERT INTO item (action, category, endDate, startDate, manualSort, "
                        "completed, importance, notes, timer, extra1, extra2) VALUES (%1, %2, "
                        "%3, 0.0, %4, %5, %6, '', '', 'None', '')")
             .arg(literal(title), literal(list), QString::number(endDate, 'g', 17))
             .arg(manualSort)
             .arg(completed)
             .arg(literal(importance)));
    return int(sqlite3_last_insert_rowid(database_));
}

QVariant queryValue(sqlite3 *database, const QString &sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(database, sql.toUtf8().constData(), -1, &statement, nullptr)
        != SQLITE_OK)
        qFatal("SQL failed: %s: %s", qPrintable(sql), sqlite3_errmsg(database));
    QVariant result;
    if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_type(statement, 0) != SQLITE_NULL)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    return result;
}
