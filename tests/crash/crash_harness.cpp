// Kills Wendra in the middle of its work, again and again, and checks after
// each restart that the file is sound and that nothing it had acknowledged
// is gone: a task is acknowledged once its change can be read from the file
// through the harness's own read-only connection, before the next command.
//   crash_harness --driver <crash_driver> [--rounds 50] [--seed n] [--tasks 10000]
// Each round restarts Wendra on the file the last one left, sends a few
// random commands through the window and kills the last of them with
// SIGKILL after a random pause. The seed is printed first; --seed replays it.
#include "BenchDatabase.h"
#include "ViewQuery.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <csignal>
#include <sqlite3.h>

namespace {

struct Task
{
    QString title;
    QString list;
    int completed = 0;
    qint64 position = 0;
    bool operator==(const Task &) const = default;
};

struct Snapshot
{
    QMap<int, Task> tasks;
    QStringList lists; // sorted
};

enum class Kind { add, check, remove, move, drag, rename, view };

struct Command
{
    Kind kind = Kind::view;
    QString line;
    int key = -1;
    QString text;      // the title added, the list moved to, the new list name
    QList<int> order;  // a drag: the keys of "All Tasks" in their new order
};

// Where the database and Wendra's messages are; kept when a round fails.
QString home;

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "FAIL: %s\nThe file and Wendra's messages are kept in %s\n",
                 qPrintable(why), qPrintable(home));
    std::exit(1);
}

// The harness's own connection: read-only, and patient with Wendra's locks.
class File
{
public:
    explicit File(const QString &path)
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr)
            != SQLITE_OK)
            fail(QStringLiteral("cannot open %1 to read").arg(path));
        sqlite3_busy_timeout(db_, 10000);
    }
    ~File() { sqlite3_close(db_); }

    QStringList column(const char *sql) const
    {
        QStringList values;
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
            fail(QStringLiteral("%1: %2").arg(sql, sqlite3_errmsg(db_)));
        int result;
        while ((result = sqlite3_step(statement)) == SQLITE_ROW)
            values << QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        if (result != SQLITE_DONE)
            fail(QStringLiteral("%1: %2").arg(sql, sqlite3_errmsg(db_)));
        return values;
    }

    Snapshot snapshot() const
    {
        Snapshot snapshot;
        // One statement, one read transaction: a consistent picture.
        const QStringList rows = column(
            "SELECT pk || char(31) || ifnull(action, '') || char(31) || ifnull(category, '') "
            "|| char(31) || completed || char(31) || ifnull(manualSort, 0) FROM item");
        for (const QString &row : rows) {
            const QStringList f = row.split(QChar(31));
            snapshot.tasks.insert(f[0].toInt(), {f[1], f[2], f[3].toInt(), f[4].toLongLong()});
        }
        snapshot.lists = column("SELECT ifnull(name, '') FROM category ORDER BY 1");
        return snapshot;
    }

    QList<int> viewKeys(const QString &view) const
    {
        return ViewQuery::taskKeys(db_, view, ViewQuery::manualSort);
    }

private:
    sqlite3 *db_ = nullptr;
};

// Whether the command's change can be read in s.
bool visible(const Command &c, const Snapshot &s)
{
    switch (c.kind) {
    case Kind::add:
        for (const Task &task : s.tasks)
            if (task.title == c.text)
                return true;
        return false;
    case Kind::check:
        return s.tasks.value(c.key).completed == 1;
    case Kind::remove:
        return !s.tasks.contains(c.key);
    case Kind::move:
        return s.tasks.value(c.key).list == c.text;
    case Kind::rename:
        return s.lists.contains(c.text);
    case Kind::drag:
        for (int row = 0; row < c.order.size(); ++row)
            if (s.tasks.value(c.order[row]).position != row)
                return false;
        return true;
    case Kind::view:
        return true;
    }
    return true;
}

