#include "ControllerFixture.h"
#include "TaskTableModel.h"

#include <QMenu>
#include <QMimeData>
#include <QtTest>

class TestTaskCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<ControllerFixture> app;

    AppController &c() { return **app; }
    static double now() { return QDateTime::currentMSecsSinceEpoch() / 1000.0; }
    void start(const std::function<void(TestDatabase &)> &fill)
    {
        app.reset();
        app = std::make_unique<ControllerFixture>(fill);
    }
    QString value(const QString &sql) const { return app->value(sql).toString(); }

private slots:
    void cleanup() { app.reset(); }

    // Ticking a row: a recurring task stays open with its next due date;
    // without a code it is done, and in "Completed" the same command
    // reopens it.
    void checkOff_data()
    {
        QTest::addColumn<QString>("recCode");
        QTest::addColumn<double>("daysOverdue"); // NaN: no due date
        QTest::newRow("daily, missed days skipped") << "D:1" << 3.0;
        QTest::newRow("no due date stays undated") << "D:1" << qQNaN();
        QTest::newRow("empty code") << "" << 1.0;
        QTest::newRow("missing code") << QString() << 1.0;
        QTest::newRow("code without progress ends") << "W:1:8:8:8:8:8:8:8" << 9.0;
    }

    void checkOff()
    {
        QFETCH(QString, recCode);
        QFETCH(double, daysOverdue);
        const double due = qIsNaN(daysOverdue) ? 0.0 : std::floor(now()) - daysOverdue * 86400;
        start([&](TestDatabase &db) {
            db.addList("Home");
            db.addTask("water plants", "Home", due);
            db.exec("UPDATE item SET extra1=" + (recCode.isNull() ? "NULL" : "'" + recCode + "'"));
        });
        TaskTableModel *model = c().tableModel();
        model->setData(
            model->index(0, TaskTableModel::checkOffColumn), Qt::Checked, Qt::CheckStateRole);
        const bool recurs = !recCode.isEmpty();
        QCOMPARE(app->rows().isEmpty(), !recurs);
        QCOMPARE(value("SELECT completed || extra1 FROM item"), recurs ? "0" + recCode : "1None");
        QVERIFY(value("SELECT startDate FROM item").toDouble() > now() - 5);
        const double newDue = value("SELECT endDate FROM item").toDouble();
        if (recCode == "D:1" && due != 0.0) {
            QVERIFY(newDue > now() - 1 && newDue <= now() + 86400);
            QCOMPARE(std::fmod(newDue - due, 86400.0), 0.0);
        } else {
            QCOMPARE(newDue, due);
        }
        if (!recurs) {
            c().showCompletedTasks();
            app->select(0);
            c().completeTask();
            QVERIFY(app->rows().isEmpty());
            QCOMPARE(value("SELECT completed FROM item"), "0");
        }
    }

    void deleteAndMove()
    {
        start([](TestDatabase &db) {
            db.addList("Home");
            db.addList("Work");
            db.addTask("first", "Home", 1.8e9, 0, 0, "2");
            db.addTask("second", "Home", 0, 1);
            db.addTask("third", "Home", 0, 2);
        });
        c().completeTask(); // no row selected: no command acts
        c().deleteAction();
        c().moveActionToList();
        c().moveActionToListOK(nullptr);
        QCOMPARE(value("SELECT count(*) FROM item WHERE completed=0 AND category='Home'"), "3");
        app->select(1);
        c().deleteAction();
        QCOMPARE(app->rows(), QStringList({"first", "third"}));
        QCOMPARE(value("SELECT count(*) FROM item"), "2");
        // Moving a record that was only ever loaded by its key must not
        // wipe its other fields.
        c().loadTasksForCategory("Home");
        app->select(0);
        c().moveActionToList();
        c().popUpMenu->actions().at(1)->trigger(); // Work
        QCOMPARE(app->rows(), QStringList({"third"}));
        QCOMPARE(value("SELECT category||' '||importance||' '||endDate FROM item WHERE pk=1"),
            "Work 2 1800000000.0");
    }

    void archive_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("toFolder");
        QTest::addColumn<QString>("alert"); // part of its text; empty: archived
        QTest::newRow("appended twice") << "café" << false << "";
        QTest::newRow("not Mac OS Roman") << "日本" << false << "Mac OS Roman";
        QTest::newRow("cannot write") << "plain" << true << "cannot be written";
    }

    // Lines are appended in Mac OS Roman. Tasks that could not be written
    // are kept, and the user is told.
    void archive()
    {
        QFETCH(QString, title);
        QFETCH(bool, toFolder);
        QFETCH(QString, alert);
        start([&](TestDatabase &db) {
            db.addList("Home");
            db.addTask(title, "Home", 0, 0, 1);
            db.addTask("open", "Home");
        });
        QTemporaryDir dir;
        const QString path = toFolder ? dir.path() : dir.filePath("done.txt");
        bool archived = false;
        const QString shown = app->alertFrom([&] {
            archived = c().archiveCompletedTasksTo(path) && c().archiveCompletedTasksTo(path);
        });
        QCOMPARE(archived, alert.isEmpty());
        QVERIFY2(archived ? shown.isEmpty() : shown.startsWith("Error|") && shown.contains(alert),
            qPrintable(shown));
        QCOMPARE(QFileInfo(path).isFile(), archived);
        if (archived) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QList<QByteArray> lines = file.readAll().split('\n');
            QCOMPARE(lines.size(), 3);
            QVERIFY(lines[0].startsWith("caf\x8e,Home,") && lines[0] == lines[1]);
            c().clearCompletedTasks();
        }
        QCOMPARE(value("SELECT count(*) FROM item"), archived ? "1" : "2");
    }

    void lists()
    {
        start([](TestDatabase &db) {
            db.addList("Home");
            db.addList("Work");
            db.addTask("dishes", "Home");
            db.addTask("report", "Work");
        });
        const auto sheet = [this](void (AppController::*open)(), const QString &name) {
            (c().*open)();
            c().editListsWindow->findChild<QLineEdit *>("listName")->setText(name);
            c().editListOK();
        };
        sheet(&AppController::newList, "Home"); // a second list of that name; the view stays
        QCOMPARE(c().categories().size(), size_t(3));
        QCOMPARE(app->viewTitle(), "Home");
        // Tasks keep the old name: the renamed list shows none.
        sheet(&AppController::editList, "Chores");
        QCOMPARE(app->viewTitle(), "Chores");
        QVERIFY(app->rows().isEmpty());
        QCOMPARE(value("SELECT category FROM item WHERE action='dishes'"), "Home");
        // Deleting "Work" makes the first list current and shows it.
        c().nextCategory();
        c().deleteList();
        QCOMPARE(app->viewTitle(), "Chores");
        QVERIFY(app->rows().isEmpty());
        while (!c().categories().empty())
            c().deleteList();
        QCOMPARE(app->viewTitle(), QString());
        QVERIFY(app->rows().isEmpty());
        c().deleteList();
        c().editList();
        QVERIFY(!c().editListsWindow->isVisible());
        // With no list left, a new one becomes the current list.
        sheet(&AppController::newList, "Fresh");
        QCOMPARE(app->viewTitle(), "Fresh");
        QCOMPARE(value("SELECT count(*) FROM item"), "2");
    }

    void drop_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QString>("places"); // manualSort and title, in the order shown
        QTest::newRow("first to end") << "Home" << 0 << 3 << "0b 1c 2a";
        QTest::newRow("last to top") << "Home" << 2 << 0 << "0c 1a 2b";
        QTest::newRow("just below itself") << "Home" << 1 << 2 << "0a 1b 2c";
        QTest::newRow("all tasks") << "All Tasks" << 0 << 2 << "0b 1a 2c";
        QTest::newRow("past the end is refused") << "Home" << 0 << 4 << "10a 20b 30c";
    }

    // Every row shown gets its place as displayed and keeps its other fields.
    void drop()
    {
        QFETCH(QString, view);
        QFETCH(int, source);
        QFETCH(int, destination);
        QFETCH(QString, places);
        start([](TestDatabase &db) {
            db.addList("Home");
            db.addTask("a", "Home", 0, 10, 0, "4");
            db.addTask("b", "Home", 0, 20);
            db.addTask("c", "Home", 0, 30);
        });
        if (view != "Home")
            c().showAllTasks();
        // Through the model, as a real drag delivers it.
        QMimeData data;
        data.setData(TaskTableModel::dragType, QByteArray::number(source));
        c().tableModel()->dropMimeData(&data, Qt::MoveAction, destination, 0, {});
        QCOMPARE(app->rows().join(' '), QString(places).remove(QRegularExpression("\\d")));
        QCOMPARE(value("SELECT group_concat(manualSort || action, ' ') FROM "
                       "(SELECT * FROM item ORDER BY manualSort)"),
            places);
        QCOMPARE(value("SELECT importance FROM item WHERE action='a'"), "4");
    }
};

WENDRA_QTEST_MAIN(TestTaskCommands)
#include "tst_TaskCommands.moc"
