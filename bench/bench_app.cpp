// Wendra's commands on a file of 100,000 tasks (a fifth of them completed,
// over 20 lists; or every open task in the first list), each timed until the
// window has painted the result, beside two references on the same file: the
// bare SQLite query of the same rows, and a minimal Qt window with a plain
// table of those rows (BareTable).
//   bench_app [benchmark options]
//   bench_app --memory=empty|spread|one-list|few
// --memory prints the resident memory after start-up, after visiting every
// view and after scrolling through "All Tasks" (and the same for the bare
// table), then ends.
#include "AppController.h"
#include "BenchDatabase.h"
#include "DatabaseFile.h"
#include "Item.h"
#include "TaskTableModel.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

constexpr int openTasks = 80'000;
constexpr int completedTasks = 20'000;
// few: the same 20 lists with a screenful and a bit in each, so that start-up
// draws as many rows as with the large files.
enum Database { empty, spread, oneList, few };
const char *const databaseNames[] = {"empty", "spread", "one-list", "few"};

struct Setup
{
    QTemporaryDir home;
    QString files[4];
} *setup = nullptr;

void makeDatabases()
{
    for (int which : {empty, spread, oneList, few}) {
        setup->files[which] = setup->home.filePath(QString::fromLatin1(databaseNames[which]) + ".dbz");
        const int open = which == empty ? 0 : which == few ? 800 : openTasks;
        BenchDatabase::create(setup->files[which], open, open / 4);
    }
    sqlite3 *db = nullptr;
    sqlite3_open(setup->files[oneList].toUtf8().constData(), &db);
    sqlite3_exec(db, "UPDATE item SET category='List 0' WHERE completed=0", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Until the window shows what the last command did.
void paint()
{
    QCoreApplication::processEvents();
}

// Wendra started on a fresh copy of one of the files, its window shown.
struct Wendra
{
    explicit Wendra(int which)
    {
        const QString path = DatabaseFile::pathForDBFile();
        QFile::remove(path);
        QFile::copy(setup->files[which], path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        controller = std::make_unique<AppController>();
        controller->awakeFromNib();
        paint();
    }
    AppController *operator->() const { return controller.get(); }
    void trigger(const QString &title) const
    {
        for (QAction *action : controller->mainWindow->findChildren<QAction *>())
            if (action->text() == title)
                return action->trigger();
        qFatal("no menu item %s", qPrintable(title));
    }
    QTableView *table() const { return controller->mainWindow->findChild<QTableView *>("table"); }

    std::unique_ptr<AppController> controller;
};

// Scrolls the table page by page from top to bottom, painting each page.
void scrollThrough(QTableView *table)
{
    QScrollBar *bar = table->verticalScrollBar();
    bar->setValue(0);
    paint();
    while (bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + bar->pageStep());
        paint();
    }
}

// The references: the bare query reads what a view shows (key and title),
// and BareTable shows those titles in a plain table.
const char *viewQuery(const QString &view)
{
    if (view == QLatin1String("All Tasks"))
        return "SELECT pk, action FROM item WHERE completed=0 ORDER BY manualSort";
    if (view == QLatin1String("Completed"))
        return "SELECT pk, action FROM item WHERE completed=1 ORDER BY startDate";
    if (view == QLatin1String("Today"))
        return "SELECT pk, action FROM item WHERE endDate>=strftime('%s','now','start of day') "
               "AND endDate<strftime('%s','now','start of day','+1 day') AND completed=0 "
               "ORDER BY importance";
    return "SELECT pk, action FROM item WHERE category='List 0' AND completed=0 ORDER BY manualSort";
}

QStringList bareQuery(sqlite3 *db, const char *sql)
{
    QStringList titles;
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW)
        titles.append(QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(statement, 1))));
    sqlite3_finalize(statement);
    return titles;
}

class TitleModel : public QAbstractTableModel
{
public:
    void setTitles(QStringList titles)
    {
        beginResetModel();
        titles_ = std::move(titles);
        endResetModel();
    }
    int rowCount(const QModelIndex &) const override { return int(titles_.size()); }
    int columnCount(const QModelIndex &) const override { return 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(titles_.at(index.row())) : QVariant();
    }

private:
    QStringList titles_;
};