// What the file after a kill may be: what was acknowledged before it, with
// the command cut off by the kill either wholly applied or not at all.
// Returns why not, or null.
QString checkAfterKill(const Snapshot &before, const Snapshot &after, const Command &cut)
{
    int added = 0;
    for (auto it = after.tasks.begin(); it != after.tasks.end(); ++it)
        if (!before.tasks.contains(it.key()) && !(cut.kind == Kind::add && it->title == cut.text
                                                  && ++added == 1))
            return QStringLiteral("task %1 \"%2\" appeared").arg(it.key()).arg(it->title);
    for (auto it = before.tasks.begin(); it != before.tasks.end(); ++it) {
        const int key = it.key();
        if (!after.tasks.contains(key)) {
            if (cut.kind == Kind::remove && cut.key == key)
                continue;
            return QStringLiteral("acknowledged task %1 \"%2\" is lost").arg(key).arg(it->title);
        }
        Task was = *it;
        const Task now = after.tasks.value(key);
        if (cut.kind == Kind::move && cut.key == key && now.list == cut.text)
            was.list = cut.text;
        if (cut.kind == Kind::check && cut.key == key && now.completed == 1)
            was.completed = 1;
        if (cut.kind == Kind::drag)
            was.position = now.position; // judged below, as a whole
        if (now != was)
            return QStringLiteral("task %1 changed: \"%2\" in %3, done %4 -> \"%5\" in %6, done %7")
                .arg(key).arg(it->title, it->list).arg(it->completed)
                .arg(now.title, now.list).arg(now.completed);
    }
    if (cut.kind == Kind::drag) {
        int old = 0, moved = 0;
        for (int row = 0; row < cut.order.size(); ++row) {
            const int key = cut.order[row];
            old += after.tasks[key].position == before.tasks[key].position;
            moved += after.tasks[key].position == row;
        }
        if (old != cut.order.size() && moved != cut.order.size())
            return QStringLiteral("a reorder was half applied: %1 of %2 rows moved")
                .arg(moved).arg(cut.order.size());
    }
    if (after.lists != before.lists) {
        QStringList renamed = after.lists;
        if (cut.kind != Kind::rename || !renamed.removeOne(cut.text)
            || before.lists.size() != renamed.size() + 1)
            return QStringLiteral("the lists changed: %1 -> %2")
                .arg(before.lists.join(','), after.lists.join(','));
    }
    return QString();
}

class Wendra
{
public:
    Wendra(const QString &program, const QProcessEnvironment &environment)
    {
        process_.setProgram(program);
        process_.setProcessEnvironment(environment);
        process_.setStandardErrorFile(home + QStringLiteral("/messages"), QIODevice::Append);
    }

    // Starts it and returns the view it shows.
    QString start()
    {
        process_.start();
        if (!process_.waitForStarted(10000))
            fail(QStringLiteral("Wendra does not start: %1").arg(process_.errorString()));
        return answer("@ready");
    }

    // Sends a command and returns the view shown once it is done.
    QString run(const QString &line)
    {
        send(line);
        return answer("@done");
    }

    void send(const QString &line) { process_.write(line.toUtf8() + '\n'); process_.waitForBytesWritten(); }

    void kill()
    {
        ::kill(pid_t(process_.processId()), SIGKILL);
        process_.waitForFinished(10000);
    }

private:
    QString answer(const QByteArray &word)
    {
        QElapsedTimer waited;
        waited.start();
        while (!process_.canReadLine()) {
            if (process_.state() != QProcess::Running || waited.elapsed() > 60000)
                fail(QStringLiteral("Wendra gave no \"%1\" (exit %2)")
                         .arg(word).arg(process_.exitCode()));
            process_.waitForReadyRead(100);
        }
        const QByteArray line = process_.readLine().trimmed();
        if (!line.startsWith(word))
            fail(QStringLiteral("Wendra said \"%1\"").arg(QString::fromUtf8(line)));
        return QString::fromUtf8(line.mid(word.size() + 1));
    }

    QProcess process_;
};

