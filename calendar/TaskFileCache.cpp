#include "TaskFileCache.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimeZone>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
// Changes whenever the layout below does; an older cache is then ignored.
constexpr quint32 magic = 0x57434332; // "WCC2"

// Due dates are kept as instants. A floating or date-only DUE names another
// instant in another time zone, so the cache holds only for the zone it was
// made in.
QByteArray zone()
{
    return QTimeZone::systemTimeZoneId();
}
} // namespace

namespace {
bool fill(const struct stat &info, TaskFileCache::Stamp &stamp)
{
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
#ifdef __APPLE__
    stamp.modified = qint64(info.st_mtimespec.tv_sec) * 1000000000 + info.st_mtimespec.tv_nsec;
#else
    stamp.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#endif
    return S_ISREG(info.st_mode);
}
} // namespace

bool TaskFileCache::Stamp::of(const QString &path, Stamp &stamp)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && fill(info, stamp);
}

bool TaskFileCache::Stamp::at(int folder, const char *name, Stamp &stamp)
{
    struct stat info;
    return fstatat(folder, name, &info, 0) == 0 && fill(info, stamp);
}

TaskFileCache::TaskFileCache(const QString &file)
    : file_(file)
{
    if (!file_.isEmpty())
        load();
}

TaskFileCache::~TaskFileCache()
{
    save();
}

std::optional<TaskFileCache::Content> TaskFileCache::find(
    const QString &path, const Stamp &stamp) const
{
    const auto found = entries_.constFind(path);
    if (found == entries_.cend() || !(found->stamp == stamp))
        return std::nullopt;
    return found->content;
}

void TaskFileCache::insert(const QString &path, const Stamp &stamp, const Content &content)
{
    entries_.insert(path, {stamp, content});
    changed_ = true;
}

void TaskFileCache::keepOnly(const QSet<QString> &paths)
{
    for (auto entry = entries_.begin(); entry != entries_.end();) {
        if (paths.contains(entry.key())) {
            ++entry;
        } else {
            entry = entries_.erase(entry);
            changed_ = true;
        }
    }
}

void TaskFileCache::load()
{
    QFile file(file_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 header = 0;
    QByteArray madeIn;
    qint64 count = 0;
    in >> header >> madeIn >> count;
    if (header != magic || madeIn != zone() || count < 0)
        return;
    QHash<QString, Entry> entries;
    entries.reserve(qsizetype(qMin<qint64>(count, 1000000)));
    for (qint64 at = 0; at < count && in.status() == QDataStream::Ok; ++at) {
        QString path;
        Entry entry;
        bool readable = false;
        in >> path >> entry.stamp.inode >> entry.stamp.size >> entry.stamp.modified >> readable;
        if (readable) {
            CalendarTask task;
            qint32 priority = 0;
            qint64 due = 0;
            bool hasDue = false;
            in >> task.uid >> task.title >> hasDue >> due >> priority >> task.notes
                >> task.completed;
            if (hasDue)
                task.dueDate = QDateTime::fromMSecsSinceEpoch(due, QTimeZone::utc());
            task.priority = priority;
            entry.content = task;
        }
        entries.insert(path, entry);
    }
    // A cache cut short or damaged is no cache: every file is read again.
    if (in.status() == QDataStream::Ok && entries.size() == count)
        entries_ = std::move(entries);
}

void TaskFileCache::save()
{
    if (file_.isEmpty() || !changed_)
        return;
    QDir().mkpath(QFileInfo(file_).path());
    QSaveFile file(file_);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_0);
    out << magic << zone() << qint64(entries_.size());
    for (auto entry = entries_.cbegin(); entry != entries_.cend(); ++entry) {
        const Entry &e = entry.value();
        out << entry.key() << e.stamp.inode << e.stamp.size << e.stamp.modified
            << e.content.has_value();
        if (e.content)
            out << e.content->uid << e.content->title << e.content->dueDate.isValid()
                << qint64(e.content->dueDate.toMSecsSinceEpoch()) << qint32(e.content->priority)
                << e.content->notes << e.content->completed;
    }
    if (file.commit())
        changed_ = false;
}
