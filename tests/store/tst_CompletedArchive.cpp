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
    void init()
    {
        qputenv("TZ", "America/New_York");
        tzset();
    }

    void formatDate_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("winter") << 1.7e9 << "2023-11-14 17:13:20 -0500";
        QTest::newRow("summer") << 1.69e9 << "2023-07-22 00:26:40 -0400";
        QTest::newRow("no due date") << 0.0 << "1969-12-31 19:00:00 -0500";
    }

    void formatDate()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(CompletedArchive::formatDate(seconds), text);
    }

    void linesAsOtherToolsReadThem()
    {
        TestDatabase db;
        db.exec("INSERT INTO item (action, category, startDate, endDate, notes, importance, "
                "completed) VALUES "
                "('café, croissant', 'Home', 1.7e9, 1.69e9, 'two\nlines', '3', 1),"
                "('first due', NULL, 0.0, 0.0, NULL, NULL, 1),"
                "('still open', 'Home', 0.0, 0.0, '', '1', 0)");
        const QString text = CompletedArchive::archiveText(db.handle());
        QCOMPARE(text, QStringLiteral("first due,,1969-12-31 19:00:00 -0500,1969-12-31 19:00:00 "
                                      "-0500,,\n"
                                      "café, croissant,Home,2023-11-14 17:13:20 -0500,2023-07-22 "
                                      "00:26:40 -0400,two\nlines,3\n"));
        // A comma in a title makes one field more: seven instead of six.
        QCOMPARE(text.section('\n', 1, 2).split(',').size(), 7);

        const std::optional<QByteArray> bytes = CompletedArchive::toMacRoman(text);
        QVERIFY(bytes);
        QVERIFY(bytes->contains(QByteArray("caf\x8e, croissant")));
        QCOMPARE(bytes->size(), text.size());
    }

    void unencodableTextGivesNothing()
    {
        QVERIFY(!CompletedArchive::toMacRoman(QStringLiteral("plan 日本 trip")));
        QCOMPARE(*CompletedArchive::toMacRoman(QString()), QByteArray());
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
