// The task table beyond a plain table: the drop marker between rows, Return and space, the
// rounded paths' clamps, and row colours that stay readable under light and dark schemes. Then
// what a user sees of a task row: the summary line's text and the check box rule, both lines in
// the right places and colours, white on a selected row, long texts cut off inside the row's
// insets. Rows are painted into images.
#include "DarkPalette.h"
#include "MyCell.h"
#include "MyCell2.h"
#include "MyTableView.h"
#include "RoundedRectPath.h"
#include "RowColors.h"
#include "TaskRoles.h"
#include "TaskSummary.h"
#include "TestHome.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QtTest>

#include <algorithm>
#include <ctime>

namespace {

// A shown table of three 35-point rows: a check box, a text.
struct Table
{
    MyTableView view;
    QStandardItemModel model {3, 2};
    Table()
    {
        for (int row = 0; row < 3; ++row)
            model.setItem(row, 0, new QStandardItem), model.item(row, 0)->setCheckable(true);
        view.setModel(&model);
        view.verticalHeader()->setDefaultSectionSize(35);
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
};

const int Width = 300, MidY = MyCell::RowHeight / 2;

// One row painted by a delegate from the texts of its index, on white.
template <typename Cell = MyCell>
QImage paintCell(const QString &main, const QString &sub, bool selected = false)
{
    QStandardItemModel model(1, 1);
    model.setItemData(model.index(0, 0), {{Qt::DisplayRole, main}, {SubTextRole, sub}});
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, Width, MyCell::RowHeight);
    option.state = selected ? QStyle::State_Selected : QStyle::State_None;
    option.showDecorationSelected = true; // as a table view paints its selection
    QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    Cell().paint(&painter, option, model.index(0, 0));
    return image;
}

// Where an image differs from its background (top-right pixel) inside `area`: the box around
// it, and the darkest and lightest grey found there.
// clang-format off
struct Ink { QRect box; int darkest = 255, lightest = 0; };
// clang-format on

Ink inkIn(const QImage &image, QRect area)
{
    Ink ink;
    for (int i = 0; i < area.width() * area.height(); ++i) {
        const QPoint p = area.topLeft() + QPoint(i % area.width(), i / area.width());
        if (const int grey = qGray(image.pixel(p)); image.pixel(p) != image.pixel(Width - 1, 0))
            ink = {ink.box | QRect(p, QSize(1, 1)), std::min(ink.darkest, grey),
                std::max(ink.lightest, grey)};
    }
    return ink;
}

// Right of the icon, where either line may put ink.
// clang-format off
const auto textColumn = [] { return QRect(10 + MyCell::rowIcon().width(), 0, 200, MyCell::RowHeight); };

// Moments in UTC for the summary lines.
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
    void roundedRect_data()
    {
        QTest::addColumn<qreal>("height");
        QTest::addColumn<qreal>("radius");
        QTest::addColumn<bool>("cornerFilled");
        QTest::newRow("radius 0: square") << 20.0 << 0.0 << true;
        QTest::newRow("radius past half the height: round ends") << 20.0 << 50.0 << false;
        QTest::newRow("no height: nothing") << 0.0 << 5.0 << false;
    }
    void roundedRect()
    {
        QFETCH(qreal, height);
        QFETCH(qreal, radius);
        QFETCH(bool, cornerFilled);
        const QRectF rect(10, 10, 40, height);
        const QPainterPath path = RoundedRectPath::bezierPathWithRoundedRect(rect, radius);
        // A radius too large for the rectangle never draws outside it; no height draws nothing.
        QCOMPARE(path.isEmpty() ? QRectF() : path.boundingRect(), height > 0 ? rect : QRectF());
        QCOMPARE(QList({path.contains(QPointF(11, 11)), path.contains(QPointF(10.5, rect.center().y()))}),
            QList({cornerFilled, height > 0}));
    }

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
        Table t;
        t.view.setFocus();
        t.view.selectionModel()->setCurrentIndex(t.model.index(1, 0), QItemSelectionModel::NoUpdate);
        for (int row : selected)
            t.view.selectionModel()->select(t.model.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QSignalSpy editSpy(&t.view, &MyTableView::switchToEditView);
        QSignalSpy activated(&t.view, &QAbstractItemView::activated);
        if (key == Qt::Key_Space)
            QTest::ignoreMessage(QtInfoMsg, "Pressed space");
        QTest::keyClick(&t.view, Qt::Key(key));
        // A key the table takes for an edit never reaches its own handling too.
        QCOMPARE(QList({int(editSpy.size()), int(activated.size())}), QList({edits, key == Qt::Key_Return ? 1 - edits : 0}));
        QCOMPARE(t.model.item(1, 0)->checkState(), Qt::Unchecked);
    }

