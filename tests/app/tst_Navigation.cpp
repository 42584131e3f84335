#include "ControllerFixture.h"
#include "TaskTableModel.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QtTest>
#include <memory>

// Drives the view commands of a controller started on a file with the lists
// "Errands", "Today" (a list that carries a built-in view's name) and "Work".
class TestNavigation : public QObject
{
    Q_OBJECT

    std::unique_ptr<ControllerFixture> controller;

    QString viewTitle() const { return controller->viewTitle(); }
    QStringList rows() const { return controller->rows(); }
    QAction *jumpItem(const QString &title) const
    {
        (*controller)->jumpToCatMenu->aboutToShow();
        for (QAction *action : (*controller)->jumpToCatMenu->actions())
            if (action->text() == title)
                return action;
        return nullptr;
    }
    void start(bool withLists)
    {
        controller.reset();
        controller = std::make_unique<ControllerFixture>([withLists](TestDatabase &db) {
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
    void cleanup() { controller.reset(); }

    void nextAndPreviousStopAtTheEnds()
    {
        start(true);
        QCOMPARE(viewTitle(), QStringLiteral("Errands"));
        (*controller)->previousCategory();
        QCOMPARE((*controller)->selectedCat(), 0);
        (*controller)->nextCategory();
        QCOMPARE((*controller)->selectedCat(), 1);
        QCOMPARE(viewTitle(), QStringLiteral("Today"));
        QCOMPARE(rows(), QStringList({"due today"}));
        (*controller)->nextCategory();
        (*controller)->nextCategory();
        QCOMPARE((*controller)->selectedCat(), 2);
        QCOMPARE(viewTitle(), QStringLiteral("Work"));
        QCOMPARE(rows(), QStringList({"work item", "due today"}));
        QCOMPARE((*controller)->mainWindow->windowTitle(), QStringLiteral("Wendra"));
    }

    void jumpMenu_data()
    {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("selectedCat");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("third list") << "Work" << "Work" << 2 << QStringList{"work item", "due today"};
        QTest::newRow("built-in view") << "Completed" << "Completed" << 0 << QStringList{"finished"};
        QTest::newRow("all tasks") << "All Tasks" << "All Tasks" << 0
                                   << QStringList{"work item", "b errand", "due today", "a errand"};
    }

    void jumpMenu()
    {
        QFETCH(QString, picked);
        QFETCH(QString, title);
        QFETCH(int, selectedCat);
        QFETCH(QStringList, rows);
        start(true);
        QAction *item = jumpItem(picked);
        QVERIFY(item);
        item->trigger();
        QCOMPARE(viewTitle(), title);
        QCOMPARE((*controller)->selectedCat(), selectedCat);
        QCOMPARE(this->rows(), rows);
    }

    // The menu holds the list "Today" and the view "Today"; either shows
    // the view and leaves the current list where it was.
    void listNamedTodayShowsTheTodayView()
    {
        start(true);
        (*controller)->jumpToCatMenu->aboutToShow();
        const QList<QAction *> actions = (*controller)->jumpToCatMenu->actions();
        QCOMPARE(actions.size(), 3 + 1 + 3);
        actions[1]->trigger(); // the list "Today"
        QCOMPARE(viewTitle(), QStringLiteral("Today"));
        QCOMPARE((*controller)->selectedCat(), 0);
        QCOMPARE(rows(), QStringList({"due today"}));
    }

    void sortByTag_data()
    {
        QTest::addColumn<QVariant>("tag");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("title") << QVariant(1) << QStringList{"a errand", "b errand"};
        QTest::newRow("unknown tag keeps the order") << QVariant(7) << QStringList{"b errand", "a errand"};
        QTest::newRow("no tag") << QVariant() << QStringList{"b errand", "a errand"};
    }

    void sortByTag()
    {
        QFETCH(QVariant, tag);
        QFETCH(QStringList, rows);
        start(true);
        QAction sender;
        sender.setProperty("tag", tag);
        connect(&sender, &QAction::triggered, &**controller, &AppController::sortBy);
        sender.trigger();
        QCOMPARE(this->rows(), rows);
        QCOMPARE((*controller)->tableModel()->rowCount(), rows.size());
    }

    void checkBoxesAreOnOnlyInCompleted()
    {
        start(true);
        TaskTableModel *model = (*controller)->tableModel();
        const auto state = [model] {
            return model->data(model->index(0, TaskTableModel::checkOffColumn), Qt::CheckStateRole);
        };
        QCOMPARE(state(), QVariant(Qt::Unchecked));
        (*controller)->showCompletedTasks();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(state(), QVariant(Qt::Checked));
        QCOMPARE((*controller)->selectedCat(), 0);
        (*controller)->showAllTasks();
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(state(), QVariant(Qt::Unchecked));
    }

    void noListsAtAll()
    {
        start(false);
        QCOMPARE((*controller)->tableModel()->rowCount(), 0);
        (*controller)->nextCategory();
        (*controller)->previousCategory();
        QAction sender;
        connect(&sender, &QAction::triggered, &**controller, &AppController::sortBy);
        sender.trigger();
        (*controller)->toggleShowCompleted();
        QCOMPARE((*controller)->items().size(), size_t(0));
        (*controller)->jumpToCatMenu->aboutToShow();
        QCOMPARE((*controller)->jumpToCatMenu->actions().size(), 4);
        (*controller)->showAllTasks();
        QCOMPARE((*controller)->items().size(), size_t(4));
    }
};

WENDRA_QTEST_MAIN(TestNavigation)
#include "tst_Navigation.moc"
