#include "ControllerFixture.h"
#include "ElidedLabel.h"
#include "HelpPages.h"
#include "MenuShortcuts.h"
#include "MyApplication.h"
#include "ShortcutsWindow.h"
#include "TaskTableModel.h"

#include <QtTest>

namespace {
QByteArray fileHash(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
        ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
        : QByteArray();
}

QStringList names(const AppController &controller)
{
    QStringList result;
    for (const Category &list : controller.categories())
        result << list.name();
    return result;
}
} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl &url) { opened << url.toLocalFile(); }
};

class TestAppController : public QObject
{
    Q_OBJECT

private slots:
    // Lists in byte order of their names, the first list's tasks shown: a
    // long list a screenful first and whole once the window is on screen,
    // and a drop that comes sooner orders the whole list. An existing file
    // is never replaced, whatever the template.
    void startLoadsListsAndFirstListTasks()
    {
        TestHome home;
        TestDatabase db;
        for (const char *name : {"work", "Zeta", "alpha", "Beta"})
            db.addList(QString::fromUtf8(name));
        db.exec("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 49) "
                "INSERT INTO item (action, category, completed, manualSort) "
                "SELECT 'task ' || i, 'Beta', 0, 49 - i FROM n");
        db.addTask("elsewhere", "alpha");
        const QString path = DatabaseFile::pathForDBFile();
        QVERIFY(QFile::copy(db.path(), path));
        const QByteArray before = fileHash(path);
        AppController controller;
        controller.setTemplatePath(QStringLiteral(":/no/such/template"));
        controller.awakeFromNib();
        QCOMPARE(names(controller), QStringList({"Beta", "Zeta", "alpha", "work"}));
        QCOMPARE(fileHash(path), before);
        QVERIFY(controller.tableModel()->rowCount() < 50);
        QVERIFY(controller.acceptDrop(49, 0));
        QCoreApplication::processEvents();
        QCOMPARE(controller.tableModel()->rowCount(), 50);
        // Task 0 (key 1) on top, then the others as they were: keys 50 to 2.
        const QString places = "SELECT count(*) FROM item WHERE category='Beta' "
                               "AND manualSort = CASE pk WHEN 1 THEN 0 ELSE 51 - pk END";
        QCOMPARE(queryValue(controller.database(), places).toInt(), 50);
    }

    // Wendra refuses a file it cannot use before any command touches it:
    // the message names the cause, the program ends with status 1, and the
    // file is left exactly as it was.
    void startFailures_data()
    {
        QTest::addColumn<QString>("change"); // SQL run on a real file, or "text" or "blocked"
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("not a database") << "text" << "Failed to open database with message 'file is not a database'.";
        QTest::newRow("no item table") << "DROP TABLE item" << "the file has no table \"item\"'.";
        QTest::newRow("a column missing") << "ALTER TABLE item DROP COLUMN extra2" << "the table \"item\" has no column \"extra2\"'.";
        QTest::newRow("folder cannot be made") << "blocked" << "is a file, not a folder.'.";
        // clang-format on
    }

    void startFailures()
    {
        QFETCH(QString, change);
        QFETCH(QString, message);
        TestHome home;
        const QString folder = home.dataPath() + QStringLiteral("/Wendra");
        const QString path = folder + QStringLiteral("/wendra.dbz");
        TestDatabase db;
        if (change != "text" && change != "blocked")
            db.exec(change);
        // A plain file where the data folder should be: no one, not even
        // root, can make a folder inside it.
        QVERIFY(change == "blocked" ? QFile::copy(db.path(), folder)
                                    : QDir().mkpath(folder) && QFile::copy(db.path(), path));
        QFile file(path);
        QVERIFY(change != "text" || (file.open(QIODevice::WriteOnly) && file.write("My notes.") > 0));
        file.close();
        const QByteArray before = fileHash(path);
        QProcess wendra;
        wendra.start(QStringLiteral(WENDRA_BINARY), {});
        QVERIFY(wendra.waitForFinished(20000));
        QCOMPARE(wendra.exitCode(), 1);
        const QString error = QString::fromUtf8(wendra.readAllStandardError());
        QVERIFY2(error.contains(message) && error.contains("Database file: " + path),
                 qPrintable(error));
        QCOMPARE(fileHash(path), before);
    }

