// The task table beyond a plain table: the drop marker between rows, Return and space, the
// rounded paths' clamps, and row colours that stay readable under light and dark schemes.
#include "DarkPalette.h"
#include "MyTableView.h"
#include "RoundedRectPath.h"
#include "RowColors.h"
#include "TestHome.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QtTest>

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

} // namespace

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

    void inkKeepsContrast_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    // Titles and what the style draws with the text colour (check marks) at 7:1, the smaller
    // summary line at 4.5:1, on even (Base) and odd (AlternateBase) rows.
    void inkKeepsContrast()
    {
        QFETCH(bool, dark);
        QCOMPARE(RowColors::contrastRatio(Qt::white, Qt::black), 21.0);
        QTableView table;
        table.setStyle(fusion_.get());
        table.setPalette(dark ? darkPalette(*fusion_) : fusion_->standardPalette());
        RowColors::applyAlternatingRowColors(table);
        for (const QPalette::ColorRole row : {QPalette::Base, QPalette::AlternateBase}) {
            const QColor background = table.palette().color(row);
            QCOMPARE_GE(RowColors::contrastRatio(RowColors::rowTextColor(), background), 7.0);
            QCOMPARE_GE(RowColors::contrastRatio(table.palette().color(QPalette::Text), background), 7.0);
            QCOMPARE_GE(RowColors::contrastRatio(RowColors::summaryTextColor(), background), 4.5);
        }
    }
};

WENDRA_QTEST_MAIN(TestMyTableView)
#include "tst_MyTableView.moc"
