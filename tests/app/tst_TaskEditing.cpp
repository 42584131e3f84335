#include "ControllerFixture.h"

#include <QCalendarWidget>
#include <QPlainTextEdit>
#include <QParallelAnimationGroup>
#include <QtTest>
#include <memory>

// Drives the entry line, the task sheet, the edit panel and the pop-ups of a
// controller started on a file with the lists "Errands" and "Work". In
// "Errands", row 0 is "b errand" (no due date, code D:3), row 1 "a errand"
// (due at 2e9 seconds).
class TestTaskEditing : public QObject
{
    Q_OBJECT

    std::unique_ptr<ControllerFixture> app;
    AppController *controller = nullptr;

    void start(bool withLists = true)
    {
        app.reset();
        app = std::make_unique<ControllerFixture>([withLists](TestDatabase &db) {
            if (withLists)
                for (const char *name : {"Work", "Errands"})
                    db.addList(QString::fromUtf8(name));
            db.addTask("b errand", "Errands", 0, 1);
            db.addTask("a errand", "Errands", 2e9, 2);
            db.addTask("finished", "Work", 2e9, 0, 1);
            db.exec("UPDATE item SET startDate=1.5e9, extra1='D:3'");
        });
        controller = &**app;
    }
    template <class T> T *w(const QString &name) const { return app->widget<T>(name); }
    // One value of the controller's own file, as text; runs any statement.
    QString sql(const QString &statement) const { return app->value(statement).toString(); }
    QString column(const QString &name, const QString &action) const
    {
        return sql(QStringLiteral("SELECT %1 FROM item WHERE action='%2'").arg(name, action));
    }
    int count() const { return sql("SELECT count(*) FROM item").toInt(); }
    static bool isNow(const QString &seconds)
    {
        return qAbs(seconds.toDouble() - QDateTime::currentSecsSinceEpoch()) < 60;
    }
    // The sheet's control name or the panel's.
    static QString pick(const QString &editor, const char *sheet, const char *panel)
    {
        return QString::fromLatin1(editor == "sheet" ? sheet : panel);
    }
    // A double click opens the sheet, Return on one selected row the panel.
    void open(const QString &editor)
    {
        editor == "sheet" ? controller->doubleClickInTable()
                          : QTest::keyClick(w<QTableView>("table"), Qt::Key_Return);
    }
    // Saves as the user does; returns the alerts shown.
    QString save(const QString &editor)
    {
        return app->alertFrom([&] {
            editor == "sheet" ? controller->newTaskOK()
                              : w<QAbstractButton>("editWindowSave")->click();
        });
    }

private slots:
    void cleanup() { app.reset(); }

