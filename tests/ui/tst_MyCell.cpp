// What a user sees of a task row: both lines in the right places and colours, white on a
// selected row, long texts cut off inside the row's insets. Rows are painted into images.
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

namespace {

const int Width = 300, MidY = MyCell::RowHeight / 2;

// One row painted by a delegate from the texts of its index, on white.
template <typename Cell = MyCell>
QImage paintCell(const QString &main, const QString &sub, bool selected = false, int width = Width)
{
    QStandardItemModel model(1, 1);
    model.setItemData(model.index(0, 0), {{Qt::DisplayRole, main}, {SubTextRole, sub}});
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, width, MyCell::RowHeight);
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
struct Ink
{
    QRect box;
    int darkest = 255, lightest = 0;
};

Ink inkIn(const QImage &image, QRect area)
{
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (c != image.pixel(image.width() - 1, 0))
                ink = {ink.box | QRect(x, y, 1, 1), std::min(ink.darkest, qGray(c)),
                    std::max(ink.lightest, qGray(c))};
        }
    }
    return ink;
}

// Right of the icon, where either line may put ink.
const auto textColumn
    = [] { return QRect(10 + MyCell::rowIcon().width(), 0, 200, MyCell::RowHeight); };

} // namespace

class TestMyCell : public QObject
{
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<int>("darkestMin");
        QTest::addColumn<int>("darkestMax");
        // Black over grey; on a selected row both white, nothing darker than the selection.
        const int selection = qGray(QPalette().color(QPalette::Highlight).rgb());
        QTest::newRow("first line black") << false << false << 0 << 79;
        QTest::newRow("second line grey") << true << false << 91 << 199;
        QTest::newRow("first line selected") << false << true << selection << 255;
        QTest::newRow("second line selected") << true << true << selection << 255;
    }

    void lines()
    {
        QFETCH(bool, second);
        QFETCH(bool, selected);
        QFETCH(int, darkestMin);
        QFETCH(int, darkestMax);
        // A line break in a task's text must not spill a line into the next one.
        const QString text = QStringLiteral("Due Tue\n03/04");
        const QImage image = paintCell(second ? "" : text, second ? text : "", selected);
        const auto [box, darkest, lightest] = inkIn(image, textColumn());
        QVERIFY(!box.isNull());
        // The first line stands on the middle line, the second hangs from it.
        QVERIFY(second ? box.top() >= MidY : box.bottom() <= MidY);
        QVERIFY2(
            darkest >= darkestMin && darkest <= darkestMax, qPrintable(QString::number(darkest)));
        QVERIFY(!selected || lightest >= 250);
    }

    void longTextsAreCutOffInsideTheInsets()
    {
        const int width = 200;
        const QString longText = QString("Call the plumber about the kitchen sink ").repeated(5);
        const QImage image = paintCell(longText, longText, false, width);
        const QRect box = inkIn(image, image.rect()).box;
        QVERIFY(box.left() >= 10 && box.right() < width - 10);
        // Each line still fills most of the column and ends in an ellipsis, whose dots are only a
        // few pixels high: not clipped mid-letter, not dropped.
        for (const QRect &band : {QRect(0, 0, width, MidY), QRect(0, MidY + 1, width, MidY)}) {
            const int right = inkIn(image, band).box.right();
            QVERIFY(right > width - 40);
            QVERIFY2(inkIn(image, {right - 2, band.top(), 3, band.height()}).box.height() <= 4,
                "the line does not end in an ellipsis");
        }
    }

    void rowLayout()
    {
        QCOMPARE(MyCell().sizeHint(QStyleOptionViewItem(), {}).height(), 35);
        QCOMPARE(MyCell2().sizeHint(QStyleOptionViewItem(), {}).height(), 35);
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
        // Even rows light, odd rows darker.
        QTableView table;
        RowColors::applyAlternatingRowColors(table);
        QVERIFY(table.alternatingRowColors());
        QVERIFY(table.palette().color(QPalette::Base).lightness()
            > table.palette().color(QPalette::AlternateBase).lightness());
    }
};

WENDRA_QTEST_MAIN(TestMyCell)
#include "tst_MyCell.moc"
