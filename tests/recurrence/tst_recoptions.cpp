// The recurrence editor's state and rec codes: building, loading, and the round trip.
#include "RecOptions.h"
#include "TestHome.h"

#include <QTest>

Q_DECLARE_METATYPE(RecOptions)

namespace {

// Every control with a value nothing else would give it, as the last use might leave them.
RecOptions usedEditor()
{
    RecOptions o;
    o.recType2 = QStringLiteral("Weekly");
    o.recDEvery = true;
    o.recDNumDays = QStringLiteral("4");
    o.recWNumOfWeeks = QStringLiteral("6");
    o.recWTueday = true;
    o.recWSaturday = true;
    o.recMDayCheck = true;
    o.recMDayOfMonth = QStringLiteral("9");
    o.recMEveryMonth1 = QStringLiteral("2");
    o.recMThe = true;
    o.recMNumberDayOfWeek = QStringLiteral("3");
    o.recMMonth2 = QStringLiteral("5");
    o.recMDayOfWeek = QStringLiteral("Thursday");
    o.visibleBox = RecOptions::Box::Weekly;
    o.recurrentLabel = QStringLiteral("old label");
    o.btnShowRecWin = QStringLiteral("old title");
    return o;
}

QString describe(const RecOptions &o)
{
    const auto b = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    const auto t
        = [](const QString &s) { return s.isNull() ? QStringLiteral("<null>") : '"' + s + '"'; };
    return QStringList {
        "type " + t(o.recType2) + " item0 " + b(o.recType2FirstItemSelected),
        "box " + QString::number(int(o.visibleBox)),
        "D " + b(o.recDEvery) + t(o.recDNumDays) + b(o.recDWeekdays),
        "W " + t(o.recWNumOfWeeks) + b(o.recWMonday) + b(o.recWTueday) + b(o.recWWednesday)
            + b(o.recWThrusday) + b(o.recWFriday) + b(o.recWSaturday) + b(o.recWSunday),
        "M " + b(o.recMDayCheck) + t(o.recMDayOfMonth) + t(o.recMEveryMonth1),
        "N " + b(o.recMThe) + t(o.recMNumberDayOfWeek) + t(o.recMMonth2) + t(o.recMDayOfWeek),
        "label " + t(o.recurrentLabel) + " button " + t(o.btnShowRecWin),
    }
        .join(QStringLiteral("; "));
}

} // namespace

class TestRecOptions : public QObject
{
    Q_OBJECT

private slots:
    void createRecCode_data();
    void createRecCode();
    void weeklyCodesHaveNineFields();
    void setRecOptions_data();
    void setRecOptions();
    void roundTrip_data();
    void roundTrip();
    void setRecType_data();
    void setRecType();
};

void TestRecOptions::createRecCode_data()
{
    QTest::addColumn<RecOptions>("state");
    QTest::addColumn<QString>("code");

    RecOptions o = usedEditor();
    o.recType2 = QStringLiteral("None");
    QTest::newRow("None") << o << "None";

    o = usedEditor();
    o.recType2 = QStringLiteral("Daily");
    o.recDNumDays = QStringLiteral("3");
    QTest::newRow("every 3 days") << o << "D:3";
    o.recDNumDays = QStringLiteral("03");
    QTest::newRow("count kept as typed") << o << "D:03";
    o.recDEvery = false;
    o.recDWeekdays = true;
    QTest::newRow("every weekday") << o << "E";
    o.recDWeekdays = false;
    QTest::newRow("daily, no cell on") << o << "";

    o = RecOptions();
    o.recType2 = QStringLiteral("Weekly");
    o.recWNumOfWeeks = QStringLiteral("2");
    o.recWMonday = o.recWThrusday = true;
    QTest::newRow("weekly Monday and Thursday") << o << "W:2:0:8:8:3:8:8:8";
    o = RecOptions();
    o.recType2 = QStringLiteral("Weekly");
    o.recWNumOfWeeks = QStringLiteral("1");
    o.recWSunday = true;
    QTest::newRow("weekly Sunday") << o << "W:1:8:8:8:8:8:8:6";
    o.recWSunday = false;
    o.recWNumOfWeeks = QStringLiteral("4");
    QTest::newRow("weekly no day") << o << "W:4:8:8:8:8:8:8:8";

    o = usedEditor();
    o.recType2 = QStringLiteral("Monthly");
    o.recMThe = false;
    o.recMDayOfMonth = QStringLiteral("15");
    o.recMEveryMonth1 = QStringLiteral("1");
    QTest::newRow("monthly day 15") << o << "M:15:1";
    o.recMDayCheck = false;
    o.recMThe = true;
    o.recMNumberDayOfWeek = QStringLiteral("2");
    o.recMMonth2 = QStringLiteral("3");
    o.recMDayOfWeek = QStringLiteral("Tuesday");
    QTest::newRow("monthly 2nd Tuesday") << o << "N:2:3:Tuesday";
    o.recMThe = false;
    QTest::newRow("monthly no cell on") << o << "";

    o = usedEditor();
    o.recType2 = QStringLiteral("Yearly");
    QTest::newRow("unknown type") << o << "";
    o.recType2 = QString();
    QTest::newRow("no type") << o << "";
}

