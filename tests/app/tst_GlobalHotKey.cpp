// The hot key from outside. On X11 (an Xvfb of its own) the real program runs, another window has
// the keyboard, and xdotool presses keys: only Super+Alt+Right, with or without Num Lock, brings
// Wendra's window forward. Without X11, a fake desktop portal on a private session bus sees the
// session and the shortcut Wendra asks for, and its Activated signal is a press.
#include "GlobalHotKey.h"
#include "TestHome.h"

#include <QApplication>
#include <QProcess>
#include <QWidget>
#include <QtTest>

class TestGlobalHotKey : public QObject
{
    Q_OBJECT

    QProcess wendra_;

    static QString xdotool(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral("xdotool"), arguments);
        process.waitForFinished(5000);
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

private slots:
    void x11_data()
    {
        QTest::addColumn<QString>("keys"); // pressed in turn
        QTest::addColumn<bool>("popsUp");
        QTest::newRow("another key") << "super+alt+Left" << false;
        QTest::newRow("Super+Alt+Right") << "super+alt+Right" << true;
        QTest::newRow("Super+Alt+Right with Num Lock on") << "Num_Lock super+alt+Right Num_Lock" << true;
    }
    void x11()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QFETCH(QString, keys);
        QFETCH(bool, popsUp);
        const QString self = QString::number(QCoreApplication::applicationPid());
        if (wendra_.state() == QProcess::NotRunning) {
            wendra_.start(QStringLiteral(WENDRA_BINARY));
            QVERIFY(wendra_.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(!xdotool({"search", "--pid", QString::number(wendra_.processId())}).isEmpty(), 20000);
        }
        QWidget other;
        other.show();
        other.activateWindow();
        const auto focused = [] { return xdotool({"getwindowfocus", "getwindowpid"}); };
        QTRY_COMPARE_WITH_TIMEOUT(focused(), self, 10000);
        xdotool(QStringList("key") + keys.split(' '));
        if (!popsUp)
            QTest::qWait(500);
        QTRY_COMPARE_WITH_TIMEOUT(focused(), popsUp ? QString::number(wendra_.processId()) : self, 10000);
    }

    void portal_data()
    {
        QTest::addColumn<bool>("portalRuns");
        QTest::newRow("a desktop with global shortcuts") << true;
        QTest::newRow("a desktop without them") << false;
    }
    void portal()
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") || QGuiApplication::platformName() == QLatin1String("xcb"))
            QSKIP("needs a private session bus and no X server");
        QFETCH(bool, portalRuns);
        QProcess portal;
        if (portalRuns) {
            portal.start(QStringLiteral(FAKE_PORTAL));
            QVERIFY(portal.waitForReadyRead(10000));
            QCOMPARE(portal.readLine().trimmed(), QByteArray("ready"));
        } else {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no global shortcuts.*\"wendra\"")));
        }
        GlobalHotKey hotKey;
        QSignalSpy pressed(&hotKey, &GlobalHotKey::pressed);
        hotKey.registerHotKey();
        QTRY_COMPARE_WITH_TIMEOUT(pressed.size(), int(portalRuns), 10000);
        QTest::qWait(200);
        QCOMPARE(pressed.size(), int(portalRuns));
        if (portalRuns)
            QCOMPARE(QString::fromUtf8(portal.readAll()).trimmed().split(QLatin1Char('\n')),
                QStringList({"CreateSession session_handle_token=wendra",
                    "BindShortcuts session=/org/freedesktop/portal/desktop/session/1_2/wendra id=popUp trigger=LOGO+ALT+Right"}));
        portal.kill();
        portal.waitForFinished();
    }

    void cleanupTestCase()
    {
        wendra_.kill();
        wendra_.waitForFinished();
    }
};

WENDRA_QTEST_MAIN(TestGlobalHotKey)
#include "tst_GlobalHotKey.moc"
