#include "Category.h"
#include "CompletedArchive.h"
#include "InternalError.h"
#include "Item.h"
#include "RecordField.h"
#include "TestDatabase.h"
#include "TestHome.h"
#include "ViewQuery.h"

#include <QApplication>
#include <QtTest>
#include <functional>

class TestItem : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Item::finalizeStatements(); }

    void roundTripKeepsEveryField()
    {
        TestDatabase db;
        Item item = Item::insertNew(db.handle());
        const int key = item.primaryKey();
        const QDateTime due = QDateTime::fromMSecsSinceEpoch(1'700'000'000'250LL);
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

    // A record changed without being read would write NULL over every field
    // it never loaded: it is refused and the row stays as it was.
    void changingUnreadRecordIsRefused()
    {
        TestDatabase db;
        const int key = db.addTask(QStringLiteral("old"), QStringLiteral("Home"), 1e9, 4);
        Item item(key, db.handle());
        item.setAction(QStringLiteral("new"));
        QVERIFY_THROWS_EXCEPTION(InternalError, item.dehydrate());
        QCOMPARE(db.value("SELECT action||category||endDate||manualSort FROM item").toString(),
                 "oldHome1000000000.04");
    }

    // With another connection holding the file past the busy timeout, every
    // read raises: none may pass for a missing row, whose placeholders would
    // be written over the task. Once the lock is gone the row is intact.
    void readsThatFailRaise()
    {
        TestDatabase db;
        const int list = db.addList(QStringLiteral("Home"));
        const int key = db.addTask(QStringLiteral("kept"), QStringLiteral("Home"), 1e9, 3, 1);
        Item(key, db.handle()).hydrate(); // the class-wide statements are prepared
        Category(list, db.handle()).hydrate();
        const std::pair<const char *, std::function<void()>> reads[] = {
            {"title", [&] { Item(key, db.handle()); }},
            {"deferred title", [&] { Item::deferred(key, db.handle()).action(); }},
            {"fields", [&] { Item::deferred(key, db.handle()).hydrate(); }},
            {"list name", [&] { Category(list, db.handle()); }},
            {"list fields",
             [&] {
                 Category category(list, db.handle());
                 category.hydrate();
             }},
            {"view keys", [&] { ViewQuery::taskKeys(db.handle(), "Completed", 0); }},
            {"list keys", [&] { ViewQuery::categoryKeysByName(db.handle()); }},
            {"archive", [&] { CompletedArchive::archiveText(db.handle()); }},
            {"clear", [&] { CompletedArchive::clearCompletedTasks(db.handle()); }},
        };
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        for (const auto &[name, read] : reads) {
            bool raised = false;
            try {
                read();
            } catch (const InternalError &) {
                raised = true;
            }
            QVERIFY2(raised, name);
        }
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(db.value("SELECT action||category||importance||completed FROM item").toString(),
                 "keptHome51");
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

    // A row that is gone draws with placeholders, which are never written:
    // not even over a new row that took the same key meanwhile.
    void missingRowGivesDefaults()
    {
        TestDatabase db;
        Item item(42, db.handle());
        QCOMPARE(item.action(), QStringLiteral("No title"));
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        item.hydrate();
        QVERIFY(item.hydrated() && !item.exists());
        QCOMPARE(QStringList({item.category(), item.importance(), item.recCode(), item.running()}),
                 QStringList({"None", "1", "None", ""}));
        QVERIFY(item.endDate() >= before && item.endDate() <= QDateTime::currentDateTime());
        QCOMPARE(item.startDate(), item.endDate());
        db.exec("INSERT INTO item (pk, action, category) VALUES (42, 'new', 'Work')");
        item.dehydrate();
        QCOMPARE(db.value("SELECT action||category FROM item").toString(), "newWork");
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