void TestRecOptions::createRecCode()
{
    QFETCH(RecOptions, state);
    QFETCH(QString, code);
    const QString built = state.createRecCode();
    QCOMPARE(built, code);
    QVERIFY(!built.isNull()); // empty, never absent
}

void TestRecOptions::weeklyCodesHaveNineFields()
{
    bool RecOptions::*const days[] = {&RecOptions::recWMonday, &RecOptions::recWTueday,
        &RecOptions::recWWednesday, &RecOptions::recWThrusday, &RecOptions::recWFriday,
        &RecOptions::recWSaturday, &RecOptions::recWSunday};
    for (int ticked = 0; ticked < 128; ++ticked) {
        RecOptions o;
        o.recType2 = QStringLiteral("Weekly");
        o.recWNumOfWeeks = QStringLiteral("1");
        QString expected = QStringLiteral("W:1");
        for (int day = 0; day < 7; ++day) {
            o.*days[day] = ticked & (1 << day);
            expected += ':' + ((ticked & (1 << day)) ? QString::number(day) : QStringLiteral("8"));
        }
        const QString code = o.createRecCode();
        QCOMPARE(code, expected);
        QCOMPARE(code.split(':').size(), 9);
        RecOptions loaded;
        loaded.setRecOptions(code);
        for (int day = 0; day < 7; ++day)
            QCOMPARE(loaded.*days[day], o.*days[day]);
    }
}

