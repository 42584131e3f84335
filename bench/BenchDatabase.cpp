#include "BenchDatabase.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace BenchDatabase {

bool create(const QString &path, int tasks, int completed)
{
    QFile::remove(path);
    QFile schemaFile(QStringLiteral(WENDRA_SOURCE_DIR "/resources/schema.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly))
        return false;
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    bool ok = sqlite3_exec(db, schemaFile.readAll().constData(), nullptr, nullptr, nullptr)
        == SQLITE_OK;
    ok = ok && sqlite3_exec(db, "DELETE FROM category; BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt *list = nullptr, *task = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO category (name) VALUES (?)", -1, &list, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO item (action, category, notes, timer, endDate, startDate, "
                       "importance, completed, manualSort, extra1, extra2) "
                       "VALUES (?, ?, '', '', ?, 0.0, ?, ?, ?, 'None', '')",
                       -1, &task, nullptr);
    for (int i = 0; i < 20; ++i) {
        const QByteArray name = "List " + QByteArray::number(i);
        sqlite3_bind_text(list, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(list);
        sqlite3_reset(list);
    }
    QRandomGenerator random(42);
    const int total = tasks + (completed < 0 ? tasks / 10 : completed);
    for (int i = 0; i < total && ok; ++i) {
        const QByteArray title = "Task " + QByteArray::number(random.bounded(1'000'000)) + " to do";
        const QByteArray listName = "List " + QByteArray::number(i % 20);
        const QByteArray importance = QByteArray::number(1 + random.bounded(5));
        sqlite3_bind_text(task, 1, title.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(task, 2, listName.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(task, 3, random.bounded(3) ? 1.7e9 + random.bounded(1e8) : 0.0);
        sqlite3_bind_text(task, 4, importance.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(task, 5, i >= tasks ? 1 : 0);
        sqlite3_bind_int(task, 6, int(random.bounded(total)));
        ok = sqlite3_step(task) == SQLITE_DONE;
        sqlite3_reset(task);
    }
    sqlite3_finalize(list);
    sqlite3_finalize(task);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QString pathFor(int tasks)
{
    static QTemporaryDir dir;
    static QMap<int, QString> made;
    if (!made.contains(tasks)) {
        const QString path = dir.path() + QStringLiteral("/tasks-%1.dbz").arg(tasks);
        if (!create(path, tasks))
            qFatal("cannot create the benchmark database");
        made.insert(tasks, path);
    }
    return made.value(tasks);
}

} // namespace BenchDatabase

void BenchDatabase::useHome(const QString &home)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char *variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
        qputenv(variable, home.toUtf8());
}
