// The archive of completed tasks: one comma-separated line per task, in Mac
// OS Roman, appended to a file the user picks. Other tools read these files,
// so the line format stays as it always was: no header, no quoting, a comma
// in a title simply makes one more field.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct sqlite3;

namespace CompletedArchive {

// The archive text of every completed task, oldest due date first, as UTF-16
// text: action,category,startDate,endDate,notes,importance and a line feed.
// Raises when the query fails, so that no partial archive is ever written.
QString archiveText(sqlite3 *database);

// The text in Mac OS Roman; nothing when a character has no Mac OS Roman
// form (the caller must then not pretend the tasks were archived).
std::optional<QByteArray> toMacRoman(const QString &text);

// Appends bytes to the file at path, creating it when missing. On failure
// returns false and sets error to a sentence for the user.
bool appendToFile(const QString &path, const QByteArray &bytes, QString *error);

// "delete FROM item where completed=1"; raises when it fails.
void clearCompletedTasks(sqlite3 *database);

// A date as "%Y-%m-%d %H:%M:%S %z" in the local time zone.
QString formatDate(double secondsSince1970);

} // namespace CompletedArchive
