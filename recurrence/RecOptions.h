// RecOptions: the recurrence editor's controls as plain values, and the two translations
// between them and a rec code (createRecCode, setRecOptions).
//
// Each member is named after the control it stands for, so the window code copies them
// field by field: check boxes and radio cells are bools ("1"/"0" on the widget), text fields
// and combo box texts are texts exactly as typed, the three group boxes are one `visibleBox`.
// Loading a code changes only what the code speaks for; the controls of the other types
// keep what the last use left in them, as the editor does.
#pragma once

#include <QString>

struct RecOptions
{
    enum class Box
    {
        None,
        Daily,
        Weekly,
        Monthly
    };

    // recType2, the type combo box: its text. recType2FirstItemSelected is set by
    // setRecOptions when it selected item 0 ("None") by index rather than setting the text;
    // recType2 then reads "None" too.
    QString recType2;
    bool recType2FirstItemSelected = false;

    // Daily.
    bool recDEvery = false;
    QString recDNumDays;
    bool recDWeekdays = false;

    // Weekly.
    QString recWNumOfWeeks;
    bool recWMonday = false;
    bool recWTueday = false;
    bool recWWednesday = false;
    bool recWThrusday = false;
    bool recWFriday = false;
    bool recWSaturday = false;
    bool recWSunday = false;

    // Monthly: day d of every n months, or the k-th weekday of every n months.
    bool recMDayCheck = false;
    QString recMDayOfMonth;
    QString recMEveryMonth1;
    bool recMThe = false;
    QString recMNumberDayOfWeek;
    QString recMMonth2;
    QString recMDayOfWeek;

    // dailyBox, weeklyBox, monthlyBox: at most one is shown.
    Box visibleBox = Box::None;

    // The task sheet's summary label and the title of the button that opens the editor.
    QString recurrentLabel;
    QString btnShowRecWin;

    // The rec code for the present state; type "None" gives "None", a type or a form with
    // nothing chosen gives the empty text.
    QString createRecCode() const;

    // Loads a rec code: type, box, the controls of the code's own type, label and button.
    // Missing fields of a damaged code read as empty texts and days not chosen.
    void setRecOptions(const QString &recCode);

    // Shows the group box of the type in recType2 and hides the others (the type combo's
    // action).
    void setRecType() { visibleBox = boxForType(recType2); }
    static Box boxForType(const QString &type);

    bool operator==(const RecOptions &) const = default;
};
