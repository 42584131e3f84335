#include "TaskRows.h"
#include "TaskTableModel.h"
#include "TestDatabase.h"
#include "TestHome.h"

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
        QTest::newRow("cached row removed") << "d0-3 r1 d0-8";
        QTest::newRow("evicted row removed") << "d0-9 r0 d8-0";
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

    void restOfTheView_data()
    {
        QTest::addColumn<int>("firstTask"); // of the whole view, when the rest is read
        QTest::addColumn<int>("inserted"); // rows-inserted signals; none: a reset
        QTest::newRow("joins below") << 0 << 1;
        QTest::newRow("a task came first meanwhile") << 5 << 0;
    }

    // The rest of a view read in part joins below the rows shown, so the
    // selection stays; when the file changed in between, it replaces them.
    void restOfTheView()
    {
        QFETCH(int, firstTask);
        QFETCH(int, inserted);
        TestDatabase db;
        QList<int> whole;
        for (int task = 0; task < 6; ++task)
            whole.append(db.addTask(QStringLiteral("task %1").arg(task), "Home"));
        TaskRows rows;
        TaskTableModel model(&rows, [] { return QStringLiteral("Home"); });
        QSignalSpy insertions(&model, &QAbstractItemModel::rowsInserted);
        rows.setFirstKeys(whole.mid(0, 3), db.handle(), [&] { return whole; });
        whole.move(firstTask, 0);
        const QPersistentModelIndex selected = model.index(1, 0);
        rows.readRest();
        QCOMPARE(insertions.size(), inserted);
        QCOMPARE(rows.keys(), whole);
        QCOMPARE(selected.row(), inserted ? 1 : -1);
    }
};

WENDRA_QTEST_CORE_MAIN(TestTaskRows)
#include "tst_TaskRows.moc"
