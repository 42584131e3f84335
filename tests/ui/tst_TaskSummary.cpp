// The summary line under each task and the check box rule, as plain text. The weekday names are
// fixed to US English; the time zone is set per row where the local date is the point.
#include "TaskSummary.h"
#include "TestHome.h"

#include <QtTest>

#include <ctime>

namespace {

const QLocale UsEnglish(QLocale::English, QLocale::UnitedStates);

QDateTime utc(int year, int month, int day, int hour = 12)
{
    return QDateTime(QDate(year, month, day), QTime(hour, 0), Qt::UTC);
}

QDateTime secondsAfter1970(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

void setTimeZone(const QByteArray &zone)
{
    qputenv("TZ", zone);
    tzset();
}

} // namespace

class TestTaskSummary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { savedZone_ = qgetenv("TZ"); }
    void cleanupTestCase()
    {
        if (savedZone_.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", savedZone_);
        tzset();
    }

    void summaryText_data();
    void summaryText();
    void weekdayNamesFollowTheLocale();
    void checkBoxIsOn_data();
    void checkBoxIsOn();

private:
    QByteArray savedZone_;
};

void TestTaskSummary::summaryText_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("view");
    QTest::addColumn<QDateTime>("endDate");
    QTest::addColumn<QDateTime>("startDate");
    QTest::addColumn<QString>("recCode");
    QTest::addColumn<QString>("expected");

    const QDateTime tue0304 = utc(2025, 3, 4);
    const QDateTime mon0303 = utc(2025, 3, 3);
    const QDateTime tue0225 = utc(2025, 2, 25);
    const QString blank16(16, u' ');

    // The four forms, for a task due Tuesday 4 March in the list "Work".
    QTest::newRow("list") << QByteArray("UTC") << "Work" << tue0304 << QDateTime() << "None"
                          << "Due Tue 03/04";
    QTest::newRow("Today") << QByteArray("UTC") << "Today" << tue0304 << QDateTime() << "None"
                           << "Due Tue 03/04      Work";
    QTest::newRow("All Tasks") << QByteArray("UTC") << "All Tasks" << tue0304 << QDateTime()
                               << "None"
                               << "Due Tue 03/04      Work";
    QTest::newRow("list, recurring") << QByteArray("UTC") << "Work" << tue0304 << tue0225 << "D:1"
                                     << "Due Tue 03/04    prev 02/25";
    QTest::newRow("Today, recurring")
        << QByteArray("UTC") << "Today" << tue0304 << tue0225 << "W:1:0:1:0:0:0:0:0"
        << "Due Tue 03/04    prev 02/25      Work";
    QTest::newRow("Completed") << QByteArray("UTC") << "Completed" << tue0304 << mon0303 << "None"
                               << "Completed Mon 03/03       Work";
    QTest::newRow("Completed ignores the due text")
        << QByteArray("UTC") << "Completed" << QDateTime() << mon0303 << "D:1"
        << "Completed Mon 03/03       Work";
    // A list that happens to be called like a view differs only in case.
    QTest::newRow("list named today")
        << QByteArray("UTC") << "today" << tue0304 << QDateTime() << "None"
        << "Due Tue 03/04";

    // No due date: the blank due text keeps the list name in its column.
    QTest::newRow("absent due date")
        << QByteArray("UTC") << "Work" << QDateTime() << QDateTime() << "None"
        << "Due " + blank16;
    QTest::newRow("absent due date, All Tasks")
        << QByteArray("UTC") << "All Tasks" << QDateTime() << QDateTime() << "None"
        << "Due " + blank16 + "      Work";
    QTest::newRow("0 s") << QByteArray("UTC") << "Work" << secondsAfter1970(0) << QDateTime()
                         << "None"
                         << "Due " + blank16;
    QTest::newRow("1000 s") << QByteArray("UTC") << "Work" << secondsAfter1970(1000) << QDateTime()
                            << "None"
                            << "Due " + blank16;
    QTest::newRow("1001 s") << QByteArray("UTC") << "Work" << secondsAfter1970(1001) << QDateTime()
                            << "None"
                            << "Due Thu 01/01";
    // A recurring task shows its due date whatever its value.
    QTest::newRow("recurring, absent due date")
        << QByteArray("UTC") << "Work" << QDateTime() << tue0225 << "D:1"
        << "Due Thu 01/01    prev 02/25";
    // An empty rec code means no recurrence, as it does at check-off.
    QTest::newRow("empty rec code") << QByteArray("UTC") << "Work" << tue0304 << tue0225 << ""
                                    << "Due Tue 03/04";
    QTest::newRow("missing rec code")
        << QByteArray("UTC") << "Work" << tue0304 << tue0225 << QString() << "Due Tue 03/04";

    // Local dates: 02:00 UTC on 4 March is still Monday 3 March in New York.
    QTest::newRow("local zone, due")
        << QByteArray("America/New_York") << "Work" << utc(2025, 3, 4, 2) << QDateTime() << "None"
        << "Due Mon 03/03";
    // Start date 0 s is 31 December west of UTC: shown as n/a there, 01/01 elsewhere.
    QTest::newRow("prev 0 s, New York")
        << QByteArray("America/New_York") << "Work" << tue0304 << secondsAfter1970(0) << "D:1"
        << "Due Tue 03/04    prev n/a";
    QTest::newRow("prev absent, New York")
        << QByteArray("America/New_York") << "Work" << tue0304 << QDateTime() << "D:1"
        << "Due Tue 03/04    prev n/a";
    QTest::newRow("prev 0 s, UTC")
        << QByteArray("UTC") << "Work" << tue0304 << secondsAfter1970(0) << "D:1"
        << "Due Tue 03/04    prev 01/01";
    QTest::newRow("prev 0 s, Tokyo")
        << QByteArray("Asia/Tokyo") << "Work" << tue0304 << secondsAfter1970(0) << "D:1"
        << "Due Tue 03/04    prev 01/01";
    QTest::newRow("prev on a real 31 December")
        << QByteArray("UTC") << "Work" << tue0304 << utc(2024, 12, 31) << "D:1"
        << "Due Tue 03/04    prev n/a";
}

void TestTaskSummary::summaryText()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, view);
    QFETCH(QDateTime, endDate);
    QFETCH(QDateTime, startDate);
    QFETCH(QString, recCode);
    QFETCH(QString, expected);

    setTimeZone(zone);
    QCOMPARE(TaskSummary::summaryText(
                 view, endDate, startDate, recCode, QStringLiteral("Work"), UsEnglish),
        expected);
}

void TestTaskSummary::weekdayNamesFollowTheLocale()
{
    setTimeZone("UTC");
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(TaskSummary::summaryText("Work", utc(2025, 3, 4), QDateTime(), "None", "Work", german),
        "Due " + german.dayName(Qt::Tuesday, QLocale::ShortFormat) + " 03/04");
}

void TestTaskSummary::checkBoxIsOn_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<bool>("on");
    QTest::newRow("Completed") << "Completed" << true;
    QTest::newRow("completed") << "completed" << false;
    QTest::newRow("Today") << "Today" << false;
    QTest::newRow("All Tasks") << "All Tasks" << false;
    QTest::newRow("a list") << "Work" << false;
    QTest::newRow("empty") << "" << false;
}

void TestTaskSummary::checkBoxIsOn()
{
    QFETCH(QString, view);
    QFETCH(bool, on);
    QCOMPARE(TaskSummary::checkBoxIsOn(view), on);
}

WENDRA_QTEST_CORE_MAIN(TestTaskSummary)
#include "tst_TaskSummary.moc"
