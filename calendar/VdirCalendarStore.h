// VdirCalendarStore: the calendar store as a vdir, the folder layout that
// todoman, khal and vdirsyncer share (and vdirsyncer syncs with any CalDAV
// server). Under the root, one folder per calendar with its title in the file
// "displayname", and one .ics file per task.
//
// Every write goes to a temporary file in the same folder that is then
// renamed over the old one, so another program never reads half a task.
// Changes made by other programs are found with QFileSystemWatcher and a
// rescan that compares each file's inode, size and time with what was last
// seen; Wendra's own writes update that record at once, so they are never
// mistaken for another program's.
#pragma once

#include "CalendarStore.h"
#include "TaskFileCache.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <vector>

class QFileSystemWatcher;

class VdirCalendarStore : public CalendarStore
{
    Q_OBJECT

public:
    // cacheFile keeps what the files held between runs (TaskFileCache);
    // without one every file is read at every start.
    explicit VdirCalendarStore(
        const QString &root, const QString &cacheFile = {}, QObject *parent = nullptr);
    ~VdirCalendarStore() override;

    // GenericDataLocation + "/calendars": ~/.local/share/calendars on Linux.
    static QString defaultRoot();
    // The file name of a task: the uid where it is a plain name, escaped
    // otherwise, so no uid becomes a path and no two uids share a name.
    static QString fileNameForUid(const QString &uid);

    QString root() const { return root_; }

    QList<Calendar> calendars() override;
    std::optional<Calendar> saveCalendar(const QString &title) override;
    bool saveTask(CalendarTask &task) override;
    std::optional<CalendarTask> taskWithUid(const QString &uid) override;
    bool removeTask(const QString &uid) override;
    QList<CalendarTask> allTasks() override;
    void startWatching() override;

    // Looks for other programs' changes now instead of after the pause
    // that gathers a burst of file events into one notification.
    void scanForChanges();

private:
    using Stamp = TaskFileCache::Stamp;
    struct FileState
    {
        Stamp stamp;
        QString uid;
    };

    struct TaskFile
    {
        QString path;
        Calendar calendar;
        Stamp stamp;
    };
    // Every .ics file of every calendar folder, with its calendar and stamp.
    QList<TaskFile> taskFiles(const QList<Calendar> &calendars) const;
    struct Parsed
    {
        std::optional<CalendarTask> task;
        QString why; // when there is none
    };
    // Reads a file: touches nothing else, so files are parsed side by side.
    static Parsed parse(const QString &path, const Stamp &stamp);
    // The task in the file with this stamp, from the cache when it has it.
    std::optional<CalendarTask> read(
        const QString &path, const Calendar &calendar, const Stamp &stamp);
    // The same for many files, in their order; the files the cache does not
    // know are parsed on several threads when there are this many.
    static constexpr size_t parallelFrom = 64;
    std::vector<std::optional<CalendarTask>> readAll(const QList<TaskFile> &files);
    QString pathForUid(const QString &uid) const;
    void remember(const QString &path, const QString &uid);
    void forget(const QString &path);
    void announce(const CalendarChanges &changes);
    void fileEvent();
    void armWatches(const QList<TaskFile> &files);

    QString root_;
    TaskFileCache cache_;
    // What each file was when last read or written; the base of the rescan.
    QHash<QString, FileState> seen_;
    bool haveSeen_ = false;
    QHash<QString, QString> pathOfUid_;
    CalendarChanges ownChanges_;
    QFileSystemWatcher *watcher_ = nullptr;
    QTimer settle_;
    QElapsedTimer firstEvent_;
};
