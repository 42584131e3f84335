#include "ControllerFixture.h"
#include "ElidedLabel.h"
#include "MyApplication.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QtTest>

namespace {
QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
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
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestAppController : public QObject
{
    Q_OBJECT

private slots:
    void firstStartCopiesTheTemplate()
    {
        TestHome home;
        AppController controller;
        controller.awakeFromNib();
        const QString path = home.dataPath() + QStringLiteral("/Wendra/wendra.dbz");
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(QFileInfo(path).isWritable());
        QCOMPARE(names(controller), QStringList({"Home", "Work"}));
        QCOMPARE(controller.mainWindow->findChild<QLabel *>("selectedCatName")->text(),
                 QStringLiteral("Home"));
        QVERIFY(controller.mainWindow->isVisible());
        QCOMPARE(AppController::sharedInstance(), &controller);
    }

    // Lists in byte order of their names; the first list's open tasks in
    // manual order; completed tasks and tasks of unknown lists stay out.
    void startLoadsListsAndFirstListTasks()
    {
        ControllerFixture app([](TestDatabase &db) {
            for (const char *name : {"work", "Zeta", "alpha", "Beta"})
                db.addList(QString::fromUtf8(name));
            db.addTask("third", "Beta", 0, 2);
            db.addTask("first", "Beta", 0, 0);
            db.addTask("done", "Beta", 0, 1, 1);
            db.addTask("second", "Beta", 0, 1);
            db.addTask("elsewhere", "alpha", 0, 0);
            db.addTask("orphan", "No such list", 0, 0);
        });
        QCOMPARE(names(*app), QStringList({"Beta", "Zeta", "alpha", "work"}));
        QCOMPARE(app.rows(), QStringList({"first", "second", "third"}));
        QCOMPARE(app.viewTitle(), QStringLiteral("Beta"));
    }

    void secondStartLeavesTheFileAlone()
    {
        TestHome home;
        TestDatabase db;
        db.addList(QStringLiteral("Mine"));
        const QString path = DatabaseFile::pathForDBFile();
        QVERIFY(QFile::copy(db.path(), path));
        const QByteArray before = fileHash(path);

        AppController controller;
        // Even a different template must not replace an existing file.
        controller.setTemplatePath(QStringLiteral(":/no/such/template"));
        controller.awakeFromNib();
        QCOMPARE(names(controller), QStringList({"Mine"}));
        QCOMPARE(fileHash(path), before);
    }

    void noListsAtAll()
    {
        ControllerFixture app([](TestDatabase &db) { db.addTask("orphan", "gone"); });
        QVERIFY(app->categories().empty() && app->items().empty());
        QVERIFY(app->currentCategoryName().isNull());
        QCOMPARE(app.viewTitle(), QString());
    }

    // Wendra refuses a file it cannot use before any command touches it:
    // the message names the cause, the program ends with status 1, and the
    // file is left exactly as it was.
    void startFailures_data()
    {
        QTest::addColumn<QString>("setup"); // text:, sql: (on a real file), empty, blocked
        QTest::addColumn<QString>("message");
        QTest::newRow("not a database") << "text:These are my notes."
                                        << "Failed to open database with message 'file is not a database'.";
        QTest::newRow("empty file") << "empty" << "is empty (0 bytes)'.";
        QTest::newRow("no item table") << "sql:DROP TABLE item" << "the file has no table \"item\"'.";
        QTest::newRow("a column missing") << "sql:ALTER TABLE item DROP COLUMN extra2"
                                          << "the table \"item\" has no column \"extra2\"'.";
        QTest::newRow("folder cannot be made") << "blocked" << "is a file, not a folder.'.";
    }

    void startFailures()
    {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        TestHome home;
        const QString path = home.dataPath() + QStringLiteral("/Wendra/wendra.dbz");
        QDir().mkpath(home.dataPath());
        if (setup == "blocked") {
            // A plain file where the data folder should be: no one, not even
            // root, can make a folder inside it.
            QFile blocker(home.dataPath() + QStringLiteral("/Wendra"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else if (setup.startsWith("sql:")) {
            TestDatabase db;
            db.exec(setup.mid(4));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()) && QFile::copy(db.path(), path));
        } else {
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(setup.mid(5).toUtf8());
        }
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
        QVERIFY(QDir().mkpath(data) && QFile::link(data, home.path() + "/alias"));
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

    void closingHidesTheWindow()
    {
        TestHome home;
        AppController controller;
        controller.awakeFromNib();
        QVERIFY(!controller.mainWindow->close());
        QVERIFY(!controller.mainWindow->isVisible());
        controller.popUp();
        QVERIFY(controller.mainWindow->isVisible());
    }

    void helpPagesOpenAsFileUrls()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        TestHome home;
        AppController controller;
        controller.showHelp();
        controller.ContactUs();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.opened.size(), 2);
        QVERIFY(catcher.opened[0].isLocalFile());
        QVERIFY(catcher.opened[0].path().endsWith(QStringLiteral("/doc/doc.html")));
        QVERIFY(catcher.opened[1].path().endsWith(QStringLiteral("/support.html")));
    }
};

WENDRA_QTEST_MAIN(TestAppController)
#include "tst_AppController.moc"
