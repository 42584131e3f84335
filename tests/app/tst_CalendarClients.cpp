#include "ControllerFixture.h"
#include "SyncSettings.h"
#include "VdirCalendarStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// Wendra beside the real programs its users share calendars with: todoman on
// the same folder, and two Wendras that sync through a local Radicale server
// with vdirsyncer. Each program is started here and stopped at the end.
class TestCalendarClients : public QObject
{
    Q_OBJECT

    QTemporaryDir scratch;

    static void need(const char *program)
    {
        if (QStandardPaths::findExecutable(program).isEmpty())
            QSKIP(
                qPrintable(QString("%1 is not installed (scripts/test installs it)").arg(program)));
    }
    // Runs a program to its end with the given config variable; its output.
    QByteArray run(
        const QString &program, const QStringList &arguments, const QByteArray &input = {})
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TODOMAN_CONFIG", scratch.filePath("todoman.py"));
        environment.insert("VDIRSYNCER_CONFIG", scratch.filePath("vdirsyncer"));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        process.write(input);
        process.closeWriteChannel();
        const bool finished = process.waitForFinished(60000);
        const QByteArray errors = process.readAllStandardError();
        if (!finished || process.exitCode() != 0)
            qWarning("%s failed: %s", qPrintable(program), errors.constData());
        return finished && process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
    }
    void write(const QString &name, const QByteArray &contents)
    {
        QFile file(scratch.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    static std::unique_ptr<ControllerFixture> wendra(
        const std::function<void(TestDatabase &)> &fill)
    {
        return std::make_unique<ControllerFixture>([&](TestDatabase &db) {
            db.addList("Home");
            fill(db);
        });
    }
    static void type(ControllerFixture &app, const QString &title)
    {
        app.widget<QLineEdit>("taskField")->setText(title);
        app->controlTextDidEndEditing();
    }

private slots:
    void initTestCase()
    {
        SyncSettings::write("syncEnabled", 1);
        SyncSettings::write("exportOptions", 0);
    }

    void todomanSharesTheFolder()
    {
        need("todoman");
        const QByteArray extras
            = "X-THEIRS;X-P=1:kept\r\nCATEGORIES:a,b\r\nBEGIN:VALARM\r\n"
              "ACTION:DISPLAY\r\nTRIGGER:-PT5M\r\nDESCRIPTION:ring\r\nEND:VALARM\r\n";
        auto app = wendra([&](TestDatabase &db) {
            db.addTask("shared", "Home");
            db.exec("UPDATE item SET extra2='x1'");
            VdirCalendarStore(VdirCalendarStore::defaultRoot()).saveCalendar("Home");
            write("x1.ics",
                "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VTODO\r\nUID:x1\r\n"
                "SUMMARY:shared\r\n"
                    + extras + "END:VTODO\r\nEND:VCALENDAR\r\n");
            QFile::rename(
                scratch.filePath("x1.ics"), VdirCalendarStore::defaultRoot() + "/home/x1.ics");
        });
        write("todoman.py",
            QString("path = \"%1/*\"\ncache_path = \"%2\"\ndate_format = \"%Y-%m-%d\"\n"
                    "time_format = \"%H:%M\"\ndefault_list = \"Home\"\n")
                .arg(VdirCalendarStore::defaultRoot(), scratch.filePath("cache.sqlite"))
                .toUtf8());
        // A task made in todoman comes into Wendra while it runs.
        QVERIFY(!run("todoman", {"new", "-l", "Home", "from todoman"}).isEmpty());
        const auto value = [&](const QString &sql) { return app->value(sql).toString(); };
        QTRY_COMPARE_WITH_TIMEOUT(
            value("SELECT category FROM item WHERE action='from todoman'"), "Home", 5000);
        // Wendra's export and Wendra's rewrite of todoman's file both read in todoman.
        type(*app, "typed in wendra");
        app->select(app->rows().indexOf("shared"));
        (*app)->switchToEditView();
        app->widget<QLineEdit>("editTaskField")->setText("edited in wendra");
        (*app)->saveEditView();
        QFile file(VdirCalendarStore::defaultRoot() + "/home/x1.ics");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        for (const QByteArray &line : extras.split('\n'))
            QVERIFY2(written.contains(line.trimmed()), line);
        QMap<QString, QJsonObject> listed;
        for (const QJsonValue &task :
            QJsonDocument::fromJson(run("todoman", {"--porcelain", "list"})).array())
            listed.insert(task["summary"].toString(), task.toObject());
        QCOMPARE(
            listed.keys(), (QStringList {"edited in wendra", "from todoman", "typed in wendra"}));
        QCOMPARE(listed["typed in wendra"]["priority"].toInt(), 1);
        // Done in todoman, done in Wendra.
        run("todoman", {"done", QString::number(listed["edited in wendra"]["id"].toInt())});
        QTRY_COMPARE_WITH_TIMEOUT(
            value("SELECT completed FROM item WHERE action='edited in wendra'"), "1", 5000);
        // The watcher has seen Wendra's own files by now, and took none for another's.
        QCOMPARE(value("SELECT count(*) FROM item WHERE action='typed in wendra'"), "1");
    }

    void twoWendrasThroughACalDavServer()
    {
        need("radicale");
        need("vdirsyncer");
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString port = QString::number(probe.serverPort());
        probe.close();
        QProcess radicale;
        radicale.start("radicale",
            {"--server-hosts", "127.0.0.1:" + port, "--auth-type", "none",
                "--storage-filesystem-folder", scratch.filePath("server")});
        const auto stop = qScopeGuard([&] {
            radicale.terminate();
            if (!radicale.waitForFinished(5000))
                radicale.kill();
        });
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
            QTcpSocket socket;
            socket.connectToHost("127.0.0.1", port.toUShort());
            return socket.waitForConnected(200);
        }()),
            10000);

        auto a = wendra([](TestDatabase &) {});
        const QString rootA = VdirCalendarStore::defaultRoot();
        type(*a, "ship it");
        auto b = wendra([](TestDatabase &) {});
        const QString rootB = VdirCalendarStore::defaultRoot();
        QString config
            = QString("[general]\nstatus_path = \"%1\"\n").arg(scratch.filePath("status"));
        for (const auto &[name, root] : {std::pair {"a", rootA}, {"b", rootB}})
            config
                += QString("[pair %1]\na = \"%1_vdir\"\nb = \"server\"\ncollections = [\"from a\", "
                           "\"from b\"]\n[storage %1_vdir]\ntype = \"filesystem\"\npath = \"%2/\"\n"
                           "fileext = \".ics\"\n")
                       .arg(name, root);
        config += "[storage server]\ntype = \"caldav\"\nurl = \"http://127.0.0.1:" + port
            + "/\"\nusername = \"wendra\"\npassword = \"wendra\"\n";
        write("vdirsyncer", config.toUtf8());
        run("vdirsyncer", {"discover"}, QByteArray("y\n").repeated(8));
        for (const char *pair : {"a", "b"})
            run("vdirsyncer", {"sync", pair});
        QTRY_COMPARE_WITH_TIMEOUT(b->rows(), QStringList {"ship it"}, 5000);

        b->select(0);
        (*b)->completeTask();
        for (const char *pair : {"b", "a"})
            run("vdirsyncer", {"sync", pair});
        QTRY_COMPARE_WITH_TIMEOUT(a->value("SELECT completed FROM item").toString(), "1", 5000);
    }
};

WENDRA_QTEST_MAIN(TestCalendarClients)
#include "tst_CalendarClients.moc"
