#include "ControllerFixture.h"
#include "TaskRoles.h"
#include "TaskTableModel.h"

#include <QtTest>

class TestTaskCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<ControllerFixture> app;

    AppController &c() const { return **app; }
    static double now() { return QDateTime::currentMSecsSinceEpoch() / 1000.0; }
    QString value(const QString &sql) const { return app->value(sql).toString(); }
    // The lists "Errands" and "Work". In "Errands", row 0 is "b errand" (no
    // due date, code D:3), row 1 "a errand" (due at 2e9 seconds).
    void startErrands(bool withLists = true)
    {
        app = std::make_unique<ControllerFixture>([withLists](TestDatabase &db) {
            if (withLists)
                for (const char *name : {"Work", "Errands"})
                    db.addList(QString::fromUtf8(name));
            db.addTask("b errand", "Errands", 0, 1);
            db.addTask("a errand", "Errands", 2e9, 2);
            db.addTask("finished", "Work", 2e9, 0, 1);
            db.exec("UPDATE item SET startDate=1.5e9, extra1='D:3'");
        });
    }
    template <class T> T *w(const QString &name) const { return app->widget<T>(name); }
    QString column(const QString &name, const QString &action) const
    {
        return value(QStringLiteral("SELECT %1 FROM item WHERE action='%2'").arg(name, action));
    }
    int count() const { return value("SELECT count(*) FROM item").toInt(); }
    // The sheet's control name or the panel's.
    static QString pick(const QString &editor, const char *sheet, const char *panel)
    {
        return QString::fromLatin1(editor == "sheet" ? sheet : panel);
    }
    // A double click opens the sheet, Return on one selected row the panel.
    void open(const QString &editor)
    {
        editor == "sheet" ? c().doubleClickInTable()
                          : QTest::keyClick(w<QTableView>("table"), Qt::Key_Return);
    }
    // Saves as the user does; returns the alerts shown.
    QString save(const QString &editor)
    {
        return app->alertFrom([&] {
            editor == "sheet" ? c().newTaskOK() : w<QAbstractButton>("editWindowSave")->click();
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
    }

    void checkOff()
    {
        QFETCH(QString, recCode);
        QFETCH(double, daysOverdue);
        const double due = qIsNaN(daysOverdue) ? 0.0 : std::floor(now()) - daysOverdue * 86400;
        app = std::make_unique<ControllerFixture>([&](TestDatabase &db) {
            db.addList("Home");
            db.addTask("water plants", "Home", due);
            db.exec("UPDATE item SET extra1='" + recCode + "'");
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
        QCOMPARE(value("SELECT completed || extra1 FROM item"), recurs ? "0" + recCode : "1None");
        QVERIFY(value("SELECT startDate FROM item").toDouble() > now() - 5);
        // A dated recurring task moves to its next day not yet past (the steps
        // are Recurrence's, tested there); any other keeps its due date.
        const double newDue = value("SELECT endDate FROM item").toDouble();
        QVERIFY(recurs && due != 0.0 ? newDue > now() - 1 && newDue <= now() + 86400 : newDue == due);
        if (!recurs) {
            c().showCompletedTasks();
            app->select(0);
            c().completeTask();
            QCOMPARE(value("SELECT completed FROM item"), "0");
        }
    }

    // Lines are appended in Mac OS Roman, with no question about replacing
    // the file. Clearing is offered unless the archive failed, also when
    // no file was picked, and only "Clear" clears.
    void archive_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("target"); // file, broken link or none
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("alert"); // part of the second dialog's text
        // clang-format off
        QTest::newRow("appended, kept") << "café" << "file" << "Cancel" << "Do you wish to clear";
        QTest::newRow("no file, cleared") << "café" << "none" << "Clear" << "Do you wish to clear";
        QTest::newRow("not Mac OS Roman") << "日本" << "file" << "Clear" << "Mac OS Roman";
        QTest::newRow("cannot write") << "plain" << "broken link" << "Clear" << "cannot be written";
        // clang-format on
    }

    void archive()
    {
        QFETCH(QString, title);
        QFETCH(QString, target);
        QFETCH(QString, answer);
        QFETCH(QString, alert);
        startErrands();
        value("UPDATE item SET action='" + title + "' WHERE completed=1");
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
        QVERIFY(lines.size() == 2 || lines[1].startsWith("caf\x8e,Work,"));
        const bool cleared = answer == "Clear" && alert.startsWith("Do");
        QCOMPARE(count(), cleared ? 2 : 3);
    }

    // A command whose write fails shows one alert and leaves the file and
    // the screen as they were: no blank task, no half-done check-off. A row
    // that cannot be drawn says so, and the user hears of it once, not at
    // every repaint.
    void failedCommandsWriteNothing_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"add", "check off", "new list", "draw"})
            QTest::newRow(command) << QString(command);
    }

    void failedCommandsWriteNothing()
    {
        QFETCH(QString, command);
        startErrands();
        const auto state = [this] {
            // The count shows a row of NULL fields, which the concatenation skips.
            return value("SELECT count(*)||group_concat(pk||action||completed||endDate) "
                         "FROM item")
                + value("SELECT count(*) FROM category");
        };
        const QString before = state();
        // Writes fail as on a full disk; a row cannot be drawn without a column.
        value(command == "draw" ? QStringLiteral("ALTER TABLE item DROP COLUMN notes")
                                : QStringLiteral("CREATE TRIGGER full BEFORE UPDATE ON %1 BEGIN "
                                                 "SELECT RAISE(ABORT, 'disk full'); END")
                                      .arg(command == "new list" ? "category" : "item"));
        TaskTableModel *model = c().tableModel();
        app->select(0);
        const QString shown = app->alertFrom([&] {
            if (command == "add") {
                app->enter("new");
            } else if (command == "check off") {
                app->trigger("Check Off");
            } else if (command == "draw") {
                c().loadTasksForCategory("Errands");
                for (int paint = 0; paint < 3; ++paint)
                    model->data(model->index(0, TaskTableModel::firstColumn), SubTextRole);
            } else {
                app->nameList("New List...", "Shop");
            }
        });
        const QString alert = command == "draw" ? "Error|Some tasks cannot be shown."
                                                : "Error|The change was not saved.";
        QVERIFY2(shown.startsWith(alert) && !shown.contains(" / "), qPrintable(shown));
        QCOMPARE(state(), before);
        QCOMPARE(app->rows(), QStringList({"b errand", "a errand"}));
    }

    // A task deleted or moved leaves the others where they were.
    void deleteAndMove()
    {
        startErrands();
        app->select(0);
        c().deleteAction();
        QCOMPARE(app->rows(), QStringList({"a errand"}));
        // Moving a record that was only ever loaded by its key must not
        // wipe its other fields.
        c().loadTasksForCategory("Errands");
        app->select(0);
        c().moveActionToList();
        c().popUpMenu->actions().at(1)->trigger(); // Work
        QVERIFY(app->rows().isEmpty());
        QCOMPARE(column("category||' '||endDate||' '||extra1", "a errand"), "Work 2000000000.0 D:3");
    }

    void drop_data()
    {
        QTest::addColumn<QString>("stored"); // manualSort of a, b and c before the drop
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QString>("places"); // manualSort and title, in the order shown
        QTest::newRow("first to end") << "10, 20, 30" << 0 << 3 << "0b 1c 2a";
        QTest::newRow("last to top") << "10, 20, 30" << 2 << 0 << "0c 1a 2b";
        QTest::newRow("past the end is refused") << "10, 20, 30" << 0 << 4 << "10a 20b 30c";
        QTest::newRow("a fraction, unmoved, rewritten") << "0, 1.5, 2" << 2 << 3 << "0a 1b 2c";
    }

    // Every row shown gets its place as displayed and keeps its other
    // fields.
    void drop()
    {
        QFETCH(QString, stored);
        QFETCH(int, source);
        QFETCH(int, destination);
        QFETCH(QString, places);
        app = std::make_unique<ControllerFixture>([&](TestDatabase &db) {
            db.addList("Home");
            for (const char *title : {"a", "b", "c"})
                db.addTask(title, "Home");
            db.addTask("elsewhere", "Away", 0, 1, 1);
            db.exec("UPDATE item SET manualSort=json_extract('[" + stored
                + "]', '$[' || (pk - 1) || ']') WHERE pk < 4");
        });
        // Drawn, then changed by another program: a drop writes places only.
        for (int row = 0; row < 3; ++row)
            c().tableModel()->data(c().tableModel()->index(row, 1), SubTextRole);
        value("UPDATE item SET importance='1' WHERE action='a'");
        // Through the model, as a real drag delivers it.
        QMimeData data;
        data.setData(TaskTableModel::dragType, QByteArray::number(source));
        c().tableModel()->dropMimeData(&data, Qt::MoveAction, destination, 0, {});
        QCOMPARE(app->rows().join(' '), QString(places).remove(QRegularExpression("[\\d.]")));
        QCOMPARE(value("SELECT group_concat(manualSort || action, ' ') FROM "
                       "(SELECT * FROM item WHERE completed=0 ORDER BY manualSort)"),
            places);
        QCOMPARE(value("SELECT importance FROM item WHERE action='a'"), "1");
    }

    void entryLine_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("typed");
        QTest::newRow("today view adds to the list") << "Today" << "Call";
        QTest::newRow("no list at all") << "no list" << "Loose";
        QTest::newRow("empty adds nothing") << "list" << "";
    }

    void entryLine()
    {
        QFETCH(QString, view);
        QFETCH(QString, typed);
        startErrands(view != "no list");
        if (view == "Today")
            c().showTodayTasks();
        app->enter(typed);
        QCOMPARE(count(), typed.isEmpty() ? 3 : 4);
        QVERIFY(w<QLineEdit>("taskField")->text().isEmpty());
        if (typed.isEmpty())
            return;
        // Into the current list, "Errands", with importance 5 and place 0.
        QCOMPARE(column("category || importance || manualSort", typed),
            view == "no list" ? "50" : "Errands50");
        // The view on screen shows it; a task of no list shows under "All Tasks".
        if (view == "no list")
            c().showAllTasks();
        QCOMPARE(c().items().front().action(), typed);
    }

    // A task from the sheet takes any typed list name, no due date as 0.0
    // and the place after the rows shown; the recurring task without due
    // date shown before passes nothing on. An incomplete recurrence is
    // refused with the sheet left open.
    void sheetAdd_data()
    {
        // "control=text", "combo box~choice", or a control to click
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("result"); // the alert, the stored code, or empty: no task
        // clang-format off
        QTest::newRow("no recurrence") << QStringList{} << "None";
        QTest::newRow("empty title") << QStringList{"bigEditWindowAction="} << "";
        QTest::newRow("days") << QStringList{"recType2~Daily", "recDEvery", "recDNumDays="} << "You need to enter how many days";
        QTest::newRow("weeks") << QStringList{"recType2~Weekly", "recWMonday"} << "You need to enter how many weeks";
        QTest::newRow("day of month") << QStringList{"recType2~Monthly", "recMDayCheck", "recMDayOfMonth=5"} << "You need to enter the day of the month and how many months";
        QTest::newRow("day of week") << QStringList{"recType2~Monthly", "recMThe", "recMNumberDayOfWeek=2"} << "You need to enter the day of the week and how many months";
        QTest::newRow("weekly") << QStringList{"recType2~Weekly", "recWNumOfWeeks=2", "recWMonday", "recWThrusday"} << "W:2:0:8:8:3:8:8:8";
        QTest::newRow("monthly") << QStringList{"recType2~Monthly", "recMDayCheck", "recMDayOfMonth=31", "recMEveryMonth1=2"} << "M:31:2";
        QTest::newRow("nth weekday") << QStringList{"recType2~Monthly", "recMThe", "recMNumberDayOfWeek=2", "recMMonth2=1", "recMDayOfWeek~Tuesday"} << "N:2:1:Tuesday";
        // clang-format on
    }

    void sheetAdd()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, result);
        startErrands();
        app->select(0);
        c().doubleClickInTable();
        c().newTaskCancel();
        c().newTask();
        w<QLineEdit>("bigEditWindowAction")->setText("Water");
        w<QComboBox>("bigEditWindowProject")->setCurrentText("Garden");
        w<QCheckBox>("bigEditWindowNoDueDate")->click();
        c().showRecWindow();
        for (const QString &field : fields) {
            const QStringList parts = field.split(QRegularExpression("[=~]"));
            if (field.contains('~'))
                w<QComboBox>(parts[0])->setCurrentText(parts[1]);
            else if (parts.size() == 2)
                w<QLineEdit>(parts[0])->setText(parts[1]);
            else
                w<QAbstractButton>(parts[0])->click();
        }
        c().recWindowCancel(); // keeps what was changed
        const bool alert = result.startsWith("You");
        QCOMPARE(save("sheet"), alert ? "Error|" + result : QString());
        QCOMPARE(count(), alert || result.isEmpty() ? 3 : 4);
        QCOMPARE(column("category||':'||manualSort||':'||endDate||':'||extra1", "Water"),
            count() == 4 ? "Garden:2:0.0:" + result : QString());
        QCOMPARE(c().bigEditWindow->isVisible(), alert);
    }

    void editors_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::newRow("sheet") << "sheet";
        QTest::newRow("panel") << "panel";
    }

    // Each editor as a user goes through it. The due date: the pop-up
    // button toggles, only its OK copies the day (the time of day stays, to
    // the second); ticking the box saves the present moment. The panel
    // slides into view. An edit reaches its task by key, whatever the view
    // shows by the time it is saved; not in "Completed" (shown read-only),
    // and not when the task was deleted meanwhile, which the user is told.
    void editors()
    {
        QFETCH(QString, editor);
        startErrands();
        open(editor); // no row selected: nothing opens
        QVERIFY(!c().bigEditWindow->isVisible() && !c().editing());
        app->select(1);
        open(editor);
        if (editor == "panel") {
            for (auto *slide : c().findChildren<QParallelAnimationGroup *>())
                slide->setCurrentTime(slide->totalDuration());
            QCOMPARE(w<QWidget>("editWindow")->pos(), QPoint(0, 0));
        }
        auto *title = w<QLineEdit>(pick(editor, "bigEditWindowAction", "editTaskField"));
        auto *date = w<QDateTimeEdit>(pick(editor, "bigEditWindowDueDate", "dueDate"));
        auto *calendar = w<QCalendarWidget>("calendarDatePicker");
        auto *button = w<QAbstractButton>(pick(editor, "editCalendarPop", "mainCalendarPop"));
        const QDateTime picked(QDate(2031, 5, 6), QDateTime::fromSecsSinceEpoch(2000000000).time());
        button->click();
        calendar->setSelectedDate(picked.date());
        button->click(); // closed without OK
        QVERIFY(!calendar->isVisible() && date->date() != picked.date());
        button->click();
        calendar->setSelectedDate(picked.date());
        w<QAbstractButton>("calendarPopOK")->click();
        title->setText("renamed");
        w<QComboBox>(pick(editor, "bigEditWindowProject", "project"))->setCurrentText("Garden");
        w<QComboBox>(pick(editor, "bigEditWindowImportance", "importance"))->setCurrentText("2");
        w<QPlainTextEdit>(pick(editor, "bigEditWindowNotes", "notes"))->setPlainText("n\n2");
        c().showCompletedTasks();
        save(editor);
        QCOMPARE(column("endDate", "renamed").toDouble(), double(picked.toSecsSinceEpoch()));
        QCOMPARE(column("category||importance||notes", "renamed"), "Garden2n\n2");
        app->select(0); // "finished"
        open(editor);
        title->setText("lost");
        save(editor);
        // A text longer than a line edit usually holds is saved whole.
        const QString longTitle(100000, 'x');
        value("UPDATE item SET action='" + longTitle + "' WHERE action='b errand'");
        c().showAllTasks();
        app->select(0);
        open(editor);
        w<QCheckBox>(pick(editor, "bigEditWindowNoDueDate", "noDueDate"))->click();
        save(editor);
        QVERIFY(qAbs(column("endDate", longTitle).toDouble() - now()) < 60);
        QCOMPARE(column("length(action)||extra1", longTitle), "100000D:3");
        // Deleted while open; by then row 0 shows "renamed".
        app->select(0);
        open(editor);
        title->setText("lost");
        value("DELETE FROM item WHERE pk=1");
        c().showAllTasks();
        QVERIFY(save(editor).contains("no longer exists"));
        QVERIFY(!c().editing() && !c().bigEditWindow->isVisible());
        QCOMPARE(value("SELECT group_concat(action) FROM item"), "renamed,finished");
    }
};

WENDRA_QTEST_MAIN(TestTaskCommands)
#include "tst_TaskCommands.moc"
