// A database of N tasks spread over 20 lists, built once per size in a
// temporary folder, for the benchmarks. Titles, due dates and manual
// positions are shuffled so that no sort order is free.
#pragma once

#include <QString>
#include <sqlite3.h>

namespace BenchDatabase {
// Path of a database with `tasks` open tasks (and a tenth as many completed).
QString pathFor(int tasks);
// Creates the file at path from the schema; used by make_big_database too.
// completed tasks come on top of the open ones, a tenth as many unless given.
bool create(const QString &path, int tasks, int completed = -1);
// Points HOME and the XDG folders at home and Qt at the offscreen platform,
// so a benchmark never touches the user's data or needs a screen.
void useHome(const QString &home);
} // namespace BenchDatabase
