#include "ManualOrder.h"

#include "ClassStatement.h"
#include "IndexesSetAside.h"
#include "Transaction.h"

#include <algorithm>
#include <optional>
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
    // The rows in key order meet the stored positions in one pass; the
    // changes come out in key order too, so that the table's pages are each
    // written once.
    std::vector<std::pair<int, int>> wanted; // key, row
    wanted.reserve(size_t(keys.size()));
    for (int row = 0; row < keys.size(); ++row)
        wanted.emplace_back(keys[row], row);
    std::sort(wanted.begin(), wanted.end());
    const std::vector<Position> stored = storedPositions(database);
    std::vector<std::pair<int, int>> changes; // key, row
    auto next = stored.begin();
    for (const auto &[key, row] : wanted) {
        while (next != stored.end() && next->first < key)
            ++next;
        if (next == stored.end() || next->first != key || next->second != row)
            changes.emplace_back(key, row);
    }
    if (changes.empty())
        return 0;
    // Joins the caller's: the indexes are never gone outside one.
    Transaction transaction(database);
    // The first drop in a shuffled view moves nearly every row; a drop in
    // a view already in order moves a few.
    std::optional<IndexesSetAside> aside;
    if (IndexesSetAside::pays(qsizetype(changes.size()), qsizetype(stored.size())))
        aside.emplace(database, "manualSort", "ManualOrder::writeRowNumbers");
    sqlite3_stmt *statement = position_statement.get(database, "ManualOrder::writeRowNumbers");
    for (const auto &[key, row] : changes) {
        sqlite3_bind_int(statement, 1, row);
        sqlite3_bind_int(statement, 2, key);
        sql::stepToDone(statement, database, "Error: failed to dehydrate with message '%s'.",
                        "ManualOrder::writeRowNumbers");
    }
    if (aside)
        aside->restore();
    transaction.commit();
    return int(changes.size());
}

void finalizeStatements()
{
    position_statement.finalize();
}

} // namespace ManualOrder
