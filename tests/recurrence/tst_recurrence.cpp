// Next due dates and the check-off roll-forward, and the recurrence editor's state and rec codes.
// Dates are wall-clock text in a zone; no zone means local time, so those rows run in every TZ
// the suite is started with and must read the same clock times there.
#include "RecOptions.h"
#include "Recurrence.h"
#include "TestHome.h"

#include <QTest>
#include <QTimeZone>

#include <limits>

namespace {

// Text without an offset is local time; "Z" or an offset such as "-05:00" keeps its own. A
// date without a clock time is at 09:00.
QDateTime at(const QString &zone, const QString &text)
{
    const QDateTime parsed = QDateTime::fromString(
        text.size() == 10 ? text + QStringLiteral(" 09:00") : text, Qt::ISODate);
    return zone.isEmpty() ? parsed
                          : QDateTime(parsed.date(), parsed.time(), QTimeZone(zone.toUtf8()));
}

// `roll` checks the task off instead of asking once. An empty now is the due date's own
// moment; an empty expected date means the due date stays.
// clang-format off
struct Row { bool roll; QString given, code, now, expected, zone; };
// clang-format on

const QString ny = QStringLiteral("America/New_York");

// Every control with a value nothing else would give it, as the last use might leave them.
RecOptions usedEditor()
{
    // clang-format off
    return {.recType2 = "Weekly", .recDEvery = true, .recDNumDays = "4", .recWNumOfWeeks = "6",
        .recWTueday = true, .recWSaturday = true, .recMDayCheck = true, .recMDayOfMonth = "9",
        .recMEveryMonth1 = "2", .recMThe = true, .recMNumberDayOfWeek = "3", .recMMonth2 = "5",
        .recMDayOfWeek = "Thursday", .visibleBox = RecOptions::Box::Weekly,
        .recurrentLabel = "old label", .btnShowRecWin = "old title"};
    // clang-format on
}

QStringList controls(const RecOptions &o)
{
    const auto b = [](bool on) { return QString::number(on); };
    // clang-format off
    const QString days = b(o.recWMonday) + b(o.recWTueday) + b(o.recWWednesday) + b(o.recWThrusday) + b(o.recWFriday) + b(o.recWSaturday) + b(o.recWSunday);
    return {"type=" + o.recType2, "item0=" + b(o.recType2FirstItemSelected), "box=" + QString::number(int(o.visibleBox)),
        "DEvery=" + b(o.recDEvery), "DNum=" + o.recDNumDays, "DWeekdays=" + b(o.recDWeekdays), "WNum=" + o.recWNumOfWeeks, "WDays=" + days,
        "MDay=" + b(o.recMDayCheck), "MDayOf=" + o.recMDayOfMonth, "MEvery=" + o.recMEveryMonth1, "MThe=" + b(o.recMThe),
        "MNth=" + o.recMNumberDayOfWeek, "MMonth2=" + o.recMMonth2, "MWeekday=" + o.recMDayOfWeek};
    // clang-format on
}

} // namespace

Q_DECLARE_METATYPE(Row)

class TestRecurrence : public QObject
{
    Q_OBJECT

private slots:
    void integerValue()
    {
        constexpr int max = std::numeric_limits<int>::max(), min = std::numeric_limits<int>::min();
        // clang-format off
        const std::pair<const char *, int> rows[] = {{" \t 7", 7}, {"+5", 5}, {"-3", -3}, {"12abc", 12}, {"", 0}, {"x5", 0},
            {"- 4", 0}, {"-2147483648", min}, {"99999999999999999999", max}, {"-99999999999", min}};
        // clang-format on
        for (const auto &[field, value] : rows)
            QVERIFY2(Recurrence::integerValue(QString::fromLatin1(field)) == value, field);
    }

