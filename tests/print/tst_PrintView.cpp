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
    double due = 0;
};
using Tasks = QList<Task>;

// A small sheet makes page breaks easy to reach: 400 x 200 points with
// 10-point margins, so blocks start at y 10 and must end by 190.
const PrintView::Paper smallSheet {400, 200, 10, 10};

std::vector<Item> itemsOf(const TestDatabase &db, const Tasks &tasks)
{
    std::vector<Item> items;
    for (const Task &task : tasks) {
        const int key = db.addTask(task.title, task.list, task.due);
        QString notes = task.notes;
        db.exec(QStringLiteral("UPDATE item SET notes='%1' WHERE pk=%2")
                    .arg(notes.replace('\'', "''"))
                    .arg(key));
        items.push_back(Item::deferred(key, db.handle()));
    }
    return items;
}

Tasks repeated(int count, const Task &task)
{
    return Tasks(count, task);
}

// "H:list@y" for a heading, "T@y+height" for a task line, "N@y+height" for notes.
QStringList placementOf(const PrintView &view)
{
    QStringList placed;
    for (const PrintView::Block &block : view.blocks()) {
        const QString at = QStringLiteral("@%1+%2").arg(block.rect.y()).arg(block.rect.height());
        switch (block.kind) {
        case PrintView::Kind::heading:
            placed << QStringLiteral("H:%1@%2").arg(block.text).arg(block.rect.y());
            break;
        case PrintView::Kind::taskLine:
            placed << "T" + at;
            break;
        case PrintView::Kind::notes:
            placed << "N" + at;
            break;
        }
    }
    return placed;
}

// Task lines of 15 points, one under the other from y.
QStringList linesFrom(int y, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("T@%1+15").arg(y + 15 * i);
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(Task)

class TestPrintView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Helvetica is asked for; which family stands in for it decides
        // where long titles wrap.
        qInfo("Printed in: %s", qPrintable(QFontInfo(PrintView::actionFont()).family()));
    }

    void cleanup() { Item::finalizeStatements(); }

    void placement_data()
    {
        QTest::addColumn<Tasks>("tasks");
        QTest::addColumn<QStringList>("expected");
        const Task work {"Work"};
        QTest::newRow("a heading below the top margin")
            << Tasks {work} << QStringList {"H:Work@10", "T@30+15"};
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
        QTest::newRow("ten lines fill a page")
            << repeated(10, work) << QStringList {"H:Work@10"} + linesFrom(30, 10);
        QTest::newRow("a heading too near the page end moves on")
            << repeated(10, work) + Tasks {{"Home"}}
            << QStringList {"H:Work@10"} + linesFrom(30, 10)
                + QStringList {"H:Home@210", "T@230+15"};
        // Its notes line is kept free below a task line, so the tenth line
        // no longer fits on the first page.
        QTest::newRow("the notes prompt makes room but prints nothing")
            << repeated(9, work) + Tasks {{"Work", "a", "Add Notes"}}
            << QStringList {"H:Work@10"} + linesFrom(30, 9) + QStringList {"T@210+15"};
        QTest::newRow("no tasks") << Tasks {} << QStringList {};
    }

    void placement()
    {
        QFETCH(Tasks, tasks);
        QFETCH(QStringList, expected);
        TestDatabase db;
        QCOMPARE(placementOf(PrintView(itemsOf(db, tasks), smallSheet, 1)), expected);
    }

    void texts_data()
    {
        QTest::addColumn<Task>("task");
        QTest::addColumn<QStringList>("expected");
        const QString undated = "o " + QString(9, ' ') + "  a";
        const double march5 = QDateTime(QDate(2026, 3, 5), QTime(12, 0)).toSecsSinceEpoch();
        QTest::newRow("no due date: nine spaces") << Task {"Work"} << QStringList {"Work", undated};
        QTest::newRow("99 seconds after 1970 is no date")
            << Task {"Work", "a", "", 99} << QStringList {"Work", undated};
        QTest::newRow("100 seconds after 1970 is a date")
            << Task {"Work", "a", "", 100}
            << QStringList {
                   "Work", "o " + QDateTime::fromSecsSinceEpoch(100).toString("MM/dd") + "  a"};
        QTest::newRow("month and day")
            << Task {"Work", "a", "", march5} << QStringList {"Work", "o 03/05  a"};
        QTest::newRow("notes on one line") << Task {"Work", "a", "one\ntwo\r\nthree"}
                                           << QStringList {"Work", undated, "one two three"};
        QTest::newRow("the notes prompt is not printed")
            << Task {"Work", "a", "Add Notes"} << QStringList {"Work", undated};
    }

    void texts()
    {
        QFETCH(Task, task);
        QFETCH(QStringList, expected);
        TestDatabase db;
        const PrintView view(itemsOf(db, {task}), smallSheet, 1);
        QStringList texts;
        for (const PrintView::Block &block : view.blocks())
            texts << block.text;
        QCOMPARE(texts, expected);
    }

    void estimate_data()
    {
        QTest::addColumn<Tasks>("tasks");
        QTest::addColumn<int>("lists");
        QTest::addColumn<int>("pages");
        // 180 usable points a page; 15 a line or heading, 10 a notes line.
        QTest::newRow("no tasks, three lists: a blank page") << Tasks {} << 3 << 1;
        QTest::newRow("no tasks, no lists: nothing") << Tasks {} << 0 << 0;
        QTest::newRow("12 lines") << repeated(12, {"A"}) << 0 << 1;
        QTest::newRow("95 characters count twice")
            << repeated(12, {"A", QString(95, 'i')}) << 0 << 2;
        QTest::newRow("the notes prompt counts") << repeated(11, {"A", "a", "Add Notes"}) << 0 << 2;
    }

    void estimate()
    {
        QFETCH(Tasks, tasks);
        QFETCH(int, lists);
        QFETCH(int, pages);
        TestDatabase db;
        QCOMPARE(PrintView(itemsOf(db, tasks), smallSheet, lists).estimatedPageCount(), pages);
    }

    // Six tasks with notes fit a page where the estimate expects seven, so
    // sixty of them need a page more than estimated; none may be left out.
    void everyTaskFitsWhenTheEstimateFallsShort()
    {
        TestDatabase db;
        Tasks tasks;
        for (int i = 0; i < 60; ++i)
            tasks << Task {"A", QString::number(i), "n"};
        const PrintView view(itemsOf(db, tasks), smallSheet, 1);
        QCOMPARE(view.estimatedPageCount(), 9);
        QCOMPARE(view.pageCount(), 10);
        QStringList printed;
        for (const PrintView::Block &block : view.blocks()) {
            const QRectF page = view.rectForPage(int(block.rect.y() / smallSheet.height) + 1);
            QVERIFY2(
                block.rect.top() >= page.top() + 10 && block.rect.bottom() <= page.bottom() - 10,
                qPrintable(block.text));
            if (block.kind == PrintView::Kind::taskLine)
                printed << block.text.section(' ', -1);
        }
        QCOMPARE(printed.size(), 60);
        QCOMPARE(printed.last(), "59");
    }
};

WENDRA_QTEST_MAIN(TestPrintView)
#include "tst_PrintView.moc"
