// How long one screen of task rows takes to draw: twelve rows of a large
// "All Tasks" view, each hydrated on first sight, summarised and painted by
// MyCell into an image the size of the table.
#include "BenchDatabase.h"
#include "Item.h"
#include "MyCell.h"
#include "TaskSummary.h"
#include "ViewQuery.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

void BM_DrawOneScreen(benchmark::State &state)
{
    sqlite3 *db = nullptr;
    sqlite3_open(BenchDatabase::pathFor(int(state.range(0))).toUtf8().constData(), &db);
    const QList<int> keys = ViewQuery::taskKeys(db, QStringLiteral("All Tasks"), 0);
    QImage image(360, 12 * MyCell::RowHeight, QImage::Format_ARGB32_Premultiplied);
    const QFont font = QApplication::font();
    for (auto _ : state) {
        QPainter painter(&image);
        for (int row = 0; row < 12; ++row) {
            Item item = Item::deferred(keys[row], db);
            item.hydrate();
            const QString summary = TaskSummary::summaryText(QStringLiteral("All Tasks"), item);
            MyCell::drawInterior(painter, QRect(0, row * MyCell::RowHeight, 360, MyCell::RowHeight),
                                 item.action(), summary, row == 3, font);
        }
    }
    Item::finalizeStatements();
    sqlite3_close(db);
}

} // namespace

BENCHMARK(BM_DrawOneScreen)->Arg(100000)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