    void nextDueDate_data();
    void nextDueDate()
    {
        QFETCH(Row, row);
        const QDateTime due = at(row.zone, row.given);
        const QDateTime now = row.now.isEmpty() ? due : at(row.zone, row.now);
        const QDateTime want = row.expected.isEmpty() ? due : at(row.zone, row.expected);
        QVERIFY(due.isValid() && now.isValid() && want.isValid());
        const QDateTime result = row.roll ? Recurrence::rollForward(due, row.code, now)
                                          : Recurrence().getNextDueDate(due, row.code, now);
        // Same clock reading and offset, and the same kind of zone.
        QCOMPARE(result.toString(Qt::ISODate), want.toString(Qt::ISODate));
        QCOMPARE(result.timeSpec(), want.timeSpec());
    }

    void extremeInputsEnd()
    {
        const QDateTime now = at({}, QStringLiteral("2024-06-05 12:00"));
        const QDateTime ancient(QDate(-200000, 3, 1), QTime(9, 0), Qt::UTC);
        // Every rule, from two hundred thousand years back: it ends, soon after now, in UTC.
        // clang-format off
        for (const char *code : {"D:1", "E", "W:1:0:8:8:8:8:8:8", "W:1:0:1:2:3:4:5:6", "M:31:1", "N:5:1:Sunday"}) {
            // clang-format on
            const QDateTime r = Recurrence::rollForward(ancient, QString::fromLatin1(code), now);
            QVERIFY2(r >= now && r < now.addDays(62) && r.timeSpec() == Qt::UTC
                    && (code[0] != 'W' || r.time() == QTime(9, 0)),
                code);
        }
        // Counts at the edge of int: a valid date after now, or the due date itself.
        const QDateTime due = at({}, QStringLiteral("2024-03-15 10:00"));
        // clang-format off
        for (const char *code : {"D:2147483647", "M:15:2147483647", "M:2147483647:2147483647", "N:2147483647:2147483647:Friday",
                 "W:2147483647:0:8:8:8:8:8:8", "W:-2147483648:0:8:8:8:8:8:8", "N:-2147483648:1:Friday"}) {
            // clang-format on
            const QDateTime next = Recurrence().getNextDueDate(due, QString::fromLatin1(code), now);
            QVERIFY2(next.isValid() && (next > now || next == due || code[0] == 'W'), code);
            QVERIFY2(Recurrence::rollForward(due, QString::fromLatin1(code), now).isValid(), code);
        }
        QVERIFY(!Recurrence().getNextDueDate({}, QStringLiteral("D:1"), now).isValid()
            && !Recurrence::rollForward({}, QStringLiteral("D:1"), now).isValid());
    }

    // The recurrence editor: loading a code, building one, and the round trip.
    void setRecOptions_data();
    void setRecOptions()
    {
        QFETCH(QString, code);
        QFETCH(QString, changes);
        RecOptions o = usedEditor();
        o.setRecOptions(code);
        const QStringList before = controls(usedEditor());
        QStringList changed = controls(o);
        changed.removeIf([&](const QString &control) { return before.contains(control); });
        QCOMPARE(changed.join(QStringLiteral(", ")), changes);
    }

    void roundTrip()
    {
        // From a fresh editor and from one full of the last use's values alike: the controls of
        // other types never leak into the code, and the box shown is the one the type combo box
        // shows for the loaded type.
        // clang-format off
        for (const char *code : {"None", "D:03", "D:", "E", "W:2:0:8:8:3:8:8:8", "W:1:0:1:2:3:4:5:6",
                 "W:5:8:8:8:8:8:8:8", "W::8:8:2:8:8:8:8", "M:15:1", "M::", "N:2:3:Tuesday", "N:-1:0:Funday", "N:1:1:"}) {
            // clang-format on
            for (RecOptions o : {RecOptions(), usedEditor()}) {
                o.setRecOptions(code);
                QCOMPARE(o.createRecCode(), code);
                QCOMPARE(RecOptions::boxForType(o.recType2), o.visibleBox);
            }
        }
        // A type with nothing chosen, an unknown type or none at all is stored as the empty code,
        // never as an absent one.
        for (const QString type : {"Daily", "Monthly", "Yearly", ""}) {
            RecOptions o;
            o.recType2 = type;
            QVERIFY2(o.createRecCode().isEmpty() && !o.createRecCode().isNull(), qPrintable(type));
        }
    }
};

