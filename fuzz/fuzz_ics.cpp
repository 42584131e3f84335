// An .ics file in the calendar folder is written by any program, or is half
// written, or is not iCalendar at all: reading it through the store must never
// fault, and a task Wendra read must survive being written back and read
// again, as the next sync does with it.
#include "IcsFormat.h"
#include "VdirCalendarStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// A broken promise is a fault like a crash: say which, and stop.
#define require(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "failed: %s\n", #condition), std::abort()))

QTemporaryDir *root;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    // A line for every damaged file would be most of the run's time.
    QLoggingCategory::setFilterRules(QStringLiteral("wendra.calendar=false"));
    root = new QTemporaryDir;
    QDir(root->path()).mkpath(QStringLiteral("tasks"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<CalendarTask> task = IcsFormat::read(text);

    // The store reads the file as the format reads the text.
    QFile file(root->path() + QStringLiteral("/tasks/task.ics"));
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    VdirCalendarStore store(root->path());
    const QList<CalendarTask> stored = store.allTasks();
    require(stored.size() == (task ? 1 : 0));
    if (!task)
        return 0;
    require(stored.first().uid == task->uid && stored.first().title == task->title);

    // Written over the file it came from, and written afresh, the task reads
    // back as itself.
    for (const QByteArray &written : {IcsFormat::write(*task, text), IcsFormat::write(*task)}) {
        const std::optional<CalendarTask> again = IcsFormat::read(written);
        require(again.has_value());
        require(again->uid == task->uid);
        require(again->title == task->title);
        require(again->completed == task->completed);
        require(again->notes == task->notes);
    }
    return 0;
}
