// The hot key from outside, on X11 (an Xvfb of its own): the real program runs, another window
// has the keyboard, and xdotool presses keys. Only Super+Alt+Right, with or without Num Lock,
// brings Wendra's window forward.
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

    void cleanupTestCase()
    {
        wendra_.kill();
        wendra_.waitForFinished();
    }
};

WENDRA_QTEST_MAIN(TestGlobalHotKey)
#include "tst_GlobalHotKey.moc"
