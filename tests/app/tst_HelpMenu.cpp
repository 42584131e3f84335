// What the Help menu shows a user: the help pages, found where the program runs from; the keys of
// every menu item, unique, documented and listed in the Keyboard Shortcuts window; About Wendra.
#include "ControllerFixture.h"
#include "HelpPages.h"
#include "MenuShortcuts.h"
#include "ShortcutsWindow.h"

#include <QMenuBar>
#include <QtTest>
#include <sqlite3.h>

class TestHelpMenu : public QObject
{
    Q_OBJECT

private slots:
    // Folders relative to a temporary root: which exist, where the binary
    // runs, which pages it opens.
    void helpFolder_data()
    {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("bin");
        QTest::addColumn<QString>("found");
        // clang-format off
        QTest::newRow("installed") << QStringList{"usr/share/wendra/help"} << "usr/bin" << "usr/share/wendra/help";
        QTest::newRow("build tree, program") << QStringList{"build/help"} << "build/app" << "build/help";
        QTest::newRow("build tree, test") << QStringList{"build/help"} << "build/tests/app" << "build/help";
        QTest::newRow("installed over a build") << QStringList{"usr/share/wendra/help", "usr/help"} << "usr/bin" << "usr/share/wendra/help";
        QTest::newRow("pages missing") << QStringList{} << "opt/bin" << "opt/share/wendra/help";
        // clang-format on
    }

    void helpFolder()
    {
        QFETCH(QStringList, pages);
        QFETCH(QString, bin);
        QFETCH(QString, found);
        QTemporaryDir root;
        QDir().mkpath(root.filePath(bin));
        for (const QString &folder : pages)
            QVERIFY(QDir().mkpath(root.filePath(folder))
                    && QFile(root.filePath(folder + "/support.html")).open(QIODevice::WriteOnly));
        QCOMPARE(HelpPages::folder(root.filePath(bin)), root.filePath(found));
    }

    // The usual commands have keys and no key starts two commands; a clash, once made, is named.
    // The help page names every menu item that has keys, with its keys, and the Keyboard
    // Shortcuts window lists them as the menus have them now.
    void shortcutsAndAbout()
    {
        ControllerFixture wendra([](TestDatabase &) {});
        QMenuBar &menus = *wendra->mainWindow->menuBar();
        QList<MenuShortcuts::Command> commands = MenuShortcuts::commands(menus);
        QStringList keyless;
        for (const char *title : {"New Task...", "New List...", "Delete Task", "Check Off", "Next List",
                 "Previous List", "All Tasks", "Today", "Completed", "Print...", "Preferences...",
                 "Quit Wendra", "Wendra Help", "Keyboard Shortcuts"})
            if (std::none_of(commands.cbegin(), commands.cend(), [&](const auto &c) {
                    return c.title == title && !c.shortcuts.isEmpty() && !c.shortcuts.first().isEmpty();
                }))
                keyless << title;
        QCOMPARE(keyless, QStringList());
        QCOMPARE(MenuShortcuts::clashes(commands), QStringList());

        menus.findChildren<QMenu *>()[0]->actions()[0]->setShortcut(Qt::CTRL | Qt::ALT | Qt::Key_F12);
        commands = MenuShortcuts::commands(menus);

        QFile help(HelpPages::folder(QCoreApplication::applicationDirPath()) + "/doc/doc.html");
        QVERIFY2(help.open(QIODevice::ReadOnly), qPrintable(help.fileName()));
        const QString page = QString::fromUtf8(help.readAll());
        QStringList missing;
        for (const MenuShortcuts::Command &command : commands)
            for (const QKeySequence &keys : command.shortcuts)
                if (!page.contains("<kbd>" + keys.toString() + "</kbd>") || !page.contains(command.title.toHtmlEscaped()))
                    missing << command.title + ' ' + keys.toString();
        QCOMPARE(missing.join(" / "), "New Task... Ctrl+Alt+F12");
        menus.addMenu("E&xtra && More")->addAction("Again", QKeySequence("Ctrl+Shift+N"), [] {});
        QCOMPARE(MenuShortcuts::clashes(MenuShortcuts::commands(menus)).join(""),
            "Ctrl+Shift+N: File > New List... and Extra & More > Again");

        wendra.trigger("Keyboard Shortcuts");
        wendra.trigger("Keyboard Shortcuts");
        const auto windows = wendra->mainWindow->findChildren<ShortcutsWindow *>();
        QCOMPARE(windows.size(), 1);
        const QStringList rows = windows.first()->rows();
        for (const char *row : {"File|New Task...|Ctrl+Alt+F12", "View > Sort By|Title|Ctrl+Alt+1",
                 "Elsewhere|Bring Wendra forward from any application (X11)|Meta+Alt+Right"})
            QVERIFY2(rows.contains(QString::fromUtf8(row)), qPrintable(rows.join('\n')));

        const QString about = ControllerFixture::alertFrom([&] { wendra.trigger("About Wendra"); });
        for (const QString &part :
             {QStringLiteral("Wendra 0."), QStringLiteral("MIT"), "Qt " + QString(qVersion()),
              "SQLite " + QString(sqlite3_libversion()), QStringLiteral("libical 3."),
              QStringLiteral("Tasks: ~/.local/share/Wendra/wendra.dbz"),
              QStringLiteral("/.config/Wendra/Wendra.conf")})
            QVERIFY2(about.contains(part), qPrintable(about));
    }
};

WENDRA_QTEST_MAIN(TestHelpMenu)
#include "tst_HelpMenu.moc"
