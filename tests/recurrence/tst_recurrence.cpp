// Next due dates and the check-off roll-forward. Dates are written as wall-clock text in a
// zone; an empty zone means local time, so those rows run in every TZ the suite is started
// with and must read the same clock times there.
#include "Recurrence.h"
#include "TestHome.h"

#include <QTest>
#include <QTimeZone>

#include <limits>

namespace {

QDateTime at(const QString &zone, const QString &text)
{
    const QString format = text.size() > 16 ? QStringLiteral("yyyy-MM-dd HH:mm:ss")
                                            : QStringLiteral("yyyy-MM-dd HH:mm");
    const QDateTime naive = QDateTime::fromString(text, format);
    Q_ASSERT(naive.isValid());
    if (zone.isEmpty())
        return QDateTime(naive.date(), naive.time(), Qt::LocalTime);
    return QDateTime(naive.date(), naive.time(), QTimeZone(zone.toUtf8()));
}

void addRow(const char *name, const QString &zone, const QString &given, const QString &code,
    const QString &now, const QString &expected)
{
    QTest::newRow(name) << zone << given << code << now << expected;
}

void addColumns()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("expected");
}

// Same moment, same kind of zone, same clock reading and offset.
void compareMoments(const QDateTime &actual, const QDateTime &expected)
{
    QCOMPARE(actual.toString(Qt::ISODateWithMs), expected.toString(Qt::ISODateWithMs));
    QCOMPARE(actual.timeSpec(), expected.timeSpec());
    QCOMPARE(actual, expected);
}

const QString local;
const QString ny = QStringLiteral("America/New_York");
const QString auckland = QStringLiteral("Pacific/Auckland");
const QString utc = QStringLiteral("UTC");

} // namespace

class TestRecurrence : public QObject
{
    Q_OBJECT

private slots:
    void integerValue_data();
    void integerValue();
    void nextDueDate_data();
    void nextDueDate();
    void rollForward_data();
    void rollForward();
    void noProgressLeavesDueDate_data();
    void noProgressLeavesDueDate();
    void extremeInputsEnd();
    void presentMomentIsReadOnce();
    void otherTimeRepresentationsAreKept();
};

void TestRecurrence::integerValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "42" << 42;
    QTest::newRow("leading zero") << "03" << 3;
    QTest::newRow("leading blanks") << " \t 7" << 7;
    QTest::newRow("plus sign") << "+5" << 5;
    QTest::newRow("minus sign") << "-3" << -3;
    QTest::newRow("rest ignored") << "12abc" << 12;
    QTest::newRow("digits after blank ignored") << "1 2" << 1;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("null") << QString() << 0;
    QTest::newRow("letters first") << "x5" << 0;
    QTest::newRow("sign without digits") << "-" << 0;
    QTest::newRow("blank after sign") << "- 4" << 0;
    QTest::newRow("int max") << "2147483647" << std::numeric_limits<int>::max();
    QTest::newRow("int min") << "-2147483648" << std::numeric_limits<int>::min();
    QTest::newRow("too large saturates")
        << "99999999999999999999" << std::numeric_limits<int>::max();
    QTest::newRow("too small saturates") << "-99999999999" << std::numeric_limits<int>::min();
}

void TestRecurrence::integerValue()
{
    QFETCH(QString, field);
    QFETCH(int, value);
    QCOMPARE(Recurrence::integerValue(field), value);
}

