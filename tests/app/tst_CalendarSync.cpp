#include "CalendarExport.h"
#include "ControllerFixture.h"
#include "SyncSettings.h"
#include "VdirCalendarStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>

// The controller's calendar synchronisation against a real vdir folder in the
// test's home. A second VdirCalendarStore on the same folder plays the other
// program that reads and writes it.
class TestCalendarSync : public QObject
{
    Q_OBJECT

    std::unique_ptr<ControllerFixture> app;
    AppController &c() { return **app; }
    template <class T> T *w(const QString &name) const { return app->widget<T>(name); }
    QString sql(const QString &statement) const { return app->value(statement).toString(); }
    static QString root() { return VdirCalendarStore::defaultRoot(); }

    static void settings(
        int sync, int exportOptions = 0, const QString &calendar = {}, const QString &folder = {})
    {
        SyncSettings::write("syncEnabled", sync);
        SyncSettings::write("exportOptions", exportOptions);
        SyncSettings::write("calendar", calendar);
        SyncSettings::write("calendarFolder", folder);
    }
    // As the other program: a task with this uid in the calendar titled list.
    static void putCopy(const QString &uid, const QString &list, const QString &title,
        double due = 0, int priority = 0, const QString &notes = {}, bool completed = false)
    {
        VdirCalendarStore other(root());
        other.saveCalendar(list);
        for (const Calendar &calendar : other.calendars())
            if (calendar.title == list) {
                CalendarTask task {uid, calendar, title,
                    due ? QDateTime::fromSecsSinceEpoch(due) : QDateTime(), priority, notes,
                    completed};
                QVERIFY(other.saveTask(task));
            }
    }
    // Every copy as "calendar|title|due|priority|notes|completed".
    static QString copies()
    {
        QStringList all;
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        for (const CalendarTask &copy : VdirCalendarStore(root()).allTasks()) {
            const qint64 due = copy.dueDate.isValid() ? copy.dueDate.toSecsSinceEpoch() : -1;
            const char *when = due < 0 ? "-"
                : due == 2000000000    ? "old"
                : qAbs(due - now) < 60 ? "now"
                                       : "later";
            all << QStringList {copy.calendar.title, copy.title, when,
                QString::number(copy.priority), copy.notes.isNull() ? "~" : copy.notes,
                copy.completed ? "1" : "0"}
                       .join('|');
        }
        return all.join(';');
    }
    // Every task row as "title|completed|importance|notes|due".
    QString rows() const
    {
        return sql("SELECT group_concat(action||'|'||completed||'|'||importance||'|'||notes||'|'||"
                   "CAST(endDate AS INT), ';') FROM (SELECT * FROM item ORDER BY pk)");
    }

private slots:
    void cleanup() { app.reset(); }

    void translate_data()
    {
        QTest::addColumn<QString>("importance"); // null: only read back
        QTest::addColumn<int>("priority");
        QTest::addColumn<QString>("readBack");
        const QString none;
        for (auto [importance, priority, back] : {std::tuple {"1", 0, "1"}, {"2", 9, "2"},
                 {"3", 5, "3"}, {"4", 5, "3"}, {"5", 1, "5"}, {"x", 0, "1"}})
            QTest::addRow("importance %s", importance)
                << QString(importance) << priority << QString(back);
        for (auto [priority, back] :
            {std::pair {2, "5"}, {3, "5"}, {4, "1"}, {6, "3"}, {7, "1"}, {8, "2"}})
            QTest::addRow("priority %d", priority) << none << priority << QString(back);
    }

    void translate()
    {
        QFETCH(QString, importance);
        QFETCH(int, priority);
        QFETCH(QString, readBack);
        if (!importance.isNull())
            QCOMPARE(CalendarExport::translateImpToiCal(importance), priority);
        QCOMPARE(CalendarExport::translateImpToVrel(priority), readBack);
    }

