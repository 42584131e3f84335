#include "CalendarExport.h"
#include "ControllerFixture.h"
#include "SyncSettings.h"
#include "VdirCalendarStore.h"

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

    // As the other program: a task with this uid in the calendar titled list.
    static void putCopy(const QString &uid, const QString &list, const QString &title,
        double due = 0, int priority = 0, const QString &notes = {}, bool completed = false)
    {
        VdirCalendarStore other(root());
        CalendarTask task {uid, other.saveCalendar(list).value(), title,
            due ? QDateTime::fromSecsSinceEpoch(due) : QDateTime(), priority, notes, completed};
        QVERIFY(other.saveTask(task));
    }
    // Wendra started with syncEnabled at sync, on the lists Home and Work and
    // the task "old": in Home, due at 2e9, importance "2", notes "n0", linked
    // to the copy oid.
    void start(int sync, const QString &oid, const std::function<void(TestDatabase &)> &more)
    {
        for (const char *key : {"exportOptions", "calendar", "calendarFolder"})
            SyncSettings::write(key, {});
        SyncSettings::write("syncEnabled", sync);
        app = std::make_unique<ControllerFixture>([&](TestDatabase &db) {
            db.addList("Home");
            db.addList("Work");
            db.addTask("old", "Home", 2e9, 0, 0, "2");
            db.exec("UPDATE item SET notes='n0', extra2='" + oid + "'");
            more(db);
        });
    }
    // Every copy as "calendar|title|due|priority|notes|completed|tasks linked
    // to it", once the store's notifications have linked new copies.
    QString copies() const
    {
        QCoreApplication::processEvents();
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
                copy.completed ? "1" : "0",
                sql("SELECT group_concat(action) FROM item WHERE extra2='" + copy.uid + "'")}
                       .join('|');
        }
        return all.join(';');
    }
    // Every task row as "title|list|recurrence|completed|importance|notes|due|oid",
    // an absent value as nothing.
    QString rows() const
    {
        return sql(
            "SELECT group_concat(printf('%s|%s|%s|%s|%s|%s|%d|%s', action, category, extra1, "
            "completed, importance, notes, endDate, extra2), ';') FROM (SELECT * FROM item ORDER "
            "BY pk)");
    }