void TestRecurrence::nextDueDate_data()
{
    addColumns();

    // Unknown kinds return the given date.
    addRow("None", local, "2024-06-10 09:00", "None", "2024-06-20 09:00", "2024-06-10 09:00");
    addRow("empty code", local, "2024-06-10 09:00", "", "2024-06-20 09:00", "2024-06-10 09:00");
    addRow(
        "other letter", local, "2024-06-10 09:00", "X:1", "2024-06-20 09:00", "2024-06-10 09:00");
    addRow(
        "lower case d", local, "2024-06-10 09:00", "d:1", "2024-06-20 09:00", "2024-06-10 09:00");

    // "D": fixed steps of n days, the first one after now.
    addRow("D:1 three days overdue", local, "2024-01-10 09:15:20", "D:1", "2024-01-13 12:00",
        "2024-01-14 09:15:20");
    addRow("D:1 now on an occurrence", local, "2024-01-10 09:00", "D:1", "2024-01-13 09:00",
        "2024-01-14 09:00");
    addRow("D:3 due in the future", local, "2024-06-10 08:00", "D:3", "2024-06-01 08:00",
        "2024-06-13 08:00");
    addRow("D:2 odd overdue", local, "2024-07-01 08:00", "D:2", "2024-07-06 07:00",
        "2024-07-07 08:00");
    addRow("D number read loosely", local, "2024-06-10 08:00", "D: +2xyz", "2024-06-10 09:00",
        "2024-06-12 08:00");
    addRow("D:7 fifty years overdue", utc, "1974-06-03 07:00", "D:7", "2024-06-05 12:00",
        "2024-06-10 07:00");
    addRow("D:1 New York spring forward", ny, "2024-03-09 10:00", "D:1", "2024-03-09 12:00",
        "2024-03-10 11:00");
    addRow("D:1 New York fall back", ny, "2024-11-02 10:00", "D:1", "2024-11-02 12:00",
        "2024-11-03 09:00");
    addRow("D:1 Auckland fall back", auckland, "2024-04-06 10:00", "D:1", "2024-04-06 12:00",
        "2024-04-07 09:00");
    addRow("D:1 Auckland spring forward", auckland, "2024-09-28 10:00", "D:1", "2024-09-28 12:00",
        "2024-09-29 11:00");

    // "E": fixed days to the first weekday after now, at least one day on.
    addRow("E from future Friday", local, "2024-06-14 09:00", "E", "2024-06-01 09:00",
        "2024-06-17 09:00");
    addRow("E from future Thursday", local, "2024-06-13 09:00", "E", "2024-06-01 09:00",
        "2024-06-14 09:00");
    addRow("E overdue into weekend", local, "2024-06-03 09:00", "E", "2024-06-08 10:00",
        "2024-06-10 09:00");
    addRow("E now Friday after the hour", local, "2024-06-05 09:00", "E", "2024-06-07 10:00",
        "2024-06-10 09:00");
    addRow("E now Friday before the hour", local, "2024-06-05 09:00", "E", "2024-06-07 08:00",
        "2024-06-07 09:00");
    addRow("E New York across the change", ny, "2024-03-08 09:00", "E", "2024-03-08 10:00",
        "2024-03-11 10:00");
    addRow("E Auckland across the change", auckland, "2024-04-05 09:00", "E", "2024-04-05 10:00",
        "2024-04-08 08:00");

    // "W": blocks of the year's day numbers, calendar steps, not compared with now.
    addRow("W one day on that day", local, "2009-01-14 09:00", "W:1:8:8:2:8:8:8:8",
        "2009-01-14 09:00", "2009-01-21 09:00");
    addRow("W every two weeks", local, "2009-01-14 09:00", "W:2:8:8:2:8:8:8:8", "2009-01-14 09:00",
        "2009-01-28 09:00");
    addRow("W Monday from a Friday", local, "2009-01-16 09:00", "W:1:0:8:8:8:8:8:8",
        "2009-01-16 09:00", "2009-01-26 09:00");
    addRow("W Monday from a Saturday", local, "2009-01-10 09:00", "W:1:0:8:8:8:8:8:8",
        "2009-01-10 09:00", "2009-01-19 09:00");
    addRow("W two days: next chosen day", local, "2009-01-14 09:00", "W:1:0:8:8:3:8:8:8",
        "2009-01-14 09:00", "2009-01-15 09:00");
    addRow("W two days ignore the week count", local, "2009-01-15 09:00", "W:9:0:8:8:3:8:8:8",
        "2009-01-14 09:00", "2009-01-19 09:00");
    addRow("W Sunday only", local, "2009-01-18 09:00", "W:1:8:8:8:8:8:8:6", "2009-01-18 09:00",
        "2009-01-25 09:00");
    addRow("W result before now", local, "2009-01-14 09:00", "W:1:8:8:2:8:8:8:8",
        "2024-01-01 09:00", "2009-01-21 09:00");
    addRow("W across new year", local, "2022-12-31 09:00", "W:1:0:8:8:8:8:8:8", "2022-12-31 09:00",
        "2023-01-09 09:00");
    addRow("W from day 366", local, "2008-12-31 09:00", "W:1:8:8:2:8:8:8:8", "2008-12-31 09:00",
        "2009-01-07 09:00");
    addRow("W digit out of place still matches", local, "2009-01-14 09:00", "W:1:3:8:8:8:8:8:8",
        "2009-01-14 09:00", "2009-01-22 09:00");
    addRow("W keeps the clock New York", ny, "2024-03-03 09:00", "W:1:8:8:8:8:8:8:6",
        "2024-03-03 09:00", "2024-03-10 09:00");
    addRow("W into the New York gap", ny, "2024-03-03 02:30", "W:1:8:8:8:8:8:8:6",
        "2024-03-03 09:00", "2024-03-10 03:30");
    addRow("W keeps the clock Auckland", auckland, "2024-03-31 09:00", "W:1:8:8:8:8:8:8:6",
        "2024-03-31 09:00", "2024-04-07 09:00");

    // "M": day d of every n months, calendar steps.
    addRow("M on the day, now a month on", local, "2024-03-15 10:00:30", "M:15:1",
        "2024-04-20 09:00", "2024-05-15 10:00:30");
    addRow("M before the given date", local, "2024-03-20 10:00:30", "M:15:1", "2024-03-10 09:00",
        "2024-03-15 10:00");
    addRow("M never the given date", local, "2024-03-15 10:00", "M:15:1", "2024-03-01 09:00",
        "2024-04-15 10:00");
    addRow("M:10:3 years overdue", local, "2020-01-10 08:00", "M:10:3", "2024-06-20 09:00",
        "2024-07-10 08:00");
    addRow("M:10:3 on the day of now", local, "2020-01-10 08:00", "M:10:3", "2024-07-10 07:59",
        "2024-07-10 08:00");
    addRow("M keeps the clock across changes", local, "2024-03-10 09:30", "M:10:1",
        "2024-03-11 09:00", "2024-04-10 09:30");
    addRow("M:31 into a leap February", local, "2024-01-31 09:00", "M:31:1", "2024-01-31 10:00",
        "2024-02-29 09:00");
    addRow("M:31 from its last day of February", local, "2024-02-29 09:00", "M:31:1",
        "2024-02-29 10:00", "2024-03-31 09:00");
    addRow("M:31 on its short day, checked early", local, "2024-02-29 09:00", "M:31:1",
        "2024-02-01 10:00", "2024-03-31 09:00");
    addRow("M:31 built in April", local, "2024-04-10 09:00", "M:31:1", "2024-04-11 10:00",
        "2024-04-30 09:00");
    addRow("M:30 in a common February", local, "2023-01-30 09:00", "M:30:1", "2023-02-01 10:00",
        "2023-02-28 09:00");
    addRow("M:31 over a year in twos", local, "2023-12-31 09:00", "M:31:2", "2024-03-01 10:00",
        "2024-04-30 09:00");
    addRow("M day 0 means the 1st", local, "2024-05-20 09:00", "M:0:1", "2024-05-21 09:00",
        "2024-06-01 09:00");
    addRow("M Auckland keeps the clock", auckland, "2024-03-05 09:00", "M:5:1", "2024-03-06 09:00",
        "2024-04-05 09:00");

    // "N": the k-th weekday of every n months; weekday and weeks are fixed steps.
    addRow("N first Friday next month", local, "2024-03-12 14:45:30", "N:1:1:Friday",
        "2024-03-12 15:00", "2024-04-05 14:45");
    addRow("N first Friday, next month past", local, "2024-03-12 14:45", "N:1:1:Friday",
        "2024-04-06 09:00", "2024-05-03 14:45");
    addRow("N fifth Monday runs over", local, "2024-01-15 09:00", "N:5:1:Monday",
        "2024-01-15 09:00", "2024-03-04 09:00");
    addRow("N second Tuesday in three months", local, "2024-03-20 09:00", "N:2:3:Tuesday",
        "2024-03-20 09:00", "2024-06-11 09:00");
    addRow("N unknown name is Monday", local, "2024-05-10 09:00", "N:1:1:Funday",
        "2024-05-10 09:00", "2024-06-03 09:00");
    addRow("N k of 0 is the first", local, "2024-06-10 09:00", "N:0:1:Sunday", "2024-06-10 09:00",
        "2024-07-07 09:00");
    addRow("N years overdue", local, "2019-02-01 09:00", "N:3:2:Wednesday", "2024-06-20 09:00",
        "2024-08-21 09:00");
    addRow("N New York weeks are fixed", ny, "2024-02-05 09:00", "N:2:1:Sunday", "2024-02-05 09:00",
        "2024-03-10 10:00");
    addRow("N New York fall back repeats Sunday", ny, "2024-10-15 00:30", "N:1:1:Monday",
        "2024-10-15 09:00", "2024-11-04 23:30");
    addRow("N Auckland weeks are fixed", auckland, "2024-03-05 09:00", "N:2:1:Sunday",
        "2024-03-05 09:00", "2024-04-14 08:00");
}

