// Printed pages end to end: a real database file printed by the real
// "wendra --print-pdf", through the same layout and painting as the print
// dialog's OK, and the PDF read back as text with pdftotext.
#include "DatabaseFile.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

// Exit status (-1 for a crash) and standard error of one run of wendra.
QPair<int, QString> wendra(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(WENDRA_BINARY), arguments);
    process.waitForFinished(120'000);
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {status, QString::fromUtf8(process.readAllStandardError())};
}

// The pages of a PDF as text, each laid out as on paper.
QStringList pagesOf(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    process.waitForFinished(60'000);
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split('\f');
    pages.removeLast(); // each page ends in a form feed
    return pages;
}

void useAsUserDatabase(const TestDatabase &db)
{
    const QString path = DatabaseFile::pathForDBFile();
    QFile::remove(path);
    QFile::copy(db.path(), path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool matches(const QString &text, const QString &pattern)
{
    return QRegularExpression(pattern, QRegularExpression::MultilineOption).match(text).hasMatch();
}

} // namespace

class TestPrintCommand : public QObject
{
    Q_OBJECT

private slots:
    // "All Tasks" with 100 tasks of two lists, some with notes, some dated,
    // one too long for a line, fills three pages of any usual paper. The
    // estimate also counts a heading for each of 40 empty lists and expects
    // four pages: the fourth would be blank, and is not printed.
    void printsEveryPageOfAView()
    {
        TestDatabase db;
        for (const QString list : {"Work", "Errands"})
            db.addList(list);
        for (int i = 0; i < 40; ++i)
            db.addList(QStringLiteral("Someday %1").arg(i));
        // Due 99 and 100 seconds after 1970: no date, and a date.
        const QMap<int, double> due {
            {0, 99}, {1, 100}, {5, QDateTime(QDate(2026, 3, 5), QTime(12, 0)).toSecsSinceEpoch()}};
        QStringList expected;
        for (int i = 0; i < 100; ++i) {
            const QString title = QStringLiteral("Task %1").arg(i, 3, 10, QChar('0'));
            db.addTask(i == 42 ? title + QString(" and a title that goes on").repeated(6) : title,
                i < 60 ? "Work" : "Errands", due.value(i), i);
            expected << (i == 0 ? "Work" : i == 60 ? "Errands" : "") << title;
        }
        expected.removeAll("");
        db.exec("UPDATE item SET notes='Call back\nbefore noon' WHERE manualSort % 10 = 3");
        useAsUserDatabase(db);
        QTemporaryDir out;

        QCOMPARE(wendra({"--print-pdf", out.filePath("t.pdf"), "--view", "All Tasks"}).first, 0);
        const QStringList pages = pagesOf(out.filePath("t.pdf"));
        QCOMPARE(pages.size(), 3);
        const QString text = pages.join('\n');
        QStringList seen;
        auto found = QRegularExpression(
            "^(Work|Errands)$|Task \\d{3}", QRegularExpression::MultilineOption)
                         .globalMatch(text);
        while (found.hasNext())
            seen << found.next().captured();
        QCOMPARE(seen, expected);
        const QString date100 = QDateTime::fromSecsSinceEpoch(100).toString("MM/dd");
        QVERIFY(matches(text, "^o +Task 000$") && matches(text, "^o " + date100 + " +Task 001$"));
        QVERIFY(matches(text, "^o 03/05 +Task 005$"));
        // Notes on one line, indented under their task; a long title wraps
        // under its first word, every word kept.
        QVERIFY(matches(text, "^o +Task 013\n +Call back before noon$"));
        QVERIFY(matches(text, "^o +Task 042 and a title.*\n {7,}\\S"));
        QVERIFY(
            text.simplified().contains(QString(" and a title that goes on").repeated(6) + " o "));
    }

    void oddStates_data()
    {
        QTest::addColumn<int>("lists"); // -1: no database file
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("an empty view prints a blank page")
            << 1 << QStringList {"--print-pdf", "OUT", "--view", "Today"} << 0 << "";
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
        useAsUserDatabase(db);
        if (lists < 0)
            QFile::remove(DatabaseFile::pathForDBFile());
        QTemporaryDir out;
        arguments.replaceInStrings("OUT", out.filePath("t.pdf"));

        const auto [exitStatus, errors] = wendra(arguments);
        QCOMPARE(exitStatus, status);
        QVERIFY2(message.isEmpty() ? !errors.contains("Wendra") : errors.contains(message),
            qPrintable(errors));
        QCOMPARE(pagesOf(out.filePath("t.pdf")).size(), status == 0 ? 1 : 0);
    }
};

WENDRA_QTEST_MAIN(TestPrintCommand)
#include "tst_PrintCommand.moc"
