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
        titles << db.value(QStringLiteral("SELECT action FROM item WHERE pk=%1").arg(key)).toString();
    return titles;
}

void setTimeZone(const QByteArray &zone)
{
    qputenv("TZ", zone);
    tzset();
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
        QTest::newRow("list manual") << "Work" << 0 << QStringList{"b", "a", "C"};
        QTest::newRow("list by title, bytes") << "Work" << 1 << QStringList{"C", "a", "b"};
        QTest::newRow("list by due, undated first") << "Work" << 2 << QStringList{"C", "b", "a"};
        QTest::newRow("list by importance") << "Work" << 3 << QStringList{"a", "C", "b"};
        QTest::newRow("unknown order is manual") << "Work" << 7 << QStringList{"b", "a", "C"};
        QTest::newRow("all tasks manual")
            << "All Tasks" << 0 << QStringList{"orphan", "b", "h", "a", "C"};
        QTest::newRow("all tasks by title")
            << "All Tasks" << 1 << QStringList{"C", "a", "b", "h", "orphan"};
        QTest::newRow("completed by check-off") << "Completed" << 0 << QStringList{"late", "early"};
        QTest::newRow("a list named like nothing") << "Nowhere" << 0 << QStringList{};
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

    // "Today" runs from local midnight to the next local midnight, also on
    // the days the clock is put forward or back.
    void todayBounds_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<int>("hours");
        QTest::newRow("UTC") << QByteArray("UTC") << QDate(2026, 12, 6) << 24;
        QTest::newRow("New York spring") << QByteArray("America/New_York") << QDate(2026, 3, 8) << 23;
        QTest::newRow("New York autumn") << QByteArray("America/New_York") << QDate(2026, 11, 1) << 25;
        QTest::newRow("Auckland spring") << QByteArray("Pacific/Auckland") << QDate(2026, 9, 27) << 23;
    }

    void todayBounds()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDate, day);
        QFETCH(int, hours);
        setTimeZone(zone);
        const auto [start, end] = ViewQuery::dayBounds(day);
        QCOMPARE(start.secsTo(end), qint64(hours) * 3600);
        QCOMPARE(start.time(), QTime(0, 0));
        QCOMPARE(end.date(), day.addDays(1));

        TestDatabase db;
        const auto at = [](const QDateTime &t) { return double(t.toSecsSinceEpoch()); };
        db.addTask("midnight", "Work", at(start));
        db.addTask("last minute", "Work", at(end) - 60);
        db.addTask("tomorrow", "Work", at(end));
        db.addTask("yesterday", "Work", at(start) - 1);
        db.addTask("undated", "Work", 0.0);
        db.addTask("done", "Work", at(start) + 60, 0, 1);
        QCOMPARE(titlesOf(db, ViewQuery::taskKeys(db.handle(), "Today", 0, start, end)),
                 QStringList({"midnight", "last minute"}));
        setTimeZone("UTC");
    }

    void missingTablesGiveEmptyViews()
    {
        TestDatabase db;
        db.exec("DROP TABLE item");
        QVERIFY(ViewQuery::taskKeys(db.handle(), "All Tasks", 0).isEmpty());
    }
};

WENDRA_QTEST_MAIN(TestViewQuery)
#include "tst_ViewQuery.moc"
