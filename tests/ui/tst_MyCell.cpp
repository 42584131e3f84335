// What a user sees of a task row: both lines in the right places and colours, white on a
// selected row, long texts cut off inside the row's right inset. Rows are painted into images.
#include "MyCell.h"
#include "MyCell2.h"
#include "RowColors.h"
#include "TaskRoles.h"
#include "TestHome.h"

#include <QApplication>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

#include <algorithm>
#include <climits>

namespace {

const QRect Frame(0, 0, 300, MyCell::RowHeight);
const int MidY = MyCell::RowHeight / 2;

// Where a painted image differs from its background colour, and how dark it gets there.
struct Ink
{
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
    int darkest = 255, lightest = 0;
    bool any() const { return right >= 0; }
};

Ink inkIn(const QImage &image, const QRect &area, QColor background)
{
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == background)
                continue;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ink.darkest = std::min(ink.darkest, qGray(c.rgb()));
            ink.lightest = std::max(ink.lightest, qGray(c.rgb()));
        }
    }
    return ink;
}

QImage blankRow(QColor background, int width = Frame.width())
{
    QImage image(width, MyCell::RowHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

QImage paintRow(const QString &main, const QString &sub, bool highlighted, QColor background,
    int width = Frame.width())
{
    QImage image = blankRow(background, width);
    QPainter painter(&image);
    MyCell::drawInterior(painter, QRect(0, 0, width, MyCell::RowHeight), main, sub, highlighted,
        QApplication::font());
    return image;
}

// The text column starts after the icon (absent when the resource is not linked in).
int textLeft(int gap)
{
    const QPixmap icon = MyCell::rowIcon();
    return 10 + (icon.isNull() ? 0 : qRound(icon.deviceIndependentSize().width())) + gap;
}

// Full height, right of the icon: where either line may put ink.
QRect textColumn()
{
    return QRect(QPoint(textLeft(0), 0), Frame.bottomRight());
}

QRect firstLineBand(int gap = MyCell::CellMetrics.iconGap)
{
    return QRect(QPoint(textLeft(gap), 0), QPoint(Frame.right(), MidY - 1));
}

QRect secondLineBand(int gap = MyCell::CellMetrics.iconGap)
{
    return QRect(QPoint(textLeft(gap), MidY + 1), QPoint(Frame.right(), Frame.bottom()));
}

} // namespace

class TestMyCell : public QObject
{
    Q_OBJECT

private slots:
    void rowIsThirtyFivePointsHigh();
    void linesSitAboveAndBelowTheMiddle();
    void selectedRowIsWhite();
    void longTextsEndInsideTheRightInset();
    void iconIsCentredOnTheMiddleLine();
    void delegateDrawsTheTextsOfTheIndex();
    void myCell2LeavesAWiderGap();
    void alternatingRowColours();
};

void TestMyCell::rowIsThirtyFivePointsHigh()
{
    QStandardItemModel model(1, 1);
    MyCell cell;
    QStyleOptionViewItem option;
    option.font = QApplication::font();
    QCOMPARE(cell.sizeHint(option, model.index(0, 0)).height(), 35);
}

void TestMyCell::linesSitAboveAndBelowTheMiddle()
{
    const QImage main = paintRow("Buy milk", "", false, Qt::white);
    const Ink first = inkIn(main, textColumn(), Qt::white);
    QVERIFY(first.any());
    QVERIFY2(first.bottom <= MidY, "the first line must end on the middle line");
    QVERIFY2(first.darkest < 80, "the first line is black");

    const QImage sub = paintRow("", "Due Tue 03/04", false, Qt::white);
    const Ink second = inkIn(sub, textColumn(), Qt::white);
    QVERIFY(second.any());
    QVERIFY2(second.top >= MidY, "the second line must hang from the middle line");
    // Grey, not black and not invisible.
    QVERIFY2(
        second.darkest > 90 && second.darkest < 200, qPrintable(QString::number(second.darkest)));
}

void TestMyCell::selectedRowIsWhite()
{
    const QColor selection(40, 80, 160);
    const QImage image = paintRow("Buy milk", "Due Tue 03/04", true, selection);
    for (const QRect &band : {firstLineBand(), secondLineBand()}) {
        const Ink ink = inkIn(image, band, selection);
        QVERIFY(ink.any());
        QVERIFY2(ink.lightest >= 250, "text on a selected row is white");
        QVERIFY2(ink.darkest >= qGray(selection.rgb()), "nothing darker than the selection");
    }
}

void TestMyCell::longTextsEndInsideTheRightInset()
{
    const int width = 200;
    const QString longText = QString("Call the plumber about the kitchen sink ").repeated(5);
    const QImage image = paintRow(longText, longText, false, Qt::white, width);
    const QRect row(0, 0, width, MyCell::RowHeight);
    const Ink ink = inkIn(image, row, Qt::white);
    QVERIFY(ink.any());
    QVERIFY2(ink.right < width - 10, "text painted into the right inset");
    QVERIFY2(ink.left >= 10, "ink painted into the left inset");
    // Cut off with an ellipsis, not clipped mid-letter and not dropped: each line still fills
    // most of the column and ends in dots, whose ink is only a few pixels high.
    for (const QRect &band : {QRect(0, 0, width, MidY), QRect(0, MidY + 1, width, MidY)}) {
        const Ink line = inkIn(image, band, Qt::white);
        QVERIFY(line.right > width - 40);
        const Ink tail
            = inkIn(image, QRect(line.right - 2, band.top(), 3, band.height()), Qt::white);
        QVERIFY2(tail.bottom - tail.top <= 3, "the line does not end in an ellipsis");
    }
}

void TestMyCell::iconIsCentredOnTheMiddleLine()
{
    const QPixmap icon = MyCell::rowIcon();
    if (icon.isNull())
        QSKIP("the row icon resource is not linked into this test");
    const QSize size = icon.deviceIndependentSize().toSize();
    const Ink ink = inkIn(paintRow("", "", false, Qt::white), Frame, Qt::white);
    QVERIFY(ink.any());
    QVERIFY(ink.left >= 10 && ink.right < 10 + size.width());
    const int top = MidY - size.height() / 2;
    QVERIFY(ink.top >= top - 1 && ink.bottom <= top + size.height());
    QVERIFY2(qAbs((ink.top + ink.bottom) / 2 - MidY) <= 1, "icon not centred on the middle line");
}

void TestMyCell::delegateDrawsTheTextsOfTheIndex()
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), "Buy milk", Qt::DisplayRole);
    model.setData(model.index(0, 0), "Due Tue 03/04", SubTextRole);
    QTableView view;
    view.setModel(&model);

    MyCell cell;
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.rect = Frame;
    option.font = QApplication::font();
    option.state &= ~QStyle::State_Selected;

    QImage image = blankRow(Qt::white);
    {
        QPainter painter(&image);
        cell.paint(&painter, option, model.index(0, 0));
    }
    QCOMPARE(image, paintRow("Buy milk", "Due Tue 03/04", false, Qt::white));
}

