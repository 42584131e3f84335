#include "ControllerFixture.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QMessageBox>
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
    QStringList alerts; // "title|text|buttons" of each alert shown

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
        alerts.clear();
    }
    template <class T> T *w(const QString &name) const
    {
        for (QWidget *root : {static_cast<QWidget *>(controller->mainWindow), controller->recWindow,
                 controller->calendarPop})
            if (T *found = root->findChild<T *>(name))
                return found;
        qFatal("no control %s", qPrintable(name));
    }
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
    void select(int row) { w<QTableView>("table")->selectRow(row); }
    bool sheet(const QString &editor) const { return editor == "sheet"; }
    // OK of the sheet; an alert it shows is noted and accepted.
    void pressOK()
    {
        QTimer::singleShot(0, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                QStringList buttons;
                for (QAbstractButton *button : box->buttons())
                    buttons << button->text();
                alerts << box->windowTitle() + "|" + box->text() + "|" + buttons.join(',');
                box->buttons().first()->click();
            }
        });
        controller->newTaskOK();
        QCoreApplication::processEvents();
    }
    // A double click opens the sheet, Return on one selected row the panel.
    void open(const QString &editor)
    {
        if (sheet(editor))
            controller->doubleClickInTable();
        else
            QTest::keyClick(w<QTableView>("table"), Qt::Key_Return);
    }
    void save(const QString &editor) { sheet(editor) ? pressOK() : controller->saveEditView(); }
    QLineEdit *title(const QString &editor) const
    {
        return w<QLineEdit>(sheet(editor) ? "bigEditWindowAction" : "editTaskField");
    }

