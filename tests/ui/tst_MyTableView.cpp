// The task table beyond a plain table: Return and space, and row colours that stay readable under
// light and dark schemes. Then what a user reads in a task row: the summary line's text and the
// check box rule.
#include "DarkPalette.h"
#include "MyTableView.h"
#include "RowColors.h"
#include "TaskSummary.h"
#include "TestHome.h"

#include <QApplication>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QtTest>

#include <ctime>

namespace {

// Moments in UTC for the summary lines.
// clang-format off
const auto utc = [](int y, int m, int d, int h = 12) { return QDateTime({y, m, d}, {h, 0}, Qt::UTC); };
const auto secs = [](qint64 seconds) { return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC); };

// A summary line: the view, the task's dates and rec code, and what it reads in that zone.
struct SummaryRow {
    QString view; QDateTime end, start; QString recCode, expected;
    QByteArray zone = "UTC"; QLocale locale = QLocale(QLocale::English, QLocale::UnitedStates);
};
// clang-format on

} // namespace

Q_DECLARE_METATYPE(SummaryRow)

class TestMyTableView : public QObject
{
    Q_OBJECT

    const std::unique_ptr<QStyle> fusion_ {QStyleFactory::create(QStringLiteral("Fusion"))};

private slots:
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("edits");
        QTest::newRow("Return on one row edits it") << int(Qt::Key_Return) << QList {1} << 1;
        QTest::newRow("Return on two rows does not") << int(Qt::Key_Return) << QList {0, 1} << 0;
        QTest::newRow("space on the check box changes nothing") << int(Qt::Key_Space) << QList {1} << 0;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(QList<int>, selected);
        QFETCH(int, edits);
        // A shown table of three rows: a check box, a text.
        MyTableView view;
        QStandardItemModel model(3, 2);
        for (int row = 0; row < 3; ++row) {
            model.setItem(row, 0, new QStandardItem);
            model.item(row, 0)->setCheckable(true);
        }
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
        view.selectionModel()->setCurrentIndex(model.index(1, 0), QItemSelectionModel::NoUpdate);
        for (int row : selected)
            view.selectionModel()->select(
                model.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QSignalSpy editSpy(&view, &MyTableView::switchToEditView);
        QSignalSpy activated(&view, &QAbstractItemView::activated);
        if (key == Qt::Key_Space)
            QTest::ignoreMessage(QtInfoMsg, "Pressed space");
        QTest::keyClick(&view, Qt::Key(key));
        // A key the table takes for an edit never reaches its own handling too.
        QCOMPARE(QList({int(editSpy.size()), int(activated.size())}),
            QList({edits, key == Qt::Key_Return ? 1 - edits : 0}));
        QCOMPARE(model.item(1, 0)->checkState(), Qt::Unchecked);
    }

    // Under light and dark schemes alike: titles and what the style draws with the text colour
    // (check marks) at 7:1, the smaller summary line at 4.5:1, on even (Base) and odd
    // (AlternateBase) rows, and the odd rows darker.
    void inkKeepsContrast()
    {
        QCOMPARE(RowColors::contrastRatio(Qt::white, Qt::black), 21.0);
        for (const QPalette &scheme : {fusion_->standardPalette(), darkPalette(*fusion_)}) {
            QTableView table;
            table.setStyle(fusion_.get());
            table.setPalette(scheme);
            RowColors::applyAlternatingRowColors(table);
            const QPalette colours = table.palette();
            const int evenLightness = colours.color(QPalette::Base).lightness();
            QVERIFY(table.alternatingRowColors()
                && evenLightness > colours.color(QPalette::AlternateBase).lightness());
            for (const QPalette::ColorRole row : {QPalette::Base, QPalette::AlternateBase}) {
                const QColor background = colours.color(row);
                QCOMPARE_GE(RowColors::contrastRatio(RowColors::rowTextColor(), background), 7.0);
                QCOMPARE_GE(RowColors::contrastRatio(colours.color(QPalette::Text), background), 7.0);
                QCOMPARE_GE(RowColors::contrastRatio(RowColors::summaryTextColor(), background), 4.5);
            }
        }
    }

    // The summary line as text. Weekday names are US English unless a row says otherwise; the
    // time zone is set per row, since the local date is often the point.
    void summaryText_data()
    {
        QTest::addColumn<SummaryRow>("row");
        // clang-format off
        const auto row = [](const char *name, const SummaryRow &row) { QTest::newRow(name) << row; };
        const QDateTime due = utc(2025, 3, 4), prev = utc(2025, 2, 25), none;
        const QString blank(16, u' ');
        const QByteArray newYork = "America/New_York";

        row("Today", {"Today", due, none, "None", "Due Tue 03/04      Work"});
        row("a list named completed", {"completed", due, none, "None", "Due Tue 03/04"});
        row("recurring", {"Work", due, prev, "D:1", "Due Tue 03/04    prev 02/25"});
        row("empty rec code", {"Work", due, prev, "", "Due Tue 03/04"});
        row("Completed", {"Completed", none, utc(2025, 3, 3), "D:1", "Completed Mon 03/03       Work"});
        // No due date (stored as seconds near 1970): blank, so the list name keeps its column.
        row("1000 s", {"All Tasks", secs(1000), none, "", "Due " + blank + "      Work"});
        row("1001 s", {"Work", secs(1001), none, "", "Due Thu 01/01"});
        // Local dates: 02:00 UTC on 4 March is still Monday 3 March in New York.
        row("local date", {"Work", utc(2025, 3, 4, 2), none, "None", "Due Mon 03/03", newYork});
        // No start date reads as 31 December west of UTC: n/a, not a date from before the task.
        row("prev absent, west", {"Work", due, none, "D:1", "Due Tue 03/04    prev n/a", newYork});
        // Weekday names come from the locale; month and day stay ASCII digits.
        const QLocale german(QLocale::German, QLocale::Germany);
        const QString dienstag = german.dayName(Qt::Tuesday, QLocale::ShortFormat);
        row("German", {"Work", due, none, "None", "Due " + dienstag + " 03/04", "UTC", german});
        // clang-format on
    }

    void summaryText()
    {
        QFETCH(SummaryRow, row);
        qputenv("TZ", row.zone);
        tzset();
        // clang-format off
        QCOMPARE(TaskSummary::summaryText(row.view, row.end, row.start, row.recCode, "Work", row.locale), row.expected);
        // clang-format on
        // The check box is on exactly where the row reads as completed, not in a list of that name.
        QCOMPARE(TaskSummary::checkBoxIsOn(row.view), row.expected.startsWith("Completed"));
    }
};

WENDRA_QTEST_MAIN(TestMyTableView)
#include "tst_MyTableView.moc"