    // Each command's copy. The task "old" is in Home, due at 2e9, importance
    // "2", notes "n0"; its copy c1 exists, is gone from the calendar, or was
    // never made.
    void exportFromCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("sync");
        QTest::addColumn<int>("exportOptions");
        QTest::addColumn<QString>("calendar");
        QTest::addColumn<QString>("copy");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *command, int sync, int options,
                             const char *calendar, const char *copy, const char *expected) {
            QTest::newRow(name) << QString(command) << sync << options << QString(calendar)
                                << QString(copy) << QString(expected);
        };
        row("entry line", "entry", 1, 0, "", "none", "Home|typed|now|1|~|0");
        row("entry line, one calendar", "entry", 1, 1, "Errands", "none",
            "Errands|typed|now|1|~|0");
        row("one calendar never named", "entry", 1, 1, "", "none", "Home|typed|now|1|~|0");
        row("sheet add", "sheet add", 1, 0, "", "none", "Work|sheet|-|5|n1|0");
        row("sheet edit", "sheet edit", 1, 0, "", "none", "Home|old|old|9|n2|0");
        row("panel save", "panel", 1, 0, "", "exists", "Home|panel|old|9|n0|0");
        row("panel save, copy gone", "panel", 1, 0, "", "gone", "Home|panel|old|9|n0|0");
        row("roll forward, copy gone", "roll", 1, 0, "", "gone", "Home|old|later|9|n0|0");
        row("complete", "complete", 1, 0, "", "exists", "Home|old|old|9|n0|1");
        row("complete, copy gone", "complete", 1, 0, "", "gone", "");
        row("delete", "delete", 1, 0, "", "exists", "");
        row("delete, copy gone", "delete", 1, 0, "", "gone", "");
        row("sync off", "entry", 0, 0, "", "none", "");
        row("sync 2 is off", "delete", 2, 0, "", "exists", "Home|old|old|9|n0|0");
        // A calendar folder that cannot be made: the command works all the same.
        row("folder cannot be made", "entry", 1, 0, "", "blocked", "");
        // With no list a task belongs to the list "", and so does its copy.
        row("no lists", "entry", 1, 0, "", "no lists", "|typed|now|1|~|0");
        // Exports start with the next command; the copy is still linked.
        row("switched on while running", "switch on", 0, 0, "", "none", "Home|typed|now|1|~|0");
    }

    void exportFromCommands()
    {
        QFETCH(QString, command);
        QFETCH(int, sync);
        QFETCH(int, exportOptions);
        QFETCH(QString, calendar);
        QFETCH(QString, copy);
        QFETCH(QString, expected);
        settings(sync, exportOptions, calendar,
            copy == "blocked" ? DatabaseFile::pathForDBFile() + "/calendars" : QString());
        app = std::make_unique<ControllerFixture>([&](TestDatabase &db) {
            for (const char *list : {"Home", "Work"})
                if (copy != "no lists")
                    db.addList(list);
            db.addTask("old", "Home", 2e9, 0, 0, "2");
            db.exec(QString("UPDATE item SET notes='n0', extra1='%1', extra2='%2'")
                        .arg(command == "roll" ? "D:1" : "None",
                            copy == "exists" || copy == "gone" ? "c1" : ""));
            if (copy == "exists")
                putCopy("c1", "Home", "old", 2e9, 9, "n0");
        });
        app->select(0);
        if (command == "switch on") {
            settings(1);
            command = "entry";
        }
        if (command == "entry") {
            w<QLineEdit>("taskField")->setText("typed");
            c().controlTextDidEndEditing();
        } else if (command.startsWith("sheet")) {
            command == "sheet add" ? c().newTask() : c().doubleClickInTable();
            if (command == "sheet add") {
                w<QLineEdit>("bigEditWindowAction")->setText("sheet");
                w<QComboBox>("bigEditWindowProject")->setCurrentText("Work");
                w<QComboBox>("bigEditWindowImportance")->setCurrentText("4");
                w<QCheckBox>("bigEditWindowNoDueDate")->setChecked(false);
            }
            w<QPlainTextEdit>("bigEditWindowNotes")
                ->setPlainText(command == "sheet add" ? "n1" : "n2");
            c().newTaskOK();
        } else if (command == "panel") {
            c().switchToEditView();
            w<QLineEdit>("editTaskField")->setText("panel");
            c().saveEditView();
        } else {
            command == "delete" ? c().deleteAction() : c().completeTask();
        }
        QCOMPARE(copies(), expected);
        // Whatever the store did, the database change is made.
        QCOMPARE(
            sql("SELECT count(*) FROM item WHERE action IN ('typed', 'sheet', 'old', 'panel')"),
            command == "delete"                                 ? "0"
                : command == "entry" || command.endsWith("add") ? "2"
                                                                : "1");
        if (expected.isEmpty() && copy == "none")
            QVERIFY(!QFileInfo::exists(root()));
        // The store's notification links a new copy to the task it was made for.
        QCoreApplication::processEvents();
        const QList<CalendarTask> made = VdirCalendarStore(root()).allTasks();
        if (SyncSettings::read().enabled && !made.isEmpty())
            QCOMPARE(sql("SELECT extra2 FROM item WHERE action='" + made.first().title + "'"),
                copy == "exists" ? "c1" : made.first().uid);
    }

    void startUpImport()
    {
        settings(1);
        app = std::make_unique<ControllerFixture>([](TestDatabase &db) {
            db.addList("Home");
            db.addList("Work");
            db.addTask("old", "Home", 2e9, 0, 0, "2");
            db.exec("UPDATE item SET notes='n0', extra2='c1'");
            putCopy("c1", "Home", "renamed", 2.1e9, 1, "changed");
            putCopy("p1", "Errands", "from phone", 2.1e9, 1, "pn");
            putCopy("p2", "Errands", "done there", 0, 0, {}, true);
            putCopy("p3", "Errands", "");
            QFile damaged(root() + "/errands/damaged.ics");
            QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("BEGIN:VCALENDAR\r\n"));
        });
        QCOMPARE(rows(), "renamed|0|2|n0|2000000000;from phone|0|5|pn|2100000000");
        QCOMPARE(sql("SELECT category||extra1||extra2 FROM item WHERE action='from phone'"),
            "ErrandsNonep1");
        QStringList titles;
        for (const Calendar &calendar : VdirCalendarStore(root()).calendars())
            titles << calendar.title;
        QCOMPARE(titles, (QStringList {"Errands", "Home", "Work"}));
    }

    // Another program's changes. The task "mine" (importance "1", notes "old
    // notes", due 2e9) is linked to u1 or not; the calendar task "theirs"
    // (priority 5, notes "new", due 2.1e9) has that uid, or u9.
    void tasksChanged_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<bool>("fetchable");
        QTest::addColumn<QString>("expected");
        const QString mine = "mine|0|1|old notes|2000000000";
        const QString theirs = "theirs|0|3|new|2100000000";
        QTest::newRow("inserted, linked")
            << "inserted" << true << false << true << "theirs|0|3|new|2000000000";
        QTest::newRow("inserted") << "inserted" << false << false << true << mine + ";" + theirs;
        QTest::newRow("inserted completed")
            << "inserted" << false << true << true << mine + ";" + theirs;
        QTest::newRow("updated, linked") << "updated" << true << false << true << theirs;
        QTest::newRow("updated, linked, completed")
            << "updated" << true << true << true << "mine|1|1|old notes|2000000000";
        QTest::newRow("updated completed") << "updated" << false << true << true << mine;
        QTest::newRow("updated") << "updated" << false << false << true << mine + ";" + theirs;
        QTest::newRow("deleted, linked") << "deleted" << true << false << false << "";
        QTest::newRow("inserted, gone again") << "inserted" << true << false << false << mine;
        QTest::newRow("updated, gone again") << "updated" << true << false << false << mine;
    }

    void tasksChanged()
    {
        QFETCH(QString, kind);
        QFETCH(bool, linked);
        QFETCH(bool, completed);
        QFETCH(bool, fetchable);
        QFETCH(QString, expected);
        settings(1);
        const QString uid = linked ? "u1" : "u9";
        app = std::make_unique<ControllerFixture>([&](TestDatabase &db) {
            db.addList("Home");
            db.addTask("mine", "Home", 2e9, 0, 0, "1");
            db.exec("UPDATE item SET notes='old notes', extra2='u1'");
        });
        if (fetchable)
            putCopy(uid, "Home", "theirs", 2.1e9, 5, "new", completed);
        CalendarChanges changes;
        (kind == "inserted"         ? changes.inserted
                : kind == "updated" ? changes.updated
                                    : changes.deleted)
            << uid;
        c().tasksChanged(changes);
        QCOMPARE(rows(), expected);
        if (expected.contains("mine|1"))
            QVERIFY(sql("SELECT startDate FROM item").toDouble()
                > QDateTime::currentSecsSinceEpoch() - 60);
    }

    // Three open tasks "dup": the first linked to c1, the second unlinked;
    // a third is added from the entry line.
    void newCopiesFindTheirTasks()
    {
        settings(1);
        app = std::make_unique<ControllerFixture>([](TestDatabase &db) {
            db.addList("Home");
            db.addTask("dup", "Home");
            db.addTask("dup", "Home");
            db.exec("UPDATE item SET extra2='c1' WHERE pk=1");
            putCopy("c1", "Home", "dup");
        });
        w<QLineEdit>("taskField")->setText("dup");
        c().controlTextDidEndEditing();
        QCoreApplication::processEvents();
        const QString made = sql("SELECT extra2 FROM item WHERE pk=3");
        QVERIFY(!made.isEmpty() && made != "c1");
        QCOMPARE(sql("SELECT extra2 FROM item WHERE pk=1"), "c1");
        // A copy no command asked for goes by title to the first unlinked task.
        putCopy("p9", "Home", "dup");
        c().tasksChangedFromBellet({{"p9"}, {}, {}});
        QCOMPARE(sql("SELECT group_concat(extra2) FROM item"), "c1,p9," + made);
    }

    void editorKeepsItsTaskThroughAnImport_data()
    {
        QTest::addColumn<bool>("sheet");
        QTest::newRow("task sheet") << true;
        QTest::newRow("edit panel") << false;
    }

    void editorKeepsItsTaskThroughAnImport()
    {
        QFETCH(bool, sheet);
        settings(1);
        app = std::make_unique<ControllerFixture>([](TestDatabase &db) {
            db.addList("Home");
            db.addTask("a", "Home", 0, 0);
            db.addTask("b", "Home", 0, 1);
            db.exec("UPDATE item SET extra2='ua' WHERE action='a'");
        });
        app->select(1);
        sheet ? c().doubleClickInTable() : c().switchToEditView();
        c().tasksChanged({{}, {}, {"ua"}});
        w<QLineEdit>(sheet ? "bigEditWindowAction" : "editTaskField")->setText("b edited");
        sheet ? c().newTaskOK() : c().saveEditView();
        QCOMPARE(sql("SELECT group_concat(pk||action) FROM item"), "2b edited");
    }

    void preferences()
    {
        settings(0);
        app = std::make_unique<ControllerFixture>([](TestDatabase &) {
            for (const char *title : {"Home", "Work"})
                VdirCalendarStore(root()).saveCalendar(title);
        });
        const QList<QAction *> actions = c().mainWindow->menuBar()->findChildren<QAction *>();
        const auto open = std::find_if(actions.begin(), actions.end(),
            [](QAction *action) { return action->text() == "Preferences..."; });
        QVERIFY(open != actions.end());
        QCOMPARE((*open)->shortcut(), QKeySequence(QKeySequence::Preferences));
        (*open)->trigger();
        QCOMPARE(w<QComboBox>("prefsCalName")->itemText(1), "Work");
        w<QCheckBox>("syncEnabledCheck")->click();
        w<QRadioButton>("exportOneCalendar")->click();
        w<QComboBox>("prefsCalName")->setCurrentIndex(1);
        const SyncSettings chosen = SyncSettings::read();
        QCOMPARE(
            QString("%1 %2 %3").arg(chosen.enabled).arg(chosen.exportOptions).arg(chosen.calendar),
            "1 1 Work");
    }
};

WENDRA_QTEST_MAIN(TestCalendarSync)
#include "tst_CalendarSync.moc"