void TestRecOptions::setRecOptions_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<RecOptions>("expected");
    const QString recurrent = QStringLiteral("Recurrent Task");
    const QString edit = QStringLiteral("Edit");

    RecOptions e = usedEditor();
    e.recType2 = QStringLiteral("None");
    e.recType2FirstItemSelected = true;
    e.visibleBox = RecOptions::Box::None;
    e.recurrentLabel = QStringLiteral("No Recurrence");
    e.btnShowRecWin = QStringLiteral("Set");
    QTest::newRow("None touches nothing else") << "None" << e;

    e = usedEditor();
    e.recType2 = QStringLiteral("Daily");
    e.visibleBox = RecOptions::Box::Daily;
    e.recDEvery = false;
    e.recDWeekdays = true;
    e.recDNumDays = QStringLiteral("");
    e.recurrentLabel = recurrent;
    e.btnShowRecWin = edit;
    QTest::newRow("E") << "E" << e;

    e = usedEditor();
    e.recType2 = QStringLiteral("Daily");
    e.visibleBox = RecOptions::Box::Daily;
    e.recDNumDays = QStringLiteral("-2");
    e.recurrentLabel = recurrent;
    e.btnShowRecWin = edit;
    QTest::newRow("D keeps the others") << "D:-2" << e;
    e.recDNumDays = QStringLiteral("");
    QTest::newRow("D without count") << "D" << e;

    e = usedEditor();
    e.recWNumOfWeeks = QStringLiteral("1");
    e.recWTueday = e.recWSaturday = false;
    e.recWMonday = true;
    e.recurrentLabel = recurrent;
    e.btnShowRecWin = edit;
    QTest::newRow("W only Monday") << "W:1:0:8:8:8:8:8:8" << e;
    e.recWMonday = false;
    e.recWSunday = true;
    QTest::newRow("W only Sunday") << "W:1:8:8:8:8:8:8:6" << e;
    e.recWSunday = false;
    QTest::newRow("W digit in the wrong place") << "W:1:1:0:8:8:8:8:8" << e;
    e.recWNumOfWeeks = QStringLiteral("2");
    QTest::newRow("W damaged, days missing") << "W:2" << e;
    e.recWNumOfWeeks = QStringLiteral("");
    QTest::newRow("W damaged, nothing after") << "W" << e;

    e = usedEditor();
    e.recType2 = QStringLiteral("Monthly");
    e.visibleBox = RecOptions::Box::Monthly;
    e.recMThe = false;
    e.recMDayOfMonth = QStringLiteral("15");
    e.recMEveryMonth1 = QStringLiteral("1");
    e.recMNumberDayOfWeek = e.recMMonth2 = QStringLiteral("");
    e.recurrentLabel = recurrent;
    e.btnShowRecWin = edit;
    QTest::newRow("M clears the other form") << "M:15:1" << e;
    e.recMEveryMonth1 = QStringLiteral("");
    QTest::newRow("M damaged") << "M:15" << e;

    e = usedEditor();
    e.recType2 = QStringLiteral("Monthly");
    e.visibleBox = RecOptions::Box::Monthly;
    e.recMDayCheck = false;
    e.recMDayOfMonth = e.recMEveryMonth1 = QStringLiteral("");
    e.recMNumberDayOfWeek = QStringLiteral("2");
    e.recMMonth2 = QStringLiteral("3");
    e.recMDayOfWeek = QStringLiteral("Tuesday");
    e.recurrentLabel = recurrent;
    e.btnShowRecWin = edit;
    QTest::newRow("N clears the other form") << "N:2:3:Tuesday" << e;
    e.recMNumberDayOfWeek = e.recMMonth2 = e.recMDayOfWeek = QStringLiteral("");
    QTest::newRow("N damaged") << "N" << e;

    e = usedEditor();
    e.recType2 = QStringLiteral("None");
    e.recType2FirstItemSelected = true;
    e.visibleBox = RecOptions::Box::None;
    e.btnShowRecWin = edit;
    QTest::newRow("empty code keeps the label") << "" << e;
    QTest::newRow("absent code as empty") << QString() << e;
    QTest::newRow("empty kind") << ":1" << e;

    e = usedEditor();
    e.visibleBox = RecOptions::Box::None;
    e.btnShowRecWin = edit;
    QTest::newRow("unknown kind keeps type and label") << "X:1" << e;
    QTest::newRow("None in lower case") << "none" << e;
}

void TestRecOptions::setRecOptions()
{
    QFETCH(QString, code);
    QFETCH(RecOptions, expected);
    RecOptions o = usedEditor();
    o.setRecOptions(code);
    QCOMPARE(describe(o), describe(expected));
    QVERIFY(o == expected);
}

void TestRecOptions::roundTrip_data()
{
    QTest::addColumn<QString>("code");
    for (const char *code : {"None", "D:3", "D:03", "D:0", "D:-1", "D:", "E", "W:2:0:8:8:3:8:8:8",
             "W:1:8:8:8:8:8:8:6", "W:1:0:1:2:3:4:5:6", "W:5:8:8:8:8:8:8:8", "W::8:8:2:8:8:8:8",
             "M:15:1", "M:31:12", "M::", "N:2:3:Tuesday", "N:-1:0:Funday", "N:1:1:"})
        QTest::newRow(code) << QString::fromLatin1(code);
}

void TestRecOptions::roundTrip()
{
    QFETCH(QString, code);
    // From a fresh editor and from one full of the last use's values alike.
    for (RecOptions o : {RecOptions(), usedEditor()}) {
        o.setRecOptions(code);
        QCOMPARE(o.createRecCode(), code);
    }
}

void TestRecOptions::setRecType_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("box");
    QTest::newRow("None") << "None" << int(RecOptions::Box::None);
    QTest::newRow("Daily") << "Daily" << int(RecOptions::Box::Daily);
    QTest::newRow("Weekly") << "Weekly" << int(RecOptions::Box::Weekly);
    QTest::newRow("Monthly") << "Monthly" << int(RecOptions::Box::Monthly);
    QTest::newRow("other text") << "weekly" << int(RecOptions::Box::None);
}

void TestRecOptions::setRecType()
{
    QFETCH(QString, type);
    QFETCH(int, box);
    RecOptions o = usedEditor();
    o.recType2 = type;
    o.setRecType();
    QCOMPARE(int(o.visibleBox), box);
}

WENDRA_QTEST_CORE_MAIN(TestRecOptions)
#include "tst_recoptions.moc"
