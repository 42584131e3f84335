#include "InternalError.h"
#include "TaskRows.h"
#include "TaskTableModel.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QAbstractItemModelTester>
#include <QtTest>

// However rows are drawn, moved and removed, and however often the cache of
// records overflows, a row draws its own task as the file last had it when
// the view was read.
class TestTaskRows : public QObject
{
    Q_OBJECT

private slots:
    void rowsDrawTheirOwnTask_data()
    {
        // Steps: "d2-5" draws rows 2 to 5, "m9>0" moves row 9 to row 0, "r1"
        // removes row 1, "u" retitles every task in the file and reads the
        // view's keys again.
        QTest::addColumn<QString>("steps");
        QTest::newRow("scrolled past the cache and back") << "d0-9 d9-0 d0-9";
        QTest::newRow("drawn, last moved to top") << "d0-9 m9>0 d0-9";
        QTest::newRow("drawn, first moved to bottom") << "d0-3 m0>9 d0-9";
        QTest::newRow("cached row removed") << "d0-3 r1 d0-8";
        QTest::newRow("evicted row removed") << "d0-9 r0 d8-0";
        QTest::newRow("moved, then removed") << "d0-9 m2>7 r7 d0-8";
        QTest::newRow("file changed, view read again") << "d0-3 u d0-9";
    }

    void rowsDrawTheirOwnTask()
    {
        QFETCH(QString, steps);
        TestDatabase db;
        QList<int> keys;
        for (int task = 0; task < 10; ++task)
            keys.append(db.addTask(QStringLiteral("task %1").arg(task), "Home"));
        TaskRows rows(4);
        rows.setKeys(keys, db.handle());
        const auto draw = [&](int row) {
            Item *record = rows.record(row);
            QVERIFY(record);
            QCOMPARE(record->primaryKey(), keys.at(row));
            QCOMPARE(record->action(),
                     db.value(QStringLiteral("SELECT action FROM item WHERE pk=%1").arg(keys.at(row))));
            QVERIFY(rows.cachedRecords() <= 4);
        };
        for (const QString &step : steps.split(' ')) {
            const QStringList numbers = step.mid(1).split(QRegularExpression("[->]"));
            const int a = numbers.first().toInt(), b = numbers.last().toInt();
            switch (step.at(0).toLatin1()) {
            case 'd':
                for (int row = a; row != b + (a <= b ? 1 : -1); row += a <= b ? 1 : -1)
                    draw(row);
                break;
            case 'm':
                rows.move(a, b);
                keys.move(a, b);
                break;
            case 'r':
                rows.remove(a);
                keys.removeAt(a);
                break;
            case 'u':
                db.exec("UPDATE item SET action = action || ' (changed)'");
                rows.setKeys(keys, db.handle());
                break;
            }
        }
        QCOMPARE(rows.keys(), keys);
        QVERIFY(!rows.record(-1));
        QVERIFY(!rows.record(rows.size()));
    }

    void restOfAViewReadInPart_data()
    {
        // Tasks 0 to 2 are read first. whole: the view when the rest is read
        // ("fail" first: that read fails once); need: what asks for the rest;
        // joined: the rows the table is told join ("all": every row replaced).
        QTest::addColumn<QString>("whole");
        QTest::addColumn<QString>("need");
        QTest::addColumn<QString>("joined");
        QTest::newRow("rest joins below") << "0 1 2 3 4 5" << "after first frame" << "3-5";
        QTest::newRow("nothing more") << "0 1 2" << "size" << "";
        QTest::newRow("a first row gone meanwhile") << "0 2 3" << "keys" << "all";
        QTest::newRow("a task came first meanwhile") << "5 0 1 2" << "size" << "all";
        QTest::newRow("move") << "0 1 2 3 4" << "move" << "3-4";
        QTest::newRow("removal") << "0 1 2 3 4" << "remove" << "3-4";
        QTest::newRow("read fails, then works") << "fail 0 1 2 3" << "size" << "3-3";
        QTest::newRow("drop below the rows shown, read fails first")
            << "fail 0 1 2 3 4" << "drop" << "3-4";
    }

    // The rows read first stay on screen, selected and drawn, while the rest
    // joins below them; nothing that needs the whole view sees less of it.
    void restOfAViewReadInPart()
    {
        QFETCH(QString, whole);
        QFETCH(QString, need);
        QFETCH(QString, joined);
        TestDatabase db;
        QList<int> tasks;
        for (int task = 0; task < 6; ++task)
            tasks.append(db.addTask(QStringLiteral("task %1").arg(task), "Home"));
        QList<int> view;
        for (const QString &number : QString(whole).remove("fail").split(' ', Qt::SkipEmptyParts))
            view.append(tasks.at(number.toInt()));
        bool fail = whole.startsWith("fail");
        TaskRows rows;
        TaskTableModel model(&rows, [] { return QStringLiteral("Home"); });
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList told;
        connect(&model, &QAbstractItemModel::rowsInserted, this,
                [&](const QModelIndex &, int first, int last) {
                    told << QStringLiteral("%1-%2").arg(first).arg(last);
                });
        connect(&model, &QAbstractItemModel::modelReset, this, [&] { told << "all"; });

        rows.setFirstKeys(tasks.mid(0, 3), db.handle(), [&] {
            if (std::exchange(fail, false))
                throw InternalError(QStringLiteral("locked"));
            return view;
        });
        for (int row = 0; row < 3; ++row)
            QCOMPARE(model.data(model.index(row, TaskTableModel::firstColumn), Qt::DisplayRole),
                     QStringLiteral("task %1").arg(row));
        const QPersistentModelIndex selected = model.index(1, TaskTableModel::firstColumn);
        QSignalSpy dropped(&model, &TaskTableModel::rowDropped);
        const auto act = [&] {
            if (need == "after first frame")
                rows.readRest();
            else if (need == "size")
                rows.size();
            else if (need == "keys")
                rows.keys();
            else if (need == "move")
                rows.move(0, 4);
            else if (need == "remove")
                rows.remove(4);
            QMimeData data;
            data.setData(TaskTableModel::dragType, "0");
            if (need == "drop")
                model.dropMimeData(&data, Qt::MoveAction, -1, -1, {});
        };
        if (whole.startsWith("fail")) {
            // Told, and nothing changes: the rest is still to be read.
            if (need == "drop") {
                act();
                QCOMPARE(model.takeReadFailure(), "locked");
            } else {
                QVERIFY_THROWS_EXCEPTION(InternalError, act());
            }
            QCOMPARE(model.rowCount(), 3);
            QVERIFY(rows.hasRest() && dropped.isEmpty());
        }
        act();
        if (need == "move")
            view.move(0, 4);
        if (need == "remove")
            view.removeAt(4);
        if (need == "drop")
            QCOMPARE(dropped.value(0).value(1).toInt(), view.size());
        QCOMPARE(told.join(' '), joined);
        QVERIFY(!rows.hasRest());
        QCOMPARE(rows.keys(), view);
        QCOMPARE(model.rowCount(), view.size());
        // Selection and drawn records survive a join, not a replacement.
        QCOMPARE(selected.row(), joined == "all" ? -1 : 1);
        QCOMPARE(rows.cachedRecords() >= 3, joined != "all");
    }
};

WENDRA_QTEST_CORE_MAIN(TestTaskRows)
#include "tst_TaskRows.moc"
