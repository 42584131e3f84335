#include "ControllerFixture.h"
#include "SyncSettings.h"
#include "VdirCalendarStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// Wendra beside the real programs its users share calendars with: todoman on
// the same folder, and two Wendras that sync through a local Radicale server
// with vdirsyncer. Each program is started here and stopped at the end.
// Other programs' files, odd ones included, are read in the store's own test.
class TestCalendarClients : public QObject
{
    Q_OBJECT

    QTemporaryDir scratch;

    // Runs a shell command line to its end; its output, empty when it
    // failed (the failure is logged, and the check of its result fails).
    static QByteArray run(const QString &commandLine)
    {
        QProcess process;
        process.start("sh", {"-c", commandLine});
        process.closeWriteChannel();
        if (process.waitForFinished() && process.exitCode() == 0)
            return process.readAllStandardOutput();
        qWarning("%s failed: %s", qPrintable(commandLine), process.readAllStandardError().constData());
        return {};
    }
    // Writes a program's configuration; the environment variable names it.
    void configure(const char *variable, const QString &name, const QString &contents)
    {
        QFile file(scratch.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents.toUtf8()) > 0);
        qputenv(variable, file.fileName().toUtf8());
    }
    static std::unique_ptr<ControllerFixture> wendra()
    {
        return std::make_unique<ControllerFixture>([](TestDatabase &db) { db.addList("Home"); });
    }

private slots:
    void initTestCase() { SyncSettings::write("syncEnabled", 1); }

    void todomanSharesTheFolder()
    {
        if (QStandardPaths::findExecutable("todoman").isEmpty())
            QSKIP("todoman is not installed (scripts/test installs it)");
        auto app = wendra();
        configure("TODOMAN_CONFIG", "todoman.py",
            QString("path = \"%1/*\"\ncache_path = \"%2\"\ndate_format = \"%Y-%m-%d\"\n"
                    "time_format = \"%H:%M\"\ndefault_list = \"Home\"\n")
                .arg(VdirCalendarStore::defaultRoot(), scratch.filePath("cache.sqlite")));
        // A task made in todoman comes into Wendra while it runs; its
        // location, which Wendra does not know, survives Wendra's edit.
        QVERIFY(!run("todoman new -l Home --location garden made").isEmpty());
        QTRY_COMPARE(app->rows(), QStringList {"made"});
        app->enter("typed in wendra");
        app->select(app->rows().indexOf("made"));
        (*app)->switchToEditView();
        app->widget<QLineEdit>("editTaskField")->setText("edited in wendra");
        (*app)->saveEditView();
        QMap<QString, QJsonObject> listed;
        for (const QJsonValue &task : QJsonDocument::fromJson(run("todoman --porcelain list")).array())
            listed.insert(task["summary"].toString(), task.toObject());
        QCOMPARE(listed.keys(), (QStringList {"edited in wendra", "typed in wendra"}));
        QCOMPARE(listed["edited in wendra"]["location"].toString(), "garden");
        // Done in todoman, done in Wendra.
        run("todoman done " + QString::number(listed["edited in wendra"]["id"].toInt()));
        QTRY_COMPARE(app->value("SELECT group_concat(action||completed) FROM item").toString(),
            "edited in wendra1,typed in wendra0");
    }

    void twoWendrasThroughACalDavServer()
    {
        for (const char *program : {"radicale", "vdirsyncer"})
            if (QStandardPaths::findExecutable(program).isEmpty())
                QSKIP("radicale or vdirsyncer is not installed (scripts/test installs them)");
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString port = QString::number(probe.serverPort());
        probe.close();
        // Stopped when it goes out of scope.
        QProcess radicale;
        radicale.start("radicale",
            {"--server-hosts", "127.0.0.1:" + port, "--auth-type", "none",
                "--storage-filesystem-folder", scratch.filePath("server")});
        QTcpSocket socket;
        // Python starts slowly on a loaded machine: allow the server time.
        QTRY_VERIFY_WITH_TIMEOUT((socket.connectToHost(QHostAddress::LocalHost, port.toUShort()),
                                     socket.waitForConnected()),
            20000);

        auto a = wendra();
        const QString rootA = VdirCalendarStore::defaultRoot();
        a->enter("ship it");
        auto b = wendra();
        QString config = "[general]\nstatus_path = \"" + scratch.filePath("status")
            + "\"\n[storage server]\ntype = \"caldav\"\nurl = \"http://127.0.0.1:" + port
            + "/\"\nusername = \"wendra\"\npassword = \"wendra\"\n";
        for (const auto &[name, root] :
            {std::pair {"a", rootA}, {"b", VdirCalendarStore::defaultRoot()}})
            config
                += QString("[pair %1]\na = \"%1_vdir\"\nb = \"server\"\ncollections = [\"from a\", "
                           "\"from b\"]\n[storage %1_vdir]\ntype = \"filesystem\"\npath = \"%2/\"\n"
                           "fileext = \".ics\"\n")
                       .arg(name, root);
        configure("VDIRSYNCER_CONFIG", "vdirsyncer", config);
        run("yes | vdirsyncer discover && vdirsyncer sync a && vdirsyncer sync b");
        QTRY_COMPARE(b->rows(), QStringList {"ship it"});
        b->select(0);
        (*b)->completeTask();
        run("vdirsyncer sync b && vdirsyncer sync a");
        QTRY_COMPARE(a->value("SELECT completed FROM item").toString(), "1");
    }
};

WENDRA_QTEST_MAIN(TestCalendarClients)
#include "tst_CalendarClients.moc"
