#include "ControllerFixture.h"
#include "TaskTableModel.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTableView>
#include <QtTest>

namespace {
// Answers the next modal alert with the button titled `button` and keeps
// its text, so a test can see what the user was told.
struct AlertAnswer
{
    QString text;
    explicit AlertAnswer(const QString &button)
    {
        QTimer::singleShot(0, [this, button] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            text = box->text();
            for (QAbstractButton *b : box->buttons())
                if (b->text() == button)
                    b->click();
        });
    }
};

double now() { return QDateTime::currentMSecsSinceEpoch() / 1000.0; }
} // namespace

class TestTaskCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<ControllerFixture> app;

    AppController &c() { return **app; }
    void select(int row) { c().mainWindow->findChild<QTableView *>("table")->selectRow(row); }
    void start(const std::function<void(TestDatabase &)> &fill)
    {
        app.reset();
        app = std::make_unique<ControllerFixture>(fill);
    }
    // One list "Home" with the given tasks.
    void startWithTasks(const QList<std::pair<QString, QString>> &tasks, double due = 0.0)
    {
        start([&](TestDatabase &db) {
            db.addList("Home");
            int position = 0;
            for (const auto &[title, recCode] : tasks) {
                const int key = db.addTask(title, "Home", due, position++);
                db.exec(QStringLiteral("UPDATE item SET extra1=%1 WHERE pk=%2")
                            .arg(recCode.isNull() ? "NULL" : "'" + recCode + "'")
                            .arg(key));
            }
        });
    }