class Harness
{
public:
    Harness(quint32 seed, int tasks)
        : random_(seed)
    {
        if (!home_.isValid())
            fail(QStringLiteral("no temporary folder"));
        home = home_.path();
        for (const char *folder : {"data/Wendra", "config", "cache", "runtime"})
            QDir(home_.path()).mkpath(QLatin1String(folder));
        QFile::setPermissions(home_.filePath("runtime"), QFileDevice::ReadOwner
                                  | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        path_ = home_.filePath("data/Wendra/wendra.dbz");
        if (!BenchDatabase::create(path_, tasks))
            fail(QStringLiteral("cannot make the database"));
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert("HOME", home_.path());
        environment_.insert("XDG_DATA_HOME", home_.filePath("data"));
        environment_.insert("XDG_CONFIG_HOME", home_.filePath("config"));
        environment_.insert("XDG_CACHE_HOME", home_.filePath("cache"));
        environment_.insert("XDG_RUNTIME_DIR", home_.filePath("runtime"));
        environment_.insert("QT_QPA_PLATFORM", "offscreen");
    }

    void run(const QString &driver, int rounds)
    {
        auto wendra = std::make_unique<Wendra>(driver, environment_);
        QString view = wendra->start();
        Snapshot known = File(path_).snapshot();
        // Per kind of command cut by a kill: how often, and how often it
        // was in the file after the restart.
        QMap<QString, QPair<int, int>> cuts;
        for (int round = 1; round <= rounds; ++round) {
            const int commands = 1 + int(random_.bounded(6));
            Command cut;
            for (int i = 1; i <= commands; ++i) {
                const File file(path_);
                const Command command = next(file, view, known, round, i == commands);
                if (i < commands) {
                    view = wendra->run(command.line);
                    known = acknowledged(command, file);
                    continue;
                }
                cut = command;
                wendra->send(command.line);
                // Anywhere from before the command is read to well after a
                // reorder of every row is written.
                QThread::msleep(random_.bounded(120));
                wendra->kill();
            }
            wendra = std::make_unique<Wendra>(driver, environment_);
            view = wendra->start();
            const File file(path_);
            const QStringList integrity = file.column("PRAGMA integrity_check");
            if (integrity != QStringList{"ok"})
                fail(QStringLiteral("round %1: integrity_check: %2").arg(round).arg(integrity.join('\n')));
            const Snapshot after = file.snapshot();
            if (const QString why = checkAfterKill(known, after, cut); !why.isNull())
                fail(QStringLiteral("round %1, killed during \"%2\": %3").arg(round).arg(cut.line, why));
            QPair<int, int> &count = cuts[cut.line.section(QLatin1Char(' '), 0, 0)];
            ++count.first;
            count.second += cut.kind != Kind::view && visible(cut, after);
            known = after;
        }
        wendra->kill();
        std::printf("%d rounds passed. Commands cut by the kill, and how many of them were "
                    "applied:", rounds);
        for (auto it = cuts.begin(); it != cuts.end(); ++it)
            std::printf(" %s %d/%d", qPrintable(it.key()), it->second, it->first);
        std::printf("\n");
    }

private:
    // Polls the file until the command's change shows, which makes it acknowledged.
    Snapshot acknowledged(const Command &command, const File &file)
    {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            Snapshot now = file.snapshot();
            if (visible(command, now))
                return now;
            if (waited.elapsed() > 5000)
                fail(QStringLiteral("\"%1\" was done but never reached the file").arg(command.line));
            QThread::msleep(5);
        }
    }

    // A random command for the view on screen. The one to be cut by the kill
    // is more often a reorder of "All Tasks", the largest write there is.
    Command next(const File &file, const QString &view, const Snapshot &known, int round, bool last)
    {
        const QList<int> keys = file.viewKeys(view);
        const QString unique = QStringLiteral("%1-%2").arg(round).arg(random_.bounded(1000000000));
        const bool reorder = last && view == QLatin1String(ViewQuery::allTasks) && random_.bounded(2);
        const int pick = reorder ? 70 : int(random_.bounded(100));
        const int row = keys.isEmpty() ? 0 : int(random_.bounded(keys.size()));
        Command c;
        if (pick < 20 || keys.isEmpty()) {
            c = {Kind::add, QStringLiteral("add Task %1").arg(unique), -1, QStringLiteral("Task ") + unique, {}};
        } else if (pick < 35) {
            c = {Kind::check, QStringLiteral("check %1").arg(row), keys[row], {}, {}};
        } else if (pick < 45) {
            c = {Kind::remove, QStringLiteral("delete %1").arg(row), keys[row], {}, {}};
        } else if (pick < 58) {
            const QString list = known.lists.value(int(random_.bounded(known.lists.size())));
            c = {Kind::move, QStringLiteral("move %1 %2").arg(row).arg(list), keys[row], list, {}};
        } else if (pick < 80 && view == QLatin1String(ViewQuery::allTasks)) {
            const int to = int(random_.bounded(keys.size() + 1));
            c = {Kind::drag, QStringLiteral("drag %1 %2").arg(row).arg(to), -1, {}, keys};
            c.order.move(row, row < to ? to - 1 : to);
        } else if (pick < 80) {
            c.line = QStringLiteral("all");
        } else if (pick < 85) {
            c = {Kind::rename, QStringLiteral("rename List %1").arg(unique), -1, QStringLiteral("List ") + unique, {}};
        } else {
            c.line = QStringLiteral("next");
        }
        return c;
    }

    QRandomGenerator random_;
    QTemporaryDir home_;
    QString path_;
    QProcessEnvironment environment_;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const auto option = [&](const char *name, const QString &otherwise) {
        const qsizetype at = arguments.indexOf(QLatin1String(name));
        return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : otherwise;
    };
    const QString driver = option("--driver", {});
    if (driver.isEmpty())
        fail(QStringLiteral("usage: crash_harness --driver <crash_driver> [--rounds n] [--seed n] [--tasks n]"));
    const quint32 seed = option("--seed", QString::number(QRandomGenerator::system()->generate())).toUInt();
    const int rounds = option("--rounds", "50").toInt();
    std::printf("crash harness: seed %u, %d rounds\n", seed, rounds);
    std::fflush(stdout);
    Harness(seed, option("--tasks", "10000").toInt()).run(driver, rounds);
    return 0;
}
