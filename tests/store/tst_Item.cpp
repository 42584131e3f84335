// The records, a task or a list a row each: what they read and write, what they refuse to
// write, and how every query of the file reports a failure.
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

namespace {
// The text fields of a hydrated record, in a fixed order.
QStringList textsOf(const Item &item)
{
    return {item.action(), item.category(), item.notes(), item.timer(), item.importance(),
        item.recCode(), item.oid(), item.running()};
}
} // namespace

class TestItem : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        Item::finalizeStatements();
        Category::finalizeStatements();
    }

    void roundTripKeepsEveryField()
    {
        TestDatabase db;
        Item item = Item::insertNew(db.handle());
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
        // Written and dropped: the next hydrate reads the row again.
        QVERIFY(!item.dirty() && !item.hydrated() && item.category().isNull());

        Item again(item.primaryKey(), db.handle());
        again.hydrate();
        QCOMPARE(textsOf(again),
            QStringList({"Café — ünïcode", "Home", "line 1\nline 2", "t", "3", "W:1:0:8:8:8:8:8:8",
                "uid-1", "0"}));
        QCOMPARE(again.endDate(), due);
        QCOMPARE(again.startDate(), due.addDays(-1));
        QCOMPARE(again.indexSort(), 7);

        // Class-wide statements follow the connection they are used with.
        TestDatabase other;
        other.addTask(QStringLiteral("in other"), QStringLiteral("Home"));
        QCOMPARE(Item(item.primaryKey(), other.handle()).action(), QStringLiteral("in other"));
    }

    // With another connection holding the file past the busy timeout, every
    // read raises: none may pass for a missing row, whose placeholders would
    // be written over the task. A failed write is reported, never passed off
    // as the key of some earlier row. Once the lock is gone the row is intact.
    void lockedFileRaises()
    {
        TestDatabase db;
        const int list = db.addList(QStringLiteral("Home"));
        const int key = db.addTask(QStringLiteral("kept"), QStringLiteral("Home"), 1e9, 3, 1);
        Item(key, db.handle()).hydrate(); // the class-wide statements are prepared
        Category(list, db.handle()).hydrate();
        Item changed(key, db.handle());
        changed.hydrate();
        changed.setNotes(QStringLiteral("changed"));
        const std::pair<const char *, std::function<void()>> reads[] = {
            {"title", [&] { Item(key, db.handle()); }},
            {"deferred title", [&] { Item::deferred(key, db.handle()).action(); }},
            {"fields", [&] { Item::deferred(key, db.handle()).hydrate(); }},
            {"list name", [&] { Category(list, db.handle()); }},
            {"list fields", [&] { Category(list, db.handle()).hydrate(); }},
            {"view keys", [&] { ViewQuery::taskKeys(db.handle(), "Completed", 0); }},
            {"list keys", [&] { ViewQuery::categoryKeysByName(db.handle()); }},
            {"archive", [&] { CompletedArchive::archiveText(db.handle()); }},
            {"clear", [&] { CompletedArchive::clearCompletedTasks(db.handle()); }},
            {"insert", [&] { Item::insertNewItemIntoDatabase(db.handle()); }},
            {"write", [&] { changed.dehydrate(); }},
            {"complete", [&] { changed.complete(); }},
        };
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        for (const auto &[name, read] : reads) {
            try {
                read();
            } catch (const InternalError &) {
                continue;
            }
            QFAIL(name);
        }
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QVERIFY(changed.dirty());
        QCOMPARE(db.value("SELECT action||category||importance||completed||notes||count(*) FROM item")
                     .toString(),
            "keptHome511");
    }

    // NULL columns read as empty texts, never absent ones, and the rec code as "None"; the next
    // write stores them so. A task or list that is gone draws with placeholders, which are never
    // written: not even over a new row that took the same key meanwhile.
    void nullColumnsAndMissingRows()
    {
        TestDatabase db;
        db.exec(QStringLiteral("INSERT INTO item (action) VALUES (NULL)"));
        Item nulls(1, db.handle()), gone(42, db.handle());
        Category goneList(42, db.handle());
        QVERIFY(!nulls.action().isNull());
        QCOMPARE(goneList.name(), QStringLiteral("None"));
        nulls.hydrate();
        gone.hydrate();
        goneList.hydrate();
        QVERIFY(gone.hydrated() && !gone.exists());
        QCOMPARE(textsOf(nulls), QStringList({"", "", "", "", "", "None", "", "0"}));
        QCOMPARE(textsOf(gone), QStringList({"No title", "None", "", "", "1", "None", "", ""}));
        QCOMPARE(goneList.name() + goneList.parent(), QStringLiteral("UnknownUnknown"));
        QCOMPARE(nulls.endDate().toMSecsSinceEpoch(), 0);
        db.exec("INSERT INTO item (pk, action, category) VALUES (42, 'new', 'Work')");
        db.exec("INSERT INTO category (pk, name, parent) VALUES (42, 'new', 'p')");
        nulls.dehydrate();
        gone.dehydrate();
        goneList.dehydrate();
        QCOMPARE(db.value("SELECT typeof(action)||typeof(category)||extra1 FROM item WHERE pk=1")
                     .toString(),
            "texttextNone");
        QCOMPARE(db.value("SELECT action||category FROM item WHERE pk=42").toString(), "newWork");
        QCOMPARE(db.value("SELECT name||parent FROM category").toString(), "newp");
    }

    // A setter marks the record dirty only for a value that differs: absent
    // (a null text, an invalid date) differs from empty and from 1970, the
    // same instant seen in another zone does not. A sort position is always
    // written.
    void setterDirtyRule()
    {
        TestDatabase db;
        const int key = db.addTask(QStringLiteral("Title"), QStringLiteral("Home"));
        const auto dirtyAfter = [&](const std::function<void(Item &)> &change) {
            Item item(key, db.handle()); // texts and dates absent until hydrated
            change(item);
            return item.dirty();
        };
        QVERIFY(!dirtyAfter([](Item &item) { item.setNotes(QString()); }));
        QVERIFY(!dirtyAfter([](Item &item) { item.setAction("Title"); }));
        QVERIFY(!dirtyAfter([](Item &item) { item.setEndDate(QDateTime()); }));
        QVERIFY(dirtyAfter([](Item &item) { item.setNotes(""); }));
        QVERIFY(dirtyAfter([](Item &item) { item.setAction("title"); }));
        QVERIFY(dirtyAfter([](Item &item) { item.setEndDate(QDateTime::fromSecsSinceEpoch(0)); }));
        QVERIFY(dirtyAfter([](Item &item) { item.setIndexSort(0); }));
        const QDateTime local = QDateTime::fromSecsSinceEpoch(1'000'000'000);
        QVERIFY(record::same(local, local.toTimeZone(QTimeZone::utc())));
        QVERIFY(!record::same(local, local.addMSecs(1)));
    }

    // A deferred record reads its title when first asked. A task or list changed without being
    // read would write NULL over every field it never loaded: it is refused, and the row stays
    // as it was for the next writer. New lists, renames and deleting are checked through the
    // list commands.
    void recordsWriteOnlyWhatTheyRead()
    {
        TestDatabase db;
        const int key = db.addTask(QStringLiteral("first"), QStringLiteral("Home"), 1e9, 4);
        Item deferred = Item::deferred(key, db.handle());
        Item unread(key, db.handle());
        Category unreadList(db.addList(QStringLiteral("Home")), db.handle());
        db.exec(QStringLiteral("UPDATE item SET action='second'"));
        unread.setAction(QStringLiteral("new"));
        unreadList.setName(QStringLiteral("Shopping"));
        QVERIFY_THROWS_EXCEPTION(InternalError, unread.dehydrate());
        QVERIFY_THROWS_EXCEPTION(InternalError, unreadList.dehydrate());
        deferred.hydrate();
        deferred.setNotes(QStringLiteral("x"));
        deferred.dehydrate();
        QCOMPARE(
            db.value("SELECT action||notes||category||endDate||manualSort FROM item").toString(),
            "secondxHome1000000000.04");
        QCOMPARE(db.value("SELECT name FROM category").toString(), "Home");
    }
};

WENDRA_QTEST_MAIN(TestItem)
#include "tst_Item.moc"
