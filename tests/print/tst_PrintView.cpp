#include "PrintView.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QApplication>
#include <QFontInfo>
#include <QtTest>

namespace {

struct Task
{
    QString list;
    QString title = QStringLiteral("a");
    QString notes = QStringLiteral("");
};
using Tasks = QList<Task>;

// A small sheet reaches page ends in a few tasks: 400 x 200 points with
// 10-point margins, so blocks start at y 10 and must end by 190.
const PrintView::Paper smallSheet {400, 200, 10, 10};

PrintView viewOf(const TestDatabase &db, const Tasks &tasks, int lists = 1)
{
    std::vector<Item> items;
    for (const Task &task : tasks) {
        const int key = db.addTask(task.title, task.list);
        db.exec(QStringLiteral("UPDATE item SET notes='%1' WHERE pk=%2").arg(task.notes).arg(key));
        items.push_back(Item::deferred(key, db.handle()));
    }
    return PrintView(std::move(items), smallSheet, lists);
}

// "H:list@y" for a heading, "T@y+height" for a task line, "N@y+height" for notes.
QStringList placementOf(const PrintView &view)
{
    QStringList placed;
    for (const PrintView::Block &block : view.blocks())
        placed << (block.kind == PrintView::Kind::heading
                ? QStringLiteral("H:%1@%2").arg(block.text).arg(block.rect.y())
                : QStringLiteral("%1@%2+%3")
                      .arg(block.kind == PrintView::Kind::notes ? 'N' : 'T')
                      .arg(block.rect.y())
                      .arg(block.rect.height()));
    return placed;
}

} // namespace

class TestPrintView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qInfo(
            "Helvetica is printed in %s", qPrintable(QFontInfo(PrintView::actionFont()).family()));
    }

    void cleanup() { Item::finalizeStatements(); }

    void placement_data()
    {
        QTest::addColumn<Tasks>("tasks");
        QTest::addColumn<QStringList>("expected");
        const Task work {"Work"};
        QStringList page1 {"H:Work@10"}; // and nine lines under it
        for (int y = 30; y <= 150; y += 15)
            page1 << QStringLiteral("T@%1+15").arg(y);
        QTest::newRow("94 characters are one line, 95 two") << Tasks {{"Work", QString(94, 'i')},
            {"Work", QString(95, 'i')}} << QStringList {"H:Work@10", "T@30+15", "T@45+30"};
        // Six words of fourteen W's are 89 characters, one line by count,
        // but only two of them fit a line at this width in any sans.
        QTest::newRow("a title gets the lines it wraps to")
            << Tasks {{"Work", QStringList(6, QString(14, 'W')).join(' ')}}
            << QStringList {"H:Work@10", "T@30+45"};
        QTest::newRow("notes of 119, 120 and no characters")
            << Tasks {{"Work", "a", QString(119, 'i')}, {"Work", "b", QString(120, 'i')}, work}
            << QStringList {"H:Work@10", "T@30+15", "N@45+10", "T@55+15", "N@70+20", "T@90+15"};
        QTest::newRow("a heading at each run of a list") << Tasks {{"A"}, {"B"},
            {"A"}} << QStringList {"H:A@10", "T@30+15", "H:B@45", "T@65+15", "H:A@80", "T@100+15"};
        QTest::newRow("a heading too near the page end moves on") << Tasks(10, work)
                + Tasks {{"Home"}} << page1 + QStringList {"T@165+15", "H:Home@210", "T@230+15"};
        // The tenth line fits only without the notes line kept free below it.
        QTest::newRow("the notes prompt makes room but prints nothing") << Tasks(9, work)
                + Tasks {{"Work", "a", "Add Notes"}} << page1 + QStringList {"T@210+15"};
        QTest::newRow("no tasks") << Tasks {} << QStringList {};
    }

    void placement()
    {
        QFETCH(Tasks, tasks);
        QFETCH(QStringList, expected);
        TestDatabase db;
        QCOMPARE(placementOf(viewOf(db, tasks)), expected);
    }

    void estimate_data()
    {
        QTest::addColumn<Tasks>("tasks");
        QTest::addColumn<int>("lists");
        QTest::addColumn<int>("pages");
        // 180 usable points a page; 15 a line or heading, 10 a notes line.
        QTest::newRow("no tasks, three lists: a blank page") << Tasks {} << 3 << 1;
        QTest::newRow("no tasks, no lists: nothing") << Tasks {} << 0 << 0;
        QTest::newRow("the notes prompt counts") << Tasks(11, {"A", "a", "Add Notes"}) << 0 << 2;
    }

    void estimate()
    {
        QFETCH(Tasks, tasks);
        QFETCH(int, lists);
        QFETCH(int, pages);
        TestDatabase db;
        QCOMPARE(viewOf(db, tasks, lists).estimatedPageCount(), pages);
    }

    // Six tasks with notes fit a page where the estimate expects seven, so
    // sixty need a page more than estimated; every block stays within the
    // margins of one of the pages counted.
    void everyTaskFitsWhenTheEstimateFallsShort()
    {
        TestDatabase db;
        const PrintView view = viewOf(db, Tasks(60, {"A", "a", "n"}));
        QCOMPARE(view.estimatedPageCount(), 9);
        QCOMPARE(view.pageCount(), 10);
        QCOMPARE(view.blocks().size(), 121);
        for (const PrintView::Block &block : view.blocks()) {
            const QRectF page = view.rectForPage(int(block.rect.y() / smallSheet.height) + 1);
            QVERIFY(
                block.rect.top() >= page.top() + 10 && block.rect.bottom() <= page.bottom() - 10);
            QVERIFY(page.bottom() <= view.pageCount() * smallSheet.height);
        }
    }
};

WENDRA_QTEST_MAIN(TestPrintView)
#include "tst_PrintView.moc"
