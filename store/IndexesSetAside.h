// Bulk writes to the item table: its indexes are removed for as long as an
// IndexesSetAside lives and then built again as the file defined them.
// Writing a large share of the table costs far less so than moving every
// index entry one by one. It must live inside a transaction, so the file
// never lacks an index: a failure rolls the removal back with the rest.
#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

struct sqlite3;

class IndexesSetAside
{
public:
    // Sets aside the item indexes whose definition names column, or every
    // item index when column is empty. Raises InternalError on a failure.
    IndexesSetAside(sqlite3 *database, const QByteArray &column, const char *where);
    IndexesSetAside(const IndexesSetAside &) = delete;
    IndexesSetAside &operator=(const IndexesSetAside &) = delete;

    // Builds the indexes again; call it before the transaction commits.
    void restore();

    // Whether writing this many rows of a table of tableRows is worth it: a
    // few hundred and over a quarter of the table. Rebuilding costs a sort of
    // every row, moving entries a lookup per written row.
    static bool pays(qsizetype rows, qsizetype tableRows);
    // The same, counting the item table's rows when there are enough to write.
    static bool pays(sqlite3 *database, qsizetype rows, const char *where);

private:
    sqlite3 *database_;
    const char *where_;
    QList<std::pair<QByteArray, QByteArray>> indexes_; // name, definition
};
