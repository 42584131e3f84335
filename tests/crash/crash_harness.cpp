// Kills Wendra in the middle of its work, again and again, and checks after
// each restart that the file is sound and that nothing it had acknowledged
// is gone: a command is acknowledged once Wendra says it is done, and its
// change must then read back from the file through the harness's own
// read-only connection.
//   crash_harness --driver <crash_driver> [--rounds 50] [--seed n]
// Each round restarts Wendra on the file the last one left (10,000 tasks at
// first), sends a few random commands through the window and kills the last
// of them with SIGKILL after a random pause. The seed is printed first;
// --seed replays it.
#include "BenchDatabase.h"
#include "ClassStatement.h"
#include "InternalError.h"
#include "TestHome.h"
#include "ViewQuery.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>
#include <cstdio>
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
    bool operator==(const Snapshot &) const = default;
};

// A line for the driver, and what it is to change.
struct Command
{
    QString line;
    int key = -1;
    QString text;      // the title added, the list moved to, the new list name
    QList<int> order;  // a drag: the keys of "All Tasks" in their new order
    QString renamed;   // a rename: the list on screen, which is the current one
};

// Where the database and Wendra's messages are; kept when a round fails
// because exit() leaves the temporary home in place.
QString home;
// The running Wendra: a failed run must not leave it writing to the file.
qint64 wendraPid = 0;

[[noreturn]] void fail(const QString &why)
{
    if (wendraPid > 0)
        ::kill(pid_t(wendraPid), SIGKILL);
    std::fprintf(stderr, "FAIL: %s\nThe file and Wendra's messages are kept in %s\n",
                 qPrintable(why), qPrintable(home));
    std::exit(1);
}

// The file as it must read once c is wholly applied to s. The new task's
// key, list and place cannot be known ahead: they are taken from read.
Snapshot applied(Snapshot s, const Command &c, const Snapshot &read)
{
    const QString verb = c.line.section(' ', 0, 0);
    if (verb == "add") {
        int key = -1; // none found: no file matches a snapshot with this key
        for (auto it = read.tasks.begin(); it != read.tasks.end(); ++it)
            if (!s.tasks.contains(it.key()) && it->title == c.text)
                key = it.key();
        s.tasks.insert(key, read.tasks.value(key));
    } else if (verb == "check") {
        s.tasks[c.key].completed = 1;
    } else if (verb == "delete") {
        s.tasks.remove(c.key);
    } else if (verb == "move") {
        s.tasks[c.key].list = c.text;
    } else if (verb == "drag") {
        for (int row = 0; row < c.order.size(); ++row)
            s.tasks[c.order[row]].position = row;
    } else if (verb == "rename") {
        s.lists.removeOne(c.renamed);
        s.lists << c.text;
        s.lists.sort();
    }
    return s;
}

// The first task, or else the lists, where two snapshots differ.
QString difference(const Snapshot &was, const Snapshot &now)
{
    const auto task = [](const Snapshot &s, int key) {
        const Task t = s.tasks.value(key, {QStringLiteral("(none)"), {}, 0, 0});
        return QStringLiteral("\"%1\" in %2, done %3, at %4")
            .arg(t.title, t.list).arg(t.completed).arg(t.position);
    };
    for (int key : was.tasks.keys() + now.tasks.keys())
        if (task(was, key) != task(now, key))
            return QStringLiteral("task %1: %2 -> %3").arg(key).arg(task(was, key), task(now, key));
    return QStringLiteral("lists %1 -> %2").arg(was.lists.join(','), now.lists.join(','));
}

class Harness
{
public:
    Harness(quint32 seed, const QString &driver)
        : random_(seed)
    {
        home = home_.path();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const QString folder = home_.dataPath() + QStringLiteral("/Wendra");
        const QString path = folder + QStringLiteral("/wendra.dbz");
        if (!QDir().mkpath(folder) || !BenchDatabase::create(path, 10000)
            || sqlite3_open_v2(path.toUtf8().constData(), &file_, SQLITE_OPEN_READONLY, nullptr)
                != SQLITE_OK)
            fail(QStringLiteral("cannot make the database"));
        // Patient with Wendra's locks.
        sqlite3_busy_timeout(file_, 10000);
        wendra_.setProgram(driver);
        wendra_.setStandardErrorFile(home + QStringLiteral("/messages"), QIODevice::Append);
    }
    ~Harness() { sqlite3_close(file_); }

