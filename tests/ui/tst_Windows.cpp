// Wendra's windows: the main window's two sizes, and the pop-up attached to a point of a window.
// For the pop-up: the side that keeps it on screen, where it goes, and lending the content view.
// How each side draws its bubble and arrow is left to the eye.
// Qt coordinates: y grows downward, so "below the point" is a larger y.
#include "LumAttachedWindow.h"
#include "TestHome.h"
#include "WindowSizer.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>
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

// A 200 x 150 view 12 from its point, every other setting at its default: the bubble is
// 204 x 154 and the arrow band 16 deep.
AttachedWindowGeometry geometry(LumSide side, QPointF point)
{
    return {.viewSize = {200, 150}, .point = point, .side = side, .distance = 12};
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void automaticSide()
    {
        // The bubble needs 16 + 12 more towards the point. Below, right, left, above, else below;
        // then slid away from any parent edge a centred window would overhang.
        const QRectF screen(0, 0, 1000, 800), none;
        const auto side = [](QRectF screen, QRectF parent, QPointF point) {
            return geometry(LumSideAutomatic, point).bestSide(screen, parent);
        };
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

    // The two sizes of the main window: the top edge stays in both directions, the full height
    // comes back (also after a user resize, never below the layout's minimum, also when starting
    // from a compact frame), the compact window keeps its size, and the edit panel comes back
    // only during an edit. The compact title is the controller's, checked there.
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
};

WENDRA_QTEST_MAIN(TestWindows)
#include "tst_Windows.moc"