private slots:
    void cleanup() { app.reset(); }

    void checkOffAndReopen()
    {
        startWithTasks({{"pay rent", "None"}, {"call mum", "None"}});
        select(0);
        const double before = now();
        c().tableModel()->setData(c().tableModel()->index(0, TaskTableModel::checkOffColumn),
                                  Qt::Checked, Qt::CheckStateRole);
        QCOMPARE(app->rows(), QStringList({"call mum"}));
        QCOMPARE(app->value("SELECT completed FROM item WHERE action='pay rent'").toInt(), 1);
        const double stamped = app->value("SELECT startDate FROM item WHERE pk=1").toDouble();
        QVERIFY(stamped >= before - 0.01 && stamped <= now() + 0.01);

        c().showCompletedTasks();
        QCOMPARE(app->rows(), QStringList({"pay rent"}));
        select(0);
        c().completeTask();
        QVERIFY(app->rows().isEmpty());
        QCOMPARE(app->value("SELECT completed FROM item WHERE pk=1").toInt(), 0);
        QCOMPARE(app->value("SELECT startDate FROM item WHERE pk=1").toDouble(), stamped);
    }

    void recurringCheckOff_data()
    {
        QTest::addColumn<QString>("recCode");
        QTest::addColumn<double>("dueDaysAgo"); // negative: in the future; NaN: no due date
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<QString>("storedCode");
        QTest::newRow("daily, three days overdue") << "D:1" << 3.0 << true << "D:1";
        QTest::newRow("no due date stays undated") << "D:1" << qQNaN() << true << "D:1";
        QTest::newRow("empty code is no recurrence") << "" << 1.0 << false << "None";
        QTest::newRow("missing code is no recurrence") << QString() << 1.0 << false << "None";
        QTest::newRow("damaged code ends") << "Q:zz" << 2.0 << true << "Q:zz";
        QTest::newRow("weekly without a day ends") << "W:1:8:8:8:8:8:8:8" << 9.0 << true
                                                   << "W:1:8:8:8:8:8:8:8";
    }

    void recurringCheckOff()
    {
        QFETCH(QString, recCode);
        QFETCH(double, dueDaysAgo);
        QFETCH(bool, staysOpen);
        QFETCH(QString, storedCode);
        const double due = qIsNaN(dueDaysAgo) ? 0.0 : std::floor(now()) - dueDaysAgo * 86400;
        startWithTasks({{"water plants", recCode}}, due);
        select(0);
        c().completeTask();
        QCOMPARE(app->value("SELECT completed FROM item").toInt(), staysOpen ? 0 : 1);
        QCOMPARE(app->value("SELECT extra1 FROM item").toString(), storedCode);
        QVERIFY(app->value("SELECT startDate FROM item").toDouble() > now() - 5);
        const double newDue = app->value("SELECT endDate FROM item").toDouble();
        if (recCode == QLatin1String("D:1")) {
            if (due == 0.0) {
                QCOMPARE(newDue, 0.0);
            } else {
                // The first daily occurrence after now, missed ones skipped.
                QVERIFY(newDue > now() - 1 && newDue <= now() + 86400);
                QCOMPARE(std::fmod(newDue - due, 86400.0), 0.0);
            }
        } else if (staysOpen) {
            QCOMPARE(newDue, due); // a code that cannot advance keeps the date
        }
        QCOMPARE(app->rows().isEmpty(), !staysOpen);
    }

    void commandsWithoutASelectedRow()
    {
        startWithTasks({{"keep me", "None"}});
        c().completeTask();
        c().deleteAction();
        c().moveActionToList();
        c().moveActionToListOK(nullptr);
        QCOMPARE(app->rows(), QStringList({"keep me"}));
        QCOMPARE(app->value("SELECT count(*) FROM item WHERE completed=0").toInt(), 1);
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
        select(1);
        c().deleteAction();
        QCOMPARE(app->rows(), QStringList({"first", "third"}));
        QCOMPARE(app->value("SELECT count(*) FROM item").toInt(), 2);

        // Moving a record that was only ever loaded by its title must not
        // wipe its other fields.
        c().loadTasksForCategory("Home");
        select(0);
        c().moveActionToList();
        const QList<QAction *> lists = c().popUpMenu->actions();
        QCOMPARE(lists.size(), 2);
        lists[0]->trigger(); // Home: its own list
        QCOMPARE(app->rows(), QStringList({"first", "third"}));
        select(0);
        lists[1]->trigger(); // Work
        QCOMPARE(app->rows(), QStringList({"third"}));
        QCOMPARE(app->value("SELECT category FROM item WHERE pk=1").toString(), QStringLiteral("Work"));
        QCOMPARE(app->value("SELECT importance FROM item WHERE pk=1").toString(), QStringLiteral("2"));
        QCOMPARE(app->value("SELECT endDate FROM item WHERE pk=1").toDouble(), 1.8e9);
    }

    void archiveAppendsAndClears()
    {
        start([](TestDatabase &db) {
            db.addList("Home");
            db.addTask("café", "Home", 0, 0, 1);
            db.addTask("open", "Home", 0, 0, 0);
        });
        QTemporaryDir dir;
        const QString path = dir.filePath("done.txt");
        QVERIFY(c().archiveCompletedTasksTo(path));
        QVERIFY(c().archiveCompletedTasksTo(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("caf\x8e,Home,"));
        QCOMPARE(lines[0], lines[1]);
        c().clearCompletedTasks();
        QCOMPARE(app->value("SELECT count(*) FROM item").toInt(), 1);
    }

    // Tasks that cannot be written must not be offered for clearing.
    void archiveFailuresKeepTheTasks_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("toFolder");
        QTest::addColumn<QString>("says");
        QTest::newRow("not Mac OS Roman") << "日本" << false << "Mac OS Roman";
        QTest::newRow("cannot write") << "plain" << true << "cannot be written";
    }

    void archiveFailuresKeepTheTasks()
    {
        QFETCH(QString, title);
        QFETCH(bool, toFolder);
        QFETCH(QString, says);
        start([&](TestDatabase &db) {
            db.addList("Home");
            db.addTask(title, "Home", 0, 0, 1);
        });
        QTemporaryDir dir;
        const QString path = toFolder ? dir.path() : dir.filePath("done.txt");
        AlertAnswer alert("OK");
        QVERIFY(!c().archiveCompletedTasksTo(path));
        QVERIFY2(alert.text.contains(says), qPrintable(alert.text));
        QCOMPARE(app->value("SELECT count(*) FROM item WHERE completed=1").toInt(), 1);
        if (!toFolder)
            QVERIFY(!QFile::exists(path));
    }

    void lists()
    {
        start([](TestDatabase &db) {
            db.addList("Home");
            db.addList("Work");
            db.addTask("dishes", "Home");
        });
        const auto sheet = [this](const QString &name) {
            c().editListsWindow->findChild<QLineEdit *>("listName")->setText(name);
            c().editListOK();
        };
        c().newList();
        sheet("");
        c().newList();
        sheet("Home");
        QCOMPARE(c().categories().size(), size_t(4));
        QCOMPARE(app->viewTitle(), QStringLiteral("Home"));

        c().editList();
        sheet("Chores");
        QCOMPARE(app->viewTitle(), QStringLiteral("Chores"));
        QVERIFY(app->rows().isEmpty());
        QCOMPARE(app->value("SELECT category FROM item").toString(), QStringLiteral("Home"));
        c().editList();
        sheet("Home");
        QCOMPARE(app->rows(), QStringList({"dishes"}));

        c().nextCategory();
        c().deleteList();
        QCOMPARE(c().selectedCat(), 0);
        QCOMPARE(app->viewTitle(), QStringLiteral("Home"));
        QCOMPARE(app->rows(), QStringList({"dishes"}));
        while (!c().categories().empty())
            c().deleteList();
        QCOMPARE(app->viewTitle(), QString());
        QVERIFY(app->rows().isEmpty());
        c().deleteList();
        c().editList();
        QVERIFY(!c().editListsWindow->isVisible());
        // With no list left, a new one becomes the current list.
        c().newList();
        sheet("Fresh");
        QCOMPARE(app->viewTitle(), QStringLiteral("Fresh"));
        QCOMPARE(app->value("SELECT count(*) FROM item").toInt(), 1);
    }

    void drop_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("first to end") << "Home" << 0 << 3 << QStringList{"b", "c", "a"};
        QTest::newRow("last to top") << "Home" << 2 << 0 << QStringList{"c", "a", "b"};
        QTest::newRow("onto itself") << "Home" << 1 << 1 << QStringList{"a", "b", "c"};
        QTest::newRow("just below itself") << "Home" << 1 << 2 << QStringList{"a", "b", "c"};
        QTest::newRow("all tasks") << "All Tasks" << 0 << 2 << QStringList{"b", "a", "c"};
        QTest::newRow("past the end") << "Home" << 0 << 9 << QStringList{"a", "b", "c"};
    }

    void drop()
    {
        QFETCH(QString, view);
        QFETCH(int, source);
        QFETCH(int, destination);
        QFETCH(QStringList, order);
        start([](TestDatabase &db) {
            db.addList("Home");
            db.addTask("a", "Home", 0, 10, 0, "4");
            db.addTask("b", "Home", 0, 20);
            db.addTask("c", "Home", 0, 30);
        });
        if (view != QLatin1String("Home"))
            c().showAllTasks();
        // Through the model, as a real drag delivers it.
        QMimeData data;
        data.setData(TaskTableModel::dragType, QByteArray::number(source));
        c().tableModel()->dropMimeData(&data, Qt::MoveAction, destination, 0, {});
        QCOMPARE(app->rows(), order);
        c().loadTasksForCategory("Home");
        QCOMPARE(app->rows(), order);
        if (destination <= 3)
            for (int i = 0; i < 3; ++i)
                QCOMPARE(app->value("SELECT manualSort FROM item WHERE action='" + order[i] + "'")
                             .toInt(),
                         i);
        QCOMPARE(app->value("SELECT importance FROM item WHERE action='a'").toString(),
                 QStringLiteral("4"));
    }
};

WENDRA_QTEST_MAIN(TestTaskCommands)
#include "tst_TaskCommands.moc"
