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
#include "DatabaseFile.h"
#include "InternalError.h"
#include "TestHome.h"
#include "ViewQuery.h"

#include <QtCore>
#include <sqlite3.h>

namespace {

// The file as the harness compares it: each task by key, as its title, list,
// done flag and position, the names of the lists, and of the indexes, which a
// large reorder sets aside while it writes.
enum Column { Title, List, Done, Position };
struct Snapshot
{
    QMap<int, QStringList> tasks;
    QStringList lists; // by name
    QStringList indexes;
    bool operator==(const Snapshot &) const = default;
};

// A line for the driver, with the view on screen when it was picked: its
// name and its tasks' keys, row by row.
struct Command
{
    QString line;
    QString view;
    QList<int> keys;
};

// The file as it must read once c is wholly applied to s. The new task's
// key, list and place cannot be known ahead: they are taken from read.
Snapshot applied(Snapshot s, const Command &c, const Snapshot &read)
{
    const QString verb = c.line.section(' ', 0, 0);
    const QString rest = c.line.section(' ', 1);
    const int row = rest.section(' ', 0, 0).toInt();
    if (verb == "add") {
        int added = -1; // none found: no file matches a snapshot with this key
        for (auto it = read.tasks.begin(); it != read.tasks.end(); ++it)
            if (!s.tasks.contains(it.key()) && it->value(Title) == rest)
                added = it.key();
        s.tasks.insert(added, read.tasks.value(added));
    } else if (verb == "check") {
        s.tasks[c.keys[row]][Done] = "1";
    } else if (verb == "delete") {
        s.tasks.remove(c.keys[row]);
    } else if (verb == "move") {
        s.tasks[c.keys[row]][List] = rest.section(' ', 1);
    } else if (verb == "drag") {
        const int to = rest.section(' ', 1).toInt();
        QList<int> order = c.keys;
        order.move(row, row < to ? to - 1 : to);
        for (int position = 0; position < order.size(); ++position)
            s.tasks[order[position]][Position] = QString::number(position);
    } else if (verb == "rename") {
        s.lists.removeOne(c.view);
        s.lists << rest;
        s.lists.sort();
    }
    return s;
}

class Harness
{
public:
    Harness(quint32 seed, const QString &driver)
        : random_(seed)
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const QString path = DatabaseFile::pathForDBFile();
        if (!BenchDatabase::create(path, 10000))
            fail(QStringLiteral("cannot make the database"));
        // A file that does not open fails the first read.
        sqlite3_open_v2(qUtf8Printable(path), &file_, SQLITE_OPEN_READONLY, nullptr);
        // Patient with Wendra's locks.
        sqlite3_busy_timeout(file_, 10000);
        wendra_.setProgram(driver);
        wendra_.setStandardErrorFile(home_.path() + QStringLiteral("/messages"), QIODevice::Append);
    }
    ~Harness() { sqlite3_close(file_); }

    // Stops Wendra, which must not go on writing to the file, and leaves the
    // file and Wendra's messages where they are: exit() skips the removal
    // of the temporary home.
    [[noreturn]] void fail(const QString &why)
    {
        wendra_.kill();
        qCritical("FAIL: %s\nThe file and Wendra's messages are kept in %s", qPrintable(why),
                  qPrintable(home_.path()));
        std::exit(1);
    }

    void run(int rounds)
    {
        restart();
        Snapshot known = snapshot();
        for (int round = 1; round <= rounds; ++round) {
            for (int left = int(random_.bounded(6)); left >= 0; --left) {
                const bool cut = left == 0;
                const Command command = next(known, round, cut);
                wendra_.write(command.line.toUtf8() + '\n');
                wendra_.waitForBytesWritten();
                if (cut) {
                    // Anywhere from before the command is read to well after a
                    // reorder of every row is written.
                    QThread::msleep(random_.bounded(120));
                    restart();
                } else {
                    view_ = answer("@done");
                }
                // An acknowledged command must read back from the file; the
                // one cut off may instead be wholly undone, never half done.
                const Snapshot now = snapshot();
                const Snapshot done = applied(known, command, now);
                // The file is kept: --seed replays the round that broke it.
                if (now != done && (!cut || now != known))
                    fail(QStringLiteral("round %1, \"%2\"%3: the file is neither done nor undone")
                             .arg(QString::number(round), command.line, cut ? " cut off" : ""));
                known = now;
            }
        }
        wendra_.kill();
        wendra_.waitForFinished();
        qInfo("%d rounds passed", rounds);
    }

private:
    Snapshot snapshot() const
    {
        Snapshot snapshot;
        Query tasks(file_, "SELECT pk, action, category, completed, manualSort FROM item", "harness");
        for (sqlite3_stmt *row = tasks.statement(); tasks.next();)
            for (int column = 1; column < sqlite3_column_count(row); ++column)
                snapshot.tasks[sqlite3_column_int(row, 0)] << sql::columnText(row, column);
        Query lists(file_, "SELECT name FROM category ORDER BY name", "harness");
        while (lists.next())
            snapshot.lists << sql::columnText(lists.statement(), 0);
        Query indexes(file_, "SELECT name FROM sqlite_master WHERE type='index' ORDER BY 1", "harness");
        while (indexes.next())
            snapshot.indexes << sql::columnText(indexes.statement(), 0);
        return snapshot;
    }

    // Kills Wendra with SIGKILL if it runs, starts it again and checks that
    // the file it opened is sound.
    void restart()
    {
        wendra_.kill();
        wendra_.waitForFinished();
        wendra_.start();
        view_ = answer("@ready");
        Query integrity(file_, "PRAGMA integrity_check", "harness");
        if (integrity.next() && sql::columnText(integrity.statement(), 0) != "ok")
            fail(sql::columnText(integrity.statement(), 0));
    }

    // Wendra's next line, which must start with word; returns the view it names.
    QString answer(const QByteArray &word)
    {
        while (!wendra_.canReadLine() && wendra_.waitForReadyRead(60000)) {
        }
        const QByteArray line = wendra_.readLine().trimmed();
        if (!line.startsWith(word))
            fail(QStringLiteral("Wendra said \"%1\", not \"%2\" (%3)")
                     .arg(QString::fromUtf8(line), word, wendra_.errorString()));
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
        const QString row = QString::number(random_.bounded(qMax(int(keys.size()), 1)));
        QString line = pick < 80 ? "all" : "next";
        if (pick < 20 || keys.isEmpty())
            line = "add Task " + unique;
        else if (pick < 45)
            line = (pick < 35 ? "check " : "delete ") + row;
        else if (pick < 58)
            line = "move " + row + ' ' + known.lists.value(random_.bounded(known.lists.size()));
        else if (pick < 80 && all)
            line = "drag " + row + ' ' + QString::number(random_.bounded(keys.size() + 1));
        else if (pick >= 80 && pick < 85 && !all)
            line = "rename List " + unique;
        return {line, view_, keys};
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
    qInfo("crash harness: seed %u, %d rounds", seed, rounds);
    // Without --driver Wendra does not start, which fails the first round.
    Harness harness(seed, option("--driver", {}));
    try {
        harness.run(rounds); // a failed read leaves the file where it is
    } catch (const InternalError &error) {
        harness.fail(QStringLiteral("reading the file: %1").arg(error.description()));
    }
    return 0;
}
