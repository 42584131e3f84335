// How long a view takes to load, beside the bare query that reads every open
// task's key and title in manual order from the same file; and what a drop costs.
#include "BenchDatabase.h"
#include "Item.h"
#include "ManualOrder.h"
#include "Transaction.h"
#include "ViewQuery.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <utility>
#include <vector>

namespace {

struct Connection
{
    explicit Connection(int tasks)
    {
        sqlite3_open(BenchDatabase::pathFor(tasks).toUtf8().constData(), &db);
    }
    ~Connection()
    {
        Item::finalizeStatements();
        sqlite3_close(db);
    }
    sqlite3 *db = nullptr;
};

void BM_BareQuery(benchmark::State &state)
{
    Connection connection(int(state.range(0)));
    for (auto _ : state) {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(connection.db,
                           "SELECT pk, action FROM item WHERE completed=0 ORDER BY manualSort", -1,
                           &statement, nullptr);
        int rows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_int(statement, 0));
            benchmark::DoNotOptimize(sqlite3_column_text(statement, 1));
            ++rows;
        }
        sqlite3_finalize(statement);
        benchmark::DoNotOptimize(rows);
    }
}

// What loadTasksForCategory does: the view's keys, then a record per row.
void loadView(benchmark::State &state, const QString &view, int sortBy)
{
    Connection connection(int(state.range(0)));
    for (auto _ : state) {
        const QList<int> keys = ViewQuery::taskKeys(connection.db, view, sortBy);
        std::vector<Item> items;
        items.reserve(size_t(keys.size()));
        for (int key : keys)
            items.push_back(Item::deferred(key, connection.db));
        benchmark::DoNotOptimize(items.data());
    }
}

void BM_AllTasksManual(benchmark::State &state)
{
    loadView(state, QStringLiteral("All Tasks"), ViewQuery::manualSort);
}
void BM_AllTasksByTitle(benchmark::State &state)
{
    loadView(state, QStringLiteral("All Tasks"), ViewQuery::byTitle);
}
void BM_ListManual(benchmark::State &state)
{
    loadView(state, QStringLiteral("List 3"), ViewQuery::manualSort);
}

// The first screen after a view load: 12 rows read their titles and fields.
void BM_FirstScreenOfRows(benchmark::State &state)
{
    Connection connection(int(state.range(0)));
    const QList<int> keys = ViewQuery::taskKeys(connection.db, QStringLiteral("All Tasks"), 0);
    for (auto _ : state) {
        for (int row = 0; row < 12 && row < keys.size(); ++row) {
            Item item = Item::deferred(keys[row], connection.db);
            benchmark::DoNotOptimize(item.action().size());
            item.hydrate();
        }
    }
}

} // namespace

BENCHMARK(BM_BareQuery)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllTasksManual)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllTasksByTitle)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListManual)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstScreenOfRows)->Arg(100000)->Unit(benchmark::kMicrosecond);

// A drop in "All Tasks": every shown task's position becomes its row number.
// Writing only the positions, and only those that change, beside the way it
// once was done, a whole record written back per row.
namespace {


// A copy of the benchmark file: drops reorder it, and the other benchmarks
// want its shuffled order.
struct DropFixture
{
    explicit DropFixture(int tasks)
    {
        const QString path = dir.filePath(QStringLiteral("drop.dbz"));
        QFile::copy(BenchDatabase::pathFor(tasks), path);
        sqlite3_open(path.toUtf8().constData(), &db);
        for (int key : ViewQuery::taskKeys(db, QStringLiteral("All Tasks"), 0))
            items.push_back(Item::deferred(key, db));
    }
    ~DropFixture()
    {
        items.clear();
        Item::finalizeStatements();
        sqlite3_close(db);
    }
    // The first row moves one place down, as a short drag does.
    void moveFirstRow() { std::swap(items[0], items[1]); }

    QTemporaryDir dir;
    sqlite3 *db = nullptr;
    std::vector<Item> items;
};

void BM_DropWritingPositions(benchmark::State &state)
{
    DropFixture fixture(int(state.range(0)));
    for (auto _ : state) {
        fixture.moveFirstRow();
        QList<int> keys;
        keys.reserve(int(fixture.items.size()));
        for (const Item &item : fixture.items)
            keys.append(item.primaryKey());
        Transaction transaction(fixture.db);
        ManualOrder::writeRowNumbers(fixture.db, keys);
        transaction.commit();
    }
}

void BM_DropRewritingRecords(benchmark::State &state)
{
    DropFixture fixture(int(state.range(0)));
    for (auto _ : state) {
        fixture.moveFirstRow();
        Transaction transaction(fixture.db);
        for (size_t index = 0; index < fixture.items.size(); ++index) {
            Item &task = fixture.items[index];
            task.hydrate();
            task.setIndexSort(int(index));
            task.dehydrate();
        }
        transaction.commit();
    }
}

} // namespace

BENCHMARK(BM_DropWritingPositions)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropRewritingRecords)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
