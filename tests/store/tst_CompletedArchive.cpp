#include "CompletedArchive.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QApplication>
#include <QtTest>
#include <ctime>

class TestCompletedArchive : public QObject
{
    Q_OBJECT

private slots:
    // Other tools split these lines at every comma: no quoting, no header,
    // dates with their own offset (winter, summer, and 0.0 for no due date),
    // oldest due date first whatever the check-off order, open tasks left out.
    void linesAsOtherToolsReadThem()
    {
        qputenv("TZ", "America/New_York");
        tzset();
        TestDatabase db;
        db.exec("INSERT INTO item (action, category, startDate, endDate, notes, importance, "
                "completed) VALUES "
                "('café, croissant', 'Home', 0.0, 1.69e9, 'two\nlines', '3', 1),"
                "('first due', NULL, 1.7e9, 0.0, NULL, NULL, 1),"
                "('still open', 'Home', 0.0, 0.0, '', '1', 0)");
        const QString text = CompletedArchive::archiveText(db.handle());
        QCOMPARE(text,
            QStringLiteral("first due,,2023-11-14 17:13:20 -0500,1969-12-31 19:00:00 -0500,,\n"
                           "café, croissant,Home,1969-12-31 19:00:00 -0500,2023-07-22 00:26:40 "
                           "-0400,two\nlines,3\n"));

        const std::optional<QByteArray> bytes = CompletedArchive::toMacRoman(text);
        QVERIFY(bytes && bytes->contains(QByteArray("caf\x8e, croissant")));
        QCOMPARE(bytes->size(), text.size());
        // Text without a Mac OS Roman form must not pass for an archive.
        QVERIFY(!CompletedArchive::toMacRoman(QStringLiteral("plan 日本 trip")));
    }

    void appendsAndReportsFailure()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("archive.txt");
        QString error;
        QVERIFY(CompletedArchive::appendToFile(path, "one\n", &error));
        QVERIFY(CompletedArchive::appendToFile(path, "two\n", &error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("one\ntwo\n"));

        QVERIFY(!CompletedArchive::appendToFile(dir.path(), "x", &error));
        QVERIFY(error.contains(dir.path()));
    }
};

WENDRA_QTEST_MAIN(TestCompletedArchive)
#include "tst_CompletedArchive.moc"