void TestMyCell::myCell2LeavesAWiderGap()
{
    auto draw = [](auto drawing) {
        QImage image = blankRow(Qt::white);
        QPainter painter(&image);
        drawing(painter);
        return image;
    };
    const QFont font = QApplication::font();
    const QImage cell2 = draw([&](QPainter &p) { MyCell2::drawInterior(p, Frame, false, font); });
    // The same texts and sizes with MyCell's narrow gap, and with MyCell's own sizes.
    const QImage narrow = draw([&](QPainter &p) {
        MyCell::drawLines(p, Frame, "Title", "Subtitle", false, font,
            {MyCell2::CellMetrics.mainPointSize, MyCell2::CellMetrics.subPointSize, 2});
    });
    const QImage small = paintRow("Title", "Subtitle", false, Qt::white);

    const QRect afterIcon = textColumn();
    const Ink wide = inkIn(cell2, afterIcon, Qt::white);
    QVERIFY(wide.any());
    QCOMPARE(wide.left - inkIn(narrow, afterIcon, Qt::white).left, 8);
    QVERIFY2(
        inkIn(cell2, firstLineBand(), Qt::white).bottom <= MidY, "first line above the middle");
    QVERIFY2(inkIn(cell2, secondLineBand(), Qt::white).top >= MidY, "second line below it");
    QVERIFY2(
        wide.right > inkIn(small, afterIcon, Qt::white).right + 8, "MyCell2 uses the larger type");
}

void TestMyCell::alternatingRowColours()
{
    const auto colours = RowColors::controlAlternatingRowBackgroundColors();
    QCOMPARE(colours[0], QColor::fromRgbF(0.95f, 0.95f, 0.95f));
    QCOMPARE(colours[1], QColor::fromRgbF(0.85f, 0.85f, 0.85f));

    QTableView table;
    table.setAlternatingRowColors(false);
    RowColors::applyAlternatingRowColors(table);
    QVERIFY(table.alternatingRowColors());
    QCOMPARE(table.palette().color(QPalette::Base), colours[0]);
    QCOMPARE(table.palette().color(QPalette::AlternateBase), colours[1]);
}

WENDRA_QTEST_MAIN(TestMyCell)
#include "tst_MyCell.moc"
