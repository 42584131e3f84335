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
// clang-format on

} // namespace

class TestMyCell : public QObject
{
    Q_OBJECT

private slots:
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
        // Even rows light, odd rows darker.
        QTableView table;
        RowColors::applyAlternatingRowColors(table);
        const QPalette colours = table.palette();
        // clang-format off
        QVERIFY(table.alternatingRowColors() && colours.color(QPalette::Base).lightness() > colours.color(QPalette::AlternateBase).lightness());
        // clang-format on
    }
};

WENDRA_QTEST_MAIN(TestMyCell)
#include "tst_MyCell.moc"