void TestRecurrence::nextDueDate()
{
    QFETCH(QString, zone);
    QFETCH(QString, given);
    QFETCH(QString, code);
    QFETCH(QString, now);
    QFETCH(QString, expected);
    const QDateTime result = Recurrence().getNextDueDate(at(zone, given), code, at(zone, now));
    compareMoments(result, at(zone, expected));
}

void TestRecurrence::rollForward_data()
{
    addColumns();
    addRow("D skips missed days", local, "2024-01-10 09:00", "D:1", "2024-01-13 12:00",
        "2024-01-14 09:00");
    addRow("E Monday after a weekend", local, "2024-06-05 09:00", "E", "2024-06-08 12:00",
        "2024-06-10 09:00");
    addRow("W weekly, weeks overdue", local, "2009-01-14 09:00", "W:1:8:8:2:8:8:8:8",
        "2009-03-05 12:00", "2009-03-11 09:00");
    addRow("W result equal to now ends", local, "2009-01-14 09:00", "W:1:8:8:2:8:8:8:8",
        "2009-01-28 09:00", "2009-01-28 09:00");
    addRow("W Mondays, nine years", local, "2015-06-01 09:00", "W:1:0:8:8:8:8:8:8",
        "2024-06-06 12:00", "2024-06-10 09:00");
    addRow("W every three weeks over new years", local, "2019-12-25 09:00", "W:3:8:8:2:8:8:8:8",
        "2024-03-01 12:00", "2024-03-06 09:00");
    addRow("W Mondays, a thousand years", utc, "1024-01-01 09:00", "W:1:0:8:8:8:8:8:8",
        "2024-06-06 12:00", "2024-06-10 09:00");
    addRow("W two days, weeks overdue", local, "2009-01-14 09:00", "W:1:0:8:8:3:8:8:8",
        "2009-02-10 12:00", "2009-02-12 09:00");
    addRow("W two days, now on a chosen day", local, "2009-01-14 09:00", "W:1:0:8:8:3:8:8:8",
        "2009-02-09 08:00", "2009-02-09 09:00");
    addRow("W two days, now at a chosen moment", local, "2009-01-14 09:00", "W:1:0:8:8:3:8:8:8",
        "2009-01-19 09:00", "2009-01-19 09:00");
    addRow("W two days, due in the future", local, "2009-01-14 09:00", "W:1:0:8:8:3:8:8:8",
        "2009-01-01 09:00", "2009-01-15 09:00");
    addRow("W New York weekly keeps the clock", ny, "2024-02-25 09:00", "W:1:8:8:8:8:8:8:6",
        "2024-03-12 09:00", "2024-03-17 09:00");
    addRow("M before the given date is kept", local, "2024-03-20 10:00", "M:15:1",
        "2024-03-10 09:00", "2024-03-15 10:00");
    addRow("N overdue", local, "2024-03-12 14:45", "N:1:1:Friday", "2024-04-06 09:00",
        "2024-05-03 14:45");
    addRow("W week count 0 moves once then stays", local, "2009-01-07 09:00", "W:0:8:8:8:8:4:8:8",
        "2010-01-01 09:00", "2009-01-09 09:00");
}

