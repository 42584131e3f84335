// The store's read-only queries: the tasks of each view in each order, the bounds of "Today",
// and the archive of completed tasks.
#include "CompletedArchive.h"
#include "TestDatabase.h"
#include "TestHome.h"
#include "ViewQuery.h"

#include <QApplication>
#include <QtTest>
#include <ctime>

namespace {
QStringList titlesOf(const TestDatabase &db, const QList<int> &keys)
{
    QStringList titles;
    for (int key : keys)
        titles
            << db.value(QStringLiteral("SELECT action FROM item WHERE pk=%1").arg(key)).toString();
    return titles;
}
} // namespace

class TestViewQuery : public QObject
{
    Q_OBJECT

private slots:
    void viewsAndOrders_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("sortBy");
        QTest::addColumn<QStringList>("titles");
        // Rows: title, list, due, position, completed, importance (below).
        QTest::newRow("list manual, as any unknown order")
            << "Work" << 7 << QStringList {"b", "a", "C"};
        QTest::newRow("list by title, bytes") << "Work" << 1 << QStringList {"C", "a", "b"};
        QTest::newRow("list by due, undated first") << "Work" << 2 << QStringList {"C", "b", "a"};
        QTest::newRow("list by importance") << "Work" << 3 << QStringList {"a", "C", "b"};
        QTest::newRow("all tasks manual")
            << "All Tasks" << 0 << QStringList {"orphan", "b", "h", "a", "C"};
        QTest::newRow("all tasks by title")
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
    // also on days of 23 and 25 hours, and where the clock jumps at
    // midnight, so that 00:00 does not exist that day.
    void todayBounds_data()
    {
        QTest::addColumn<QTimeZone>("zone");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QTime>("start");
        const QTimeZone newYork("America/New_York");
        // clang-format off
        QTest::newRow("New York spring") << newYork << QDate(2026, 3, 8) << QTime(0, 0);
        QTest::newRow("New York autumn") << newYork << QDate(2026, 11, 1) << QTime(0, 0);
        QTest::newRow("Havana") << QTimeZone("America/Havana") << QDate(2024, 3, 10) << QTime(1, 0);
        QTest::newRow("Beirut") << QTimeZone("Asia/Beirut") << QDate(2024, 3, 31) << QTime(1, 0);
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
    // date first whatever the check-off order, open tasks left out. Last here, as it sets the
    // zone for the whole run.
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

        // Text without a Mac OS Roman form, appending and a file that cannot be written are
        // checked through the Archive command.
        const std::optional<QByteArray> bytes = CompletedArchive::toMacRoman(text);
        QVERIFY(bytes && bytes->contains(QByteArray("caf\x8e, croissant")));
        QCOMPARE(bytes->size(), text.size());
    }
};

WENDRA_QTEST_MAIN(TestViewQuery)
#include "tst_ViewQuery.moc"