    // Two spellings of one data folder are one Wendra: a second launch
    // finds the first instead of opening the file a second time.
    void oneWendraPerDataFolder()
    {
        TestHome home;
        const QString data = home.dataPath();
        QVERIFY(QFile::link(data, home.path() + "/alias"));
        const auto nameFor = [](const QString &folder) {
            qputenv("XDG_DATA_HOME", folder.toUtf8());
            return MyApplication::serverName();
        };
        const QString name = nameFor(data);
        for (const QString &same : {data + "/", home.path() + "/.local/./share", home.path() + "/alias"})
            QCOMPARE(nameFor(same), name);
        QVERIFY(nameFor(home.path() + "/other") != name);
    }

    // Menu commands, mostly the view commands, on a file with the lists
    // "Errands", "Today" (a list that carries a built-in view's name) and
    // "Work". Steps are menu items as the user picks them, "jump <title>" for an
    // entry of the Jump to List menu, or "<menu item>|<name>" for a list named
    // in the list sheet.
    // Next and Previous stop at the ends; the list "Today" comes first in the
    // menu and, like the built-in views, shows its view and leaves the
    // current list where it was. Task commands with no row selected, and
    // list commands once every list is deleted, do nothing. List names need
    // not be unique; a new list goes last and the view stays, unless it is
    // the only list. Tasks keep the name of a renamed or deleted list.
    void views_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("selectedCat");
        QTest::addColumn<QStringList>("rows");
        const QStringList noLists {"Delete List", "Delete List", "Delete List"};
        // clang-format off
        QTest::newRow("previous at the first list") << QStringList {"Previous List"} << "Errands" << 0 << QStringList {"b errand", "a errand"};
        QTest::newRow("list named Today") << QStringList {"Next List"} << "Today" << 1 << QStringList {"due today"};
        QTest::newRow("next at the last list") << QStringList {"Next List", "Next List", "Next List"} << "Work" << 2 << QStringList {"work item", "due today"};
        QTest::newRow("jump to the list named Today") << QStringList {"jump Today"} << "Today" << 0 << QStringList {"due today"};
        QTest::newRow("jump to a built-in view") << QStringList {"jump Completed"} << "Completed" << 0 << QStringList {"finished"};
        QTest::newRow("no row selected") << QStringList {"Check Off", "Delete Task", "Move to List..."} << "Errands" << 0 << QStringList {"b errand", "a errand"};
        QTest::newRow("no lists at all") << noLists + QStringList {"Next List", "Previous List", "Title", "Show Completed Tasks", "Check Off", "Delete Task", "Delete List", "Rename List..."} << "" << 0 << QStringList {};
        QTest::newRow("second list of a name") << QStringList {"New List...|Errands", "Next List", "Next List", "Next List"} << "Errands" << 3 << QStringList {"b errand", "a errand"};
        QTest::newRow("renamed list") << QStringList {"Rename List...|Chores"} << "Chores" << 0 << QStringList {};
        QTest::newRow("deleted list shows the first") << QStringList {"Next List", "Delete List"} << "Errands" << 0 << QStringList {"b errand", "a errand"};
        QTest::newRow("tasks outlive their lists") << noLists + QStringList {"jump All Tasks"} << "All Tasks" << 0 << QStringList {"work item", "b errand", "due today", "a errand"};
        QTest::newRow("first list after none") << noLists + QStringList {"New List...|Fresh"} << "Fresh" << 0 << QStringList {};
        // clang-format on
    }

    void views()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, title);
        QFETCH(int, selectedCat);
        QFETCH(QStringList, rows);
        ControllerFixture app([](TestDatabase &db) {
            for (const char *name : {"Work", "Today", "Errands"})
                db.addList(QString::fromUtf8(name));
            db.addTask("b errand", "Errands", 0, 1);
            db.addTask("a errand", "Errands", 0, 2);
            db.addTask("work item", "Work", 0, 0);
            db.addTask("due today", "Work", double(QDateTime::currentSecsSinceEpoch()), 1);
            db.addTask("finished", "Work", 0, 0, 1);
        });
        for (const QString &step : steps) {
            if (step.startsWith("jump ")) {
                app->jumpToCatMenu->aboutToShow();
                const QList<QAction *> entries = app->jumpToCatMenu->actions();
                const auto entry = std::find_if(entries.begin(), entries.end(),
                    [&](QAction *action) { return action->text() == step.mid(5); });
                QVERIFY(entry != entries.end());
                (*entry)->trigger();
            } else if (step.contains('|')) {
                app.nameList(step.section('|', 0, 0), step.section('|', 1));
            } else {
                app.trigger(step);
            }
        }
        QCOMPARE(app.widget<QLabel>("selectedCatName")->text(), title);
        QCOMPARE(app->selectedCat(), selectedCat);
        QCOMPARE(app.rows(), rows);
    }

    // A very long list name is cut short on screen and never widens the
    // window. The compact title names the list as text, never as a format,
    // and follows a change of list. The geometry itself is WindowSizer's,
    // tested there.
    void listNamesAndCompactWindow()
    {
        ControllerFixture app([](TestDatabase &db) {
            db.addList("Work %1 %@");
            db.addList(QString(10000, 'A')); // first in byte order
        });
        QVERIFY(app->mainWindow->width() < 1000);
        auto *label = app.widget<ElidedLabel>("selectedCatName");
        QVERIFY(label->elidedText(label->width()).endsWith(QChar(0x2026)));
        app.widget<QAbstractButton>("windowResizeButton")->click();
        app->nextCategory();
        QCOMPARE(app->mainWindow->windowTitle(), QStringLiteral("Wendra [Work %1 %@]"));
    }

    // Folders relative to a temporary root: which exist, where the binary
    // runs, which pages it opens. A test binary finds the build tree's pages
    // deeper down, as the help page check shows.
    void helpFolder_data()
    {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("bin");
        QTest::addColumn<QString>("found");
        // clang-format off
        QTest::newRow("installed") << QStringList{"usr/share/wendra/help"} << "usr/bin" << "usr/share/wendra/help";
        QTest::newRow("build tree, program") << QStringList{"build/help"} << "build/app" << "build/help";
        QTest::newRow("installed over a build") << QStringList{"usr/share/wendra/help", "usr/help"} << "usr/bin" << "usr/share/wendra/help";
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

    // What a new user meets. On a first start the template becomes the user's file, and closing
    // the window only hides it. No key starts two commands, since the wrong one could delete a
    // task; a clash, once made, is named. The help page, as the Help menu opens it, names every
    // menu item that has keys, with its keys, and the Keyboard Shortcuts window lists them as
    // the menus have them now.
    void firstStartAndMenus()
    {
        ControllerFixture wendra(nullptr);
        // The owner's write bit, which root's isWritable() would not look at.
        QVERIFY(QFileInfo(DatabaseFile::pathForDBFile()).permissions() & QFileDevice::WriteOwner);
        QCOMPARE(names(*wendra), QStringList({"Home", "Work"}));
        QVERIFY(!wendra->mainWindow->close() && !wendra->mainWindow->isVisible());
        wendra->popUp();
        QVERIFY(wendra->mainWindow->isVisible());
        QMenuBar &menus = *wendra->mainWindow->menuBar();
        QCOMPARE(MenuShortcuts::clashes(MenuShortcuts::commands(menus)), QStringList());

        // A key the page cannot know.
        menus.findChildren<QMenu *>()[0]->actions()[0]->setShortcut(Qt::CTRL | Qt::ALT | Qt::Key_F12);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        wendra.trigger("Wendra Help");
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QFile help(catcher.opened.value(0));
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QString page = QString::fromUtf8(help.readAll());
        QStringList missing;
        for (const MenuShortcuts::Command &command : MenuShortcuts::commands(menus))
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
        QVERIFY(windows.first()->rows().contains("File|New Task...|Ctrl+Alt+F12"));
    }
};

WENDRA_QTEST_MAIN(TestAppController)
#include "tst_AppController.moc"
