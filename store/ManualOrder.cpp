#include "ManualOrder.h"

#include "ClassStatement.h"

#include <algorithm>
#include <limits>
#include <sqlite3.h>
#include <utility>
#include <vector>

namespace ManualOrder {
namespace {

// Only the position: a task changed by another program since it was drawn
// keeps that program's fields.
ClassStatement position_statement("UPDATE item SET manualSort=?1 WHERE pk=?2");

// A key and its stored position; -1 for one that is no whole number (NULL,
// a fraction, a text another program wrote), which is always rewritten.
using Position = std::pair<int, sqlite3_int64>;

// Every task's stored position, by key. One scan (of a covering index where
// the file has one) costs far less than a lookup per shown row.
std::vector<Position> storedPositions(sqlite3 *database)
{
    std::vector<Position> positions;
    Query query(database, "SELECT pk, manualSort FROM item", "ManualOrder::writeRowNumbers");
    sqlite3_stmt *row = query.statement();
    while (query.next())
        positions.emplace_back(sqlite3_column_int(row, 0),
                               sqlite3_column_type(row, 1) == SQLITE_INTEGER
                                   ? sqlite3_column_int64(row, 1)
                                   : -1);
    std::sort(positions.begin(), positions.end());
    return positions;
}

} // namespace

int writeRowNumbers(sqlite3 *database, const QList<int> &keys)
{
    const std::vector<Position> stored = storedPositions(database);
    sqlite3_stmt *statement = position_statement.get(database, "ManualOrder::writeRowNumbers");
    int written = 0;
    for (int row = 0; row < keys.size(); ++row) {
        const int key = keys[row];
        const auto found = std::lower_bound(stored.begin(), stored.end(), Position(key, std::numeric_limits<sqlite3_int64>::min()));
        if (found != stored.end() && found->first == key && found->second == row)
            continue;
        sqlite3_bind_int(statement, 1, row);
        sqlite3_bind_int(statement, 2, key);
        sql::stepToDone(statement, database, "Error: failed to dehydrate with message '%s'.",
                        "ManualOrder::writeRowNumbers");
        ++written;
    }
    return written;
}

void finalizeStatements()
{
    position_statement.finalize();
}

} // namespace ManualOrder
