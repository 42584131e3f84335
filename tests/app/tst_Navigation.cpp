#include "ControllerFixture.h"
#include "TaskTableModel.h"

#include <QAction>
#include <QMenu>
#include <QtTest>
#include <memory>

// Drives the view commands of a controller started on a file with the lists
// "Errands", "Today" (a list that carries a built-in view's name) and "Work".
class TestNavigation : public QObject
{
    Q_OBJECT

    std::unique_ptr<ControllerFixture> app;

    AppController &c() const { return **app; }
    void start(bool withLists)
    {
        app.reset();
        app = std::make_unique<ControllerFixture>([withLists](TestDatabase &db) {
            if (withLists)
                for (const char *name : {"Work", "Today", "Errands"})
                    db.addList(QString::fromUtf8(name));
            db.addTask("b errand", "Errands", 0, 1);
            db.addTask("a errand", "Errands", 0, 2);
            db.addTask("work item", "Work", 0, 0);
            db.addTask("due today", "Work", double(QDateTime::currentSecsSinceEpoch()), 1);
            db.addTask("finished", "Work", 0, 0, 1);
        });
    }

private slots:
    void cleanup() { app.reset(); }

    void nextAndPreviousStopAtTheEnds()
    {
        start(true);
        c().previousCategory();
        QCOMPARE(app->viewTitle(), "Errands");
        c().nextCategory();
        QCOMPARE(app->viewTitle(), "Today");
        QCOMPARE(app->rows(), QStringList({"due today"}));
        c().nextCategory();
        c().nextCategory();
        QCOMPARE(c().selectedCat(), 2);
        QCOMPARE(app->rows(), QStringList({"work item", "due today"}));
    }

    // The list "Today" comes first in the menu and, like the built-in
    // views, shows its view and leaves the current list where it was.
    void jumpMenu_data()
    {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<int>("selectedCat");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("third list") << "Work" << 2 << QStringList {"work item", "due today"};
        QTest::newRow("list named Today") << "Today" << 0 << QStringList {"due today"};
        QTest::newRow("built-in view") << "Completed" << 0 << QStringList {"finished"};
        QTest::newRow("all tasks")
            << "All Tasks" << 0 << QStringList {"work item", "b errand", "due today", "a errand"};
    }

    void jumpMenu()
    {
        QFETCH(QString, picked);
        QFETCH(int, selectedCat);
        QFETCH(QStringList, rows);
        start(true);
        c().jumpToCatMenu->aboutToShow();
        const QList<QAction *> actions = c().jumpToCatMenu->actions();
        QCOMPARE(actions.size(), 3 + 1 + 3);
        (*std::find_if(actions.begin(), actions.end(), [&](QAction *action) {
            return action->text() == picked;
        }))->trigger();
        QCOMPARE(app->viewTitle(), picked);
        QCOMPARE(c().selectedCat(), selectedCat);
        QCOMPARE(app->rows(), rows);
    }

    // An unknown or missing tag keeps the order chosen before.
    void sortByTag()
    {
        start(true);
        QAction sender;
        connect(&sender, &QAction::triggered, &c(), &AppController::sortBy);
        for (const QVariant &tag : {QVariant(1), QVariant(7), QVariant()}) {
            sender.setProperty("tag", tag);
            sender.trigger();
            QCOMPARE(c().sortOrder(), 1);
        }
        QCOMPARE(app->rows(), QStringList({"a errand", "b errand"}));
    }

    void noListsAtAll()
    {
        start(false);
        QVERIFY(app->rows().isEmpty());
        c().nextCategory();
        c().previousCategory();
        c().sortBy();
        c().toggleShowCompleted();
        QVERIFY(app->rows().isEmpty());
        c().jumpToCatMenu->aboutToShow();
        QCOMPARE(c().jumpToCatMenu->actions().size(), 4);
        c().showAllTasks();
        QCOMPARE(app->rows().size(), 4);
    }
};

WENDRA_QTEST_MAIN(TestNavigation)
#include "tst_Navigation.moc"
