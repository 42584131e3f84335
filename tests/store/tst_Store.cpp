// The store: the records, a task or a list a row each, what they read and write and what they
// refuse to write; the read-only queries (the tasks of each view in each order, the bounds of
// "Today", the archive of completed tasks); and how every query of the file reports a failure.
#include "Category.h"
#include "CompletedArchive.h"
#include "InternalError.h"
#include "Item.h"
#include "RecordField.h"
#include "TestDatabase.h"
#include "TestHome.h"
#include "ViewQuery.h"

#include <QApplication>
#include <QtTest>
#include <ctime>
#include <functional>

namespace {
// The text fields of a hydrated record, in a fixed order.
QStringList textsOf(const Item &item)
{
    return {item.action(), item.category(), item.notes(), item.timer(), item.importance(),
        item.recCode(), item.oid(), item.running()};
}

// The titles of tasks given by key, in that order.
QStringList titlesOf(const TestDatabase &db, const QList<int> &keys)
{
    QStringList titles;
    for (int key : keys)
        titles
            << db.value(QStringLiteral("SELECT action FROM item WHERE pk=%1").arg(key)).toString();
    return titles;
}
} // namespace

class TestStore : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        Item::finalizeStatements();
        Category::finalizeStatements();
    }

    void roundTripKeepsEveryField()
    {
        TestDatabase db;
        Item item = Item::insertNew(db.handle());
        const QDateTime due = QDateTime::fromMSecsSinceEpoch(1'700'000'000'250LL);
        item.setAction("Café — ünïcode");
        item.setCategory("Home");
        item.setNotes("line 1\nline 2");
        item.setTimer("t");
        item.setEndDate(due);
        item.setStartDate(due.addDays(-1));
        item.setImportance("3");
        item.setIndexSort(7);
        item.setRecCode("W:1:0:8:8:8:8:8:8");
        item.setOid("uid-1");
        item.dehydrate();

        Item again(item.primaryKey(), db.handle());
        // A setter marks the record dirty only for a value that differs, but a sort position is
        // always written. Absent (a null text, an invalid date) differs from empty and from 1970.
        again.setAction(again.action());
        QVERIFY(!again.dirty());
        again.setIndexSort(7);
        QVERIFY(again.dirty());
        QVERIFY(!record::same(QString(), QString(""))
            && !record::same(QDateTime(), QDateTime::fromSecsSinceEpoch(0)));
        again.hydrate();
        QCOMPARE(textsOf(again),
            QStringList({"Café — ünïcode", "Home", "line 1\nline 2", "t", "3", "W:1:0:8:8:8:8:8:8",
                "uid-1", "0"}));
        QCOMPARE(again.endDate(), due);
        QCOMPARE(again.startDate(), due.addDays(-1));
        QCOMPARE(again.indexSort(), 7);

        // Class-wide statements follow the connection they are used with.
        TestDatabase other;
        other.addTask(QStringLiteral("in other"), QStringLiteral("Home"));
        QCOMPARE(Item(item.primaryKey(), other.handle()).action(), QStringLiteral("in other"));
    }

    // With another connection holding the file past the busy timeout, every
    // read raises: none may pass for a missing row, whose placeholders would
    // be written over the task. A failed insert is reported, never passed off
    // as the key of some earlier row. Once the lock is gone the row is intact.
    // A failed update of a task's fields is checked through the commands that make it.
    void lockedFileRaises()
    {
        TestDatabase db;
        const int list = db.addList(QStringLiteral("Home"));
        const int key = db.addTask(QStringLiteral("kept"), QStringLiteral("Home"), 1e9, 3, 1);
        Item(key, db.handle()).hydrate(); // the class-wide statements are prepared
        Category(list, db.handle()).hydrate();
        Item done = Item::deferred(key, db.handle());
        // One call per way of reading, and the writes no command check makes: a deferred title
        // is read as any title is, and the keys of lists and of views share one query.
        const std::pair<const char *, std::function<void()>> reads[] = {
            {"title", [&] { Item(key, db.handle()); }},
            {"fields", [&] { Item::deferred(key, db.handle()).hydrate(); }},
            {"list name", [&] { Category(list, db.handle()); }},
            {"list fields", [&] { Category(list, db.handle()).hydrate(); }},
            {"view and list keys", [&] { ViewQuery::taskKeys(db.handle(), "Completed", 0); }},
            {"archive", [&] { CompletedArchive::archiveText(db.handle()); }},
            {"clear", [&] { CompletedArchive::clearCompletedTasks(db.handle()); }},
            {"insert", [&] { Item::insertNewItemIntoDatabase(db.handle()); }},
            {"complete", [&] { done.complete(); }},
        };
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        for (const auto &[name, read] : reads) {
            try {
                read();
            } catch (const InternalError &) {
                continue;
            }
            QFAIL(name);
        }
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(
            db.value("SELECT action||category||importance||completed||notes||count(*) FROM item"),
            "keptHome511");
    }

    // NULL columns read as empty texts, never absent ones, and the rec code as "None"; the next
    // write stores them so. A task or list that is gone draws with placeholders, which are never
    // written: not even over a new row that took the same key meanwhile.
    void nullColumnsAndMissingRows()
    {
        TestDatabase db;
        db.exec(QStringLiteral("INSERT INTO item (action) VALUES (NULL)"));
        Item nulls(1, db.handle()), gone(42, db.handle());
        Category goneList(42, db.handle());
        QVERIFY(!nulls.action().isNull());
        QCOMPARE(goneList.name(), QStringLiteral("None"));
        nulls.hydrate();
        gone.hydrate();
        goneList.hydrate();
        QVERIFY(gone.hydrated() && !gone.exists());
        QCOMPARE(textsOf(nulls), QStringList({"", "", "", "", "", "None", "", "0"}));
        QCOMPARE(textsOf(gone), QStringList({"No title", "None", "", "", "1", "None", "", ""}));
        QCOMPARE(goneList.name() + goneList.parent(), QStringLiteral("UnknownUnknown"));
        QCOMPARE(nulls.endDate().toMSecsSinceEpoch(), 0);
        db.exec("INSERT INTO item (pk, action, category) VALUES (42, 'new', 'Work')");
        db.exec("INSERT INTO category (pk, name, parent) VALUES (42, 'new', 'p')");
        nulls.dehydrate();
        gone.dehydrate();
        goneList.dehydrate();
        QCOMPARE(db.value("SELECT typeof(action)||typeof(category)||extra1 FROM item WHERE pk=1"),
            "texttextNone");
        QCOMPARE(db.value("SELECT action||category FROM item WHERE pk=42"), "newWork");
        QCOMPARE(db.value("SELECT name||parent FROM category"), "newp");
    }

    // A deferred record reads its title when first asked. A task or list changed without being
    // read would write NULL over every field it never loaded: it is refused, and the row stays
    // as it was for the next writer. Once read, a list's rename keeps its other columns, and
    // deleting it removes its row only.
    void recordsWriteOnlyWhatTheyRead()
    {
        TestDatabase db;
        const int key = db.addTask(QStringLiteral("first"), QStringLiteral("Home"), 1e9, 4);
        Item deferred = Item::deferred(key, db.handle());
        Item unread(key, db.handle());
        Category unreadList(db.addList(QStringLiteral("Home")), db.handle());
        db.addList(QStringLiteral("Work"));
        db.exec(QStringLiteral("UPDATE category SET parent='kept'"));
        db.exec(QStringLiteral("UPDATE item SET action='second'"));
        unread.setAction(QStringLiteral("new"));
        unreadList.setName(QStringLiteral("Home")); // the same name: no change to refuse
        QVERIFY(!unreadList.dirty());
        unreadList.setName(QStringLiteral("Shopping"));
        QVERIFY_THROWS_EXCEPTION(InternalError, unread.dehydrate());
        QVERIFY_THROWS_EXCEPTION(InternalError, unreadList.dehydrate());
        deferred.hydrate();
        deferred.setNotes(QStringLiteral("x"));
        deferred.dehydrate();
        QCOMPARE(db.value("SELECT action||notes||category||endDate||manualSort FROM item"),
            "secondxHome1000000000.04");
        QCOMPARE(db.value("SELECT group_concat(name) FROM category"), "Home,Work");
        unreadList.hydrate();
        unreadList.setName(QStringLiteral("Shopping"));
        unreadList.dehydrate();
        QCOMPARE(db.value("SELECT group_concat(name || ':' || parent) FROM category"),
            "Shopping:kept,Work:kept");
        unreadList.deleteFromDatabase();
        QCOMPARE(db.value("SELECT group_concat(name) FROM category"), "Work");
    }

    void viewsAndOrders_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("sortBy");
        QTest::addColumn<QStringList>("titles");
        // Rows: title, list, due, position, completed, importance (below).
        QTest::newRow("list manual, as any unknown order")
            << "Work" << 7 << QStringList {"b", "a", "C"};
        QTest::newRow("list by due, undated first") << "Work" << 2 << QStringList {"C", "b", "a"};
        QTest::newRow("list by importance") << "Work" << 3 << QStringList {"a", "C", "b"};
        QTest::newRow("all tasks by title, bytes")
            << "All Tasks" << 1 << QStringList {"C", "a", "b", "h", "orphan"};
        QTest::newRow("completed by check-off")
            << "Completed" << 0 << QStringList {"late", "early"};
        QTest::newRow("a list named like nothing") << "Nowhere" << 0 << QStringList {};
    }

    void viewsAndOrders()
    {
        QFETCH(QString, view);
        QFETCH(int, sortBy);
        QFETCH(QStringList, titles);
        TestDatabase db;
        db.addTask("a", "Work", 2e9, 2, 0, "1");
        db.addTask("b", "Work", 1.5e9, 1, 0, "5");
        db.addTask("C", "Work", 0.0, 3, 0, "3");
        db.addTask("h", "Home", 1e9, 1, 0, "2");
        db.addTask("orphan", "Deleted list", 1e9, 0, 0, "2");
        db.exec("INSERT INTO item (action, category, completed, startDate, manualSort) VALUES "
                "('early', 'Work', 1, 2e9, 0), ('late', 'Home', 1, 1e9, 0)");
        QCOMPARE(titlesOf(db, ViewQuery::taskKeys(db.handle(), view, sortBy)), titles);
    }

    // "Today" runs from the first instant of the day to that of the next,
    // also on a day of 23 hours (a fixed 24 would miss), and where the clock jumps at
    // midnight, so that 00:00 does not exist that day.
    void todayBounds_data()
    {
        QTest::addColumn<QTimeZone>("zone");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QTime>("start");
        const QTimeZone newYork("America/New_York");
        // clang-format off
        QTest::newRow("New York spring") << newYork << QDate(2026, 3, 8) << QTime(0, 0);
        QTest::newRow("Havana") << QTimeZone("America/Havana") << QDate(2024, 3, 10) << QTime(1, 0);
        // clang-format on
    }

    void todayBounds()
    {
        QFETCH(QTimeZone, zone);
        QFETCH(QDate, day);
        QFETCH(QTime, start);
        const auto [first, next] = ViewQuery::dayBounds(day, zone);
        QCOMPARE(first, QDateTime(day, start, zone));
        QCOMPARE(next, QDateTime(day.addDays(1), QTime(0, 0), zone));

        TestDatabase db;
        const auto at = [](const QDateTime &t) { return double(t.toSecsSinceEpoch()); };
        db.addTask("first moment", "Work", at(first));
        db.addTask("last minute", "Work", at(next) - 60);
        db.addTask("tomorrow", "Work", at(next));
        db.addTask("yesterday", "Work", at(first) - 1);
        db.addTask("done", "Work", at(first) + 60, 0, 1);
        QCOMPARE(titlesOf(db, ViewQuery::taskKeys(db.handle(), "Today", 0, first, next)),
            QStringList({"first moment", "last minute"}));
    }

    // The archive of completed tasks. Other tools split its lines at every comma: no quoting, no
    // header, dates with their own offset (winter, summer, and 0.0 for no due date), oldest due
    // date first whatever the check-off order, open tasks left out. Which bytes Mac OS Roman
    // gives, appending and a file that cannot be written are checked through the Archive
    // command. Last here, as it sets the zone for the whole run.
    void archiveLinesAsOtherToolsReadThem()
    {
        qputenv("TZ", "America/New_York");
        tzset();
        TestDatabase db;
        db.exec("INSERT INTO item (action, category, startDate, endDate, notes, importance, "
                "completed) VALUES "
                "('café, croissant', 'Home', 0.0, 1.69e9, 'two\nlines', '3', 1),"
                "('first due', NULL, 1.7e9, 0.0, NULL, NULL, 1),"
                "('still open', 'Home', 0.0, 0.0, '', '1', 0)");
        const QString text = CompletedArchive::archiveText(db.handle());
        QCOMPARE(text,
            QStringLiteral("first due,,2023-11-14 17:13:20 -0500,1969-12-31 19:00:00 -0500,,\n"
                           "café, croissant,Home,1969-12-31 19:00:00 -0500,2023-07-22 00:26:40 "
                           "-0400,two\nlines,3\n"));
        // One byte a character, with nothing left over from the conversion's buffer.
        QCOMPARE(CompletedArchive::toMacRoman(text).value_or(QByteArray()).size(), text.size());
    }
};

WENDRA_QTEST_MAIN(TestStore)
#include "tst_Store.moc"
