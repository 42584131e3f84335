// A calendar folder of 10,000 tasks (a tenth of them completed) over four
// calendars: reading it (with and without the cache of an earlier run),
// importing it into an empty database, and Wendra's start-up with
// synchronisation off and on once every task is linked. Compare by hand with
// todoman on the same folder, its cache removed (cold) and kept (warm):
//   TODOMAN_CONFIG=<file with path = "PATH/*"> todoman list
//   bench_calendar [--folder=PATH] [benchmark options]
// --folder keeps the vdir at PATH, for timing `todoman list` on the same files.
#include "AppController.h"
#include "BenchDatabase.h"
#include "CalendarImport.h"
#include "DatabaseFile.h"
#include "Item.h"
#include "SyncSettings.h"
#include "VdirCalendarStore.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace {

constexpr int calendarTasks = 10000;
const QStringList lists {"List 0", "List 1", "List 2", "List 3"};

struct Setup
{
    QTemporaryDir home;
    QString root;
    QString emptyDatabase;
    QString linkedDatabase;
} *setup = nullptr;

sqlite3 *openCopy(const QString &from, const QString &to)
{
    QFile::remove(to);
    QFile::copy(from, to);
    QFile::setPermissions(to, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    sqlite3 *database = nullptr;
    sqlite3_open(to.toUtf8().constData(), &database);
    return database;
}

void close(sqlite3 *database)
{
    Item::finalizeStatements();
    sqlite3_close(database);
}

void writeFolder(const QString &root)
{
    VdirCalendarStore store(root);
    for (const QString &list : lists)
        store.saveCalendar(list);
    const QList<Calendar> calendars = store.calendars();
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < calendarTasks; ++i) {
        CalendarTask task {{}, calendars.at(i % calendars.size()), QStringLiteral("Task %1").arg(i),
            start.addSecs(i * 3600), i % 10, QStringLiteral("notes %1").arg(i), i % 10 == 0};
        store.saveTask(task);
    }
}

void BM_ReadFolder(benchmark::State &state)
{
    for (auto _ : state) {
        VdirCalendarStore store(setup->root);
        benchmark::DoNotOptimize(store.allTasks().size());
    }
}
BENCHMARK(BM_ReadFolder)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// The same with the cache a previous run left: a stat call per file.
void BM_ReadFolderCached(benchmark::State &state)
{
    const QString cache = setup->home.filePath("read.cache");
    VdirCalendarStore(setup->root, cache).allTasks();
    for (auto _ : state) {
        VdirCalendarStore store(setup->root, cache);
        benchmark::DoNotOptimize(store.allTasks().size());
    }
}
BENCHMARK(BM_ReadFolderCached)->Unit(benchmark::kMillisecond);

// The first start with synchronisation on: every open calendar task is new.
void BM_FirstImport(benchmark::State &state)
{
    const QString path = setup->home.filePath("first.dbz");
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3 *database = openCopy(setup->emptyDatabase, path);
        VdirCalendarStore store(setup->root);
        state.ResumeTiming();
        CalendarImport(store, database, 0).importAtStartup(lists);
        state.PauseTiming();
        close(database);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstImport)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// Wendra's start-up over a database whose calendar tasks are all linked,
// up to the window's first frame with the first list in it.
void startUp(AppController &controller)
{
    close(openCopy(setup->linkedDatabase, DatabaseFile::pathForDBFile()));
    controller.awakeFromNib();
    while (!controller.mainWindow->windowHandle()->isExposed())
        QCoreApplication::processEvents();
}

// Start-up to the first frame, with synchronisation off and on.
void BM_StartUp(benchmark::State &state)
{
    SyncSettings::write("syncEnabled", int(state.range(0)));
    for (auto _ : state) {
        auto controller = std::make_unique<AppController>();
        startUp(*controller);
        // What start-up leaves to the event loop is timed below, and closing
        // the window not at all.
        state.PauseTiming();
        QCoreApplication::processEvents();
        controller.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What start-up with synchronisation on leaves to the event loop once the
// window shows: the import, the watches on the folders and files, and a
// rescan for changes made meanwhile.
void BM_AfterStartUp(benchmark::State &state)
{
    SyncSettings::write("syncEnabled", 1);
    for (auto _ : state) {
        state.PauseTiming();
        auto controller = std::make_unique<AppController>();
        startUp(*controller);
        state.ResumeTiming();
        QCoreApplication::processEvents();
        state.PauseTiming();
        controller.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AfterStartUp)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    Setup data;
    setup = &data;
    BenchDatabase::useHome(data.home.path());
    QString folder;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (QByteArray(argv[i]).startsWith("--folder="))
            folder = QString::fromLocal8Bit(argv[i] + 9);
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    QApplication application(restCount, rest.data());
    data.root = folder.isEmpty() ? VdirCalendarStore::defaultRoot() : folder;
    if (!QFileInfo::exists(data.root))
        writeFolder(data.root);
    SyncSettings::write("calendarFolder", data.root);
    data.emptyDatabase = data.home.filePath("empty.dbz");
    BenchDatabase::create(data.emptyDatabase, 0);
    // The linked database: the empty one after its first import.
    data.linkedDatabase = data.home.filePath("linked.dbz");
    sqlite3 *database = openCopy(data.emptyDatabase, data.linkedDatabase);
    VdirCalendarStore store(data.root);
    CalendarImport(store, database, 0).importAtStartup(lists);
    close(database);
    QDir().mkpath(QFileInfo(DatabaseFile::pathForDBFile()).path());

    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