    void run(int rounds)
    {
        restart();
        Snapshot known = snapshot();
        for (int round = 1; round <= rounds; ++round) {
            for (int i = int(random_.bounded(6)); i > 0; --i) {
                const Command command = next(known, round, false);
                send(command.line, true);
                const Snapshot now = snapshot();
                const Snapshot expected = applied(known, command, now);
                if (now != expected)
                    fail(QStringLiteral("\"%1\" was done but the file does not show it: %2")
                             .arg(command.line, difference(expected, now)));
                known = now;
            }
            const Command cut = next(known, round, true);
            send(cut.line, false);
            // Anywhere from before the command is read to well after a
            // reorder of every row is written.
            QThread::msleep(random_.bounded(120));
            restart();
            Query integrity(file_, "PRAGMA integrity_check", "harness");
            if (integrity.next() && sql::columnText(integrity.statement(), 0) != "ok")
                fail(QStringLiteral("round %1: %2")
                         .arg(round)
                         .arg(sql::columnText(integrity.statement(), 0)));
            // Acknowledged changes stay; the one cut off is all or nothing.
            const Snapshot after = snapshot();
            const Snapshot done = applied(known, cut, after);
            if (after != known && after != done)
                fail(QStringLiteral("round %1, killed in \"%2\": neither undone (%3) nor done (%4)")
                         .arg(round)
                         .arg(cut.line, difference(known, after), difference(done, after)));
            known = after;
        }
        wendra_.kill();
        wendra_.waitForFinished(10000);
        std::printf("%d rounds passed\n", rounds);
    }

private:
    Snapshot snapshot() const
    {
        Snapshot snapshot;
        Query tasks(file_, "SELECT pk, action, category, completed, manualSort FROM item", "harness");
        for (sqlite3_stmt *row = tasks.statement(); tasks.next();)
            snapshot.tasks.insert(sqlite3_column_int(row, 0),
                                  {sql::columnText(row, 1), sql::columnText(row, 2),
                                   sqlite3_column_int(row, 3), sqlite3_column_int64(row, 4)});
        Query lists(file_, "SELECT name FROM category", "harness");
        while (lists.next())
            snapshot.lists << sql::columnText(lists.statement(), 0);
        snapshot.lists.sort();
        return snapshot;
    }

    // Kills Wendra with SIGKILL if it runs, and starts it again.
    void restart()
    {
        wendra_.kill();
        wendra_.waitForFinished(10000);
        wendra_.start();
        wendraPid = wendra_.processId();
        view_ = answer("@ready");
    }

    // Sends a command and, unless it is to be cut off, waits until it is done.
    void send(const QString &line, bool wait)
    {
        wendra_.write(line.toUtf8() + '\n');
        wendra_.waitForBytesWritten();
        if (wait)
            view_ = answer("@done");
    }

    // Wendra's next line, which must start with word; returns the view it names.
    QString answer(const QByteArray &word)
    {
        for (int waited = 0; !wendra_.canReadLine(); waited += 100) {
            if (wendra_.state() == QProcess::NotRunning || waited > 60000)
                fail(QStringLiteral("Wendra gave no \"%1\" (%2, exit %3)")
                         .arg(word, wendra_.errorString()).arg(wendra_.exitCode()));
            wendra_.waitForReadyRead(100);
        }
        const QByteArray line = wendra_.readLine().trimmed();
        if (!line.startsWith(word))
            fail(QStringLiteral("Wendra said \"%1\"").arg(QString::fromUtf8(line)));
        return QString::fromUtf8(line.mid(word.size() + 1));
    }

    // A random command for the view on screen. The one to be cut by the kill
    // is more often a reorder of "All Tasks", the largest write there is.
    Command next(const Snapshot &known, int round, bool last)
    {
        const QList<int> keys = ViewQuery::taskKeys(file_, view_, ViewQuery::manualSort);
        const bool all = view_ == QLatin1String(ViewQuery::allTasks);
        const QString unique = QStringLiteral("%1-%2").arg(round).arg(random_.bounded(1000000000));
        const int pick = last && all && random_.bounded(2) ? 70 : int(random_.bounded(100));
        const int row = keys.isEmpty() ? 0 : int(random_.bounded(keys.size()));
        const QString at = QString::number(row);
        if (pick < 20 || keys.isEmpty())
            return {"add Task " + unique, -1, "Task " + unique, {}, {}};
        if (pick < 35)
            return {"check " + at, keys[row], {}, {}, {}};
        if (pick < 45)
            return {"delete " + at, keys[row], {}, {}, {}};
        if (pick < 58) {
            const QString list = known.lists.value(int(random_.bounded(known.lists.size())));
            return {"move " + at + ' ' + list, keys[row], list, {}, {}};
        }
        if (pick < 80 && all) {
            const int to = int(random_.bounded(keys.size() + 1));
            Command c{"drag " + at + ' ' + QString::number(to), -1, {}, keys, {}};
            c.order.move(row, row < to ? to - 1 : to);
            return c;
        }
        if (pick >= 80 && pick < 85 && !all)
            return {"rename List " + unique, -1, "List " + unique, {}, view_};
        return {pick < 80 ? "all" : "next", -1, {}, {}, {}};
    }

    QRandomGenerator random_;
    TestHome home_;
    sqlite3 *file_ = nullptr; // the harness's own connection, read-only
    QProcess wendra_;
    QString view_; // the view Wendra last said it shows
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const auto option = [&](const char *name, const QString &otherwise) {
        const qsizetype at = arguments.indexOf(QLatin1String(name));
        return at < 0 ? otherwise : arguments.value(at + 1, otherwise);
    };
    const quint32 seed = option("--seed", QString::number(QRandomGenerator::system()->generate())).toUInt();
    const int rounds = option("--rounds", "50").toInt();
    std::printf("crash harness: seed %u, %d rounds\n", seed, rounds);
    std::fflush(stdout);
    // Without --driver Wendra does not start, which fails the first round.
    Harness harness(seed, option("--driver", {}));
    try {
        harness.run(rounds); // a failed read leaves the file where it is
    } catch (const InternalError &error) {
        fail(QStringLiteral("reading the file: %1").arg(error.description()));
    }
    return 0;
}