    void dropMarker_data()
    {
        QTest::addColumn<int>("pointerY");
        QTest::addColumn<int>("lineY"); // -1: no marker
        QTest::newRow("top of the first row: its top edge") << 3 << 0;
        QTest::newRow("middle of a row that takes drops: none") << 17 << -1;
        QTest::newRow("bottom of the first row: between rows") << 32 << 35;
        QTest::newRow("below the last row: its bottom edge") << 150 << 105;
    }
    void dropMarker()
    {
        QFETCH(int, pointerY);
        QFETCH(int, lineY);
        Table t;
        QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        t.view.performDrawDropHighlightBetweenUpperRow(painter, t.view.dropGapAt(QPoint(100, pointerY)));
        painter.end();
        // The line runs to the row's right edge, the circle's inside is white.
        const int y = std::max(lineY, 0), right = t.view.viewport()->width() - 1;
        const QList<QColor> marker {Qt::black, Qt::black, Qt::white};
        const QList<QColor> seen {image.pixelColor(150, y), image.pixelColor(right, y), image.pixelColor(5, y)};
        QCOMPARE(seen, lineY < 0 ? QList<QColor>(3, Qt::transparent) : marker);
        QCOMPARE(image.pixelColor(150, y + 4).alpha(), 0);
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

    void linesColoursAndCutOff()
    {
        // A line break in a task's text must not spill a line into the next one.
        const QString text = QStringLiteral("Due Tue\n03/04");
        // clang-format off
        const QRect first(textColumn().left(), 0, 200, MidY + 1), second(first.left(), MidY + 1, 200, MidY);
        // clang-format on
        // The first line stands on the middle line in black, the second hangs from it in grey.
        const QImage plain = paintCell(text, text);
        QVERIFY(inkIn(plain, first).darkest < 80);
        const int grey = inkIn(plain, second).darkest;
        QVERIFY2(grey > 90 && grey < 200, qPrintable(QString::number(grey)));
        // On a selected row both are white, with nothing darker than the selection.
        const int selection = qGray(QPalette().color(QPalette::Highlight).rgb());
        const QImage selected = paintCell(text, text, true);
        for (const QRect &band : {first, second})
            QVERIFY(inkIn(selected, band).darkest >= selection
                && inkIn(selected, band).lightest >= 250);

        const QString longText = QString("Call the plumber about the kitchen sink ").repeated(5);
        const QImage image = paintCell(longText, longText);
        // Long texts: each line stops at the right inset yet fills most of the column, and ends in
        // an ellipsis, whose dots are only a few pixels high: not clipped mid-letter, not dropped.
        for (const QRect &band : {QRect(0, 0, Width, MidY), QRect(0, MidY + 1, Width, MidY)}) {
            const int right = inkIn(image, band).box.right();
            QVERIFY(right > Width - 40 && right < Width - 10);
            QVERIFY2(inkIn(image, {right - 2, band.top(), 3, band.height()}).box.height() <= 4,
                "the line does not end in an ellipsis");
        }
    }

    void rowLayout()
    {
        // The icon sits in the left inset, centred on the middle line.
        const QSize icon = MyCell::rowIcon().deviceIndependentSize().toSize();
        const QImage blank = paintCell("", "");
        const QRect box = inkIn(blank, blank.rect()).box;
        QVERIFY(!icon.isEmpty() && box.left() >= 10 && box.right() < 10 + icon.width());
        QVERIFY(box.height() <= icon.height() && qAbs(box.center().y() - MidY) <= 1);
        // MyCell2 leaves a gap of 10 after the icon instead of 2 (its larger type may start a pixel
        // off), and its type is larger.
        const QRect wide = inkIn(paintCell<MyCell2>("", ""), textColumn()).box;
        const QRect narrow = inkIn(paintCell("Title", "Subtitle"), textColumn()).box;
        QVERIFY(qAbs(wide.left() - narrow.left() - 8) <= 1 && wide.right() > narrow.right() + 8);
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
