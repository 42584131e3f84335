// The task table beyond a plain table: the rounded selection in the colour that says where the
// keyboard is, the drop marker between rows, the keys, the right-click menu, the rounded paths.
#include "MyTableView.h"
#include "RoundedRectPath.h"
#include "TestHome.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStandardItemModel>
#include <QtTest>

namespace {

// A shown window holding a table of three 35-point rows (a check box, a text) and a line edit.
struct Table
{
    QWidget window;
    QLineEdit other {&window};
    MyTableView view {&window};
    QStandardItemModel model {3, 2};
    Table()
    {
        for (int row = 0; row < 3; ++row) {
            model.setItem(row, 0, new QStandardItem);
            model.item(row, 0)->setCheckable(true);
            model.setItem(row, 1, new QStandardItem(QStringLiteral("task %1").arg(row)));
        }
        view.setModel(&model);
        view.verticalHeader()->setDefaultSectionSize(35);
        view.setGeometry(0, 30, 300, 200);
        window.resize(300, 240);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    void select(const QList<int> &rows)
    {
        view.clearSelection();
        for (int row : rows)
            view.selectionModel()->select(model.index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

} // namespace

class TestMyTableView : public QObject
{
    Q_OBJECT

private slots:
    void roundedRect_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<qreal>("radius");
        QTest::addColumn<bool>("cornerFilled");
        QTest::newRow("radius 0: square") << QRectF(10, 10, 40, 20) << 0.0 << true;
        QTest::newRow("negative radius: square") << QRectF(10, 10, 40, 20) << -3.0 << true;
        QTest::newRow("radius 5: round") << QRectF(10, 10, 40, 20) << 5.0 << false;
        QTest::newRow("radius past half the height: round ends") << QRectF(10, 10, 40, 20) << 50.0 << false;
        QTest::newRow("no height: nothing") << QRectF(10, 10, 40, 0) << 5.0 << false;
        QTest::newRow("negative width: nothing") << QRectF(10, 10, -4, 20) << 5.0 << false;
    }
    void roundedRect()
    {
        QFETCH(QRectF, rect);
        QFETCH(qreal, radius);
        QFETCH(bool, cornerFilled);
        const QPainterPath path = RoundedRectPath::bezierPathWithRoundedRect(rect, radius);
        QCOMPARE(path.isEmpty(), rect.width() <= 0 || rect.height() <= 0);
        if (path.isEmpty())
            return;
        // A radius too large for the rectangle never draws outside it.
        QCOMPARE(path.boundingRect(), rect);
        QCOMPARE(path.contains(rect.topLeft() + QPointF(1, 1)), cornerFilled);
        QVERIFY(path.contains(QPointF(rect.center().x(), rect.top() + 0.5)));
        QVERIFY(path.contains(QPointF(rect.left() + 0.5, rect.center().y())));
    }

    void highlight_data()
    {
        QTest::addColumn<bool>("tableFocused");
        QTest::addColumn<bool>("windowActive");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("table focused, window active") << true << true << MyTableView::highlightColorInFocusView();
        QTest::newRow("another control focused") << false << true << MyTableView::highlightColorOutOfFocusView();
        QTest::newRow("another window active") << true << false << MyTableView::highlightColorOutOfFocusView();
    }
    void highlight()
    {
        QFETCH(bool, tableFocused);
        QFETCH(bool, windowActive);
        QFETCH(QColor, colour);
        Table t;
        QWidget elsewhere;
        (windowActive ? &t.window : &elsewhere)->show();
        (windowActive ? &t.window : &elsewhere)->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(windowActive ? &t.window : &elsewhere));
        (tableFocused ? static_cast<QWidget *>(&t.view) : &t.other)->setFocus();
        t.select({1});
        const QImage image = t.view.viewport()->grab().toImage();
        // Row 1 spans y 35 to 70: filled from 2 points in, its corners round.
        const int right = t.view.viewport()->width() - 3;
        QCOMPARE(QList({image.pixel(2, 52), image.pixel(right, 52)}), QList({colour.rgb(), colour.rgb()}));
        for (const QPoint outside : {QPoint(1, 52), QPoint(right + 1, 52), QPoint(2, 36), QPoint(2, 17)})
            QVERIFY(image.pixel(outside) != colour.rgb());
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("edits");
        QTest::addColumn<int>("currentAfter");
        QTest::newRow("Return on one row edits it") << int(Qt::Key_Return) << QList {1} << 1 << 1;
        QTest::newRow("Enter on one row edits it") << int(Qt::Key_Enter) << QList {1} << 1 << 1;
        QTest::newRow("Return on two rows does not") << int(Qt::Key_Return) << QList {0, 1} << 0 << 1;
        QTest::newRow("Return on no row does not") << int(Qt::Key_Return) << QList<int> {} << 0 << 1;
        QTest::newRow("space on the check box changes nothing") << int(Qt::Key_Space) << QList {1} << 0 << 1;
        QTest::newRow("Down moves the selection") << int(Qt::Key_Down) << QList {1} << 0 << 2;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(QList<int>, selected);
        QFETCH(int, edits);
        QFETCH(int, currentAfter);
        Table t;
        t.view.setFocus();
        t.view.selectionModel()->setCurrentIndex(t.model.index(1, 0), QItemSelectionModel::NoUpdate);
        t.select(selected);
        QSignalSpy editSpy(&t.view, &MyTableView::switchToEditView);
        QSignalSpy activated(&t.view, &QAbstractItemView::activated);
        if (key == Qt::Key_Space)
            QTest::ignoreMessage(QtInfoMsg, "Pressed space");
        QTest::keyClick(&t.view, Qt::Key(key));
        QCOMPARE(editSpy.size(), edits);
        // A key the table takes for an edit never reaches its own handling too.
        QCOMPARE(activated.size(), key == Qt::Key_Return && edits == 0 ? 1 : 0);
        QCOMPARE(t.view.currentIndex().row(), currentAfter);
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
        if (lineY < 0) {
            QCOMPARE(image, [] { QImage empty(300, 200, QImage::Format_ARGB32_Premultiplied); empty.fill(Qt::transparent); return empty; }());
            return;
        }
        // The line runs to the row's right edge, the circle's inside is white.
        QCOMPARE(image.pixelColor(150, lineY), QColor(Qt::black));
        QCOMPARE(image.pixelColor(t.view.viewport()->width() - 1, lineY), QColor(Qt::black));
        QCOMPARE(image.pixelColor(5, lineY), QColor(Qt::white));
        QCOMPARE(image.pixelColor(150, lineY + 4).alpha(), 0);
    }

    void dragImage()
    {
        QImage rows(100, 30, QImage::Format_ARGB32_Premultiplied);
        rows.fill(Qt::transparent);
        rows.setPixelColor(50, 15, Qt::black);
        const QImage image = MyTableView::dragImage(rows, MyTableView::highlightColorInFocusView());
        QCOMPARE(image.size(), rows.size());
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0); // a round corner
        QCOMPARE(image.pixelColor(50, 15), QColor(Qt::black));
        const QColor tint = image.pixelColor(20, 15);
        const QColor blue = MyTableView::highlightColorInFocusView();
        QCOMPARE(tint.alpha(), 128);
        QVERIFY(qAbs(tint.red() - blue.red()) + qAbs(tint.green() - blue.green()) + qAbs(tint.blue() - blue.blue()) <= 6);
    }

    void rightClick_data()
    {
        QTest::addColumn<int>("y");
        QTest::newRow("on a row") << 17;
        QTest::newRow("below the last row") << 150;
    }
    void rightClick()
    {
        QFETCH(int, y);
        Table t;
        QMenu menu;
        menu.addAction(QStringLiteral("Delete"));
        t.view.setMoveItems(&menu);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(100, y), t.view.viewport()->mapToGlobal(QPoint(100, y)));
        QApplication::sendEvent(t.view.viewport(), &event);
        QTRY_VERIFY(menu.isVisible());
        menu.hide();
    }
};

WENDRA_QTEST_MAIN(TestMyTableView)
#include "tst_MyTableView.moc"
