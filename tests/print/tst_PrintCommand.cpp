// The printed pages end to end: a real database in the test's home, the real
// "wendra --print-pdf", and the PDF read back as text with pdftotext.
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

// The pages of a PDF as text, each laid out as it is on paper.
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
    QVERIFY(QFile::copy(db.path(), path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

class TestPrintCommand : public QObject
{
    Q_OBJECT

private slots:
    // Two lists mixed in "All Tasks": 100 tasks, some with notes, one dated,
    // one too long for a line, fill three pages of any usual paper. The
    // estimate counts a heading for each of 40 empty lists too and expects
    // four pages: the fourth would be blank, and is not printed.
    void printsEveryPageOfAView()
    {
        TestDatabase db;
        db.addList("Work");
        db.addList("Errands");
        for (int i = 0; i < 40; ++i)
            db.addList(QStringLiteral("Someday %1").arg(i));
        const double march5 = QDateTime(QDate(2026, 3, 5), QTime(12, 0)).toSecsSinceEpoch();
        for (int i = 0; i < 100; ++i) {
            QString title = QStringLiteral("Task %1").arg(i, 3, 10, QChar('0'));
            if (i == 42)
                title += QString(" and a title that goes on").repeated(6);
            db.addTask(title, i < 60 ? "Work" : "Errands", i == 5 ? march5 : 0.0, i);
        }
        db.exec("UPDATE item SET notes='Call back\nbefore noon' WHERE manualSort % 10 = 3");
        useAsUserDatabase(db);
        QTemporaryDir out;
        const QString pdf = out.filePath("tasks.pdf");

        const auto [status, errors] = wendra({"--print-pdf", pdf, "--view", "All Tasks"});
        QCOMPARE(status, 0);
        const QStringList pages = pagesOf(pdf);
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages.first().trimmed().section('\n', 0, 0), "Work");

        QStringList headings, order;
        const QStringList lines = pages.join('\n').split('\n');
        const QRegularExpression task("Task (\\d{3})");
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &line = lines[i];
            if (line == "Work" || line == "Errands")
                headings << line;
            if (const auto match = task.match(line); match.hasMatch())
                order << match.captured(1);
            // Notes are indented under their own task, on one line.
            if (line.contains("Call back"))
                QVERIFY2(line.startsWith("   ") && line.trimmed() == "Call back before noon"
                        && lines[i - 1].startsWith("o ") && lines[i - 1].endsWith("3"),
                    qPrintable(lines[i - 1] + '\n' + line));
        }
        QCOMPARE(headings, QStringList({"Work", "Errands"}));
        QCOMPARE(order.size(), 100);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(order[i].toInt(), i);
        QVERIFY(lines.contains(QRegularExpression("^o +Task 000$")));
        QVERIFY(lines.contains(QRegularExpression("^o 03/05 +Task 005$")));
        // The long title wraps onto lines of its own, every word kept, each
        // lined up under the title rather than under the mark.
        const qsizetype long42 = lines.indexOf(QRegularExpression("^o +Task 042 .*"));
        QVERIFY(lines.value(long42 + 1).startsWith("       "));
        QVERIFY(pages.join(' ').simplified().contains(
            "Task 042" + QString(" and a title that goes on").repeated(6) + " o "));
    }

    void oddStates_data()
    {
        QTest::addColumn<int>("lists");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString pdf = "OUT";
        QTest::newRow("an empty view prints a blank page")
            << 1 << QStringList {"--print-pdf", pdf, "--view", "Today"} << 0 << "";
        QTest::newRow("no lists at all") << 0 << QStringList {"--print-pdf", pdf} << 0 << "";
        QTest::newRow("no database file")
            << -1 << QStringList {"--print-pdf", pdf} << 1 << "Failed to open database";
        QTest::newRow("a folder that is not there")
            << 1 << QStringList {"--print-pdf", "/nonexistent/tasks.pdf"} << 1
            << "cannot write /nonexistent/tasks.pdf";
        QTest::newRow("no such view") << 1 << QStringList {"--print-pdf", pdf, "--view", "Nowhere"}
                                      << 1 << "no list or view named \"Nowhere\"";
        QTest::newRow("no file named") << 1 << QStringList {"--print-pdf"} << 1 << "Usage:";
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
        if (lists >= 0)
            useAsUserDatabase(db);
        else
            QFile::remove(DatabaseFile::pathForDBFile());
        QTemporaryDir out;
        const QString pdf = out.filePath("tasks.pdf");
        arguments.replaceInStrings("OUT", pdf);

        const auto [exitStatus, errors] = wendra(arguments);
        QCOMPARE(exitStatus, status);
        QVERIFY2(message.isEmpty() ? !errors.contains("Wendra") : errors.contains(message),
            qPrintable(errors));
        QCOMPARE(pagesOf(pdf).size(), status == 0 ? 1 : 0);
    }
};

WENDRA_QTEST_MAIN(TestPrintCommand)
#include "tst_PrintCommand.moc"
