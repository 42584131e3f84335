// The manual order of tasks: a drop gives every shown task its row number as
// its position. Only the rows whose position differs are written, so a drop
// in a view of a hundred thousand tasks already in order writes a handful.
#pragma once

#include <QList>

struct sqlite3;

namespace ManualOrder {

// Sets each task's manual position to its index in keys, writing only the
// rows whose stored position is another. Joins the caller's transaction (or
// runs in its own); raises InternalError when a read or write fails, with
// nothing written. Returns the rows written.
int writeRowNumbers(sqlite3 *database, const QList<int> &keys);
// Finalises the statement kept between drops.
void finalizeStatements();

} // namespace ManualOrder
