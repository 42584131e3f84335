#include "DatabaseFile.h"

#include "ClassStatement.h"
#include "InternalError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <sqlite3.h>

namespace DatabaseFile {

QString folderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Wendra/");
}

QString pathForDBFile()
{
    const QString folder = folderPath();
    // A folder that cannot be made is not reported here: the copy or the open
    // that follows fails with its own, clearer message.
    if (!QFileInfo::exists(folder))
        QDir().mkpath(folder);
    return folder + QStringLiteral("wendra.dbz");
}

namespace {

// Why a folder cannot hold the database, or null when it can: names the
// first part of the path that is in the way, which is what the user must fix.
QString folderProblem(const QString &folder)
{
    QFileInfo info(folder);
    if (info.isDir())
        return info.isWritable() ? QString()
                                 : QStringLiteral("The folder %1 cannot be written.").arg(folder);
    QString blocker = info.absoluteFilePath();
    while (!QFileInfo::exists(blocker) && QFileInfo(blocker).dir().absolutePath() != blocker)
        blocker = QFileInfo(blocker).dir().absolutePath();
    const QFileInfo in(blocker);
    if (!in.isDir())
        return QStringLiteral("The folder %1 cannot be created: %2 is a file, not a folder.")
            .arg(folder, blocker);
    return QStringLiteral("The folder %1 cannot be created: %2 cannot be written.")
        .arg(folder, blocker);
}

// Every column some statement of Wendra reads or writes.
const struct
{
    const char *table;
    QStringList columns;
} requiredSchema[] = {
    {"item",
     {"pk", "action", "category", "notes", "timer", "endDate", "startDate", "importance",
      "completed", "manualSort", "extra1", "extra2"}},
    {"category", {"pk", "name", "parent"}},
};

// Null when the file has every table and column the statements use, else
// what is missing. Checked at start so that a foreign or damaged file is
// refused before any command half works on it.
QString schemaProblem(sqlite3 *database)
{
    for (const auto &[table, columns] : requiredSchema) {
        Query info(database, QByteArray("PRAGMA table_info(") + table + ')',
                   "AppController::initializeDatabase");
        QStringList present;
        while (info.next())
            present << sql::columnText(info.statement(), 1).toLower();
        if (present.isEmpty())
            return QStringLiteral("the file has no table \"%1\"").arg(QLatin1String(table));
        for (const QString &column : columns)
            if (!present.contains(column.toLower()))
                return QStringLiteral("the table \"%1\" has no column \"%2\"")
                    .arg(QLatin1String(table), column);
    }
    return QString();
}

} // namespace

void createEditableCopyOfDatabaseIfNeeded(const QString &templatePath)
{
    const QString path = pathForDBFile();
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return;
    auto fail = [](const QString &why) {
        throw InternalError(
            QStringLiteral("Failed to create writable database file with message '%1'.").arg(why),
            QStringLiteral("AppController::createEditableCopyOfDatabaseIfNeeded"));
    };
    if (const QString problem = folderProblem(QFileInfo(path).absolutePath()); !problem.isNull())
        fail(problem);
    QFile source(templatePath);
    if (!source.exists())
        fail(QStringLiteral("The template database %1 does not exist.").arg(templatePath));
    if (!source.copy(path))
        fail(source.errorString());
    // A copy out of the application's resources keeps their read-only mode;
    // the user's database must be writable.
    if (!QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        QFile::remove(path);
        fail(QStringLiteral("The permissions of %1 cannot be set.").arg(path));
    }
}

sqlite3 *open(const QString &path)
{
    sqlite3 *database = nullptr;
    auto fail = [&database](const QString &message) {
        sqlite3_close(database);
        throw InternalError(
            QStringLiteral("Failed to open database with message '%1'.").arg(message),
            QStringLiteral("AppController::initializeDatabase"));
    };
    // SQLite takes a file of no bytes for an empty database; that is not the
    // user's tasks, and saying "no such table" would hide the real cause.
    if (QFileInfo(path).isFile() && QFileInfo(path).size() == 0)
        fail(QStringLiteral("the file %1 is empty (0 bytes)").arg(path));
    // No SQLITE_OPEN_CREATE: a file that vanished since the first-start copy
    // must not come back as an empty database.
    if (sqlite3_open_v2(path.toUtf8().constData(), &database, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK)
        fail(QString::fromUtf8(database ? sqlite3_errmsg(database) : "out of memory"));
    // Another program (a backup, a sync tool, a second connection) may hold
    // the file for a moment: wait for it rather than fail the command.
    sqlite3_busy_timeout(database, busyTimeoutMilliseconds);
    // SQLite reads the header lazily; reading the schema now tells a damaged
    // or foreign file apart before any command works on it.
    if (sqlite3_exec(database, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr)
        != SQLITE_OK)
        fail(QString::fromUtf8(sqlite3_errmsg(database)));
    QString problem;
    try {
        problem = schemaProblem(database);
    } catch (const InternalError &error) {
        problem = error.description();
    }
    if (!problem.isNull())
        fail(problem);
    if (sqlite3_db_readonly(database, "main") == 1)
        fail(QStringLiteral("attempt to write a readonly database"));
    // SQLite writes its journal beside the file; without a writable folder
    // every change would fail later, one command at a time.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isWritable())
        fail(QStringLiteral("The folder %1 cannot be written.").arg(folder));
    return database;
}

} // namespace DatabaseFile