void TestRecurrence::rollForward()
{
    QFETCH(QString, zone);
    QFETCH(QString, given);
    QFETCH(QString, code);
    QFETCH(QString, now);
    QFETCH(QString, expected);
    const QDateTime due = at(zone, given);
    const QDateTime present = at(zone, now);
    const QDateTime result = Recurrence::rollForward(due, code, present);
    compareMoments(result, at(zone, expected));

    // Whatever it stops on is what asking again and again would give, where that ends.
    const Recurrence recurrence;
    QDateTime stepwise = recurrence.getNextDueDate(due, code, present);
    for (int calls = 0; stepwise < present && calls < 1000; ++calls) {
        const QDateTime next = recurrence.getNextDueDate(stepwise, code, present);
        if (!(next > stepwise))
            break;
        stepwise = next;
    }
    if (stepwise >= present)
        QCOMPARE(result, stepwise);
}

void TestRecurrence::noProgressLeavesDueDate_data()
{
    addColumns();
    // The due date is in the past (now is later) unless the row says otherwise.
    const QString given = QStringLiteral("2024-03-15 10:00");
    const QString now = QStringLiteral("2024-06-01 09:00");
    addRow("unknown kind", local, given, "Q:1", now, given);
    addRow("D:0", local, given, "D:0", now, given);
    addRow("D negative", local, given, "D:-2", now, given);
    addRow("D empty count", local, given, "D:", now, given);
    addRow("D count too large", local, given, "D:-99999999999", now, given);
    addRow("M every 0 months", local, given, "M:15:0", now, given);
    addRow("M day off, every 0 months", local, given, "M:20:0", now, given);
    addRow("M negative months", local, given, "M:15:-1", now, given);
    addRow("N every 0 months", local, given, "N:1:0:Friday", now, given);
    addRow("N negative months", local, given, "N:1:-3:Friday", now, given);
    addRow("W no day chosen", local, given, "W:1:8:8:8:8:8:8:8", now, given);
    addRow("W damaged, days missing", local, given, "W:1", now, given);
    addRow("W week count 0 on its day", local, "2009-01-14 09:00", "W:0:8:8:2:8:8:8:8", now,
        "2009-01-14 09:00");
    addRow("W week count 0 goes back", local, "2009-01-15 09:00", "W:0:8:8:2:8:8:8:8", now,
        "2009-01-15 09:00");
    addRow("W negative week count", local, given, "W:-4:8:8:8:3:8:8:8", now, given);
    // A first candidate after now is taken even with a count that cannot go on.
    addRow("D:0 due in the future", local, "2024-07-01 10:00", "D:0", now, "2024-07-01 10:00");
    addRow(
        "M:20:0 candidate after now", local, "2024-06-25 10:00", "M:20:0", now, "2024-06-20 10:00");
}

