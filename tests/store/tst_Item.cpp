#include "InternalError.h"
#include "Item.h"
#include "RecordField.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QApplication>
#include <QtTest>

class TestItem : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Item::finalizeStatements(); }

    void roundTripKeepsEveryField()
    {
        TestDatabase db;
        const int key = Item::insertNewItemIntoDatabase(db.handle());
        const QDateTime due = QDateTime::fromMSecsSinceEpoch(1'700'000'000'250LL);
        Item item(key, db.handle());
        item.setAction("Café — ünïcode");
        item.setCategory("Home");
        item.setNotes("line 1\nline 2");
        item.setTimer("t");
        item.setEndDate(due);
        item.setStartDate(due.addDays(-1));
        item.setImportance("3");
        item.setIndexSort(7);
        item.setRecCode("W:1:0:8:8:8:8:8:8");
        item.setOid("uid-1");
        item.dehydrate();
        // Written and dropped: only the title and the position stay loaded.
        QVERIFY(!item.dirty() && !item.hydrated() && item.category().isNull());
        QCOMPARE(item.action(), "Café — ünïcode");

        Item again(key, db.handle());
        again.hydrate();
        QCOMPARE(QStringList({again.action(), again.category(), again.notes(), again.timer(),
                              again.importance(), again.recCode(), again.oid(), again.running()}),
                 QStringList({"Café — ünïcode", "Home", "line 1\nline 2", "t", "3",
                              "W:1:0:8:8:8:8:8:8", "uid-1", "0"}));
        QCOMPARE(again.endDate(), due);
        QCOMPARE(again.startDate(), due.addDays(-1));
        QCOMPARE(again.indexSort(), 7);
    }

    // The reason records must be hydrated before they are changed.
    void dehydrateWithoutHydrateWritesNulls()
    {
        TestDatabase db;
        const int key = db.addTask(QStringLiteral("old"), QStringLiteral("Home"), 1e9, 4);
        Item item(key, db.handle());
        item.setAction(QStringLiteral("new"));
        item.dehydrate();
        const QString row = QStringLiteral("FROM item WHERE pk=%1").arg(key);
        QCOMPARE(db.value("SELECT action " + row).toString(), QStringLiteral("new"));
        for (const char *column : {"category", "notes", "timer", "importance", "extra1", "extra2"})
            QVERIFY2(db.value(QStringLiteral("SELECT %1 ").arg(column) + row).isNull(), column);
        QCOMPARE(db.value("SELECT endDate " + row).toDouble(), 0.0);
        QCOMPARE(db.value("SELECT startDate " + row).toDouble(), 0.0);
        QCOMPARE(db.value("SELECT manualSort " + row).toInt(), 0);
    }

    void nullColumnsReadAsDefaults()
    {
        TestDatabase db;
        db.exec(QStringLiteral("INSERT INTO item (action) VALUES (NULL)"));
        Item item(1, db.handle());
        QCOMPARE(item.action(), QStringLiteral(""));
        QVERIFY(!item.action().isNull());
        item.hydrate();
        QCOMPARE(item.recCode(), QStringLiteral("None"));
        QCOMPARE(item.oid(), QStringLiteral(""));
        QVERIFY(!item.category().isNull());
        QCOMPARE(item.endDate().toMSecsSinceEpoch(), 0);
        QCOMPARE(item.running(), QStringLiteral("0"));
        // Hydrating marks the record dirty, so the next dehydrate normalises
        // the row: a NULL rec code is stored as "None".
        QVERIFY(item.dirty());
        item.dehydrate();
        QCOMPARE(db.value("SELECT extra1 FROM item").toString(), QStringLiteral("None"));
        QCOMPARE(db.value("SELECT category FROM item").toString(), QStringLiteral(""));
    }

    void missingRowGivesDefaults()
    {
        TestDatabase db;
        Item item(42, db.handle());
        QCOMPARE(item.action(), QStringLiteral("No title"));
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        item.hydrate();
        QVERIFY(item.hydrated());
        QCOMPARE(item.category(), QStringLiteral("None"));
        QCOMPARE(item.importance(), QStringLiteral("1"));
        QCOMPARE(item.recCode(), QStringLiteral("None"));
        QCOMPARE(item.running(), QStringLiteral(""));
        QVERIFY(item.endDate() >= before && item.endDate() <= QDateTime::currentDateTime());
        QCOMPARE(item.startDate(), item.endDate());
    }

    void setterDirtyRule_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("dirty");
        // The record under test is freshly dehydrated: texts absent, dates absent.
        QTest::newRow("absent text stays absent") << "notes" << QVariant(QString()) << false;
        QTest::newRow("absent to empty text") << "notes" << QVariant(QStringLiteral("")) << true;
        QTest::newRow("title unchanged") << "action" << QVariant(QStringLiteral("Title")) << false;
        QTest::newRow("title changed") << "action" << QVariant(QStringLiteral("title")) << true;
        QTest::newRow("absent date stays absent") << "endDate" << QVariant(QDateTime()) << false;
        QTest::newRow("absent to a date") << "endDate" << QVariant(QDateTime::fromSecsSinceEpoch(0))
                                          << true;
        QTest::newRow("same sort position") << "indexSort" << QVariant(0) << true;
    }

    void setterDirtyRule()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(bool, dirty);
        TestDatabase db;
        Item item(db.addTask(QStringLiteral("Title"), QStringLiteral("Home")), db.handle());
        QVERIFY(!item.dirty());
        if (field == QLatin1String("notes"))
            item.setNotes(value.toString());
        else if (field == QLatin1String("action"))
            item.setAction(value.toString());
        else if (field == QLatin1String("endDate"))
            item.setEndDate(value.toDateTime());
        else
            item.setIndexSort(value.toInt());
        QCOMPARE(item.dirty(), dirty);
    }

    // The same instant seen in another time zone is no change; absent and
    // the 1970 instant are different values.
    void sameInstantIsNotAChange()
    {
        const QDateTime local = QDateTime::fromSecsSinceEpoch(1'000'000'000);
        QVERIFY(record::same(local, local.toTimeZone(QTimeZone::utc())));
        QVERIFY(!record::same(local, local.addMSecs(1)));
        QVERIFY(!record::same(QDateTime(), QDateTime::fromSecsSinceEpoch(0)));
        QVERIFY(record::same(QDateTime(), QDateTime()));
        QVERIFY(!record::same(QString(), QStringLiteral("")));
    }

    void completeThenUncomplete()
    {
        TestDatabase db;
        const int key = db.addTask(QStringLiteral("t"), QStringLiteral("Home"));
        Item item(key, db.handle());
        const double before = QDateTime::currentMSecsSinceEpoch() / 1000.0;
        item.complete();
        QCOMPARE(db.value("SELECT completed FROM item").toInt(), 1);
        const double stamped = db.value("SELECT startDate FROM item").toDouble();
        QVERIFY(stamped >= before - 0.001 && stamped < before + 5);
        item.unComplete();
        QCOMPARE(db.value("SELECT completed FROM item").toInt(), 0);
        QCOMPARE(db.value("SELECT startDate FROM item").toDouble(), stamped);
        item.deleteFromDatabase();
        QCOMPARE(db.value("SELECT count(*) FROM item").toInt(), 0);
    }

    void deferredRecordReadsTitleOnDemand()
    {
        TestDatabase db;
        const int key = db.addTask(QStringLiteral("first"), QStringLiteral("Home"));
        Item item = Item::deferred(key, db.handle());
        db.exec(QStringLiteral("UPDATE item SET action='second'"));
        QCOMPARE(item.action(), QStringLiteral("second"));
        // A deferred record that is hydrated and written keeps its title.
        Item other = Item::deferred(key, db.handle());
        other.hydrate();
        other.setNotes(QStringLiteral("x"));
        other.dehydrate();
        QCOMPARE(db.value("SELECT action FROM item").toString(), QStringLiteral("second"));
    }

    // A failed write must be reported, never passed off as the key of
    // some earlier row.
    void writesToReadOnlyDatabaseRaise()
    {
        TestDatabase db;
        const int key = db.addTask(QStringLiteral("t"), QStringLiteral("Home"));
        sqlite3 *readOnly = nullptr;
        QCOMPARE(sqlite3_open_v2(db.path().toUtf8().constData(), &readOnly, SQLITE_OPEN_READONLY,
                                 nullptr),
                 SQLITE_OK);
        QVERIFY_THROWS_EXCEPTION(InternalError, Item::insertNewItemIntoDatabase(readOnly));
        Item item(key, readOnly);
        item.hydrate();
        item.setNotes(QStringLiteral("changed"));
        try {
            item.dehydrate();
            QFAIL("dehydrate on a read-only database did not raise");
        } catch (const InternalError &error) {
            QVERIFY(error.description().startsWith("Error: failed to dehydrate with message '"));
        }
        QVERIFY(item.dirty());
        QVERIFY_THROWS_EXCEPTION(InternalError, item.complete());
        Item::finalizeStatements();
        sqlite3_close(readOnly);
        QCOMPARE(db.value("SELECT notes FROM item").toString(), QStringLiteral(""));
    }

    // Class-wide statements follow the connection they are used with.
    void secondConnectionGetsItsOwnStatements()
    {
        TestDatabase first, second;
        first.addTask(QStringLiteral("in first"), QStringLiteral("Home"));
        second.addTask(QStringLiteral("in second"), QStringLiteral("Home"));
        QCOMPARE(Item(1, first.handle()).action(), QStringLiteral("in first"));
        QCOMPARE(Item(1, second.handle()).action(), QStringLiteral("in second"));
    }
};

WENDRA_QTEST_MAIN(TestItem)
#include "tst_Item.moc"