struct BareTable
{
    BareTable()
    {
        table.setModel(&model);
        table.resize(400, 600);
        table.show();
        paint();
    }
    TitleModel model;
    QTableView table;
};

struct Connection
{
    explicit Connection(int which) { sqlite3_open(setup->files[which].toUtf8().constData(), &db); }
    ~Connection() { sqlite3_close(db); }
    sqlite3 *db = nullptr;
};

// ---- Wendra ----

void BM_StartUp(benchmark::State &state)
{
    int whole = 0;
    // Start-up writes nothing, so one copy serves every run.
    const QString path = DatabaseFile::pathForDBFile();
    QFile::remove(path);
    QFile::copy(setup->files[state.range(0)], path);
    for (auto _ : state) {
        AppController controller;
        controller.awakeFromNib();
        paint();
        state.PauseTiming();
        whole += controller.tableModel()->rowCount() > 100;
        Item::finalizeStatements();
        state.ResumeTiming();
    }
    // Start-ups whose whole first list was already read when the clock
    // stopped: the rest of a long list belongs after the first frame.
    state.counters["whole"] = whole;
}

void viewSwitch(benchmark::State &state, const QString &view)
{
    Wendra wendra(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        // From another view; to the first list from the second.
        if (view == QLatin1String("List 0"))
            wendra->nextCategory();
        else
            wendra->showTodayTasks();
        paint();
        state.ResumeTiming();
        if (view == QLatin1String("All Tasks"))
            wendra->showAllTasks();
        else if (view == QLatin1String("Completed"))
            wendra->showCompletedTasks();
        else if (view == QLatin1String("Today"))
            wendra->showTodayTasks();
        else
            wendra.trigger(QStringLiteral("Previous List"));
        paint();
    }
}

void sortBy(benchmark::State &state, const QString &order)
{
    Wendra wendra(int(state.range(0)));
    wendra->showAllTasks();
    for (auto _ : state) {
        wendra.trigger(order);
        paint();
    }
}

void BM_CheckOff(benchmark::State &state)
{
    Wendra wendra(int(state.range(0)));
    for (auto _ : state) {
        wendra->checkOffRow(0);
        paint();
    }
}

void BM_AddFromEntryLine(benchmark::State &state)
{
    Wendra wendra(int(state.range(0)));
    auto *field = wendra->mainWindow->findChild<QLineEdit *>("taskField");
    for (auto _ : state) {
        field->setText(QStringLiteral("Call the plumber"));
        wendra->controlTextDidEndEditing();
        paint();
    }
}

// The first drop writes nearly every position (the file's order is
// shuffled); later ones find the rows in order.
void BM_FirstDrop(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Wendra wendra(int(state.range(0)));
        wendra->showAllTasks();
        paint();
        state.ResumeTiming();
        wendra->acceptDrop(0, 2);
        paint();
        state.PauseTiming();
        wendra.controller.reset();
        state.ResumeTiming();
    }
}

void BM_DropInOrder(benchmark::State &state)
{
    Wendra wendra(int(state.range(0)));
    wendra->showAllTasks();
    wendra->acceptDrop(0, 2);
    for (auto _ : state) {
        wendra->acceptDrop(0, 2);
        paint();
    }
}

void BM_ScrollAllTasks(benchmark::State &state)
{
    Wendra wendra(int(state.range(0)));
    wendra->showAllTasks();
    for (auto _ : state)
        scrollThrough(wendra.table());
}

// ---- References ----

