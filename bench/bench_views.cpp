// How long a view takes to load, beside the bare query that reads every open
// task's key and title in manual order from the same file.
#include "BenchDatabase.h"
#include "Item.h"
#include "ViewQuery.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
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

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
