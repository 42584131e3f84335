#include "ControllerFixture.h"
#include "ElidedLabel.h"
#include "MyApplication.h"
#include "TaskTableModel.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QMainWindow>
#include <QProcess>
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
    // The template becomes the user's file; closing the window only hides
    // it; the help pages open from the program's own folder.
    void firstStart()
    {
        TestHome home;
        AppController controller;
        controller.awakeFromNib();
        const QString path = home.dataPath() + QStringLiteral("/Wendra/wendra.dbz");
        QVERIFY(QFileInfo(path).isWritable());
        QCOMPARE(names(controller), QStringList({"Home", "Work"}));
        QCOMPARE(controller.mainWindow->findChild<QLabel *>("selectedCatName")->text(), "Home");
        QCOMPARE(AppController::sharedInstance(), &controller);
        QVERIFY(!controller.mainWindow->close() && !controller.mainWindow->isVisible());
        controller.popUp();
        QVERIFY(controller.mainWindow->isVisible());

        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        controller.showHelp();
        controller.ContactUs();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.opened.size(), 2);
        QVERIFY(catcher.opened[0].endsWith("/doc/doc.html") && catcher.opened[1].endsWith("/support.html"));
    }

    // Lists in byte order of their names; the first list's open tasks in
    // manual order; completed tasks and tasks of unknown lists stay out.
    // An existing file is never replaced, whatever the template.
    void startLoadsListsAndFirstListTasks()
    {
        TestHome home;
        TestDatabase db;
        for (const char *name : {"work", "Zeta", "alpha", "Beta"})
            db.addList(QString::fromUtf8(name));
        for (const char *title : {"third", "first", "done", "second", "elsewhere", "orphan"})
            db.addTask(title, "Beta");
        db.exec("UPDATE item SET manualSort=instr('first second third', action), "
                "completed=(action='done'), category=CASE action WHEN 'elsewhere' THEN 'alpha' "
                "WHEN 'orphan' THEN 'No such list' ELSE category END");
        const QString path = DatabaseFile::pathForDBFile();
        QVERIFY(QFile::copy(db.path(), path));
        const QByteArray before = fileHash(path);
        AppController controller;
        controller.setTemplatePath(QStringLiteral(":/no/such/template"));
        controller.awakeFromNib();
        QCOMPARE(names(controller), QStringList({"Beta", "Zeta", "alpha", "work"}));
        QStringList rows;
        for (const Item &item : controller.items())
            rows << item.action();
        QCOMPARE(rows, QStringList({"first", "second", "third"}));
        QCOMPARE(fileHash(path), before);
    }

    // A long first list comes up a screenful first and whole once the
    // window is on screen; a drop that comes sooner orders the whole list.
    void dropBeforeTheRestIsRead()
    {
        TestHome home;
        TestDatabase db;
        db.addList("Home");
        db.exec("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 49) "
                "INSERT INTO item (action, category, completed, manualSort) "
                "SELECT 'task ' || i, 'Home', 0, 49 - i FROM n");
        QVERIFY(QFile::copy(db.path(), DatabaseFile::pathForDBFile()));
        AppController controller;
        controller.awakeFromNib();
        QVERIFY(controller.tableModel()->rowCount() < 50);
        QVERIFY(controller.acceptDrop(49, 0));
        QCoreApplication::processEvents();
        QCOMPARE(controller.tableModel()->rowCount(), 50);
        // Task 0 (key 1) on top, then the others as they were: keys 50 to 2.
        const QString places = "SELECT count(*) FROM item "
                               "WHERE manualSort = CASE pk WHEN 1 THEN 0 ELSE 51 - pk END";
        QCOMPARE(queryValue(controller.database(), places).toInt(), 50);
    }

    // Wendra refuses a file it cannot use before any command touches it:
    // the message names the cause, the program ends with status 1, and the
    // file is left exactly as it was.
    void startFailures_data()
    {
        QTest::addColumn<QString>("setup"); // text: the file's bytes, sql: on a real file, blocked
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("not a database") << "text:My notes." << "Failed to open database with message 'file is not a database'.";
        QTest::newRow("empty file") << "text:" << "is empty (0 bytes)'.";
        QTest::newRow("no item table") << "sql:DROP TABLE item" << "the file has no table \"item\"'.";
        QTest::newRow("a column missing") << "sql:ALTER TABLE item DROP COLUMN extra2" << "the table \"item\" has no column \"extra2\"'.";
        QTest::newRow("folder cannot be made") << "blocked" << "is a file, not a folder.'.";
        // clang-format on
    }

    void startFailures()
    {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        TestHome home;
        const QString folder = home.dataPath() + QStringLiteral("/Wendra");
        const QString path = folder + QStringLiteral("/wendra.dbz");
        TestDatabase db;
        if (setup.startsWith("sql:"))
            db.exec(setup.mid(4));
        // A plain file where the data folder should be: no one, not even
        // root, can make a folder inside it.
        QFile file(setup == "blocked" ? folder : path);
        QVERIFY(setup == "blocked" || QDir().mkpath(folder));
        if (setup.startsWith("sql:"))
            QVERIFY(QFile::copy(db.path(), path));
        else
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(setup.mid(5).toUtf8()) >= 0);
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

    // A very long list name is cut short on screen and never widens the window.
    void longListNameKeepsTheWindow()
    {
        ControllerFixture app([](TestDatabase &db) { db.addList(QString(10000, 'n')); });
        QVERIFY(app->mainWindow->width() < 1000);
        auto *label = app.widget<ElidedLabel>("selectedCatName");
        QCOMPARE(label->text().size(), 10000);
        QVERIFY(label->elidedText(label->width()).endsWith(QChar(0x2026)));
    }
};

WENDRA_QTEST_MAIN(TestAppController)
#include "tst_AppController.moc"
