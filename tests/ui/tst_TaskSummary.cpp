// The summary line under each task and the check box rule, as plain text. Weekday names are
// US English unless a row says otherwise; the time zone is set per row, since the local date is
// often the point.
#include "TaskSummary.h"
#include "TestHome.h"

#include <QtTest>

#include <ctime>

namespace {

// clang-format off
const auto utc = [](int y, int m, int d, int h = 12) { return QDateTime({y, m, d}, {h, 0}, Qt::UTC); };
const auto secs = [](qint64 seconds) { return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC); };

struct Row {
    QString view; QDateTime end, start; QString recCode, expected;
    QByteArray zone = "UTC"; QLocale locale = QLocale(QLocale::English, QLocale::UnitedStates);
};
// clang-format on

} // namespace

Q_DECLARE_METATYPE(Row)

class TestTaskSummary : public QObject
{
    Q_OBJECT

private slots:
    void summaryText_data()
    {
        QTest::addColumn<Row>("row");
        // clang-format off
        const auto row = [](const char *name, const Row &row) { QTest::newRow(name) << row; };
        const QDateTime due = utc(2025, 3, 4), prev = utc(2025, 2, 25), none;
        const QString blank(16, u' ');
        const QByteArray newYork = "America/New_York";

        row("Today", {"Today", due, none, "None", "Due Tue 03/04      Work"});
        row("a list named completed", {"completed", due, none, "None", "Due Tue 03/04"});
        row("recurring", {"Work", due, prev, "D:1", "Due Tue 03/04    prev 02/25"});
        row("empty rec code", {"Work", due, prev, "", "Due Tue 03/04"});
        row("Completed", {"Completed", none, utc(2025, 3, 3), "D:1", "Completed Mon 03/03       Work"});
        // No due date (stored as seconds near 1970): blank, so the list name keeps its column.
        row("no due date", {"All Tasks", none, none, "None", "Due " + blank + "      Work"});
        row("1000 s", {"Work", secs(1000), none, "", "Due " + blank});
        row("1001 s", {"Work", secs(1001), none, "", "Due Thu 01/01"});
        row("recurring, no due date", {"Work", none, prev, "D:1", "Due Thu 01/01    prev 02/25"});
        // Local dates: 02:00 UTC on 4 March is still Monday 3 March in New York.
        row("local date", {"Work", utc(2025, 3, 4, 2), none, "None", "Due Mon 03/03", newYork});
        // No start date reads as 31 December west of UTC, so it shows n/a like a real one.
        row("prev absent, west", {"Work", due, none, "D:1", "Due Tue 03/04    prev n/a", newYork});
        row("prev a real 31 December", {"Work", due, utc(2024, 12, 31), "D:1", "Due Tue 03/04    prev n/a"});
        // Weekday names come from the locale; month and day stay ASCII digits.
        const QLocale german(QLocale::German, QLocale::Germany);
        const QString dienstag = german.dayName(Qt::Tuesday, QLocale::ShortFormat);
        row("German", {"Work", due, none, "None", "Due " + dienstag + " 03/04", "UTC", german});
        // clang-format on
    }

    void summaryText()
    {
        QFETCH(Row, row);
        qputenv("TZ", row.zone);
        tzset();
        // clang-format off
        QCOMPARE(TaskSummary::summaryText(row.view, row.end, row.start, row.recCode, "Work", row.locale), row.expected);
        // clang-format on
    }

    void checkBoxOnlyInCompleted()
    {
        QVERIFY(TaskSummary::checkBoxIsOn("Completed") && !TaskSummary::checkBoxIsOn("completed"));
    }
};

WENDRA_QTEST_CORE_MAIN(TestTaskSummary)
#include "tst_TaskSummary.moc"