void TestRecurrence::noProgressLeavesDueDate()
{
    QFETCH(QString, zone);
    QFETCH(QString, given);
    QFETCH(QString, code);
    QFETCH(QString, now);
    QFETCH(QString, expected);
    compareMoments(
        Recurrence::rollForward(at(zone, given), code, at(zone, now)), at(zone, expected));
}

void TestRecurrence::extremeInputsEnd()
{
    const QDateTime now = at(local, QStringLiteral("2024-06-05 12:00"));
    const QDateTime ancient(QDate(-200000, 3, 1), QTime(9, 0), Qt::UTC);
    const Recurrence recurrence;

    // Every rule, from a date two hundred thousand years back: ends, after now.
    for (const char *code :
        {"D:1", "E", "W:1:0:8:8:8:8:8:8", "W:1:0:1:2:3:4:5:6", "M:31:1", "N:5:1:Sunday"}) {
        const QDateTime result = Recurrence::rollForward(ancient, QString::fromLatin1(code), now);
        QVERIFY2(result >= now, code);
        QVERIFY2(result < now.addDays(62), code);
        QCOMPARE(result.timeSpec(), Qt::UTC);
    }
    const QDateTime monday
        = Recurrence::rollForward(ancient, QStringLiteral("W:1:0:8:8:8:8:8:8"), now);
    QCOMPARE(monday.date().dayOfWeek(), int(Qt::Monday));
    QCOMPARE(monday.time(), QTime(9, 0));

    // Counts at the edge of int: a valid date after now, or the due date itself.
    const QDateTime due = at(local, QStringLiteral("2024-03-15 10:00"));
    for (const char *code : {"D:2147483647", "M:15:2147483647", "M:2147483647:2147483647",
             "N:2147483647:2147483647:Friday", "W:2147483647:0:8:8:8:8:8:8",
             "W:-2147483648:0:8:8:8:8:8:8", "N:-2147483648:1:Friday"}) {
        const QDateTime next = recurrence.getNextDueDate(due, QString::fromLatin1(code), now);
        QVERIFY2(next.isValid(), code);
        QVERIFY2(next > now || next == due || QByteArray(code).startsWith("W:"), code);
        QVERIFY2(Recurrence::rollForward(due, QString::fromLatin1(code), now).isValid(), code);
    }

    // No due date: nothing to move.
    QVERIFY(!recurrence.getNextDueDate(QDateTime(), QStringLiteral("D:1"), now).isValid());
    QVERIFY(!Recurrence::rollForward(QDateTime(), QStringLiteral("D:1"), now).isValid());
}