void bareQueryOf(benchmark::State &state, const QString &view)
{
    Connection connection(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(bareQuery(connection.db, viewQuery(view)).size());
}

void BM_BareTableStartUp(benchmark::State &state)
{
    for (auto _ : state) {
        BareTable bare;
        benchmark::DoNotOptimize(&bare);
    }
}

// The rows of a view read and shown in the plain table.
void bareTableOf(benchmark::State &state, const QString &view)
{
    Connection connection(int(state.range(0)));
    BareTable bare;
    for (auto _ : state) {
        bare.model.setTitles(bareQuery(connection.db, viewQuery(view)));
        paint();
    }
}

void BM_BareTableScroll(benchmark::State &state)
{
    Connection connection(int(state.range(0)));
    BareTable bare;
    bare.model.setTitles(bareQuery(connection.db, viewQuery(QStringLiteral("All Tasks"))));
    for (auto _ : state)
        scrollThrough(&bare.table);
}

void registerAll()
{
    const auto ms = benchmark::kMillisecond;
    BENCHMARK(BM_StartUp)->Arg(empty)->Arg(few)->Arg(spread)->Arg(oneList)->Unit(ms);
    BENCHMARK(BM_BareTableStartUp)->Unit(ms);
    for (const char *view : {"All Tasks", "Today", "Completed", "List 0"}) {
        const QString name = QString::fromLatin1(view);
        const std::string label = QString(name).remove(' ').toStdString();
        benchmark::RegisterBenchmark(("BM_ViewSwitch/" + label).c_str(), viewSwitch, name)
            ->Arg(spread)->Arg(oneList)->Unit(ms);
        benchmark::RegisterBenchmark(("BM_BareQuery/" + label).c_str(), bareQueryOf, name)
            ->Arg(spread)->Arg(oneList)->Unit(ms);
        benchmark::RegisterBenchmark(("BM_BareTable/" + label).c_str(), bareTableOf, name)
            ->Arg(spread)->Arg(oneList)->Unit(ms);
    }
    for (const char *order : {"Manual Order", "Title", "Due Date", "Importance"})
        benchmark::RegisterBenchmark(
            ("BM_SortAllTasks/" + QString::fromLatin1(order).remove(' ').toStdString()).c_str(),
            sortBy, QString::fromLatin1(order))
            ->Arg(spread)->Unit(ms);
    BENCHMARK(BM_CheckOff)->Arg(spread)->Arg(oneList)->Unit(ms);
    BENCHMARK(BM_AddFromEntryLine)->Arg(spread)->Arg(oneList)->Unit(ms);
    BENCHMARK(BM_FirstDrop)->Arg(spread)->Iterations(5)->Unit(ms);
    BENCHMARK(BM_DropInOrder)->Arg(spread)->Unit(ms);
    BENCHMARK(BM_ScrollAllTasks)->Arg(spread)->Iterations(1)->Unit(ms);
    BENCHMARK(BM_BareTableScroll)->Arg(spread)->Iterations(1)->Unit(ms);
}

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

int measureMemory(const QString &name)
{
    int which = empty;
    while (which < few && name != QLatin1String(databaseNames[which]))
        ++which;
    std::printf("%s, before start-up: %ld kB\n", databaseNames[which], residentKilobytes());
    {
        Wendra wendra(which);
        std::printf("after start-up: %ld kB\n", residentKilobytes());
        for (size_t list = 1; list < wendra->categories().size(); ++list)
            wendra.trigger(QStringLiteral("Next List")), paint();
        wendra->showTodayTasks(), paint();
        wendra->showCompletedTasks(), paint();
        wendra->showAllTasks(), paint();
        std::printf("after every view: %ld kB\n", residentKilobytes());
        scrollThrough(wendra.table());
        std::printf("after scrolling All Tasks: %ld kB\n", residentKilobytes());
    }
    Connection connection(which);
    BareTable bare;
    bare.model.setTitles(bareQuery(connection.db, viewQuery(QStringLiteral("All Tasks"))));
    scrollThrough(&bare.table);
    std::printf("a bare table of All Tasks beside it, scrolled: %ld kB\n", residentKilobytes());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Setup data;
    setup = &data;
    BenchDatabase::useHome(data.home.path());
    QApplication application(argc, argv);
    makeDatabases();
    QDir().mkpath(QFileInfo(DatabaseFile::pathForDBFile()).path());
    const QString memory = QStringLiteral("--memory=");
    if (argc > 1 && QString::fromLocal8Bit(argv[1]).startsWith(memory))
        return measureMemory(QString::fromLocal8Bit(argv[1]).mid(memory.size()));
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
