// The controller's two window sizes on a real file: an edit survives collapsing, the compact title
// names the list as text, a window left compact comes back full, and quitting while compact keeps
// the full frame for the next start.
#include "ControllerFixture.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSettings>
#include <QtTest>

class TestWindowSizing : public QObject
{
    Q_OBJECT

    // Starts on two lists, with the window frame of the last run when one is given.
    static std::unique_ptr<ControllerFixture> start(const QRect &lastFrame = QRect())
    {
        return std::make_unique<ControllerFixture>([lastFrame](TestDatabase &db) {
            for (const char *name : {"Home [50%]", "Work %1 %@"})
                db.addList(QString::fromUtf8(name));
            db.addTask("paint fence", "Home [50%]", 0, 0);
            QSettings().setValue(QStringLiteral("windowFrame"), lastFrame);
        });
    }

private slots:
    void editSurvivesCollapse()
    {
        const auto app = start();
        app->select(0);
        (*app)->switchToEditView();
        app->widget<QLineEdit>("editTaskField")->setText(QStringLiteral("paint the whole fence"));
        auto *toggle = app->widget<QAbstractButton>("windowResizeButton");
        toggle->click();
        QCOMPARE((*app)->mainWindow->windowTitle(), QStringLiteral("Wendra [Home [50%]]"));
        toggle->click();
        QVERIFY(app->widget<QWidget>("editWindow")->isVisible());
        QCOMPARE(app->widget<QLineEdit>("editTaskField")->text(), QStringLiteral("paint the whole fence"));
        QCOMPARE((*app)->mainWindow->windowTitle(), QStringLiteral("Wendra"));
    }

    void quitAndStartAfterCompact()
    {
        {
            const auto app = start(QRect(30, 40, 380, 300));
            app->widget<QAbstractButton>("windowResizeButton")->click();
            (*app)->nextCategory();
            QCOMPARE((*app)->mainWindow->windowTitle(), QStringLiteral("Wendra [Work %1 %@]"));
            QCOMPARE(QSettings().value(QStringLiteral("windowFrame")).toRect().height(), 53);
            (*app)->applicationWillTerminate();
            // Quitting expands first: the next start finds the full frame.
            QVERIFY((*app)->windowIsSmall());
            QCOMPARE(QSettings().value(QStringLiteral("windowFrame")).toRect().topLeft(), QPoint(30, 40));
            QCOMPARE(QSettings().value(QStringLiteral("windowFrame")).toRect().height(), 300);
        }
        // A run that ended without quitting left the compact frame behind.
        const auto app = start(QRect(30, 40, 380, 53));
        QCOMPARE(QList({(*app)->mainWindowHeight(), (*app)->mainWindow->geometry().y()}), QList({350, 40}));
        QVERIFY((*app)->windowIsSmall());
        QCOMPARE((*app)->mainWindow->windowTitle(), QStringLiteral("Wendra"));
    }
};

WENDRA_QTEST_MAIN(TestWindowSizing)
#include "tst_WindowSizing.moc"
