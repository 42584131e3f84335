#include "VdirCalendarStore.h"

#include "IcsFormat.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>
#include <atomic>
#include <dirent.h>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

Q_LOGGING_CATEGORY(lcCalendar, "wendra.calendar")

namespace {

const QString displayNameFile = QStringLiteral("displayname");
const QString icsSuffix = QStringLiteral(".ics");
// A burst of file events (a sync run writes many files) becomes one rescan
// once the folder has been quiet this long, and never later than the cap
// after the first event.
constexpr int settleMilliseconds = 250;
constexpr qint64 settleCapMilliseconds = 750;
// Folders are always watched; single files only up to this many, which
// keeps far below the system's inotify limit. Files beyond it are seen when
// they are replaced (every program here writes by renaming) or created.
constexpr int maximumFileWatches = 1000;

// The folder name for a new calendar: its title in lower-case letters,
// digits, '-' and '_', never empty and never hidden.
QString folderNameFor(const QString &title)
{
    QString name;
    for (QChar c : title.left(60)) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            name += c.toLower();
        else if (c == QLatin1Char('_'))
            name += c;
        else
            name += QLatin1Char('-');
    }
    return name.isEmpty() ? QStringLiteral("calendar") : name;
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    // QSaveFile writes a temporary file beside path and renames it over.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        qCWarning(lcCalendar) << "Cannot write" << path << file.errorString();
        return false;
    }
    if (!file.commit()) {
        qCWarning(lcCalendar) << "Cannot write" << path << file.errorString();
        return false;
    }
    return true;
}

} // namespace

VdirCalendarStore::VdirCalendarStore(const QString &root, const QString &cacheFile, QObject *parent)
    : CalendarStore(parent)
    , root_(root)
    , cache_(cacheFile)
{
    settle_.setSingleShot(true);
    settle_.setInterval(settleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, &VdirCalendarStore::scanForChanges);
}

VdirCalendarStore::~VdirCalendarStore() = default;

QString VdirCalendarStore::defaultRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/calendars");
}

