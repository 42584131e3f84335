// TaskFileCache: what each .ics file held when it was last read, kept
// between runs in one file. An entry counts only while the file still has
// the inode, size and modification time (to the nanosecond) it had when it
// was read; every writer here replaces a file by rename, which gives a new
// inode. So a start-up over ten thousand unchanged tasks costs ten thousand
// stat calls instead of ten thousand parses, and never hides a change.
#pragma once

#include "CalendarTypes.h"

#include <QHash>
#include <QSet>
#include <optional>

class TaskFileCache
{
public:
    struct Stamp
    {
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const Stamp &other) const
        {
            return inode == other.inode && size == other.size && modified == other.modified;
        }
        // False when the file cannot be looked at (gone, no permission).
        static bool of(const QString &path, Stamp &stamp);
        // The same for a name in an open folder: one lookup, not the path's.
        static bool at(int folder, const char *name, Stamp &stamp);
    };
    // A task as read, or none when the file held no readable task.
    using Content = std::optional<CalendarTask>;

    // file: where the cache is kept; empty keeps it in memory only. A file
    // that cannot be read whole is ignored.
    explicit TaskFileCache(const QString &file = {});
    ~TaskFileCache();
    TaskFileCache(const TaskFileCache &) = delete;
    TaskFileCache &operator=(const TaskFileCache &) = delete;

    // What path held when it had this stamp; none when it was not read so.
    std::optional<Content> find(const QString &path, const Stamp &stamp) const;
    void insert(const QString &path, const Stamp &stamp, const Content &content);
    // Forgets the files that are not in paths.
    void keepOnly(const QSet<QString> &paths);
    // Writes the cache file when something changed.
    void save();

private:
    struct Entry
    {
        Stamp stamp;
        Content content;
    };
    void load();

    QString file_;
    QHash<QString, Entry> entries_;
    bool changed_ = false;
};