private slots:
    void cleanup()
    {
        app.reset();
        controller = nullptr;
    }

    void entryLine_data()
    {
        QTest::addColumn<bool>("withLists");
        QTest::addColumn<bool>("today");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("list");
        // clang-format off
        QTest::newRow("current list") << true << false << "Buy milk" << "Errands";
        QTest::newRow("blanks are a title") << true << false << "   " << "Errands";
        QTest::newRow("today view adds to the list") << true << true << "Call" << "Errands";
        QTest::newRow("no list at all") << false << false << "Loose" << "";
        QTest::newRow("empty adds nothing") << true << false << "" << "";
        // clang-format on
    }

    void entryLine()
    {
        QFETCH(bool, withLists);
        QFETCH(bool, today);
        QFETCH(QString, typed);
        QFETCH(QString, list);
        start(withLists);
        if (today)
            controller->showTodayTasks();
        w<QLineEdit>("taskField")->setText(typed);
        QTest::keyClick(w<QLineEdit>("taskField"), Qt::Key_Return);
        QCOMPARE(count(), typed.isEmpty() ? 3 : 4);
        QVERIFY(w<QLineEdit>("taskField")->text().isEmpty());
        if (typed.isEmpty())
            return;
        QCOMPARE(column("category || importance || manualSort", typed), list + "50");
        QVERIFY(isNow(column("endDate", typed)));
        // The view on screen shows the new task; one of no list shows under
        // "All Tasks".
        if (!withLists)
            controller->showAllTasks();
        QCOMPARE(controller->items().front().action(), typed);
    }

    void sheetAdd_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("due");
        // clang-format off
        QTest::newRow("no due date") << "Paint" << "Errands" << false;
        QTest::newRow("typed list name") << "Dig" << "Garden" << true;
        QTest::newRow("empty title") << "" << "Errands" << true;
        // clang-format on
    }

    void sheetAdd()
    {
        QFETCH(QString, title);
        QFETCH(QString, list);
        QFETCH(bool, due);
        start();
        // The task shown before (no due date, recurring) must not pass its
        // state on to the new one.
        select(0);
        controller->doubleClickInTable();
        controller->newTaskCancel();
        controller->newTask();
        QVERIFY(w<QCheckBox>("bigEditWindowNoDueDate")->isChecked());
        w<QLineEdit>("bigEditWindowAction")->setText(title);
        w<QComboBox>("bigEditWindowProject")->setCurrentText(list);
        if (!due)
            w<QCheckBox>("bigEditWindowNoDueDate")->click();
        pressOK();
        QVERIFY(!controller->bigEditWindow->isVisible());
        QCOMPARE(count(), title.isEmpty() ? 3 : 4);
        if (title.isEmpty())
            return;
        QCOMPARE(column("category || ':' || manualSort || ':' || extra1", title), list + ":2:None");
        QCOMPARE(column("endDate", title) == "0.0", !due);
    }

    void sheetRecurrence_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("fields"); // "control=text", or a control to click
        QTest::addColumn<QString>("result"); // the alert, or the stored code
        // clang-format off
        QTest::newRow("days") << "Daily" << QStringList{"recDEvery"} << "You need to enter how many days";
        QTest::newRow("weeks") << "Weekly" << QStringList{"recWMonday"} << "You need to enter how many weeks";
        QTest::newRow("day of month") << "Monthly" << QStringList{"recMDayCheck", "recMDayOfMonth=5"}
                                      << "You need to enter the day of the month and how many months";
        QTest::newRow("day of week") << "Monthly" << QStringList{"recMThe", "recMNumberDayOfWeek=2"}
                                     << "You need to enter the day of the week and how many months";
        QTest::newRow("weekly") << "Weekly" << QStringList{"recWNumOfWeeks=2", "recWMonday", "recWThrusday"}
                                << "W:2:0:8:8:3:8:8:8";
        QTest::newRow("blanks pass") << "Daily" << QStringList{"recDEvery", "recDNumDays= "} << "D: ";
        // clang-format on
    }

    void sheetRecurrence()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, fields);
        QFETCH(QString, result);
        start();
        controller->newTask();
        w<QLineEdit>("bigEditWindowAction")->setText("Water");
        controller->showRecWindow();
        w<QComboBox>("recType2")->setCurrentText(type);
        for (const QString &field : fields) {
            const QStringList parts = field.split('=');
            if (parts.size() == 2)
                w<QLineEdit>(parts[0])->setText(parts[1]);
            else
                w<QAbstractButton>(parts[0])->click();
        }
        controller->recWindowCancel(); // keeps what was changed
        QCOMPARE(w<QLineEdit>("selectedRecWin")->text(), "none");
        pressOK();
        const bool alert = result.startsWith("You");
        QCOMPARE(alerts, alert ? QStringList {"Error|" + result + "|OK"} : QStringList {});
        QCOMPARE(count(), alert ? 3 : 4);
        if (!alert)
            QCOMPARE(column("extra1", "Water"), result);
        // Still open after an alert; Escape then ends it as Cancel does.
        QCOMPARE(controller->bigEditWindow->isVisible(), alert);
        QTest::keyClick(controller->bigEditWindow, Qt::Key_Escape);
        QVERIFY(!controller->bigEditWindow->isVisible());
    }

    void editors_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("picker");
        QTest::newRow("sheet") << "sheet"
                               << "bigEditWindowNoDueDate"
                               << "bigEditWindowDueDate";
        QTest::newRow("panel") << "panel"
                               << "noDueDate"
                               << "dueDate";
    }

    // Check box and picker follow the task; saving unchanged keeps the date
    // to the second; ticking the box saves the present moment.
    void editors()
    {
        QFETCH(QString, editor);
        QFETCH(QString, box);
        QFETCH(QString, picker);
        start();
        open(editor); // no row selected: nothing opens
        QVERIFY(!controller->bigEditWindow->isVisible() && !controller->editing());
        select(1);
        open(editor);
        QVERIFY(w<QCheckBox>(box)->isChecked());
        QCOMPARE(w<QWidget>("nextCategoryBut")->isEnabled(), sheet(editor));
        if (!sheet(editor)) { // the panel slides over the table
            for (auto *slide : controller->findChildren<QParallelAnimationGroup *>())
                slide->setCurrentTime(slide->totalDuration());
            QCOMPARE(w<QWidget>("editWindow")->pos(), QPoint(0, 0));
            QCOMPARE(w<QWidget>("tableScrollView")->x(), -w<QWidget>("contentArea")->width());
        }
        save(editor);
        controller->cancelEditView();
        select(0);
        open(editor);
        QVERIFY(!w<QCheckBox>(box)->isChecked() && !w<QDateTimeEdit>(picker)->isEnabled());
        w<QCheckBox>(box)->click();
        QVERIFY(w<QDateTimeEdit>(picker)->isEnabled());
        save(editor);
        QVERIFY(isNow(column("endDate", "b errand")));
        QCOMPARE(column("endDate", "a errand"), "2000000000.0");
        QCOMPARE(column("extra1", "b errand"), "D:3");
    }

    void calendarPop_data() { editors_data(); }

    void calendarPop()
    {
        QFETCH(QString, editor);
        QFETCH(QString, picker);
        start();
        select(1);
        open(editor);
        auto *date = w<QDateTimeEdit>(picker);
        auto *calendar = w<QCalendarWidget>("calendarDatePicker");
        auto *button = w<QAbstractButton>(sheet(editor) ? "editCalendarPop" : "mainCalendarPop");
        const QDate picked(2031, 5, 6);
        button->click();
        QCOMPARE(w<QLineEdit>("selectedCalendar")->text(), sheet(editor) ? "edit" : "main");
        QVERIFY(calendar->isVisible() && calendar->selectedDate() == date->date());
        calendar->setSelectedDate(picked);
        button->click(); // closes, keeps the editor's date
        QVERIFY(!calendar->isVisible() && date->date() != picked);
        button->click();
        calendar->setSelectedDate(picked);
        w<QAbstractButton>("calendarPopOK")->click();
        QCOMPARE(w<QLineEdit>("selectedCalendar")->text(), "none");
        QCOMPARE(date->date(), picked);
    }

    // Edits that must not land: in "Completed" (shown read-only), or on the
    // row index of a task that moved or went away while the editor was open.
    void editsThatMustNotLand_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("change");
        for (const char *editor : {"sheet", "panel"})
            for (const char *change : {"completed view", "reordered", "deleted"})
                QTest::addRow("%s, %s", editor, change) << editor << change;
    }

    void editsThatMustNotLand()
    {
        QFETCH(QString, editor);
        QFETCH(QString, change);
        start();
        if (change == "completed view")
            controller->showCompletedTasks();
        select(0);
        open(editor);
        title(editor)->setText("renamed");
        if (change == "completed view") {
            QCOMPARE(w<QLabel>(sheet(editor) ? "bigEditWindowDueLabel" : "dueDateLabel")->text(),
                "Completed");
            QCOMPARE(w<QDateTimeEdit>(sheet(editor) ? "bigEditWindowDueDate" : "dueDate")
                         ->dateTime()
                         .toSecsSinceEpoch(),
                1500000000);
        } else {
            sql(change == "deleted" ? "DELETE FROM item WHERE action='b errand'"
                                    : "UPDATE item SET manualSort=5 WHERE action='b errand'");
            controller->loadTasksForCategory("Errands"); // "a errand" is row 0 now
        }
        save(editor);
        QCOMPARE(column("count(*)", "renamed"), change == "reordered" ? "1" : "0");
        QCOMPARE(sql("SELECT count(*) FROM item WHERE action IN ('a errand', 'finished')"), "2");
        QVERIFY(!controller->bigEditWindow->isVisible() && !controller->editing());
    }
};

WENDRA_QTEST_MAIN(TestTaskEditing)
#include "tst_TaskEditing.moc"