void TestRecurrence::presentMomentIsReadOnce()
{
    // The overload without now measures against the present: a daily task due three days
    // ago lands in the next 24 hours.
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime result = Recurrence().getNextDueDate(before.addDays(-3), QStringLiteral("D:1"));
    QVERIFY(result > before);
    QVERIFY(result <= QDateTime::currentDateTime().addDays(1));
    QVERIFY(Recurrence::rollForward(before.addDays(-3), QStringLiteral("E")) > before);
}

void TestRecurrence::otherTimeRepresentationsAreKept()
{
    // A fixed offset: the calendar fields are read in it, and the result carries it.
    const QDateTime due(QDate(2024, 1, 31), QTime(23, 30), Qt::OffsetFromUTC, -5 * 3600);
    const QDateTime now(QDate(2024, 2, 1), QTime(5, 0), Qt::UTC); // 00:00 at that offset
    const QDateTime next = Recurrence().getNextDueDate(due, QStringLiteral("M:31:1"), now);
    QCOMPARE(next.timeSpec(), Qt::OffsetFromUTC);
    QCOMPARE(next.offsetFromUtc(), -5 * 3600);
    QCOMPARE(next.date(), QDate(2024, 2, 29));
    QCOMPARE(next.time(), QTime(23, 30));

    // The same due date in UTC is already 1 February: day 31 is not its day.
    const QDateTime inUtc = Recurrence().getNextDueDate(due.toUTC(), QStringLiteral("M:31:1"), now);
    QCOMPARE(inUtc, QDateTime(QDate(2024, 2, 29), QTime(4, 30), Qt::UTC));
}

WENDRA_QTEST_CORE_MAIN(TestRecurrence)
#include "tst_recurrence.moc"
