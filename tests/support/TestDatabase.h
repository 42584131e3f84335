// A real SQLite file with Wendra's schema in a temporary folder, for tests
// of the records and queries. Rows are added with plain SQL so that a test
// states exactly what the file holds.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <sqlite3.h>

// The value of one column of one row as text (NULL: an invalid QVariant);
// any statement runs, and one that fails ends the test.
QVariant queryValue(sqlite3 *database, const QString &sql);

class TestDatabase
{
public:
    // Creates the file from the template schema (the same schema.sql the
    // build uses), with no rows.
    TestDatabase();
    ~TestDatabase();

    sqlite3 *handle() const { return database_; }
    QString path() const { return path_; }

    // Runs SQL and fails the test (qFatal) when it does not work.
    void exec(const QString &sql) const;
    int addList(const QString &name) const;
    // completed 0/1; endDate seconds since 1970; returns the key.
    int addTask(const QString &title, const QString &list, double endDate = 0.0,
                int manualSort = 0, int completed = 0, const QString &importance = "5") const;
    QVariant value(const QString &sql) const { return queryValue(database_, sql); }

private:
    QTemporaryDir dir_;
    QString path_;
    sqlite3 *database_ = nullptr;
};
