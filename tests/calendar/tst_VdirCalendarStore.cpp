#include "TestHome.h"
#include "VdirCalendarStore.h"

#include <QtTest>

namespace {

QByteArray ics(const QByteArray &inside)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + inside
        + "END:VCALENDAR\r\n";
}

QByteArray todo(const QByteArray &uid, const QByteArray &more = {})
{
    return "BEGIN:VTODO\r\nUID:" + uid + "\r\nSUMMARY:" + uid + "\r\n" + more + "END:VTODO\r\n";
}

// As todoman and vdirsyncer write: a temporary file renamed over the old.
void replaceFile(const QString &path, const QByteArray &contents)
{
    QFile file(path + ".tmp");
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
    file.close();
    QVERIFY(std::rename(QFile::encodeName(file.fileName()), QFile::encodeName(path)) == 0);
}

} // namespace

class TestVdirCalendarStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<VdirCalendarStore> store;
    Calendar home;

    QString path(const QString &name) const { return dir->path() + "/home/" + name; }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        store = std::make_unique<VdirCalendarStore>(dir->path());
        home = store->saveCalendar("Home").value();
    }

    // Names from other programs never become paths: a calendar title gives
    // one folder in the root, reused by title, and a uid one file in its
    // calendar's folder, none hidden.
    void namesNeverBecomePaths()
    {
        QStringList ids;
        for (const char *title : {"Home", "Home ", "../up", "", "Home ", "../up", ""})
            ids << store->saveCalendar(title).value().id;
        // A title met again is the calendar it named the first time.
        QCOMPARE(ids.mid(4), ids.mid(1, 3));
        QCOMPARE(ids.first(), home.id);
        QDir(dir->path()).mkdir("by-hand");
        QStringList seen;
        for (const Calendar &calendar : store->calendars())
            seen << calendar.title;
        seen.sort();
        QCOMPARE(seen, (QStringList {"", "../up", "Home", "Home ", "by-hand"}));
        const QStringList uids {"plain-1", "../../escape", "a/b", "..", ".hidden", "ctl\x01\n\tx",
            "ABC", "abc", "%61bc", "%2fb", "ünï", QString(300, 'x'), QString(301, 'x')};
        // iCalendar text cannot hold NUL, so no file can give such a uid;
        // the name is safe all the same.
        QCOMPARE(VdirCalendarStore::fileNameForUid(QString::fromUtf8("a\0/b", 4)), "a%00%2fb.ics");
        for (const QString &uid : uids) {
            CalendarTask task {uid, home, "t " + uid, {}, 0, {}, false};
            QVERIFY(store->saveTask(task));
        }
        // One file each, even where the file system ignores case.
        QStringList files = QDir(dir->path() + "/home").entryList({"*.ics"}, QDir::Files);
        files = files.join('/').toLower().split('/');
        QCOMPARE(files.removeDuplicates(), 0);
        QCOMPARE(files.size(), uids.size());
        for (const QString &uid : uids)
            QCOMPARE(store->taskWithUid(uid).value_or(CalendarTask()).title, "t " + uid);
    }

    // Damaged and odd files are skipped, or read soundly, and never stop
    // the files beside them. What is read survives Wendra's update.
    void oddFiles_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QDateTime>("due"); // invalid: the file is skipped
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("kept"); // lines Wendra's update leaves as they are
        const QDateTime skipped;
        const auto row = [](const char *name, const QByteArray &contents, const QDateTime &due,
                             const QString &title = "odd", const QByteArray &kept = {}) {
            QTest::newRow(name) << contents << due << title << kept;
        };
        row("cut short", ics(todo("odd")).chopped(15), skipped);
        row("binary", QByteArray("\0\xff", 2) + ics(todo("odd")), skipped);
        row("huge", ics(todo("odd", "DESCRIPTION:" + QByteArray(10 << 20, 'x') + "\r\n")), skipped);
        row("no VTODO", ics("BEGIN:VEVENT\r\nUID:e\r\nEND:VEVENT\r\n"), skipped);
        row("two VTODOs", ics(todo("odd") + todo("odd2")), skipped);
        row("no UID", ics("BEGIN:VTODO\r\nSUMMARY:odd\r\nEND:VTODO\r\n"), skipped);
        row("deep nesting", ics(QByteArray("BEGIN:VTODO\r\n").repeated(100000)), skipped);
        row("unknown TZID", ics(todo("odd", "DUE;TZID=Nowhere/Special:20300102T030400\r\n")),
            QDateTime(QDate(2030, 1, 2), QTime(3, 4)));
        row("named zone", ics(todo("odd", "DUE;TZID=Asia/Tokyo:20300102T030400\r\n")),
            QDateTime(QDate(2030, 1, 1), QTime(18, 4), QTimeZone::utc()));
        // What cannot be written back inside a value and read again.
        row("control characters", ics("BEGIN:VTODO\r\nUID:\\Dc\rr\r\nSUMMARY: a\rb\f \\\r\n"
                                    "DUE;VALUE=DATE:20300102\r\nEND:VTODO\r\n"),
            QDateTime(QDate(2030, 1, 2), QTime(0, 0)), "ab");
        // What Wendra does not know; the date-only due date names the same
        // moment and stays as it was.
        const QByteArray theirs = "X-THEIRS;X-P=1:kept\r\nCATEGORIES:a,b\r\nRRULE:FREQ=WEEKLY\r\n"
                                  "DUE;VALUE=DATE:20300102\r\n"
                                  "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\n"
                                  "DESCRIPTION:ring\r\nEND:VALARM\r\n";
        row("unknown properties", ics(todo("odd", theirs)),
            QDateTime(QDate(2030, 1, 2), QTime(0, 0)), "odd", theirs);
    }

    void oddFiles()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QDateTime, due);
        QFETCH(QString, title);
        QFETCH(QByteArray, kept);
        replaceFile(path("a.ics"), ics(todo("good")));
        replaceFile(path("b.ics"), contents);
        const QList<CalendarTask> tasks = store->allTasks();
        QCOMPARE(tasks.size(), due.isValid() ? 2 : 1);
        QCOMPARE(tasks.first().title, "good");
        QCOMPARE(tasks.last().dueDate, due);
        if (!due.isValid())
            return;
        // What was read is found again, as itself, once Wendra has written it.
        CalendarTask task = tasks.last();
        QCOMPARE(task.title, title);
        task.notes = "notes";
        task.completed = true;
        QVERIFY(store->saveTask(task));
        QCOMPARE(store->taskWithUid(task.uid).value_or(CalendarTask()).title, title);
        QFile file(path("b.ics"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        const QByteArray expected = kept + "DESCRIPTION:notes\r\nSTATUS:COMPLETED";
        for (const QByteArray &line : expected.split('\n'))
            QVERIFY2(written.contains(line.trimmed()), line);
    }

    // The cache between runs holds only while a file is the same file, to
    // the nanosecond: a rewrite in place of the same size is read again, and
    // a damaged cache file is no cache.
    void cacheNeverHidesAChange()
    {
        const QString cache = dir->filePath("cache");
        const auto priority
            = [&] { return VdirCalendarStore(dir->path(), cache).allTasks().value(0).priority; };
        replaceFile(path("a.ics"), ics(todo("a", "PRIORITY:1\r\n")));
        QCOMPARE(priority(), 1);
        QFile file(path("a.ics"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write(ics(todo("a", "PRIORITY:3\r\n")));
        file.close();
        QCOMPARE(priority(), 3);
        QFile damaged(cache);
        QVERIFY(damaged.open(QIODevice::ReadWrite) && damaged.resize(damaged.size() - 10));
        damaged.close();
        QCOMPARE(priority(), 3);
    }

    // Own saves are announced after the command, through the event loop;
    // other programs' changes by the watcher, never the other way round.
    void notifications()
    {
        QSignalSpy own(store.get(), &CalendarStore::tasksChanged);
        QSignalSpy theirs(store.get(), &CalendarStore::tasksChangedExternally);
        const auto seen = [](const QSignalSpy &spy) {
            QStringList all;
            for (const QList<QVariant> &signal : spy) {
                const auto c = signal.at(0).value<CalendarChanges>();
                all << c.inserted.join(',') + '|' + c.updated.join(',') + '|' + c.deleted.join(',');
            }
            return all.join(' ');
        };
        store->startWatching();
        CalendarTask mine {{}, home, "mine", {}, 0, {}, false};
        QVERIFY(store->saveTask(mine));
        QCOMPARE(own.size(), 0);
        QTRY_COMPARE(seen(own), mine.uid + "||");
        replaceFile(path("x.ics"), ics(todo("x")));
        QTRY_COMPARE(seen(theirs), "x||");
        // Replaced by rename: a new file, but the same task.
        replaceFile(path("x.ics"), ics(todo("x", "PRIORITY:1\r\n")));
        QTRY_COMPARE(seen(theirs), "x|| |x|");
        // A damaged file is no deletion; a removed one is.
        replaceFile(path("x.ics"), "BEGIN:VCALENDAR\r\ncut");
        QFile::remove(path(VdirCalendarStore::fileNameForUid(mine.uid)));
        QTRY_COMPARE(seen(theirs), "x|| |x| ||" + mine.uid);
        QCOMPARE(own.size(), 1);
    }
};

WENDRA_QTEST_CORE_MAIN(TestVdirCalendarStore)
#include "tst_VdirCalendarStore.moc"
