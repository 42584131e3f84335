#include "ControllerFixture.h"
#include "SyncSettings.h"
#include "VdirCalendarStore.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// Wendra beside the real programs its users share calendars with: two Wendras
// that sync through a local Radicale server with vdirsyncer, which read and
// write each other's files and the server's. The server is started here and
// stopped at the end. Other programs' files, odd ones included, are read in
// the store's own test.
class TestCalendarClients : public QObject
{
    Q_OBJECT

    QTemporaryDir scratch;

    // Runs a shell command line to its end; a failure is logged, and the
    // check that waits for its result fails.
    static void run(const QString &commandLine)
    {
        QProcess process;
        process.start("sh", {"-c", commandLine});
        process.closeWriteChannel();
        if (!process.waitForFinished() || process.exitCode() != 0)
            qWarning("%s failed: %s", qPrintable(commandLine), process.readAllStandardError().constData());
    }
    static std::unique_ptr<ControllerFixture> wendra()
    {
        return std::make_unique<ControllerFixture>([](TestDatabase &db) { db.addList("Home"); });
    }

private slots:
    void twoWendrasThroughACalDavServer()
    {
        for (const char *program : {"radicale", "vdirsyncer"})
            if (QStandardPaths::findExecutable(program).isEmpty())
                QSKIP("radicale or vdirsyncer is not installed (scripts/test installs them)");
        SyncSettings::write("syncEnabled", 1);
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
        QFile file(scratch.filePath("vdirsyncer"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(config.toUtf8()) > 0);
        file.close();
        qputenv("VDIRSYNCER_CONFIG", file.fileName().toUtf8());
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
