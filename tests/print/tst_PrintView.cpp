// Printing: the layout of blocks on pages checked directly, and printed pages end to end: a real
// database file printed by the real "wendra --print-pdf", through the same layout and painting
// as the print dialog's OK, and the PDF read back as text with pdftotext.
#include "DatabaseFile.h"
#include "PrintView.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
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

PrintView viewOf(const TestDatabase &db, const Tasks &tasks)
{
    std::vector<Item> items;
    for (const Task &task : tasks) {
        const int key = db.addTask(task.title, task.list);
        db.exec(QStringLiteral("UPDATE item SET notes='%1' WHERE pk=%2").arg(task.notes).arg(key));
        items.push_back(Item::deferred(key, db.handle()));
    }
    return PrintView(std::move(items), smallSheet, 1);
}

// What one run of "wendra --print-pdf" gave.
struct Run
{
    int status; // -1 for a crash
    QString errors;
    QStringList pages; // each as text laid out as on paper
};

// Runs wendra on a copy of db as the user's database (none when db is null),
// with "OUT" in the arguments standing for a PDF in a fresh folder.
Run printed(const TestDatabase *db, QStringList arguments)
{
    const QString path = DatabaseFile::pathForDBFile();
    QFile::remove(path);
    if (db) {
        QFile::copy(db->path(), path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QTemporaryDir out;
    QProcess process;
    process.start(
        QStringLiteral(WENDRA_BINARY), arguments.replaceInStrings("OUT", out.filePath("t.pdf")));
    process.waitForFinished(120'000);
    Run run {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardError()), {}};
    process.start(QStringLiteral("pdftotext"), {"-layout", out.filePath("t.pdf"), "-"});
    process.waitForFinished(60'000);
    run.pages = QString::fromUtf8(process.readAllStandardOutput()).split('\f');
    run.pages.removeLast(); // each page ends in a form feed
    return run;
}

} // namespace

class TestPrintView : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Item::finalizeStatements(); }

    // A title gets the lines it wraps to, whatever its length suggests: six words of fourteen
    // W's are 89 characters, one line by count, but only two words fit a line at this width in
    // any sans. With less room the title would be cut off on paper.
    void titleGetsTheLinesItWrapsTo()
    {
        TestDatabase db;
        const PrintView view = viewOf(db, {{"Work", QStringList(6, QString(14, 'W')).join(' ')}});
        QCOMPARE(view.blocks().at(1).rect.height(), 3 * 15);
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

    // "All Tasks" with 100 tasks of two lists, some with notes, some dated,
    // one too long for a line, fills three pages of any usual paper. The
    // estimate also counts a heading for each of 40 empty lists and expects
    // four pages: the fourth would be blank, and is not printed.
    void printsEveryPageOfAView()
    {
        TestDatabase db;
        for (int i = 0; i < 42; ++i) // the tasks' two and 40 empty lists
            db.addList(QStringLiteral("List %1").arg(i));
        const QMap<int, double> due {
            {0, 99}, {1, 100}, {5, QDateTime(QDate(2026, 3, 5), QTime(12, 0)).toSecsSinceEpoch()}};
        QStringList expected;
        for (int i = 0; i < 100; ++i) {
            const QString title = QStringLiteral("Task %1").arg(i, 3, 10, QChar('0'));
            db.addTask(i == 42 ? title + QString(" and a title that goes on").repeated(6) : title,
                i < 60 ? "Work" : "Errands", due.value(i), i);
            if (i % 60 == 0)
                expected << (i ? "Errands" : "Work");
            expected << title;
        }
        db.exec("UPDATE item SET notes='Call back\nbefore noon' WHERE manualSort % 10 = 3");

        const Run run = printed(&db, {"--print-pdf", "OUT", "--view", "All Tasks"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.pages.size(), 3);
        const QString text = run.pages.join('\n');
        // Every heading and task, in order, once.
        QStringList seen
            = text.split('\n').filter(QRegularExpression("^(Work|Errands)$|Task \\d{3}"));
        QCOMPARE(seen.replaceInStrings(QRegularExpression(".*(Task \\d{3}).*"), "\\1"), expected);
        // Due 99 seconds after 1970 is no date; notes go on one line,
        // indented under their task; a long title wraps under its first word.
        const QString date100 = QDateTime::fromSecsSinceEpoch(100).toString("MM/dd");
        for (const QString &line :
            QStringList {"^o +Task 000$", "^o " + date100 + " +Task 001$", "^o 03/05 +Task 005$",
                "^o +Task 013\n +Call back before noon$", "^o +Task 042 and a title.*\n {7,}\\S"})
            QVERIFY2(text.contains(QRegularExpression(line, QRegularExpression::MultilineOption)),
                qPrintable(line));
        // Every word of the long title is kept.
        QVERIFY(
            text.simplified().contains(QString(" and a title that goes on").repeated(6) + " o "));
    }

    void oddStates_data()
    {
        QTest::addColumn<int>("lists"); // -1: no database file
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        // A view with no tasks prints a blank page, as here with no lists at all.
        QTest::newRow("no lists at all") << 0 << QStringList {"--print-pdf", "OUT"} << 0 << "";
        QTest::newRow("no database file")
            << -1 << QStringList {"--print-pdf", "OUT"} << 1 << "Failed to open database";
        QTest::newRow("a folder that is not there")
            << 1 << QStringList {"--print-pdf", "/nonexistent/t.pdf"} << 1
            << "cannot write /nonexistent/t.pdf";
        QTest::newRow("no such view")
            << 1 << QStringList {"--print-pdf", "OUT", "--view", "Nowhere"} << 1
            << "no list or view named \"Nowhere\"";
    }

    void oddStates()
    {
        QFETCH(int, lists);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        TestDatabase db;
        for (int i = 0; i < lists; ++i)
            db.addList(QStringLiteral("List %1").arg(i));
        const Run run = printed(lists < 0 ? nullptr : &db, arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(message.isEmpty() ? !run.errors.contains("Wendra") : run.errors.contains(message),
            qPrintable(run.errors));
        QCOMPARE(run.pages.size(), status == 0 ? 1 : 0);
    }
};

WENDRA_QTEST_MAIN(TestPrintView)
#include "tst_PrintView.moc"
