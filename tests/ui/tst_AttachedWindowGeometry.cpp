// Placement, automatic side choice and bubble outline of the attached pop-up, checked as plain
// values. Qt coordinates: y grows downward, so "below the point" is a larger y.
#include "AttachedWindowGeometry.h"
#include "TestHome.h"

#include <QtTest>

namespace {

// The 200 x 150 content view the pop-ups use, with every other setting at its default.
const auto popUp = [](LumSide side, QPointF point = {500, 400}) {
    return AttachedWindowGeometry {
        .viewSize = {200, 150}, .point = point, .side = side, .distance = 12};
};

struct Placement
{
    LumSide side;
    QRectF frame;
    QPointF viewOrigin, tip;
};

struct Choice
{
    QRectF screen, parent;
    QPointF point;
    LumSide expected;
};

} // namespace

Q_DECLARE_METATYPE(Placement)
Q_DECLARE_METATYPE(Choice)

class TestAttachedWindowGeometry : public QObject
{
    Q_OBJECT

private slots:
    void placement_data()
    {
        QTest::addColumn<Placement>("row");
        const auto row = [](const char *name, const Placement &row) { QTest::newRow(name) << row; };
        // Point (500, 400), distance 12: bubble 204 x 154, arrow band 16, arrow inset 10 + 8. The
        // tip is 12 from the point towards the window.
        const QPointF l(488, 400), b(500, 412), r(512, 400), t(500, 388), top(2, 2), left(18, 2);
        row("left", {LumSideLeft, {268, 323, 220, 154}, top, l});
        row("bottom", {LumSideBottom, {398, 412, 204, 170}, {2, 18}, b});
        row("right", {LumSideRight, {512, 323, 220, 154}, left, r});
        row("top", {LumSideTop, {398, 218, 204, 170}, top, t});
        row("left top", {LumSideLeftTop, {268, 264, 220, 154}, top, l});
        row("left bottom", {LumSideLeftBottom, {268, 382, 220, 154}, top, l});
        row("right top", {LumSideRightTop, {512, 264, 220, 154}, left, r});
        row("right bottom", {LumSideRightBottom, {512, 382, 220, 154}, left, r});
        row("top left", {LumSideTopLeft, {314, 218, 204, 170}, top, t});
        row("top right", {LumSideTopRight, {482, 218, 204, 170}, top, t});
        row("bottom left", {LumSideBottomLeft, {314, 412, 204, 170}, {2, 18}, b});
        row("bottom right", {LumSideBottomRight, {482, 412, 204, 170}, {2, 18}, b});
    }

    void placement()
    {
        QFETCH(Placement, row);
        AttachedWindowGeometry g = popUp(row.side);
        QCOMPARE(g.windowFrame(), row.frame);
        QCOMPARE(g.viewFrame(), QRectF(row.viewOrigin, QSizeF(200, 150)));
        // Edges on whole pixels may move the tip by a pixel; the body is at least 16 away.
        const QRectF nearTip(row.tip - row.frame.topLeft() - QPointF(1.5, 1.5), QSizeF(3, 3));
        QVERIFY(g.bubblePath().intersects(nearTip));
        // Without the arrow the bubble hugs the view, half a pixel inside the margin, and the
        // band stays reserved so toggling the arrow never moves the view.
        g.hasArrow = false;
        QCOMPARE(g.bubblePath().boundingRect(),
            QRectF(row.viewOrigin - QPointF(1, 1), QSizeF(202, 152)));
        QCOMPARE(g.windowFrame(), row.frame);
    }

    void bestSide_data()
    {
        QTest::addColumn<Choice>("row");
        const auto row = [](const char *name, const Choice &row) { QTest::newRow(name) << row; };
        // The bubble is 204 x 154 and needs 16 + 12 more towards the point. Below, right, left,
        // above, in that order; then slid away from any parent edge it would overhang.
        const QRectF screen(0, 0, 1000, 800), narrow(0, 0, 300, 800), none;
        row("room below", {screen, none, {500, 100}, LumSideBottom});
        row("too low: right", {screen, none, {500, 700}, LumSideRight});
        row("low, far right: left", {screen, none, {900, 700}, LumSideLeft});
        row("narrow screen: above", {narrow, none, {150, 700}, LumSideTop});
        row("no room anywhere: below", {{0, 0, 300, 300}, none, {150, 150}, LumSideBottom});
        row("parent's left edge", {screen, {450, 50, 300, 300}, {500, 100}, LumSideBottomRight});
        row("parent's right edge", {screen, {300, 50, 250, 300}, {500, 100}, LumSideBottomLeft});
        row("left edge, screen ends right",
            {{0, 0, 600, 800}, {450, 50, 150, 300}, {500, 100}, LumSideBottomLeft});
        row("parent's bottom edge", {screen, {0, 600, 1000, 150}, {500, 700}, LumSideRightTop});
        row("parent's top edge", {screen, {0, 600, 1000, 300}, {900, 650}, LumSideLeftBottom});
    }

    void bestSide()
    {
        QFETCH(Choice, row);
        QCOMPARE(popUp(LumSideAutomatic, row.point).bestSide(row.screen, row.parent), row.expected);
    }

    void cornersAndScale()
    {
        // Pixel centres just inside each corner of a bubble below its point, top-left first.
        const QPointF topLeft(1.5, 17.5), topRight(202.5, 17.5), bottomLeft(1.5, 168.5),
            bottomRight(202.5, 168.5);
        AttachedWindowGeometry g = popUp(LumSideBottomRight);
        g.drawsRoundCornerBesideArrow = false;
        QPainterPath path = g.bubblePath();
        // The arrow starts right at the square top-left corner; the other corners stay round.
        QCOMPARE(QPointF(path.elementAt(1)), QPointF(11, 1));
        QVERIFY(path.contains(topLeft) && !path.contains(topRight) && !path.contains(bottomLeft));
        g.drawsRoundCornerBesideArrow = true;
        QVERIFY(!g.bubblePath().contains(topLeft));
        g.cornerRadius = 0;
        path = g.bubblePath();
        for (const QPointF corner : {topLeft, topRight, bottomLeft, bottomRight})
            QVERIFY(path.contains(corner));

        // Scaled, margins and arrow double while the view keeps its size; the outline still fits.
        g = popUp(LumSideBottom);
        g.scale = 2;
        QCOMPARE(g.windowSize(), QSizeF(208, 190));
        QCOMPARE(g.viewFrame().topLeft(), QPointF(4, 36));
        QCOMPARE(g.bubblePath().boundingRect(), QRectF(1, 1, 206, 188));
    }
};

WENDRA_QTEST_CORE_MAIN(TestAttachedWindowGeometry)
#include "tst_AttachedWindowGeometry.moc"
