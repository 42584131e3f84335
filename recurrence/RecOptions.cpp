#include "RecOptions.h"

#include <QStringList>

namespace {

// The weekly check boxes, Monday to Sunday: the position is the day's digit in a code.
constexpr bool RecOptions::*weekDays[7] = {
    &RecOptions::recWMonday,
    &RecOptions::recWTueday,
    &RecOptions::recWWednesday,
    &RecOptions::recWThrusday,
    &RecOptions::recWFriday,
    &RecOptions::recWSaturday,
    &RecOptions::recWSunday,
};

const QString none = QStringLiteral("None");
const QString daily = QStringLiteral("Daily");
const QString weekly = QStringLiteral("Weekly");
const QString monthly = QStringLiteral("Monthly");

} // namespace

RecOptions::Box RecOptions::boxForType(const QString &type)
{
    if (type == daily)
        return Box::Daily;
    if (type == weekly)
        return Box::Weekly;
    if (type == monthly)
        return Box::Monthly;
    return Box::None;
}

QString RecOptions::createRecCode() const
{
    if (recType2 == none)
        return none;
    // Empty, not absent: a type with nothing chosen is stored as the empty code.
    QString code = QStringLiteral("");
    if (recType2 == daily) {
        // The radio cells are exclusive, so at most one of these appends.
        if (recDEvery)
            code += QStringLiteral("D:") + recDNumDays;
        if (recDWeekdays)
            code += QStringLiteral("E");
    }
    if (recType2 == weekly) {
        // Always nine fields: a day not chosen is "8", never left out.
        code += QStringLiteral("W:") + recWNumOfWeeks;
        for (int day = 0; day < 7; ++day)
            code += QLatin1Char(':')
                + (this->*weekDays[day] ? QString::number(day) : QStringLiteral("8"));
    }
    if (recType2 == monthly) {
        if (recMDayCheck)
            code += QStringLiteral("M:") + recMDayOfMonth + QLatin1Char(':') + recMEveryMonth1;
        if (recMThe)
            code += QStringLiteral("N:") + recMNumberDayOfWeek + QLatin1Char(':') + recMMonth2
                + QLatin1Char(':') + recMDayOfWeek;
    }
    return code;
}

void RecOptions::setRecOptions(const QString &recCode)
{
    const QString recurrent = QStringLiteral("Recurrent Task");
    const QString emptied = QStringLiteral("");
    recType2FirstItemSelected = false;
    const auto selectFirstType = [this] {
        recType2FirstItemSelected = true;
        recType2 = none;
    };

    if (recCode == none) {
        selectFirstType();
        visibleBox = Box::None;
        recurrentLabel = QStringLiteral("No Recurrence");
        btnShowRecWin = QStringLiteral("Set");
        return;
    }

    const QStringList fields = recCode.split(QLatin1Char(':'));
    const auto field = [&](qsizetype i) { return i < fields.size() ? fields.at(i) : emptied; };
    const QString kind = field(0);
    visibleBox = Box::None;

    if (kind.isEmpty())
        selectFirstType();
    if (kind == QLatin1String("D")) {
        recurrentLabel = recurrent;
        recType2 = daily;
        visibleBox = Box::Daily;
        recDWeekdays = false;
        recDEvery = true;
        recDNumDays = field(1);
    } else if (kind == QLatin1String("E")) {
        recurrentLabel = recurrent;
        recType2 = daily;
        visibleBox = Box::Daily;
        recDWeekdays = true;
        recDEvery = false;
        recDNumDays = emptied;
    } else if (kind == QLatin1String("W")) {
        recurrentLabel = recurrent;
        recType2 = weekly;
        visibleBox = Box::Weekly;
        recWNumOfWeeks = field(1);
        for (int day = 0; day < 7; ++day)
            this->*weekDays[day] = field(2 + day) == QString::number(day);
    } else if (kind == QLatin1String("M")) {
        recurrentLabel = recurrent;
        recType2 = monthly;
        visibleBox = Box::Monthly;
        recMDayCheck = true;
        recMThe = false;
        recMDayOfMonth = field(1);
        recMEveryMonth1 = field(2);
        recMMonth2 = emptied;
        recMNumberDayOfWeek = emptied;
    } else if (kind == QLatin1String("N")) {
        recurrentLabel = recurrent;
        recType2 = monthly;
        visibleBox = Box::Monthly;
        recMDayCheck = false;
        recMThe = true;
        recMDayOfMonth = emptied;
        recMEveryMonth1 = emptied;
        recMNumberDayOfWeek = field(1);
        recMMonth2 = field(2);
        recMDayOfWeek = field(3);
    }
    // Every code but "None" titles the button "Edit", even an empty or unknown one.
    btnShowRecWin = QStringLiteral("Edit");
}
