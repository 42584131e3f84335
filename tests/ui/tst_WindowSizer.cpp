// The two sizes of the main window: the top edge stays in both directions, the full height comes
// back (also after a user resize, never below the layout's minimum, also when quitting or starting
// from a compact frame), the compact window keeps its size, the edit panel comes back only during
// an edit, and titles name the list or the view.
#include "WindowSizer.h"
#include "TestHome.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

class TestWindowSizer : public QObject
{
    Q_OBJECT

private slots:
    void collapseAndExpand_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("userHeight"); // 0: the user does not resize
        QTest::addColumn<int>("minimumWhileCompact"); // 0: unchanged
        QTest::addColumn<QString>("expandBy"); // the toggle, quitting, or the next start
        QTest::addColumn<int>("expandedHeight"); // -1: the layout's minimum
        QTest::newRow("back to the user's height") << false << 420 << 0 << "toggle" << 420;
        QTest::newRow("panel back during an edit") << true << 0 << 0 << "toggle" << 350;
        QTest::newRow("never below the minimum") << false << 0 << 500 << "toggle" << -1;
        QTest::newRow("quitting saves the full frame") << true << 420 << 0 << "quit" << 420;
        QTest::newRow("a compact frame left behind starts full") << false << 420 << 0 << "start" << 350;
    }
    // A window shaped like Wendra's: menu bar, a toggle on top, a content area holding the
    // table's scroll view and the edit panel, at frame (100, 120, 380, 350).
    void collapseAndExpand()
    {
        QFETCH(bool, editing);
        QFETCH(int, userHeight);
        QFETCH(int, minimumWhileCompact);
        QFETCH(QString, expandBy);
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
        QCOMPARE(window.windowTitle(), QStringLiteral("Wendra [Work]"));
        // The compact window keeps its size, whatever is asked of it.
        window.resize(380, 300);
        QCOMPARE(sizer.frame().height(), WindowSizer::compactHeight);
        QCOMPARE(sizer.windowWillResize(QSize(380, 300), editing), QSize(380, WindowSizer::compactHeight));
        if (minimumWhileCompact)
            content->setMinimumHeight(minimumWhileCompact);
        if (expandBy == "toggle")
            sizer.windowsResize(editing, QString());
        else if (expandBy == "quit")
            sizer.expandAtQuit(editing);
        else
            sizer.restoreFrame(); // finds the compact frame the collapse saved
        QCOMPARE(QSettings().value(QStringLiteral("windowFrame")).toRect(),
            expandBy == "start" ? QRect(100, 120, 380, WindowSizer::compactHeight) : sizer.frame());
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
        QCOMPARE(WindowSizer::compactTitle("All Tasks", QString()), "Wendra [All Tasks]");
        QCOMPARE(WindowSizer::compactTitle("", QString()), "Wendra");
    }
};

WENDRA_QTEST_MAIN(TestWindowSizer)
#include "tst_WindowSizer.moc"
