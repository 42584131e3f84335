// Where the database file lives, how it comes into being on the first start
// and how the one connection is opened. An existing file is never replaced,
// repaired or migrated: it holds the user's tasks.
#pragma once

#include <QString>

struct sqlite3;

namespace DatabaseFile {

// The folder "Wendra" under the platform's generic data folder, with a
// trailing slash (~/.local/share/Wendra/ on Linux).
QString folderPath();
// The database path; creates the folder when nothing exists there yet.
QString pathForDBFile();
// Copies the template to the database path unless a file is already there.
// Raises "Failed to create writable database file with message '%@'.".
void createEditableCopyOfDatabaseIfNeeded(const QString &templatePath);
// Opens an existing database file for reading and writing. A file that is
// not an SQLite database, or one that cannot be written, is refused here
// rather than at the first command, with "Failed to open database with
// message '%s'.". The caller owns the connection.
sqlite3 *open(const QString &path);

// How long a statement waits for a lock another connection holds before
// it fails: long enough for a backup or a sync tool, short enough that a
// command stuck behind one is reported instead of hanging the window.
inline constexpr int busyTimeoutMilliseconds = 3000;

} // namespace DatabaseFile