QString VdirCalendarStore::fileNameForUid(const QString &uid)
{
    // Every byte outside a small safe set becomes %xx, '%' included, so the
    // mapping cannot send two uids to one name; upper case is escaped too,
    // for file systems that ignore case. No '/', no leading '.', no control
    // character or NUL survives.
    const QByteArray bytes = uid.toUtf8();
    QString name;
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        const char c = bytes.at(at);
        const bool safe = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
            || c == '@' || c == '+' || (c == '.' && at > 0);
        if (safe)
            name += QLatin1Char(c);
        else
            name += QStringLiteral("%%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    // Escaped text never holds "%%", so a hashed name cannot meet a plain one.
    if (name.isEmpty() || name.size() > 200)
        name = QStringLiteral("%%")
            + QString::fromLatin1(
                QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    return name + icsSuffix;
}

QList<Calendar> VdirCalendarStore::calendars()
{
    QList<Calendar> result;
    const QStringList folders
        = QDir(root_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &folder : folders) {
        Calendar calendar {folder, folder};
        // A folder without the file (made by hand, or synced without its
        // metadata) is known by its name, as the other programs show it.
        QFile name(root_ + QLatin1Char('/') + folder + QLatin1Char('/') + displayNameFile);
        if (name.open(QIODevice::ReadOnly)) {
            QByteArray title = name.read(4096);
            if (title.endsWith('\n'))
                title.chop(title.endsWith("\r\n") ? 2 : 1);
            calendar.title = QString::fromUtf8(title);
        }
        result.append(calendar);
    }
    return result;
}

std::optional<Calendar> VdirCalendarStore::saveCalendar(const QString &title)
{
    const QList<Calendar> existing = calendars();
    for (const Calendar &calendar : existing)
        if (calendar.title == title)
            return calendar;
    if (!QDir().mkpath(root_))
        return std::nullopt;
    const QString base = folderNameFor(title);
    QString folder = base;
    for (int n = 2; QFileInfo::exists(root_ + QLatin1Char('/') + folder); ++n)
        folder = base + QLatin1Char('-') + QString::number(n);
    const QString path = root_ + QLatin1Char('/') + folder;
    if (!QDir().mkdir(path))
        return std::nullopt;
    if (!writeFile(path + QLatin1Char('/') + displayNameFile, title.toUtf8())) {
        QDir().rmdir(path);
        return std::nullopt;
    }
    if (watcher_)
        watcher_->addPath(path);
    return Calendar {folder, title};
}

QList<VdirCalendarStore::TaskFile> VdirCalendarStore::taskFiles(
    const QList<Calendar> &calendars) const
{
    // readdir and fstatat rather than QDir and full paths: at start-up this
    // runs over every task, and each path lookup is a system call's work.
    QList<TaskFile> files;
    for (const Calendar &calendar : calendars) {
        const QString folder = root_ + QLatin1Char('/') + calendar.id + QLatin1Char('/');
        DIR *directory = opendir(QFile::encodeName(folder).constData());
        if (!directory)
            continue;
        std::vector<QByteArray> names;
        while (const dirent *entry = readdir(directory)) {
            const QByteArray name(entry->d_name);
            if (name.endsWith(".ics") && !name.startsWith('.'))
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        for (const QByteArray &name : names) {
            TaskFile file {folder + QFile::decodeName(name), calendar, {}};
            if (Stamp::at(dirfd(directory), name.constData(), file.stamp))
                files.append(std::move(file));
        }
        closedir(directory);
    }
    return files;
}

VdirCalendarStore::Parsed VdirCalendarStore::parse(const QString &path, const Stamp &stamp)
{
    Parsed parsed;
    QFile file(path);
    if (stamp.size > IcsFormat::maximumSize)
        parsed.why = QStringLiteral("larger than any task");
    else if (!file.open(QIODevice::ReadOnly))
        parsed.why = file.errorString();
    else
        parsed.task = IcsFormat::read(file.readAll(), &parsed.why);
    return parsed;
}

std::optional<CalendarTask> VdirCalendarStore::read(
    const QString &path, const Calendar &calendar, const Stamp &stamp)
{
    return std::move(readAll({{path, calendar, stamp}}).front());
}

std::vector<std::optional<CalendarTask>> VdirCalendarStore::readAll(const QList<TaskFile> &files)
{
    std::vector<std::optional<CalendarTask>> tasks(size_t(files.size()));
    std::vector<size_t> unknown;
    for (size_t at = 0; at < tasks.size(); ++at) {
        const TaskFile &file = files[qsizetype(at)];
        if (std::optional<TaskFileCache::Content> known = cache_.find(file.path, file.stamp)) {
            tasks[at] = std::move(*known);
            if (tasks[at])
                tasks[at]->calendar = file.calendar;
        } else {
            unknown.push_back(at);
        }
    }
    // Parsing is nearly all the work of a first start over thousands of
    // tasks, and each file stands alone: it runs on every core. The cache
    // and the log are written here afterwards, on this thread only.
    std::vector<Parsed> parsed(unknown.size());
    std::atomic<size_t> next {0};
    const auto work = [&] {
        for (size_t at; (at = next++) < unknown.size();) {
            const TaskFile &file = files[qsizetype(unknown[at])];
            parsed[at] = parse(file.path, file.stamp);
        }
    };
    const size_t helpers = unknown.size() < parallelFrom
        ? 0
        : std::min<size_t>(std::max(std::thread::hardware_concurrency(), 1u) - 1, 7);
    std::vector<std::thread> threads;
    try {
        for (size_t helper = 0; helper < helpers; ++helper)
            threads.emplace_back(work);
    } catch (const std::system_error &) {
        // No thread to be had: this one parses the rest.
    }
    work();
    for (std::thread &thread : threads)
        thread.join();
    for (size_t at = 0; at < unknown.size(); ++at) {
        const TaskFile &file = files[qsizetype(unknown[at])];
        std::optional<CalendarTask> &task = tasks[unknown[at]];
        task = std::move(parsed[at].task);
        // Logged once: the cache remembers the file was unreadable.
        if (!task)
            qCWarning(lcCalendar).noquote() << "Skipping" << file.path << "-" << parsed[at].why;
        cache_.insert(file.path, file.stamp, task);
        if (task)
            task->calendar = file.calendar;
    }
    return tasks;
}

std::optional<CalendarTask> VdirCalendarStore::taskWithUid(const QString &uid)
{
    if (uid.isEmpty())
        return std::nullopt;
    const QList<Calendar> all = calendars();
    const auto calendarOf = [&all](const QString &path) {
        const QString id = QFileInfo(path).dir().dirName();
        for (const Calendar &calendar : all)
            if (calendar.id == id)
                return calendar;
        return Calendar {id, id};
    };
    // Where it was last seen, then where Wendra would have named it.
    QStringList candidates;
    if (const QString known = pathOfUid_.value(uid); !known.isEmpty())
        candidates << known;
    for (const Calendar &calendar : all)
        candidates << root_ + QLatin1Char('/') + calendar.id + QLatin1Char('/')
                + fileNameForUid(uid);
    for (const QString &path : std::as_const(candidates)) {
        Stamp stamp;
        if (!Stamp::of(path, stamp))
            continue;
        std::optional<CalendarTask> task = read(path, calendarOf(path), stamp);
        if (task && task->uid == uid) {
            pathOfUid_.insert(uid, path);
            return task;
        }
    }
    // Another program's file name: every file, most of them from the cache.
    for (const TaskFile &file : taskFiles(all)) {
        std::optional<CalendarTask> task = read(file.path, file.calendar, file.stamp);
        if (task && task->uid == uid) {
            pathOfUid_.insert(uid, file.path);
            return task;
        }
    }
    return std::nullopt;
}

bool VdirCalendarStore::saveTask(CalendarTask &task)
{
    const QString folder = root_ + QLatin1Char('/') + task.calendar.id;
    if (task.calendar.id.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QString oldPath;
    QByteArray previous;
    const bool isNew = task.uid.isEmpty();
    const QString uid = isNew ? QUuid::createUuid().toString(QUuid::WithoutBraces) : task.uid;
    if (!isNew && taskWithUid(uid)) {
        oldPath = pathOfUid_.value(uid);
        QFile file(oldPath);
        if (file.open(QIODevice::ReadOnly))
            previous = file.readAll();
    }
    QString path = oldPath;
    if (QFileInfo(oldPath).absolutePath() != QFileInfo(folder).absoluteFilePath()) {
        // A new file, or a move to another calendar. A file of that name
        // made by another program for another task is never written over.
        const QString base = folder + QLatin1Char('/') + fileNameForUid(uid).chopped(4);
        path = base + icsSuffix;
        for (int n = 1; QFileInfo::exists(path); ++n)
            path = base + QLatin1Char('-') + QString::number(n) + icsSuffix;
    }
    CalendarTask written = task;
    written.uid = uid;
    const QByteArray contents = IcsFormat::write(written, previous);
    if (!writeFile(path, contents))
        return false;
    if (Stamp stamp; Stamp::of(path, stamp))
        cache_.insert(path, stamp, IcsFormat::read(contents));
    if (!oldPath.isEmpty() && oldPath != path) {
        QFile::remove(oldPath);
        forget(oldPath);
    }
    task.uid = uid;
    remember(path, uid);
    CalendarChanges changes;
    (oldPath.isEmpty() ? changes.inserted : changes.updated) << uid;
    announce(changes);
    return true;
}

bool VdirCalendarStore::removeTask(const QString &uid)
{
    if (!taskWithUid(uid))
        return false;
    const QString path = pathOfUid_.value(uid);
    if (!QFile::remove(path)) {
        qCWarning(lcCalendar) << "Cannot remove" << path;
        return false;
    }
    forget(path);
    CalendarChanges changes;
    changes.deleted << uid;
    announce(changes);
    return true;
}

QList<CalendarTask> VdirCalendarStore::allTasks()
{
    QList<CalendarTask> tasks;
    QHash<QString, FileState> seen;
    QSet<QString> paths;
    const QList<TaskFile> files = taskFiles(calendars());
    std::vector<std::optional<CalendarTask>> read = readAll(files);
    tasks.reserve(files.size());
    seen.reserve(files.size());
    paths.reserve(files.size());
    for (qsizetype at = 0; at < files.size(); ++at) {
        const TaskFile &file = files[at];
        FileState state {file.stamp, {}};
        paths.insert(file.path);
        if (std::optional<CalendarTask> &task = read[size_t(at)]) {
            state.uid = task->uid;
            pathOfUid_.insert(task->uid, file.path);
            tasks.append(std::move(*task));
        }
        seen.insert(file.path, state);
    }
    cache_.keepOnly(paths);
    cache_.save();
    // The first full read is the base the rescans compare with: what it
    // returned is exactly what the caller has taken over.
    if (!haveSeen_) {
        seen_ = std::move(seen);
        haveSeen_ = true;
    }
    return tasks;
}

void VdirCalendarStore::remember(const QString &path, const QString &uid)
{
    FileState state;
    if (Stamp::of(path, state.stamp)) {
        state.uid = uid;
        seen_.insert(path, state);
    }
    pathOfUid_.insert(uid, path);
}

void VdirCalendarStore::forget(const QString &path)
{
    const QString uid = seen_.take(path).uid;
    if (pathOfUid_.value(uid) == path)
        pathOfUid_.remove(uid);
}

void VdirCalendarStore::announce(const CalendarChanges &changes)
{
    const bool first = ownChanges_.isEmpty();
    ownChanges_.inserted += changes.inserted;
    ownChanges_.updated += changes.updated;
    ownChanges_.deleted += changes.deleted;
    // Observers run after the command that saved, never inside it.
    if (first)
        QTimer::singleShot(0, this, [this] {
            const CalendarChanges pending = std::exchange(ownChanges_, {});
            if (!pending.isEmpty())
                emit tasksChanged(pending);
        });
}

void VdirCalendarStore::startWatching()
{
    if (watcher_)
        return;
    if (!haveSeen_)
        allTasks();
    QDir().mkpath(root_);
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &VdirCalendarStore::fileEvent);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &VdirCalendarStore::fileEvent);
    // A thousand watches take a while to set: after start-up, from the event
    // loop. The rescan then finds what changed in between.
    QTimer::singleShot(0, this, &VdirCalendarStore::scanForChanges);
}

void VdirCalendarStore::fileEvent()
{
    if (!settle_.isActive()) {
        firstEvent_.start();
        settle_.start();
    } else if (firstEvent_.elapsed() < settleCapMilliseconds) {
        settle_.start();
    }
}

void VdirCalendarStore::armWatches(const QList<TaskFile> &files)
{
    if (!watcher_)
        return;
    // A file replaced by rename is a new file: its old watch is gone and is
    // set again here.
    const QStringList watched = watcher_->directories() + watcher_->files();
    const QSet<QString> have(watched.cbegin(), watched.cend());
    QStringList wanted {root_};
    for (const Calendar &calendar : calendars())
        wanted << root_ + QLatin1Char('/') + calendar.id;
    for (qsizetype at = 0; at < files.size() && at < maximumFileWatches; ++at)
        wanted << files.at(at).path;
    QStringList missing;
    for (const QString &path : std::as_const(wanted))
        if (!have.contains(path))
            missing << path;
    if (!missing.isEmpty())
        watcher_->addPaths(missing);
}

void VdirCalendarStore::scanForChanges()
{
    settle_.stop();
    QHash<QString, FileState> now;
    QSet<QString> before;
    for (const FileState &state : std::as_const(seen_))
        before.insert(state.uid);
    CalendarChanges changes;
    const QList<TaskFile> files = taskFiles(calendars());
    for (const TaskFile &file : files) {
        const QString &path = file.path;
        FileState state {file.stamp, {}};
        const auto old = seen_.constFind(path);
        const QString oldUid = old == seen_.cend() ? QString() : old->uid;
        if (old != seen_.cend() && old->stamp == state.stamp) {
            state.uid = oldUid;
            now.insert(path, state);
            continue;
        }
        std::optional<CalendarTask> task = read(path, file.calendar, state.stamp);
        // A file that cannot be read now keeps the uid it had: a damaged
        // copy is not a deleted task.
        state.uid = task ? task->uid : oldUid;
        now.insert(path, state);
        if (!task)
            continue;
        pathOfUid_.insert(task->uid, path);
        // A uid seen before, here or in another calendar's folder, was changed.
        (before.contains(task->uid) ? changes.updated : changes.inserted) << task->uid;
    }
    QSet<QString> after;
    for (const FileState &state : std::as_const(now))
        after.insert(state.uid);
    for (const QString &uid : std::as_const(before))
        if (!uid.isEmpty() && !after.contains(uid)) {
            changes.deleted << uid;
            pathOfUid_.remove(uid);
        }
    changes.inserted.removeDuplicates();
    changes.updated.removeDuplicates();
    seen_ = std::move(now);
    haveSeen_ = true;
    cache_.save();
    armWatches(files);
    if (!changes.isEmpty())
        emit tasksChangedExternally(changes);
}