    void entryLine_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("list");
        // clang-format off
        QTest::newRow("current list") << "list" << "Buy milk" << "Errands";
        QTest::newRow("blanks are a title") << "list" << "   " << "Errands";
        QTest::newRow("today view adds to the list") << "Today" << "Call" << "Errands";
        QTest::newRow("no list at all") << "no list" << "Loose" << "";
        QTest::newRow("empty adds nothing") << "list" << "" << "";
        // clang-format on
    }

    void entryLine()
    {
        QFETCH(QString, view);
        QFETCH(QString, typed);
        QFETCH(QString, list);
        start(view != "no list");
        if (view == "Today")
            controller->showTodayTasks();
        w<QLineEdit>("taskField")->setText(typed);
        QTest::keyClick(w<QLineEdit>("taskField"), Qt::Key_Return);
        QCOMPARE(count(), typed.isEmpty() ? 3 : 4);
        QVERIFY(w<QLineEdit>("taskField")->text().isEmpty());
        if (typed.isEmpty())
            return;
        QCOMPARE(column("category || importance || manualSort", typed), list + "50");
        QVERIFY(isNow(column("endDate", typed)));
        // The view on screen shows it; a task of no list shows under "All Tasks".
        if (view == "no list")
            controller->showAllTasks();
        QCOMPARE(controller->items().front().action(), typed);
    }

    // A task from the sheet takes any typed list name, no due date as 0.0
    // and the place after the rows shown; the recurring task without due
    // date shown before passes nothing on. An incomplete recurrence is
    // refused with the sheet left open.
    void sheetAdd_data()
    {
        QTest::addColumn<QString>("type"); // empty: as the new sheet has it
        QTest::addColumn<QStringList>("fields"); // "control=text", or a control to click
        QTest::addColumn<QString>("result"); // the alert, the stored code, or empty: no task
        // clang-format off
        QTest::newRow("no recurrence") << "" << QStringList{} << "None";
        QTest::newRow("empty title") << "" << QStringList{"bigEditWindowAction="} << "";
        QTest::newRow("days") << "Daily" << QStringList{"recDEvery", "recDNumDays="} << "You need to enter how many days";
        QTest::newRow("weeks") << "Weekly" << QStringList{"recWMonday"} << "You need to enter how many weeks";
        QTest::newRow("day of month") << "Monthly" << QStringList{"recMDayCheck", "recMDayOfMonth=5"}
                                      << "You need to enter the day of the month and how many months";
        QTest::newRow("day of week") << "Monthly" << QStringList{"recMThe", "recMNumberDayOfWeek=2"}
                                     << "You need to enter the day of the week and how many months";
        QTest::newRow("weekly") << "Weekly" << QStringList{"recWNumOfWeeks=2", "recWMonday", "recWThrusday"}
                                << "W:2:0:8:8:3:8:8:8";
        QTest::newRow("monthly") << "Monthly" << QStringList{"recMDayCheck", "recMDayOfMonth=31", "recMEveryMonth1=2"}
                                 << "M:31:2";
        QTest::newRow("nth weekday") << "Monthly" << QStringList{"recMThe", "recMNumberDayOfWeek=2", "recMMonth2=1", "recMDayOfWeek~Tuesday"}
                                     << "N:2:1:Tuesday";
        QTest::newRow("blanks pass") << "Daily" << QStringList{"recDEvery", "recDNumDays= "} << "D: ";
        // clang-format on
    }

    void sheetAdd()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, fields);
        QFETCH(QString, result);
        start();
        app->select(0);
        controller->doubleClickInTable();
        controller->newTaskCancel();
        controller->newTask();
        w<QLineEdit>("bigEditWindowAction")->setText("Water");
        w<QComboBox>("bigEditWindowProject")->setCurrentText("Garden");
        w<QCheckBox>("bigEditWindowNoDueDate")->click();
        controller->showRecWindow();
        w<QComboBox>("recType2")->setCurrentText(type);
        for (const QString &field : fields) {
            const QStringList parts = field.split(QRegularExpression("[=~]"));
            if (field.contains('~'))
                w<QComboBox>(parts[0])->setCurrentText(parts[1]);
            else if (parts.size() == 2)
                w<QLineEdit>(parts[0])->setText(parts[1]);
            else
                w<QAbstractButton>(parts[0])->click();
        }
        controller->recWindowCancel(); // keeps what was changed
        const bool alert = result.startsWith("You");
        QCOMPARE(save("sheet"), alert ? "Error|" + result + "|OK" : QString());
        QCOMPARE(count(), alert || result.isEmpty() ? 3 : 4);
        QCOMPARE(column("category||':'||manualSort||':'||endDate||':'||extra1", "Water"),
            count() == 4 ? "Garden:2:0.0:" + result : QString());
        QCOMPARE(controller->bigEditWindow->isVisible(), alert);
    }

    void editors_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::newRow("sheet") << "sheet";
        QTest::newRow("panel") << "panel";
    }

    // The due date in each editor: the pop-up button toggles, only its OK
    // copies the day (the time of day stays, to the second); ticking the box
    // saves the present moment. The panel slides over the table and holds
    // the list buttons.
    void editors()
    {
        QFETCH(QString, editor);
        start();
        open(editor); // no row selected: nothing opens
        QVERIFY(!controller->bigEditWindow->isVisible() && !controller->editing());
        app->select(1);
        open(editor);
        QCOMPARE(w<QWidget>("nextCategoryBut")->isEnabled(), editor == "sheet");
        if (editor == "panel") {
            for (auto *slide : controller->findChildren<QParallelAnimationGroup *>())
                slide->setCurrentTime(slide->totalDuration());
            QCOMPARE(w<QWidget>("editWindow")->pos(), QPoint(0, 0));
            QCOMPARE(w<QWidget>("tableScrollView")->x(), -w<QWidget>("contentArea")->width());
        }
        auto *date = w<QDateTimeEdit>(pick(editor, "bigEditWindowDueDate", "dueDate"));
        auto *calendar = w<QCalendarWidget>("calendarDatePicker");
        auto *button = w<QAbstractButton>(pick(editor, "editCalendarPop", "mainCalendarPop"));
        const QDateTime picked(QDate(2031, 5, 6), QDateTime::fromSecsSinceEpoch(2000000000).time());
        button->click();
        QVERIFY(calendar->isVisible() && calendar->selectedDate() == date->date());
        calendar->setSelectedDate(picked.date());
        button->click();
        QVERIFY(!calendar->isVisible() && date->date() != picked.date());
        button->click();
        calendar->setSelectedDate(picked.date());
        w<QAbstractButton>("calendarPopOK")->click();
        QCOMPARE(w<QLineEdit>("selectedCalendar")->text(), "none");
        w<QComboBox>(pick(editor, "bigEditWindowProject", "project"))->setCurrentText("Garden");
        w<QComboBox>(pick(editor, "bigEditWindowImportance", "importance"))->setCurrentText("2");
        w<QPlainTextEdit>(pick(editor, "bigEditWindowNotes", "notes"))->setPlainText("n\n2");
        save(editor);
        QCOMPARE(column("endDate", "a errand").toDouble(), double(picked.toSecsSinceEpoch()));
        QCOMPARE(column("category||importance||notes", "a errand"), "Garden2n\n2");
        app->select(0);
        open(editor);
        QVERIFY(!date->isEnabled());
        w<QCheckBox>(pick(editor, "bigEditWindowNoDueDate", "noDueDate"))->click();
        QVERIFY(date->isEnabled());
        save(editor);
        QVERIFY(isNow(column("endDate", "b errand")));
        QCOMPARE(column("extra1", "b errand"), "D:3");
        // A text longer than a line edit usually holds is saved whole.
        const QString longTitle(100000, 'x');
        sql("UPDATE item SET action='" + longTitle + "' WHERE action='b errand'");
        controller->showAllTasks();
        app->select(0);
        open(editor);
        save(editor);
        QCOMPARE(column("length(action)", longTitle), "100000");
    }

    // An edit reaches its task by key, whatever the view shows by the time
    // it is saved; not in "Completed" (shown read-only), and not when the
    // task was deleted meanwhile, which the user is told.
    void editsReachTheirTask_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("change");
        for (const char *editor : {"sheet", "panel"})
            for (const char *change : {"completed view", "reordered", "deleted", "view switched"})
                QTest::addRow("%s, %s", editor, change) << editor << change;
    }

    void editsReachTheirTask()
    {
        QFETCH(QString, editor);
        QFETCH(QString, change);
        start();
        if (change == "completed view")
            controller->showCompletedTasks();
        app->select(0);
        open(editor);
        w<QLineEdit>(pick(editor, "bigEditWindowAction", "editTaskField"))->setText("renamed");
        if (change == "completed view") {
            QCOMPARE(w<QLabel>(pick(editor, "bigEditWindowDueLabel", "dueDateLabel"))->text(),
                "Completed");
            const auto *date = w<QDateTimeEdit>(pick(editor, "bigEditWindowDueDate", "dueDate"));
            QCOMPARE(date->dateTime().toSecsSinceEpoch(), 1500000000);
        } else if (change == "view switched") {
            controller->showCompletedTasks();
        } else {
            sql(change == "deleted" ? "DELETE FROM item WHERE action='b errand'"
                                    : "UPDATE item SET manualSort=5 WHERE action='b errand'");
            controller->loadTasksForCategory("Errands"); // "a errand" is row 0 now
        }
        const QString alert = save(editor);
        const bool lands = change == "reordered" || change == "view switched";
        QCOMPARE(column("count(*)", "renamed"), lands ? "1" : "0");
        QCOMPARE(alert.contains("no longer exists"), change == "deleted");
        QCOMPARE(sql("SELECT count(*) FROM item WHERE action IN ('a errand', 'finished')"), "2");
        QVERIFY(!controller->editing() && !controller->bigEditWindow->isVisible());
    }
};

WENDRA_QTEST_MAIN(TestTaskEditing)
#include "tst_TaskEditing.moc"
