// Placement, automatic side choice and bubble outline of the attached pop-up, checked as plain
// values. Qt coordinates: y grows downward, so "below the point" is a larger y.
#include "AttachedWindowGeometry.h"
#include "TestHome.h"

#include <QtTest>

#include <algorithm>
#include <limits>

Q_DECLARE_METATYPE(LumSide)

namespace {

// The 200 x 150 content view the pop-ups use, with every other setting at its default.
AttachedWindowGeometry popUp(LumSide side, QPointF point = {500, 400}, qreal distance = 12)
{
    AttachedWindowGeometry g;
    g.viewSize = QSizeF(200, 150);
    g.point = point;
    g.side = side;
    g.distance = distance;
    return g;
}

// How close the path comes to a spot, measured at its corner points.
qreal nearestElementDistance(const QPainterPath &path, QPointF spot)
{
    qreal nearest = std::numeric_limits<qreal>::max();
    for (int i = 0; i < path.elementCount(); ++i)
        nearest = std::min(nearest, QLineF(path.elementAt(i), spot).length());
    return nearest;
}

} // namespace

class TestAttachedWindowGeometry : public QObject
{
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
    void bestSide_data();
    void bestSide();
    void pathWithoutArrowIsTheInsetBubble_data();
    void pathWithoutArrowIsTheInsetBubble();
    void squareCornerBesideArrow();
    void zeroRadiusGivesSquareCorners();
    void scaledPathStaysInsideWindow();
};

void TestAttachedWindowGeometry::placement_data()
{
    QTest::addColumn<LumSide>("side");
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<QPointF>("viewOrigin");
    QTest::addColumn<QPointF>("tip");
    // Point (500, 400), distance 12: bubble 204 x 154, arrow band 16, arrow inset 10 + 8. The
    // tip is 12 from the point towards the window.
    const QPointF l(488, 400), b(500, 412), r(512, 400), t(500, 388);
    QTest::newRow("left") << LumSideLeft << QRectF(268, 323, 220, 154) << QPointF(2, 2) << l;
    QTest::newRow("bottom") << LumSideBottom << QRectF(398, 412, 204, 170) << QPointF(2, 18) << b;
    QTest::newRow("right") << LumSideRight << QRectF(512, 323, 220, 154) << QPointF(18, 2) << r;
    QTest::newRow("top") << LumSideTop << QRectF(398, 218, 204, 170) << QPointF(2, 2) << t;
    QTest::newRow("left top") << LumSideLeftTop << QRectF(268, 264, 220, 154) << QPointF(2, 2) << l;
    QTest::newRow("left bottom") << LumSideLeftBottom << QRectF(268, 382, 220, 154) << QPointF(2, 2)
                                 << l;
    QTest::newRow("right top") << LumSideRightTop << QRectF(512, 264, 220, 154) << QPointF(18, 2)
                               << r;
    QTest::newRow("right bottom") << LumSideRightBottom << QRectF(512, 382, 220, 154)
                                  << QPointF(18, 2) << r;
    QTest::newRow("top left") << LumSideTopLeft << QRectF(314, 218, 204, 170) << QPointF(2, 2) << t;
    QTest::newRow("top right") << LumSideTopRight << QRectF(482, 218, 204, 170) << QPointF(2, 2)
                               << t;
    QTest::newRow("bottom left") << LumSideBottomLeft << QRectF(314, 412, 204, 170)
                                 << QPointF(2, 18) << b;
    QTest::newRow("bottom right") << LumSideBottomRight << QRectF(482, 412, 204, 170)
                                  << QPointF(2, 18) << b;
    // No side: the bottom-left corner sits on the point and there is no arrow at all.
    QTest::newRow("automatic") << LumSideAutomatic << QRectF(500, 246, 204, 154) << QPointF(2, 2)
                               << QPointF();
}

void TestAttachedWindowGeometry::placement()
{
    QFETCH(LumSide, side);
    QFETCH(QRectF, frame);
    QFETCH(QPointF, viewOrigin);
    const AttachedWindowGeometry g = popUp(side);
    QCOMPARE(g.windowFrame(), frame);
    QCOMPARE(g.viewFrame(), QRectF(viewOrigin, QSizeF(200, 150)));

    if (side == LumSideAutomatic) {
        QCOMPARE(g.bubblePath().boundingRect(), QRectF(1, 1, 202, 152));
        return;
    }
    // Edges on whole pixels may move the tip by one pixel; the body is at least 16 away.
    QFETCH(QPointF, tip);
    QVERIFY(nearestElementDistance(g.bubblePath(), tip - frame.topLeft()) <= M_SQRT2);
}