void TestRecurrence::nextDueDate_data()
{
    QTest::addColumn<Row>("row");
    // clang-format off
    const auto add = [](bool roll) {
        return [roll](const char *name, const char *given, const char *code, const char *now, const char *expected, const QString &zone = {}) { QTest::newRow(name) << Row {roll, given, code, now, expected, zone}; };
    };
    const auto next = add(false), roll = add(true);
    const char *weds = "W:1:8:8:2:8:8:8:8", *monThu = "W:1:0:8:8:3:8:8:8";

    // "D": fixed steps of n days, the first one after now.
    next("D:2 overdue", "2024-07-01 08:00", "D:2", "2024-07-06 07:00", "2024-07-07 08:00");
    next("D on an occurrence", "2024-01-10", "D:1", "2024-01-13", "2024-01-14");
    next("D in the future", "2024-06-10 08:00", "D:3", "2024-06-01 08:00", "2024-06-13 08:00");
    next("D NY spring", "2024-03-09 10:00", "D:1", "2024-03-09 12:00", "2024-03-10 11:00", ny);

    // "E": whole fixed days to the first weekday after now, at least one day on.
    next("E skips the weekend", "2024-06-14", "E", "2024-06-01", "2024-06-17");
    next("E now Friday, earlier", "2024-06-05", "E", "2024-06-07 08:00", "2024-06-07");
    next("E NY spring", "2024-03-08", "E", "2024-03-08 10:00", "2024-03-11 10:00", ny);

    // "W": seven-day blocks of the year's day numbers, calendar steps, never compared with now.
    next("W weekly", "2009-01-14", weds, "2024-01-01", "2009-01-21");
    next("W block skips a Monday", "2009-01-16", "W:1:0:8:8:8:8:8:8", "", "2009-01-26");
    next("W two days", "2009-01-14", "W:9:0:8:8:3:8:8:8", "", "2009-01-15");
    next("W from day 366", "2008-12-31", weds, "", "2009-01-07");
    next("W digits out of place", "2009-01-14", "W:1:3:2:8:8:8:8:8", "", "2009-01-21");
    // A Sunday 02:30 that New York skips reads an hour later.
    next("W NY gap", "2024-03-03 02:30", "W:1:8:8:8:8:8:8:6", "", "2024-03-10 03:30", ny);

    // "M": day d of every n months, calendar steps; seconds carry over only from day d itself.
    next("M its day", "2024-03-15 10:00:30", "M:15:1", "2024-04-20", "2024-05-15 10:00:30");
    next("M never due", "2024-03-15 10:00", "M:15:1", "2024-03-01", "2024-04-15 10:00");
    next("M before due", "2024-03-20 10:00:30", "M:15:1", "2024-03-10", "2024-03-15 10:00");
    next("M years overdue", "2020-01-10 08:00", "M:10:3", "2024-07-10 07:59", "2024-07-10 08:00");
    next("M:31 leap Feb", "2024-01-31", "M:31:1", "2024-01-31 10:00", "2024-02-29");
    next("M:31 on Feb 29", "2024-02-29", "M:31:1", "2024-02-01 10:00", "2024-03-31");
    // Calendar fields are read at the due date's own offset, and the result carries it; in UTC
    // the same moment is already 1 February, which is not day 31.
    next("M offset", "2024-01-31 23:30-05:00", "M:31:1", "2024-02-01 05:00Z", "2024-02-29 23:30-05:00");
    next("M day 0 is the 1st", "2024-05-20", "M:0:1", "2024-05-21", "2024-06-01");

    // "N": the k-th weekday of every n months; weekday search and weeks are fixed steps.
    next("N Friday", "2024-03-12 14:45:30", "N:1:1:Friday", "2024-03-12 15:00", "2024-04-05 14:45");
    next("N fifth Monday runs over", "2024-01-15", "N:5:1:Monday", "", "2024-03-04");
    next("N unknown name is Monday", "2024-05-10", "N:1:1:Funday", "", "2024-06-03");
    next("N k of 0 is the first", "2024-06-10", "N:0:1:Sunday", "", "2024-07-07");
    next("N behind", "2019-02-01", "N:3:2:Wednesday", "2024-06-20", "2024-08-21");
    next("N NY weeks are fixed", "2024-02-05", "N:2:1:Sunday", "", "2024-03-10 10:00", ny);
    next("N NY fall back", "2024-10-15 00:30", "N:1:1:Monday", "", "2024-11-04 23:30", ny);

    // Check-off: missed occurrences are skipped; a result equal to now ends it.
    roll("W weeks overdue", "2009-01-14", weds, "2009-03-05 12:00", "2009-03-11");
    roll("W equal to now", "2009-01-14", weds, "2009-01-28", "2009-01-28");
    roll("W 3-weekly, new year", "2019-12-25", "W:3:8:8:2:8:8:8:8", "2024-03-01 12:00", "2024-03-06");
    roll("W two days overdue", "2009-01-14", monThu, "2009-02-10 12:00", "2009-02-12");
    roll("W two days, at now", "2009-01-14", monThu, "2009-01-19", "2009-01-19");
    roll("W two days, ahead", "2009-01-14", monThu, "2009-01-01", "2009-01-15");
    roll("M:20:0 goes back", "2024-06-25 10:00", "M:20:0", "2024-06-01", "2024-06-20 10:00");
    roll("W:0 moves once", "2009-01-07", "W:0:8:8:8:8:4:8:8", "2010-01-01", "2009-01-09");

    // Codes of no known kind (kinds are upper case) or that cannot move forward leave the
    // overdue date as it was.
    for (const char *code : {"None", "d:1", "Q:1", "D:0", "M:20:0", "N:1:0:Friday", "W:1", "W:1:8:8:8:8:8:8:8"})
        roll(code, "2024-03-15 10:00", code, "2024-06-01", "");
    roll("W:0 would go back", "2009-01-15", "W:0:8:8:2:8:8:8:8", "2024-06-01", "");
    // clang-format on
}

