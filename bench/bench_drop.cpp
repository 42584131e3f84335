// What a drop in "All Tasks" costs: every shown task's position becomes its
// row number. Writing only the positions, and only those that change, beside
// the way it once was done, a whole record written back per row.
#include "BenchDatabase.h"
#include "Item.h"
#include "Transaction.h"
#include "ViewQuery.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <utility>
#include <vector>

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
        Transaction transaction(fixture.db);
        for (size_t index = 0; index < fixture.items.size(); ++index)
            fixture.items[index].writeIndexSort(int(index));
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
