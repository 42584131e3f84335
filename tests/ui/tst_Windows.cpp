// Wendra's windows: the main window's two sizes, and the pop-up attached to a point of a window.
// For the pop-up: where each side puts the window and its arrow, the automatic side, the
// bubble's outline, the limits its setters keep, lending the content view, and the painting.
// Qt coordinates: y grows downward, so "below the point" is a larger y.
#include "LumAttachedWindow.h"
#include "TestHome.h"
#include "WindowSizer.h"

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

// A content view; the pop-up built around it takes it over.
// clang-format off
const auto view = [](int width, int height) { auto *view = new QWidget; view->resize(width, height); return view; };
// clang-format on

// A 200 x 150 view 12 from its point, every other setting at its default: the bubble is
// 204 x 154, the arrow band 16 deep and the arrow's tip 10 + 8 from the corner it starts beside.
// clang-format off
AttachedWindowGeometry geometry(LumSide side, QPointF point = {500, 400}) { return {.viewSize = {200, 150}, .point = point, .side = side, .distance = 12}; }
// clang-format on

} // namespace

Q_DECLARE_METATYPE(LumSide)

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void sides_data()
    {
        QTest::addColumn<LumSide>("side");
        QTest::addColumn<QPointF>("origin");
        QTest::addColumn<QPointF>("tip");
        // Point (500, 400); the tip is 12 from it towards the window.
        const QPointF l(488, 400), b(500, 412), r(512, 400), t(500, 388);
        QTest::newRow("left") << LumSideLeft << QPointF(268, 323) << l;
        QTest::newRow("bottom") << LumSideBottom << QPointF(398, 412) << b;
        QTest::newRow("right") << LumSideRight << QPointF(512, 323) << r;
        QTest::newRow("top") << LumSideTop << QPointF(398, 218) << t;
        QTest::newRow("left top") << LumSideLeftTop << QPointF(268, 264) << l;
        QTest::newRow("left bottom") << LumSideLeftBottom << QPointF(268, 382) << l;
        QTest::newRow("right top") << LumSideRightTop << QPointF(512, 264) << r;
        QTest::newRow("right bottom") << LumSideRightBottom << QPointF(512, 382) << r;
        QTest::newRow("top left") << LumSideTopLeft << QPointF(314, 218) << t;
        QTest::newRow("top right") << LumSideTopRight << QPointF(482, 218) << t;
        QTest::newRow("bottom left") << LumSideBottomLeft << QPointF(314, 412) << b;
        QTest::newRow("bottom right") << LumSideBottomRight << QPointF(482, 412) << b;
    }

    void sides()
    {
        QFETCH(LumSide, side);
        QFETCH(QPointF, origin);
        QFETCH(QPointF, tip);
        const AttachedWindowGeometry g = geometry(side);
        // The arrow band widens the window beside the point and heightens it above or below.
        const bool beside = tip.y() == 400;
        QCOMPARE(g.windowFrame(), QRectF(origin, beside ? QSizeF(220, 154) : QSizeF(204, 170)));
        // Edges on whole pixels may move the tip by a pixel; the body is at least 16 away.
        QVERIFY(g.bubblePath().intersects(QRectF(tip - origin - QPointF(1.5, 1.5), QSizeF(3, 3))));
    }

    void automaticSide()
    {
        // The bubble needs 16 + 12 more towards the point. Below, right, left, above, else below;
        // then slid away from any parent edge a centred window would overhang.
        const QRectF screen(0, 0, 1000, 800), none;
        // clang-format off
        const auto side = [](QRectF screen, QRectF parent, QPointF point) { return geometry(LumSideAutomatic, point).bestSide(screen, parent); };
        // clang-format on
        QCOMPARE(side(screen, none, {500, 100}), LumSideBottom);
        QCOMPARE(side(screen, none, {500, 700}), LumSideRight);
        QCOMPARE(side(screen, none, {900, 700}), LumSideLeft);
        QCOMPARE(side({0, 0, 300, 800}, none, {150, 700}), LumSideTop);
        QCOMPARE(side({0, 0, 300, 300}, none, {150, 150}), LumSideBottom); // no room anywhere
        QCOMPARE(side(screen, {450, 50, 300, 300}, {500, 100}), LumSideBottomRight);
        QCOMPARE(side(screen, {300, 50, 250, 300}, {500, 100}), LumSideBottomLeft);
        QCOMPARE(side(screen, {0, 600, 1000, 150}, {500, 700}), LumSideRightTop);
        QCOMPARE(side(screen, {0, 600, 1000, 300}, {900, 650}), LumSideLeftBottom);
    }

    void cornerBesideArrowAndScale()
    {
        // Pixel centres just inside three corners of a bubble below its point.
        const QPointF topLeft(1.5, 17.5), topRight(202.5, 17.5), bottomLeft(1.5, 168.5);
        AttachedWindowGeometry g = geometry(LumSideBottomRight);
        g.drawsRoundCornerBesideArrow = false;
        const QPainterPath path = g.bubblePath();
        // The arrow starts right at the square top-left corner, so the tip sits 10 from the
        // window's edge; the other corners stay round.
        QCOMPARE(g.windowFrame().left(), 500 - 10);
        QVERIFY(path.contains(topLeft) && !path.contains(topRight) && !path.contains(bottomLeft));
        g.drawsRoundCornerBesideArrow = true;
        QVERIFY(!g.bubblePath().contains(topLeft));

        // Without the arrow the bubble hugs the view, half a pixel inside the margin, and the
        // band stays reserved so toggling the arrow never moves the view.
        g.hasArrow = false;
        QCOMPARE(g.bubblePath().boundingRect(), QRectF(1, 17, 202, 152));
        QCOMPARE(g.windowSize(), QSizeF(204, 170));

        // Scaled, margins and arrow double while the view keeps its size; the outline still fits.
        g = geometry(LumSideRight);
        g.scale = 2;
        QCOMPARE(g.windowSize(), QSizeF(240, 158));
        QCOMPARE(g.viewFrame().topLeft(), QPointF(36, 4));
        QCOMPARE(g.bubblePath().boundingRect(), QRectF(1, 1, 238, 156));
    }

    void window()
    {
        QWidget parent;
        parent.setGeometry(300, 200, 400, 300);
        LumAttachedWindow popUp(view(200, 150), QPointF(100, 50), &parent, LumSideBottom, 12.0);
        // (100, 50) in the parent is (400, 250) on screen; the bubble hangs 12 below it.
        QCOMPARE(popUp.geometry(), QRect(400 - 102, 250 + 12, 204, 170));
        QCOMPARE(popUp.view()->geometry(), QRect(2, 18, 200, 150));
        // Re-placed without a side: the bottom-left corner sits on the point, with no arrow band.
        popUp.setPoint(QPointF(0, 300), LumSideAutomatic);
        QCOMPARE(popUp.geometry(), QRect(300, 500 - 154, 204, 154));

        // Without a window the point is global; near the screen's left edge a centred window
        // would overhang it, so it extends right, below.
        LumAttachedWindow automatic(view(100, 100), QPointF(50, 50), 12.0);
        QCOMPARE(automatic.pos(), QPoint(50 - 18, 50 + 12));
        // clang-format off
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, LumAttachedWindow(nullptr, QPointF(), LumSideBottom));
        // clang-format on
    }

    void setterLimits()
    {
        // Radius, arrow width, border, window size after one setter. A 40 x 40 view starts with
        // margin 2, border 2, corner radius 8 and an arrow 20 wide and 16 high.
        // clang-format off
        const auto after = [](int width, int height, const auto &set) {
            LumAttachedWindow w(view(width, height), QPointF(400, 300), LumSideBottom, 12.0);
            set(w);
            return QString::asprintf("r%g a%g b%g %dx%d", w.cornerRadius(), w.arrowBaseWidth(), w.borderWidth(), w.width(), w.height());
        };
        // clang-format on
        // The border stays inside the margin, a negative margin is none, and radius and border
        // follow it; an arrow never has a negative height.
        QCOMPARE(after(40, 40, [](auto &w) { w.setBorderWidth(5); }), "r8 a20 b2 44x60");
        QCOMPARE(after(30, 30, [](auto &w) { w.setViewMargin(-3); }), "r5 a20 b0 30x46");
        QCOMPARE(after(40, 40, [](auto &w) { w.setArrowHeight(-5); }), "r8 a20 b2 44x44");
        // Corners and arrow shrink to fit a narrow view's shorter edge.
        QCOMPARE(after(10, 40, [](auto &w) { w.setCornerRadius(8); }), "r0 a14 b2 14x60");
    }

    void lendsViewAndClosesParent()
    {
        QWidget holder;
        auto *content = new QWidget(&holder);
        auto first = std::make_unique<LumAttachedWindow>(content, QPointF(), LumSideBottom);
        first.reset();
        QVERIFY(content->parentWidget() == &holder && content->isHidden());
        // A pop-up reopened before the old one goes keeps the view when the old one is destroyed.
        first = std::make_unique<LumAttachedWindow>(content, QPointF(), LumSideBottom);
        LumAttachedWindow second(content, QPointF(), LumSideBottom);
        first.reset();
        QCOMPARE(content->parentWidget(), &second);

        // A Close command aimed at the pop-up closes the window it belongs to; destroying that
        // window with its pop-up still there leaves nothing dangling.
        QWidget parent;
        parent.show();
        auto *popUp = new LumAttachedWindow(view(50, 50), {10, 10}, &parent, LumSideBottom);
        popUp->orderFront();
        popUp->close();
        QVERIFY(!parent.isVisible() && !popUp->isVisible());
    }

    void paintsBubble()
    {
        // A 200 x 150 view below its point: the arrow band is y 0 to 15 and its tip at x 102. The
        // fill is 80 % opaque, the 2-pixel border fully, and nothing spills past the edge.
        LumAttachedWindow w(view(200, 150), QPointF(400, 300), LumSideBottom, 12.0);
        QImage image(w.size(), QImage::Format_ARGB32);
        const auto alpha = [&](int x, int y) {
            image.fill(Qt::transparent);
            QPainter painter(&image);
            w.paintBubble(painter);
            return image.pixelColor(x, y).alpha();
        };
        // Border, fill, outside, the arrow.
        QCOMPARE(QList({alpha(1, 90), alpha(3, 90), alpha(0, 90), alpha(102, 10)}),
            QList({255, 204, 0, 204}));
        w.setHasArrow(false);
        QCOMPARE(alpha(102, 10), 0);
    }

    // The two sizes of the main window: the top edge stays in both directions, the full height
    // comes back (also after a user resize, never below the layout's minimum, also when starting
    // from a compact frame), the compact window keeps its size, the edit panel comes back only
    // during an edit, and titles name the list or the view.
    void collapseAndExpand_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("userHeight"); // 0: the user does not resize
        QTest::addColumn<int>("minimumWhileCompact"); // 0: unchanged
        QTest::addColumn<bool>("restart"); // expanded by the next start instead of the toggle
        QTest::addColumn<int>("expandedHeight"); // -1: the layout's minimum
        // Quitting while compact is checked through the controller.
        QTest::newRow("back to the user's height") << false << 420 << 0 << false << 420;
        QTest::newRow("panel back during an edit") << true << 0 << 0 << false << 350;
        QTest::newRow("never below the minimum") << false << 0 << 500 << false << -1;
        QTest::newRow("a compact frame left behind starts full") << false << 420 << 0 << true << 350;
    }
    // A window shaped like Wendra's: menu bar, a toggle on top, a content area holding the
    // table's scroll view and the edit panel, at frame (100, 120, 380, 350).
    void collapseAndExpand()
    {
        QFETCH(bool, editing);
        QFETCH(int, userHeight);
        QFETCH(int, minimumWhileCompact);
        QFETCH(bool, restart);
        QFETCH(int, expandedHeight);
        QMainWindow window;
        window.menuBar()->addMenu(QStringLiteral("File"));
        window.setCentralWidget(new QWidget);
        auto *layout = new QVBoxLayout(window.centralWidget());
        auto *toggle = new QToolButton;
        auto *content = new QWidget;
        layout->addWidget(toggle);
        layout->addWidget(content);
        toggle->setCheckable(true);
        content->setMinimumHeight(120);
        auto *table = new QWidget(content), *panel = new QWidget(content);
        WindowSizer sizer(&window, toggle, content, table, panel);
        sizer.setFrame(QRect(100, 120, 380, 350));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto state = [&] {
            return QList({sizer.windowIsSmall(), toggle->isChecked(), !table->isHidden(), !panel->isHidden()});
        };
        const int frameExtra = window.height() - sizer.frame().height();
        if (userHeight) {
            window.resize(380, userHeight + frameExtra);
            sizer.windowWillResize(sizer.frame().size(), editing);
        }
        // The compact title is checked through the controller.
        sizer.windowsResize(editing, QStringLiteral("Wendra [Work]"));
        QCOMPARE(sizer.frame(), QRect(100, 120, 380, WindowSizer::compactHeight));
        QCOMPARE(state(), QList({false, false, false, false}));
        // The compact window keeps its size, whatever is asked of it.
        window.resize(380, 300);
        QCOMPARE(sizer.frame().height(), WindowSizer::compactHeight);
        QCOMPARE(sizer.windowWillResize(QSize(380, 300), editing), QSize(380, WindowSizer::compactHeight));
        if (minimumWhileCompact)
            content->setMinimumHeight(minimumWhileCompact);
        if (restart)
            sizer.restoreFrame(); // finds the compact frame the collapse saved
        else
            sizer.windowsResize(editing, QString());
        QCOMPARE(QSettings().value(QStringLiteral("windowFrame")).toRect(),
            restart ? QRect(100, 120, 380, WindowSizer::compactHeight) : sizer.frame());
        if (expandedHeight < 0)
            expandedHeight = window.minimumSizeHint().height() - frameExtra;
        QCOMPARE(sizer.frame(), QRect(100, 120, 380, expandedHeight));
        QCOMPARE(state(), QList({true, true, true, editing}));
        QCOMPARE(window.windowTitle(), QStringLiteral("Wendra"));
        // A user resize hides the panel, unless it is in use.
        window.resize(380, 450);
        sizer.windowWillResize(sizer.frame().size(), editing);
        QCOMPARE(!panel->isHidden(), editing);
    }

    // Brackets and percent signs in list names are checked through the controller.
    void compactTitle()
    {
        QCOMPARE(WindowSizer::compactTitle("Today", "Work"), "Wendra [Today]");
        QCOMPARE(WindowSizer::compactTitle("Home", "Work"), "Wendra [Work]");
        QCOMPARE(WindowSizer::compactTitle("", QString()), "Wendra");
    }
};

WENDRA_QTEST_MAIN(TestWindows)
#include "tst_Windows.moc"
