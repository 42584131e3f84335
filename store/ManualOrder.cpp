#include "ManualOrder.h"

#include "ClassStatement.h"
#include "IndexesSetAside.h"
#include "InternalError.h"
#include "Transaction.h"

#include <algorithm>
#include <sqlite3.h>
#include <utility>
#include <vector>

namespace ManualOrder {
namespace {

// Only the position: a task changed by another program since it was drawn
// keeps that program's fields.
ClassStatement position_statement("UPDATE item SET manualSort=?1 WHERE pk=?2");

// The same write for most of the table at once: one pass over the table that
// looks each task up among the changes costs a third of what a statement per
// row does.
constexpr char bulk_update[] = "UPDATE item SET manualSort=wendra_position(pk, ?1) "
                               "WHERE wendra_position(pk, ?1) IS NOT NULL";
constexpr char changes_type[] = "wendra_changes";

using Change = std::pair<int, int>; // key, row

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

// wendra_position(key, changes): the row the changes give the task, NULL when
// they leave it alone. The changes, sorted by key, come only as a pointer
// bound by the bulk update: from anywhere else the function finds none.
void positionOf(sqlite3_context *context, int, sqlite3_value **arguments)
{
    const auto *changes = static_cast<const std::vector<Change> *>(
        sqlite3_value_pointer(arguments[1], changes_type));
    if (changes == nullptr || sqlite3_value_type(arguments[0]) != SQLITE_INTEGER) {
        sqlite3_result_null(context);
        return;
    }
    const sqlite3_int64 key = sqlite3_value_int64(arguments[0]);
    const auto found = std::lower_bound(
        changes->begin(), changes->end(), key,
        [](const Change &change, sqlite3_int64 wanted) { return change.first < wanted; });
    if (found == changes->end() || found->first != key)
        sqlite3_result_null(context);
    else
        sqlite3_result_int(context, found->second);
}

void writeAtOnce(sqlite3 *database, const std::vector<Change> &changes)
{
    // Registering again is harmless: the indexes set aside have already made
    // every prepared statement of the connection prepare again.
    if (sqlite3_create_function_v2(database, "wendra_position", 2, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                                   nullptr, positionOf, nullptr, nullptr, nullptr)
        != SQLITE_OK)
        throw InternalError(sql::describe("Error: failed to dehydrate with message '%s'.", database),
                            QStringLiteral("ManualOrder::writeRowNumbers"));
    Query update(database, bulk_update, "ManualOrder::writeRowNumbers");
    sqlite3_bind_pointer(update.statement(), 1, const_cast<std::vector<Change> *>(&changes),
                         changes_type, nullptr);
    while (update.next()) {
    }
}

void writeOneByOne(sqlite3 *database, const std::vector<Change> &changes)
{
    sqlite3_stmt *statement = position_statement.get(database, "ManualOrder::writeRowNumbers");
    for (const auto &[key, row] : changes) {
        sqlite3_bind_int(statement, 1, row);
        sqlite3_bind_int(statement, 2, key);
        sql::stepToDone(statement, database, "Error: failed to dehydrate with message '%s'.",
                        "ManualOrder::writeRowNumbers");
    }
}

} // namespace

int writeRowNumbers(sqlite3 *database, const QList<int> &keys)
{
    // The rows in key order meet the stored positions in one pass; the
    // changes come out in key order too, so that the table's pages are each
    // written once.
    std::vector<Change> wanted;
    wanted.reserve(size_t(keys.size()));
    for (int row = 0; row < keys.size(); ++row)
        wanted.emplace_back(keys[row], row);
    std::sort(wanted.begin(), wanted.end());
    const std::vector<Position> stored = storedPositions(database);
    std::vector<Change> changes;
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
    if (IndexesSetAside::pays(qsizetype(changes.size()), qsizetype(stored.size()))) {
        IndexesSetAside aside(database, "manualSort", "ManualOrder::writeRowNumbers");
        writeAtOnce(database, changes);
        aside.restore();
    } else {
        writeOneByOne(database, changes);
    }
    transaction.commit();
    return int(changes.size());
}

void finalizeStatements()
{
    position_statement.finalize();
}

} // namespace ManualOrder
