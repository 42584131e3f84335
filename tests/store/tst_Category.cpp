#include "Category.h"
#include "InternalError.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QApplication>
#include <QtTest>

class TestCategory : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Category::finalizeStatements(); }

    // A list that is gone draws with placeholders, which are never written:
    // not even over a new row that took the same key meanwhile.
    void missingRowGivesPlaceholders()
    {
        TestDatabase db;
        Category list(99, db.handle());
        QCOMPARE(list.name(), QStringLiteral("None"));
        list.hydrate();
        QCOMPARE(list.name() + list.parent(), QStringLiteral("UnknownUnknown"));
        db.exec("INSERT INTO category (pk, name, parent) VALUES (99, 'new', 'p')");
        list.dehydrate();
        QCOMPARE(db.value("SELECT name||parent FROM category").toString(), "newp");
    }

    // A rename writes the name and keeps the row's other columns and the
    // tasks filed under the old name; a list changed unread is refused.
    void newListAndRenameKeepTasks()
    {
        TestDatabase db;
        const int key = Category::insertNewCategoryIntoDatabase(db.handle());
        db.exec("UPDATE category SET parent='kept'");
        db.addTask(QStringLiteral("milk"), QStringLiteral("Errands"));
        Category list(key, db.handle());
        QCOMPARE(list.name(), QStringLiteral(""));
        list.setName(QStringLiteral("")); // the same name is no change
        QVERIFY(!list.dirty());
        list.setName(QStringLiteral("Errands"));
        QVERIFY_THROWS_EXCEPTION(InternalError, list.dehydrate());
        list.hydrate();
        list.setName(QStringLiteral("Shopping"));
        list.dehydrate();
        QCOMPARE(db.value("SELECT name||parent FROM category").toString(), "Shoppingkept");
        QCOMPARE(db.value("SELECT category FROM item").toString(), QStringLiteral("Errands"));

        list.deleteFromDatabase();
        QCOMPARE(db.value("SELECT count(*) FROM category").toInt(), 0);
        QCOMPARE(db.value("SELECT count(*) FROM item").toInt(), 1);
    }
};

WENDRA_QTEST_MAIN(TestCategory)
#include "tst_Category.moc"
