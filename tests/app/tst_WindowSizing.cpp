// The controller's side of the two window sizes: the compact title names the list as text and
// follows a change of list, and quitting while compact keeps the full frame for the next start.
// The geometry itself is WindowSizer's, tested there.
#include "ControllerFixture.h"

#include <QAbstractButton>
#include <QSettings>
#include <QtTest>

class TestWindowSizing : public QObject
{
    Q_OBJECT

private slots:
    void compactTitleAndQuit()
    {
        ControllerFixture app([](TestDatabase &db) {
            for (const char *name : {"Home [50%]", "Work %1 %@"})
                db.addList(QString::fromUtf8(name));
            QSettings().setValue(QStringLiteral("windowFrame"), QRect(30, 40, 380, 300));
        });
        app.widget<QAbstractButton>("windowResizeButton")->click();
        QCOMPARE(app->mainWindow->windowTitle(), QStringLiteral("Wendra [Home [50%]]"));
        app->nextCategory();
        QCOMPARE(app->mainWindow->windowTitle(), QStringLiteral("Wendra [Work %1 %@]"));
        app->applicationWillTerminate();
        QVERIFY(app->windowIsSmall());
        const QRect saved = QSettings().value(QStringLiteral("windowFrame")).toRect();
        QCOMPARE(QList({saved.topLeft(), QPoint(0, saved.height())}), QList({QPoint(30, 40), QPoint(0, 300)}));
    }
};

WENDRA_QTEST_MAIN(TestWindowSizing)
#include "tst_WindowSizing.moc"