void TestAttachedWindowGeometry::bestSide_data()
{
    QTest::addColumn<QRectF>("screen");
    QTest::addColumn<QRectF>("parent");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<LumSide>("expected");
    // The bubble is 204 x 154 and needs 16 + 12 more towards the point.
    const QRectF screen(0, 0, 1000, 800);
    const QRectF none;
    QTest::newRow("room below") << screen << none << QPointF(500, 100) << LumSideBottom;
    QTest::newRow("too low: right") << screen << none << QPointF(500, 700) << LumSideRight;
    QTest::newRow("low, far right: left") << screen << none << QPointF(900, 700) << LumSideLeft;
    QTest::newRow("narrow screen: above")
        << QRectF(0, 0, 300, 800) << none << QPointF(150, 700) << LumSideTop;
    QTest::newRow("no room anywhere: below")
        << QRectF(0, 0, 300, 300) << none << QPointF(150, 150) << LumSideBottom;
    QTest::newRow("past parent's left edge")
        << screen << QRectF(450, 50, 300, 300) << QPointF(500, 100) << LumSideBottomRight;
    QTest::newRow("past parent's right edge")
        << screen << QRectF(300, 50, 250, 300) << QPointF(500, 100) << LumSideBottomLeft;
    QTest::newRow("past left edge, no screen to the right")
        << QRectF(0, 0, 600, 800) << QRectF(450, 50, 150, 300) << QPointF(500, 100)
        << LumSideBottomLeft;
    QTest::newRow("past parent's bottom edge")
        << screen << QRectF(0, 600, 1000, 150) << QPointF(500, 700) << LumSideRightTop;
    QTest::newRow("past parent's top edge")
        << screen << QRectF(0, 600, 1000, 300) << QPointF(900, 650) << LumSideLeftBottom;
}

void TestAttachedWindowGeometry::bestSide()
{
    QFETCH(QRectF, screen);
    QFETCH(QRectF, parent);
    QFETCH(QPointF, point);
    QFETCH(LumSide, expected);
    QCOMPARE(popUp(LumSideAutomatic, point).bestSide(screen, parent), expected);
}

void TestAttachedWindowGeometry::pathWithoutArrowIsTheInsetBubble_data()
{
    QTest::addColumn<LumSide>("side");
    QTest::addColumn<QRectF>("bounds");
    QTest::newRow("bottom") << LumSideBottom << QRectF(1, 17, 202, 152);
    QTest::newRow("top") << LumSideTop << QRectF(1, 1, 202, 152);
    QTest::newRow("right") << LumSideRight << QRectF(17, 1, 202, 152);
    QTest::newRow("left bottom") << LumSideLeftBottom << QRectF(1, 1, 202, 152);
}

void TestAttachedWindowGeometry::pathWithoutArrowIsTheInsetBubble()
{
    QFETCH(LumSide, side);
    QFETCH(QRectF, bounds);
    AttachedWindowGeometry g = popUp(side);
    g.hasArrow = false;
    const QPainterPath path = g.bubblePath();
    QCOMPARE(path.boundingRect(), bounds);
    // The arrow band stays reserved but empty.
    QCOMPARE(g.windowSize(), popUp(side).windowSize());
    QVERIFY(path.contains(g.viewFrame().center()));
}

void TestAttachedWindowGeometry::squareCornerBesideArrow()
{
    AttachedWindowGeometry g = popUp(LumSideBottomRight);
    g.drawsRoundCornerBesideArrow = false;
    const QPainterPath path = g.bubblePath();
    // The arrow starts right at the top-left corner, which stays square...
    QCOMPARE(QPointF(path.elementAt(0)), QPointF(1, 17));
    QCOMPARE(QPointF(path.elementAt(1)), QPointF(11, 1));
    QVERIFY(path.contains(QPointF(1.5, 17.5)));
    // ...while the other corners stay round.
    QVERIFY(!path.contains(QPointF(202.5, 17.5)));
    QVERIFY(!path.contains(QPointF(1.5, 168.5)));

    g.drawsRoundCornerBesideArrow = true;
    QVERIFY(!g.bubblePath().contains(QPointF(1.5, 17.5)));
}

void TestAttachedWindowGeometry::zeroRadiusGivesSquareCorners()
{
    AttachedWindowGeometry g = popUp(LumSideBottom);
    g.cornerRadius = 0;
    const QPainterPath path = g.bubblePath();
    for (const QPointF corner :
        {QPointF(1.5, 17.5), QPointF(202.5, 17.5), QPointF(202.5, 168.5), QPointF(1.5, 168.5)})
        QVERIFY(path.contains(corner));
}

void TestAttachedWindowGeometry::scaledPathStaysInsideWindow()
{
    AttachedWindowGeometry g = popUp(LumSideBottom);
    g.scale = 2;
    // Margins and arrow double; the view keeps its own size.
    QCOMPARE(g.windowSize(), QSizeF(208, 190));
    QCOMPARE(g.viewFrame().topLeft(), QPointF(4, 36));
    const QRectF bounds = g.bubblePath().boundingRect();
    QVERIFY(QRectF(QPointF(), g.windowSize()).contains(bounds));
    QCOMPARE(bounds, QRectF(1, 1, 206, 188));
}

WENDRA_QTEST_CORE_MAIN(TestAttachedWindowGeometry)
#include "tst_AttachedWindowGeometry.moc"
