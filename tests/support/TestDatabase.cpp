#include "TestDatabase.h"

#include <QFile>

QString TestDatabase::schemaPath()
{
    return QStringLiteral(WENDRA_SOURCE_DIR "/resources/schema.sql");
}

TestDatabase::TestDatabase(bool withStarterLists)
    : path_(dir_.path() + QStringLiteral("/wendra.dbz"))
{
    if (sqlite3_open(path_.toUtf8().constData(), &database_) != SQLITE_OK)
        qFatal("cannot open test database");
    QFile schema(schemaPath());
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(schemaPath()));
    exec(QString::fromUtf8(schema.readAll()));
    if (!withStarterLists)
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

int TestDatabase::addList(const QString &name) const
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(database_, "INSERT INTO category (name) VALUES (?)", -1, &statement, nullptr);
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(statement, 1, utf8.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    return int(sqlite3_last_insert_rowid(database_));
}

int TestDatabase::addTask(const QString &title, const QString &list, double endDate,
                          int manualSort, int completed, const QString &importance) const
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(database_,
                       "INSERT INTO item (action, category, endDate, startDate, manualSort, "
                       "completed, importance, notes, timer, extra1, extra2) "
                       "VALUES (?, ?, ?, 0.0, ?, ?, ?, '', '', 'None', '')",
                       -1, &statement, nullptr);
    const QByteArray t = title.toUtf8(), l = list.toUtf8(), i = importance.toUtf8();
    sqlite3_bind_text(statement, 1, t.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(statement, 2, l.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(statement, 3, endDate);
    sqlite3_bind_int(statement, 4, manualSort);
    sqlite3_bind_int(statement, 5, completed);
    sqlite3_bind_text(statement, 6, i.constData(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(statement) != SQLITE_DONE)
        qFatal("insert failed: %s", sqlite3_errmsg(database_));
    sqlite3_finalize(statement);
    return int(sqlite3_last_insert_rowid(database_));
}

QVariant TestDatabase::value(const QString &sql) const
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(database_, sql.toUtf8().constData(), -1, &statement, nullptr)
        != SQLITE_OK)
        qFatal("SQL failed: %s: %s", qPrintable(sql), sqlite3_errmsg(database_));
    QVariant result;
    if (sqlite3_step(statement) == SQLITE_ROW) {
        switch (sqlite3_column_type(statement, 0)) {
        case SQLITE_INTEGER:
            result = sqlite3_column_int64(statement, 0);
            break;
        case SQLITE_FLOAT:
            result = sqlite3_column_double(statement, 0);
            break;
        case SQLITE_TEXT:
            result = QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
            break;
        default:
            break;
        }
    }
    sqlite3_finalize(statement);
    return result;
}
