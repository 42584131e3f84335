// The recurrence editor's state and rec codes: loading, building, and the round trip.
#include "RecOptions.h"
#include "TestHome.h"

#include <QTest>

namespace {

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
        "MNth=" + o.recMNumberDayOfWeek, "MMonth2=" + o.recMMonth2, "MWeekday=" + o.recMDayOfWeek, "label=" + o.recurrentLabel, "button=" + o.btnShowRecWin};
    // clang-format on
}

} // namespace

class TestRecOptions : public QObject
{
    Q_OBJECT

private slots:
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

void TestRecOptions::setRecOptions_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("changes");
    // What loading a code into a used editor changes; every other control keeps its value.
    // clang-format off
    const auto row = [](const char *name, const char *code, const QString &changes) { QTest::newRow(name) << code << changes; };
    const QString rec = QStringLiteral(", label=Recurrent Task, button=Edit");
    row("None", "None", "type=None, item0=1, box=0, label=No Recurrence, button=Set");
    row("E", "E", "type=Daily, box=1, DEvery=0, DNum=, DWeekdays=1" + rec);
    row("D", "D:-2", "type=Daily, box=1, DNum=-2" + rec);
    // Three day patterns that tell every pair of check boxes apart.
    row("W days 1 3 5", "W:1:8:1:8:3:8:5:8", "WNum=1, WDays=0101010" + rec);
    row("W days 2 3 6", "W:1:8:8:2:3:8:8:6", "WNum=1, WDays=0011001" + rec);
    row("W days 4 5 6", "W:1:8:8:8:8:4:5:6", "WNum=1, WDays=0000111" + rec);
    row("W digits out of place", "W:1:1:0:8:8:8:8:8", "WNum=1, WDays=0000000" + rec);
    row("W damaged", "W", "WNum=, WDays=0000000" + rec);
    row("M clears the other form", "M:15:1", "type=Monthly, box=3, MDayOf=15, MEvery=1, MThe=0, MNth=, MMonth2=" + rec);
    row("N clears the other form", "N:2:3:Tuesday", "type=Monthly, box=3, MDay=0, MDayOf=, MEvery=, MNth=2, MMonth2=3, MWeekday=Tuesday" + rec);
    // No type: the first item is selected and the label is left alone.
    row("empty code", "", "type=None, item0=1, box=0, button=Edit");
    row("unknown kind keeps type and label", "X:1", "box=0, button=Edit");
    // clang-format on
}

WENDRA_QTEST_CORE_MAIN(TestRecOptions)
#include "tst_recoptions.moc"
