#include "DatabaseFile.h"

#include "InternalError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
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
    // No SQLITE_OPEN_CREATE: a file that vanished since the first-start copy
    // must not come back as an empty database.
    if (sqlite3_open_v2(path.toUtf8().constData(), &database, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK)
        fail(QString::fromUtf8(database ? sqlite3_errmsg(database) : "out of memory"));
    // SQLite reads the header lazily; reading the schema now tells a damaged
    // or foreign file apart before any command works on it.
    if (sqlite3_exec(database, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr)
        != SQLITE_OK)
        fail(QString::fromUtf8(sqlite3_errmsg(database)));
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