private slots:
    void cleanup() { app.reset(); }

    // Wendra's "5" is the most important, iCalendar's 1 is; "4" comes back as "3".
    void translate()
    {
        QString there, back;
        for (const char *importance : {"1", "2", "3", "4", "5", "x"})
            there += QString::number(CalendarExport::translateImpToiCal(importance));
        for (int priority = 0; priority <= 10; ++priority)
            back += CalendarExport::translateImpToVrel(priority);
        QCOMPARE(there, "095510");
        QCOMPARE(back, "15551331221");
    }

    // Each command's copy of "old", whose copy c1 exists, is gone from the
    // calendar, or was never made. The row's name says the command first,
    // then what differs from synchronisation on (sync 1) with one calendar per
    // list.
    void exportFromCommands_data()
    {
        QTest::addColumn<QString>("expected");
        QTest::newRow("entry") << "Home|typed|now|1|~|0|typed";
        QTest::newRow("entry, one calendar Work") << "Work|typed|now|1|~|0|typed";
        QTest::newRow("entry, one calendar never named") << "Home|typed|now|1|~|0|typed";
        QTest::newRow("sheet add") << "Work|sheet add|-|5|n1|0|sheet add";
        // Into the other list's calendar, keeping the due date it has there.
        QTest::newRow("sheet edit, copy exists") << "Work|sheet edit|old|5|n1|0|sheet edit";
        QTest::newRow("panel, copy exists") << "Home|panel|old|9|n0|0|panel";
        QTest::newRow("panel, copy gone") << "Home|panel|old|9|n0|0|panel";
        QTest::newRow("roll, copy exists") << "Home|old|later|9|n0|0|old";
        QTest::newRow("roll, copy gone") << "Home|old|later|9|n0|0|old";
        QTest::newRow("complete, copy exists") << "Home|old|old|9|n0|1|old";
        QTest::newRow("complete, copy gone") << "";
        QTest::newRow("delete, copy exists") << "";
        // Any sync but 1 is off.
        QTest::newRow("delete, copy exists, sync 2") << "Home|old|old|9|n0|0|";
        // The command works all the same.
        QTest::newRow("entry, folder cannot be made") << "";
        // With no list a task belongs to the list "", and so does its copy.
        QTest::newRow("entry, no lists") << "|typed|now|1|~|0|typed";
        // Exports start with the next command; the copy is still linked.
        QTest::newRow("entry, sync 0, switched on while running") << "Home|typed|now|1|~|0|typed";
    }

    void exportFromCommands()
    {
        QFETCH(QString, expected);
        const QString row = QTest::currentDataTag();
        const QString command = row.section(',', 0, 0);
        start(row.contains("sync") ? row.section("sync ", 1).left(1).toInt() : 1,
            row.contains("copy") ? "c1" : "", [&](TestDatabase &db) {
                if (row.contains("cannot be made"))
                    SyncSettings::write("calendarFolder", "/dev/null/calendars");
                if (command == "roll")
                    db.exec("UPDATE item SET extra1='D:1'");
                if (row.contains("no lists"))
                    db.exec("DELETE FROM category");
                if (row.contains("copy exists"))
                    putCopy("c1", "Home", "old", 2e9, 9, "n0");
            });
        // Chosen in the preferences panel, as the user does.
        if (row.contains("one calendar") || row.contains("switched on")) {
            app->trigger("Preferences...");
            if (row.contains("switched on"))
                w<QCheckBox>("syncEnabledCheck")->click();
            else
                w<QRadioButton>("exportOneCalendar")->click();
            if (row.contains("Work")) // the calendars start-up made, Home and Work
                w<QComboBox>("prefsCalName")->setCurrentIndex(1);
        }
        app->select(0);
        if (command == "entry") {
            app->enter("typed");
        } else if (command.startsWith("sheet")) {
            command == "sheet add" ? c().newTask() : c().doubleClickInTable();
            w<QLineEdit>("bigEditWindowAction")->setText(command);
            w<QComboBox>("bigEditWindowProject")->setCurrentText("Work");
            w<QComboBox>("bigEditWindowImportance")->setCurrentText("4");
            w<QCheckBox>("bigEditWindowNoDueDate")->setChecked(false);
            w<QPlainTextEdit>("bigEditWindowNotes")->setPlainText("n1");
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
        const int added = command == "entry" || command == "sheet add";
        QCOMPARE(sql("SELECT count(*) FROM item").toInt(), command == "delete" ? 0 : 1 + added);
        if (expected.isEmpty() && !row.contains("copy"))
            QVERIFY(!QFileInfo::exists(root()));
    }

    // Another program's task "theirs" in the calendar Work (priority 5, due
    // 2.1e9, notes "new" unless inserted): linked to "old" as u1 or not (u9),
    // completed there or not, or gone again before Wendra looks; announced
    // while Wendra runs, or found at start-up.
    void calendarChanges_data()
    {
        QTest::addColumn<QString>("expected");
        const QString old = "old|Home|None|0|2|n0|2000000000|u1";
        const QString theirs = "theirs|Work|None|0|3|new|2100000000|u9";
        const QString imported = "theirs|Work|None|0|3||2100000000|u9";
        QTest::newRow("inserted linked") << "theirs|Home|None|0|3|n0|2000000000|u1";
        QTest::newRow("inserted") << old + ";" + imported;
        QTest::newRow("updated linked") << "theirs|Home|None|0|3|new|2100000000|u1";
        QTest::newRow("updated linked completed") << "old|Home|None|1|2|n0|2000000000|u1";
        QTest::newRow("updated completed") << old;
        QTest::newRow("updated") << old + ";" + theirs;
        QTest::newRow("deleted linked") << "";
        QTest::newRow("inserted linked, gone again") << old;
        QTest::newRow("updated linked, gone again") << old;
        // At start-up a linked task takes over only the title, and neither a
        // completed nor an untitled task is imported.
        QTest::newRow("start-up linked") << "theirs|Home|None|0|2|n0|2000000000|u1";
        QTest::newRow("start-up") << old + ";" + theirs;
        QTest::newRow("start-up completed") << old;
        QTest::newRow("start-up untitled") << old;
    }

    void calendarChanges()
    {
        QFETCH(QString, expected);
        const QString change = QTest::currentDataTag();
        const QString uid = change.contains("linked") ? "u1" : "u9";
        const bool atStartUp = change.startsWith("start-up");
        const auto putTheirs = [&] {
            putCopy(uid, "Work", change.contains("untitled") ? "" : "theirs", 2.1e9, 5,
                change.startsWith("inserted") ? QString() : QString("new"),
                change.contains("completed"));
        };
        start(1, "u1", [&](TestDatabase &) {
            if (atStartUp)
                putTheirs();
        });
        if (!atStartUp && !change.contains("gone"))
            putTheirs();
        CalendarChanges changes;
        (change.startsWith("inserted")         ? changes.inserted
                : change.startsWith("updated") ? changes.updated
                                               : changes.deleted)
            << uid;
        if (!atStartUp)
            c().tasksChanged(changes);
        QCOMPARE(rows(), expected);
        if (expected.startsWith("old|Home|None|1"))
            QVERIFY(sql("SELECT startDate FROM item").toDouble()
                > QDateTime::currentSecsSinceEpoch() - 60);
    }

    // A first start over a large calendar folder: every task arrives, and the
    // indexes set aside while they were added are all back, and the file's
    // freed pages are zeroed again as SQLite was built to. Then two open
    // tasks "dup", the first linked to c1, and a third added from the entry
    // line: each copy finds its own task.
    void copiesFindTheirTasks()
    {
        start(1, "", [](TestDatabase &db) {
            db.addTask("dup", "Home");
            db.addTask("dup", "Home");
            db.exec("UPDATE item SET extra2='c1' WHERE pk=2");
            putCopy("c1", "Home", "dup");
            for (int i = 0; i < 300; ++i)
                putCopy(QString::number(i), "Work", "many");
        });
        QCOMPARE(sql("SELECT count(*) FROM item WHERE action='many' AND category='Work'"), "300");
        QCOMPARE(sql("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master "
                     "WHERE type='index' ORDER BY 1)"),
            "item_done,item_due,item_list,item_open");
        QCOMPARE(sql("PRAGMA secure_delete"), sqlite3_compileoption_used("SECURE_DELETE") ? "1" : "0");
        app->enter("dup");
        QCoreApplication::processEvents();
        const QString made = sql("SELECT extra2 FROM item WHERE pk=(SELECT max(pk) FROM item)");
        QVERIFY(!made.isEmpty() && made != "c1");
        // A copy no command asked for goes by title to the first unlinked task.
        putCopy("p9", "Home", "dup");
        c().tasksChangedFromBellet({{"p9"}, {}, {}});
        QCOMPARE(sql("SELECT group_concat(extra2) FROM item WHERE action<>'many'"),
            ",c1,p9," + made);
    }
};

WENDRA_QTEST_MAIN(TestCalendarSync)
#include "tst_CalendarSync.moc"
