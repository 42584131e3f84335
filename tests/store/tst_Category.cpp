#include "InternalError.h"
#include "Category.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QApplication>
#include <QtTest>

class TestCategory : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Category::finalizeStatements(); }

    void missingRow()
    {
        TestDatabase db;
        Category list(99, db.handle());
        QCOMPARE(list.name(), QStringLiteral("None"));
        list.hydrate();
        QCOMPARE(list.name(), QStringLiteral("Unknown"));
        QCOMPARE(list.parent(), QStringLiteral("Unknown"));
    }

    // A rename writes the name and keeps the row's other columns and the
    // tasks filed under the old name; a list changed unread is refused.
    void newListAndRenameKeepTasks()
    {
        TestDatabase db;
        const int key = Category::insertNewCategoryIntoDatabase(db.handle());
        QCOMPARE(db.value("SELECT name FROM category").toString(), QStringLiteral(""));
        db.exec("UPDATE category SET parent='kept'");
        db.addTask(QStringLiteral("milk"), QStringLiteral("Errands"));
        Category list(key, db.handle());
        list.setName(QStringLiteral("Errands"));
        QVERIFY_THROWS_EXCEPTION(InternalError, list.dehydrate());
        list.hydrate();
        list.setName(QStringLiteral("Shopping"));
        list.dehydrate();
        QVERIFY(list.name().isNull());
        QCOMPARE(db.value("SELECT name||parent FROM category").toString(), "Shoppingkept");
        QCOMPARE(db.value("SELECT category FROM item").toString(), QStringLiteral("Errands"));

        list.deleteFromDatabase();
        QCOMPARE(db.value("SELECT count(*) FROM category").toInt(), 0);
        QCOMPARE(db.value("SELECT count(*) FROM item").toInt(), 1);
    }

    void dirtyRule()
    {
        TestDatabase db;
        Category list(db.addList(QStringLiteral("Home")), db.handle());
        list.setName(QStringLiteral("Home"));
        QVERIFY(!list.dirty());
        list.hydrate();
        QVERIFY(list.dirty()); // parent NULL -> "" goes through the setter
        list.dehydrate();
        QVERIFY(!list.dirty());
        QCOMPARE(db.value("SELECT parent FROM category").toString(), QStringLiteral(""));
    }
};

WENDRA_QTEST_MAIN(TestCategory)
#include "tst_Category.moc"
