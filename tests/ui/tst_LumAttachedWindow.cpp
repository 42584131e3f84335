// The attached pop-up window: attaching to a parent window, the limits its setters keep, lending
// the content view, and the painted bubble.
#include "LumAttachedWindow.h"
#include "TestHome.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <memory>

namespace {

// A content view; the pop-up built around it takes it over.
QWidget *view(int width, int height)
{
    auto *view = new QWidget;
    view->resize(width, height);
    return view;
}

using Setter = void (LumAttachedWindow::*)(qreal);

} // namespace

Q_DECLARE_METATYPE(Setter)

class TestLumAttachedWindow : public QObject
{
    Q_OBJECT

private slots:
    void placement()
    {
        QWidget parent;
        parent.setGeometry(300, 200, 400, 300);
        LumAttachedWindow popUp(view(200, 150), QPointF(100, 50), &parent, LumSideBottom, 12.0);
        QCOMPARE(popUp.parentWidget(), &parent);
        QVERIFY(popUp.windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint));
        QVERIFY(popUp.isWindow() && popUp.testAttribute(Qt::WA_TranslucentBackground));
        // (100, 50) in the parent is (400, 250) on screen; the bubble hangs 12 below it.
        QCOMPARE(popUp.geometry(), QRect(400 - 102, 250 + 12, 204, 170));
        QCOMPARE(popUp.view()->geometry(), QRect(2, 18, 200, 150));
        // Re-placed without a side: the bottom-left corner sits on the point, with no arrow band.
        popUp.setPoint(QPointF(0, 300), LumSideAutomatic);
        QCOMPARE(popUp.geometry(), QRect(300, 500 - 154, 204, 154));

        // Without a window the point is global.
        LumAttachedWindow above(view(100, 100), QPointF(400, 300), LumSideTop);
        QCOMPARE(above.geometry().bottom() + 1, 300);
        // Near the screen's left edge a centred window would overhang it, so it extends right.
        LumAttachedWindow automatic(view(100, 100), QPointF(50, 50), 12.0);
        QCOMPARE(automatic.side(), LumSideBottomRight);
        QVERIFY_THROWS_EXCEPTION(
            std::invalid_argument, LumAttachedWindow(nullptr, QPointF(), LumSideBottom));
    }

    void setterLimits_data()
    {
        QTest::addColumn<int>("viewSide");
        QTest::addColumn<Setter>("setter");
        QTest::addColumn<qreal>("value");
        QTest::addColumn<QString>("result");
        // Radius, arrow width, border, window size. A 40 x 40 view starts with margin 2, border 2,
        // corner radius 8 and an arrow 20 wide and 16 high.
        const auto row
            = [](const char *name, int side, Setter setter, qreal value, const char *result) {
                  QTest::newRow(name) << side << setter << value << result;
              };
        using W = LumAttachedWindow;
        row("border wider than margin", 40, &W::setBorderWidth, 5, "r8 a20 b2 44x60");
        row("negative margin, radius and border follow", 30, &W::setViewMargin, -3,
            "r5 a20 b0 30x46");
        row("radius beyond half the edge", 40, &W::setCornerRadius, 100, "r12 a20 b2 44x60");
        row("negative radius", 40, &W::setCornerRadius, -4, "r0 a20 b2 44x60");
        row("arrow wider than the edge", 40, &W::setArrowBaseWidth, 100, "r8 a28 b2 44x60");
        row("negative arrow height", 40, &W::setArrowHeight, -5, "r8 a20 b2 44x44");
        row("tiny view: no corners", 10, &W::setCornerRadius, 8, "r0 a14 b2 14x30");
    }

    void setterLimits()
    {
        QFETCH(int, viewSide);
        QFETCH(Setter, setter);
        QFETCH(qreal, value);
        QFETCH(QString, result);
        LumAttachedWindow w(view(viewSide, viewSide), QPointF(400, 300), LumSideBottom, 12.0);
        (w.*setter)(value);
        QCOMPARE(QString::asprintf("r%g a%g b%g %dx%d", w.cornerRadius(), w.arrowBaseWidth(),
                     w.borderWidth(), w.width(), w.height()),
            result);
    }

    void parentAndView()
    {
        QWidget holder;
        auto *content = new QWidget(&holder);
        auto first = std::make_unique<LumAttachedWindow>(content, QPointF(), LumSideBottom);
        QCOMPARE(content->parentWidget(), first.get());
        first.reset();
        QCOMPARE(content->parentWidget(), &holder);
        QVERIFY(content->isHidden());

        // A pop-up reopened before the old one goes keeps the view when the old one is destroyed.
        first = std::make_unique<LumAttachedWindow>(content, QPointF(), LumSideBottom);
        LumAttachedWindow second(content, QPointF(), LumSideBottom);
        first.reset();
        QCOMPARE(content->parentWidget(), &second);

        // A Close command aimed at the pop-up closes the window it belongs to.
        auto parent = std::make_unique<QWidget>();
        parent->show();
        auto *popUp = new LumAttachedWindow(view(50, 50), {10, 10}, parent.get(), LumSideBottom);
        popUp->orderFront();
        QVERIFY(popUp->isVisible());
        popUp->close();
        QVERIFY(!parent->isVisible() && !popUp->isVisible());
        // Destroying the parent window with its pop-up still there leaves nothing dangling.
        parent.reset();
    }

    void paintsBubble_data()
    {
        QTest::addColumn<bool>("arrow");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("alpha");
        // A 200 x 150 view below its point: the arrow band is y 0 to 15 and its tip at x 102. The
        // fill is 80 % opaque, the 2-pixel border fully.
        QTest::newRow("border") << true << QPoint(1, 90) << 255;
        QTest::newRow("fill inside the border") << true << QPoint(3, 90) << 204;
        QTest::newRow("outside") << true << QPoint(0, 90) << 0;
        QTest::newRow("arrow") << true << QPoint(102, 10) << 204;
        QTest::newRow("beside the arrow") << true << QPoint(60, 8) << 0;
        QTest::newRow("no arrow: band empty") << false << QPoint(102, 16) << 0;
    }

    void paintsBubble()
    {
        QFETCH(bool, arrow);
        QFETCH(QPoint, pixel);
        QFETCH(int, alpha);
        LumAttachedWindow w(view(200, 150), QPointF(400, 300), LumSideBottom, 12.0);
        w.setHasArrow(arrow);
        QImage image(w.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        w.paintBubble(painter);
        QCOMPARE(image.pixelColor(pixel).alpha(), alpha);
    }
};

WENDRA_QTEST_MAIN(TestLumAttachedWindow)
#include "tst_LumAttachedWindow.moc"