void TestRecurrence::setRecOptions_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("changes");
    // What loading a code into a used editor changes; every other control keeps its value. The
    // labels that say whether a task recurs are left to the eye.
    // clang-format off
    const auto row = [](const char *name, const char *code, const QString &changes) { QTest::newRow(name) << code << changes; };
    row("None", "None", "type=None, item0=1, box=0");
    row("E", "E", "type=Daily, box=1, DEvery=0, DNum=, DWeekdays=1");
    row("D", "D:-2", "type=Daily, box=1, DNum=-2");
    // Three day patterns that tell every pair of check boxes apart.
    row("W days 1 3 5", "W:1:8:1:8:3:8:5:8", "WNum=1, WDays=0101010");
    row("W days 2 3 6", "W:1:8:8:2:3:8:8:6", "WNum=1, WDays=0011001");
    row("W days 4 5 6", "W:1:8:8:8:8:4:5:6", "WNum=1, WDays=0000111");
    row("W digits out of place", "W:1:1:0:8:8:8:8:8", "WNum=1, WDays=0000000");
    row("W damaged", "W", "WNum=, WDays=0000000");
    row("M clears the other form", "M:15:1", "type=Monthly, box=3, MDayOf=15, MEvery=1, MThe=0, MNth=, MMonth2=");
    row("N clears the other form", "N:2:3:Tuesday", "type=Monthly, box=3, MDay=0, MDayOf=, MEvery=, MNth=2, MMonth2=3, MWeekday=Tuesday");
    // No type: the first item is selected.
    row("empty code", "", "type=None, item0=1, box=0");
    row("unknown kind keeps the type", "X:1", "box=0");
    // clang-format on
}

WENDRA_QTEST_CORE_MAIN(TestRecurrence)
#include "tst_recurrence.moc"
