#include "ControllerFixture.h"
#include "InternalError.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
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

    void startFailures_data()
    {
        QTest::addColumn<QByteArray>("fileContents");
        QTest::addColumn<QString>("templatePath");
        QTest::addColumn<bool>("blockFolder");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a database")
            << QByteArray("These are my notes, not a database.\n") << QString() << false
            << "Failed to open database with message 'file is not a database'.";
        QTest::newRow("missing template") << QByteArray() << "/no/such/wendra.dbz" << false
                                          << "Failed to create writable database file with message '";
        QTest::newRow("folder cannot be made")
            << QByteArray() << QString() << true
            << "Failed to create writable database file with message '";
    }

    void startFailures()
    {
        QFETCH(QByteArray, fileContents);
        QFETCH(QString, templatePath);
        QFETCH(bool, blockFolder);
        QFETCH(QString, message);
        TestHome home;
        if (blockFolder) {
            // A plain file where the data folder should be: no one, not even
            // root, can make a folder inside it.
            QFile blocker(home.dataPath() + QStringLiteral("/Wendra"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        const QString path = DatabaseFile::pathForDBFile();
        if (!fileContents.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(fileContents);
        }
        AppController controller;
        if (!templatePath.isEmpty())
            controller.setTemplatePath(templatePath);
        try {
            controller.awakeFromNib();
            QFAIL("start-up did not fail");
        } catch (const InternalError &error) {
            QVERIFY2(error.description().startsWith(message), qPrintable(error.description()));
        }
        if (!fileContents.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), fileContents);
        } else {
            QVERIFY(!QFileInfo(path).isFile());
        }
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
