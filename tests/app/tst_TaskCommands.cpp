#include "ControllerFixture.h"
#include "TaskRoles.h"
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
    // The list "Home" with these open tasks, in this manual order.
    void startHome(const QStringList &titles)
    {
        start([&](TestDatabase &db) {
            db.addList("Home");
            for (int place = 0; place < titles.size(); ++place)
                db.addTask(titles[place], "Home", 0, place);
        });
    }

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
        // Drawn, then changed by another program: the command must not put
        // back what was drawn.
        TaskTableModel *model = c().tableModel();
        model->data(model->index(0, TaskTableModel::firstColumn), SubTextRole);
        value("UPDATE item SET notes='theirs', importance='2'");
        model->setData(
            model->index(0, TaskTableModel::checkOffColumn), Qt::Checked, Qt::CheckStateRole);
        QCOMPARE(value("SELECT notes||importance FROM item"), "theirs2");
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

    // A Ctrl- or Shift-click on a box completes that row's task, and only
    // that, though the click also toggles the selection of both rows.
    void checkBoxActsOnItsOwnRow_data()
    {
        QTest::addColumn<Qt::KeyboardModifier>("modifier");
        QTest::newRow("plain") << Qt::NoModifier;
        QTest::newRow("ctrl") << Qt::ControlModifier;
        QTest::newRow("shift") << Qt::ShiftModifier;
    }

    void checkBoxActsOnItsOwnRow()
    {
        QFETCH(Qt::KeyboardModifier, modifier);
        startHome({"first", "second"});
        auto *table = app->widget<QTableView>("table");
        table->resize(300, 200);
        app->select(1);
        table->selectionModel()->select(
            c().tableModel()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QStyleOptionViewItem option;
        option.initFrom(table->viewport());
        option.rect = table->visualRect(c().tableModel()->index(0, TaskTableModel::checkOffColumn));
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        const QRect box
            = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
        // Through the window system, which is where Qt learns which keys are held.
        QWidget *window = table->window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, modifier,
            table->viewport()->mapTo(window, box.center()));
        QCOMPARE(value("SELECT group_concat(action||completed, ' ') FROM item"), "first1 second0");
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

    // Lines are appended in Mac OS Roman, with no question about replacing
    // the file. Clearing is offered unless the archive failed, also when
    // no file was picked, and only "Clear" clears; the "Completed" view is
    // shown then.
    void archive_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("target"); // file, broken link or none
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("alert"); // part of the second dialog's text
        QTest::addColumn<bool>("cleared");
        // clang-format off
        QTest::newRow("appended, cleared") << "café" << "file" << "Clear" << "Do you wish to clear" << true;
        QTest::newRow("appended, kept") << "café" << "file" << "Cancel" << "Do you wish to clear" << false;
        QTest::newRow("no file, cleared") << "café" << "none" << "Clear" << "Do you wish to clear" << true;
        QTest::newRow("no file, kept") << "café" << "none" << "Cancel" << "Do you wish to clear" << false;
        QTest::newRow("not Mac OS Roman") << "日本" << "file" << "Clear" << "Mac OS Roman" << false;
        QTest::newRow("cannot write") << "plain" << "broken link" << "Clear" << "cannot be written" << false;
        // clang-format on
    }

    void archive()
    {
        QFETCH(QString, title);
        QFETCH(QString, target);
        QFETCH(QString, answer);
        QFETCH(QString, alert);
        QFETCH(bool, cleared);
        start([&](TestDatabase &db) {
            db.addList("Home");
            db.addTask(title, "Home", 0, 0, 1);
            db.addTask("open", "Home");
        });
        QTemporaryDir dir;
        // A link to a folder that does not exist cannot be written, not even by root.
        const QString path = dir.filePath(target == "broken link" ? "link.txt" : "done.txt");
        QFile::link(dir.filePath("missing/archive.txt"), dir.filePath("link.txt"));
        QFile file(dir.filePath("done.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("earlier\n") && file.flush());
        file.close();
        const QStringList dialogs = app->alertFrom([&] { c().archiveCompletedTasks(); },
                                           {target == "none" ? QString() : path, answer})
                                        .split(" / ");
        QCOMPARE(dialogs.size(), 2);
        QVERIFY2(dialogs[1].contains(alert), qPrintable(dialogs[1]));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), target == "file" && alert.startsWith("Do") ? 3 : 2);
        QVERIFY(lines.size() == 2 || lines[1].startsWith("caf\x8e,Home,"));
        QCOMPARE(value("SELECT count(*) FROM item"), cleared ? "1" : "2");
        QCOMPARE(app->viewTitle(), cleared ? "Completed" : "Home");
    }

    // A command whose write fails shows one alert and leaves the file and
    // the screen as they were: no blank task, no half-done check-off. A row
    // that cannot be drawn says so, and the user hears of it once, not at
    // every repaint.
    void failedCommandsWriteNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("failure"); // an UPDATE that fails, a lock, a column gone
        QTest::addColumn<QString>("alert");
        const QString notSaved = "Error|The change was not saved.";
        // clang-format off
        QTest::newRow("add, write fails") << "add" << "item" << notSaved;
        QTest::newRow("check off, write fails") << "check off" << "item" << notSaved;
        QTest::newRow("check off, file locked") << "check off" << "lock" << notSaved;
        QTest::newRow("new list, write fails") << "new list" << "category" << notSaved;
        QTest::newRow("draw, column gone") << "draw" << "column" << "Error|Some tasks cannot be shown.";
        // clang-format on
    }

    void failedCommandsWriteNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, failure);
        QFETCH(QString, alert);
        startHome({"water plants"});
        const auto state = [this] {
            return value("SELECT group_concat(pk||action||completed||endDate) FROM item")
                + value("SELECT count(*) FROM category");
        };
        const QString before = state();
        sqlite3 *other = nullptr;
        sqlite3_open(DatabaseFile::pathForDBFile().toUtf8().constData(), &other);
        const QString blocker = failure == "lock" ? QStringLiteral("BEGIN EXCLUSIVE")
            : failure == "column"
            ? QStringLiteral("ALTER TABLE item DROP COLUMN notes")
            : QStringLiteral("CREATE TRIGGER full BEFORE UPDATE ON %1 BEGIN SELECT "
                             "RAISE(ABORT, 'disk full'); END")
                  .arg(failure);
        TaskTableModel *model = c().tableModel();
        QCOMPARE(sqlite3_exec(other, blocker.toUtf8(), nullptr, nullptr, nullptr), SQLITE_OK);
        app->select(0);
        const QString shown = app->alertFrom([&] {
            if (command == "add") {
                app->widget<QLineEdit>("taskField")->setText("new");
                QTest::keyClick(app->widget<QLineEdit>("taskField"), Qt::Key_Return);
            } else if (command == "check off") {
                app->trigger("Check Off");
            } else if (command == "draw") {
                c().loadTasksForCategory("Home");
                for (int paint = 0; paint < 3; ++paint)
                    model->data(model->index(0, TaskTableModel::firstColumn), SubTextRole);
            } else {
                app->trigger("New List...");
                c().editListsWindow->findChild<QLineEdit *>("listName")->setText("Work");
                QTest::mouseClick(
                    c().editListsWindow->findChild<QPushButton *>("listSheetOK"), Qt::LeftButton);
            }
        });
        sqlite3_exec(
            other, failure == "lock" ? "ROLLBACK" : "DROP TRIGGER full", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QVERIFY2(shown.startsWith(alert) && !shown.contains(" / "), qPrintable(shown));
        QVERIFY(command != "draw"
            || model->data(model->index(0, 1), Qt::DisplayRole)
                == TaskTableModel::unreadableText());
        QCOMPARE(state(), before);
        QCOMPARE(app->rows(), QStringList({"water plants"}));
    }

    void lists()
    {
        start([](TestDatabase &db) {
            db.addList("Home");
            db.addList("Work");
            db.addTask("dishes", "Home");
            db.addTask("report", "Work");
            db.exec("UPDATE category SET parent='kept'");
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
        QCOMPARE(value("SELECT parent FROM category WHERE name='Chores'"), "kept");
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
        QTest::addColumn<QString>("stored"); // manualSort of a, b and c before the drop
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QString>("places"); // manualSort and title, in the order shown
        QTest::addColumn<int>("written"); // rows the drop writes
        // clang-format off
        QTest::newRow("first to end") << "Home" << "10, 20, 30" << 0 << 3 << "0b 1c 2a" << 3;
        QTest::newRow("last to top") << "Home" << "10, 20, 30" << 2 << 0 << "0c 1a 2b" << 3;
        QTest::newRow("just below itself") << "Home" << "10, 20, 30" << 1 << 2 << "0a 1b 2c" << 3;
        QTest::newRow("all tasks") << "All Tasks" << "10, 20, 30" << 0 << 2 << "0b 1a 2c" << 3;
        QTest::newRow("past the end is refused") << "Home" << "10, 20, 30" << 0 << 4 << "10a 20b 30c" << 0;
        QTest::newRow("in order, one down") << "Home" << "0, 1, 2" << 0 << 2 << "0b 1a 2c" << 2;
        QTest::newRow("in order, onto itself") << "Home" << "0, 1, 2" << 1 << 1 << "0a 1b 2c" << 0;
        QTest::newRow("text rewritten") << "Home" << "0, 1, \"x\"" << 0 << 1 << "0a 1b 2c" << 1;
        QTest::newRow("fraction rewritten") << "Home" << "0, 1.5, 2" << 2 << 3 << "0a 1b 2c" << 1;
        // clang-format on
    }

    // Every row shown gets its place as displayed and keeps its other
    // fields; rows already in their place are not written again.
    void drop()
    {
        QFETCH(QString, view);
        QFETCH(QString, stored);
        QFETCH(int, source);
        QFETCH(int, destination);
        QFETCH(QString, places);
        QFETCH(int, written);
        start([&](TestDatabase &db) {
            db.addList("Home");
            db.addTask("a", "Home", 0, 0, 0, "4");
            db.addTask("b", "Home");
            db.addTask("c", "Home");
            db.addTask("elsewhere", "Away", 0, 1, 1);
            db.exec("UPDATE item SET manualSort=json_extract('[" + stored
                + "]', '$[' || (pk - 1) || ']') WHERE pk < 4");
        });
        if (view != "Home")
            c().showAllTasks();
        // Drawn, then changed by another program: a drop writes places only.
        for (int row = 0; row < 3; ++row)
            c().tableModel()->data(c().tableModel()->index(row, 1), SubTextRole);
        value("UPDATE item SET importance='1' WHERE action='a'");
        const int changesBefore = value("SELECT total_changes()").toInt();
        // Through the model, as a real drag delivers it.
        QMimeData data;
        data.setData(TaskTableModel::dragType, QByteArray::number(source));
        c().tableModel()->dropMimeData(&data, Qt::MoveAction, destination, 0, {});
        QCOMPARE(value("SELECT total_changes()").toInt() - changesBefore, written);
        QCOMPARE(app->rows().join(' '), QString(places).remove(QRegularExpression("[\\d.]")));
        QCOMPARE(value("SELECT group_concat(manualSort || action, ' ') FROM "
                       "(SELECT * FROM item WHERE completed=0 ORDER BY manualSort)"),
            places);
        QCOMPARE(value("SELECT importance FROM item WHERE action='a'"), "1");
        QCOMPARE(value("SELECT manualSort FROM item WHERE action='elsewhere'"), "1");
        // Many rows moved: the indexes were set aside and built again.
        QCOMPARE(value("PRAGMA integrity_check"), "ok");
        QCOMPARE(value("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE type='index' ORDER BY 1)"),
            "item_done,item_due,item_list,item_open");
    }
};

WENDRA_QTEST_MAIN(TestTaskCommands)
#include "tst_TaskCommands.moc"
