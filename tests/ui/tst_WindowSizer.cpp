// The two sizes of the main window: the top edge stays in both directions, the full height comes
// back (also after a user resize, never below the layout's minimum), the compact window keeps its
// size, the edit panel comes back only during an edit, and titles name the list as text.
#include "WindowSizer.h"
#include "TestHome.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A main window shaped like Wendra's: menu bar, a toggle on top, a content area holding the
// table's scroll view and the edit panel, at frame (100, 120, 380, 350).
struct Window
{
    QMainWindow window;
    QWidget *content = nullptr, *table = nullptr, *panel = nullptr;
    QToolButton *toggle = nullptr;
    std::unique_ptr<WindowSizer> sizer;
    Window()
    {
        window.menuBar()->addMenu(QStringLiteral("File"));
        window.setCentralWidget(new QWidget);
        auto *layout = new QVBoxLayout(window.centralWidget());
        layout->addWidget(toggle = new QToolButton);
        layout->addWidget(content = new QWidget);
        toggle->setCheckable(true);
        content->setMinimumHeight(120);
        table = new QWidget(content), panel = new QWidget(content);
        sizer = std::make_unique<WindowSizer>(&window, toggle, content, table, panel);
        sizer->setFrame(QRect(100, 120, 380, 350));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
};

} // namespace

class TestWindowSizer : public QObject
{
    Q_OBJECT

private slots:
    void collapseAndExpand_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("userHeight"); // 0: the user does not resize
        QTest::addColumn<int>("minimumWhileCompact"); // 0: unchanged
        QTest::addColumn<int>("expandedHeight");
        QTest::newRow("back to the user's height") << false << 420 << 0 << 420;
        QTest::newRow("panel back during an edit") << true << 0 << 0 << 350;
        QTest::newRow("never below the minimum") << false << 0 << 500 << -1;
    }
    void collapseAndExpand()
    {
        QFETCH(bool, editing);
        QFETCH(int, userHeight);
        QFETCH(int, minimumWhileCompact);
        QFETCH(int, expandedHeight);
        Window w;
        w.panel->show();
        if (userHeight) {
            w.window.resize(380, userHeight + w.window.height() - w.sizer->frame().height());
            w.sizer->windowWillResize(w.sizer->frame().size(), editing);
        }
        w.sizer->windowsResize(editing, QStringLiteral("Wendra [Work]"));
        QCOMPARE(w.sizer->frame(), QRect(100, 120, 380, WindowSizer::compactHeight));
        QCOMPARE(QList({w.sizer->windowIsSmall(), w.toggle->isChecked(), w.table->isVisible(), w.panel->isVisible()}),
            QList({false, false, false, false}));
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Wendra [Work]"));
        // The compact window keeps its size, whatever is asked of it.
        w.window.resize(380, 300);
        QCOMPARE(w.sizer->frame().height(), WindowSizer::compactHeight);
        QCOMPARE(w.sizer->windowWillResize(QSize(380, 300), editing), QSize(380, WindowSizer::compactHeight));
        if (minimumWhileCompact)
            w.content->setMinimumHeight(minimumWhileCompact);
        w.sizer->windowsResize(editing, QString());
        if (expandedHeight < 0)
            expandedHeight = w.window.minimumSizeHint().height() - (w.window.height() - w.sizer->frame().height());
        QCOMPARE(w.sizer->frame(), QRect(100, 120, 380, expandedHeight));
        QCOMPARE(QList({w.sizer->windowIsSmall(), w.toggle->isChecked(), w.table->isVisible(), w.panel->isVisible()}),
            QList({true, true, true, editing}));
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Wendra"));
        // A user resize hides the panel, unless it is in use.
        w.window.resize(380, 450);
        w.sizer->windowWillResize(w.sizer->frame().size(), editing);
        QCOMPARE(w.panel->isVisible(), editing);
    }

    void compactTitle_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("title");
        QTest::newRow("brackets and percent signs stay") << "[%1] 100% %@ %s" << "[%1] 100% %@ %s" << "Wendra [[%1] 100% %@ %s]";
        QTest::newRow("a built-in view names itself") << "Today" << "Work" << "Wendra [Today]";
        QTest::newRow("no list at all") << "All Tasks" << QString() << "Wendra [All Tasks]";
        QTest::newRow("nothing to name") << "" << QString() << "Wendra";
    }
    void compactTitle()
    {
        QFETCH(QString, view);
        QFETCH(QString, list);
        QFETCH(QString, title);
        QCOMPARE(WindowSizer::compactTitle(view, list), title);
    }
};

WENDRA_QTEST_MAIN(TestWindowSizer)
#include "tst_WindowSizer.moc"
