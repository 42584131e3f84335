// The second line of a task row: when the task is due, when a recurring task
// was last done, and, in the views that gather tasks from every list, which
// list it belongs to. Plain text with no widgets, so the rules are checked
// without drawing anything.
//
// Dates are shown in the local time zone. An absent (invalid) date counts as
// the instant 0 seconds after 1970, which is how the database stores it.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

class Item;

namespace TaskSummary {

// The summary of one task as shown in the view titled viewTitle (the text of
// selectedCatName). Weekday names come from locale; month and day are always
// two ASCII digits.
QString summaryText(const QString &viewTitle, const QDateTime &endDate, const QDateTime &startDate,
    const QString &recCode, const QString &category, const QLocale &locale = QLocale::system());

// The same for a hydrated task record.
QString summaryText(
    const QString &viewTitle, const Item &task, const QLocale &locale = QLocale::system());

// Whether a row's check box is drawn on: only in the "Completed" view.
bool checkBoxIsOn(const QString &viewTitle);

} // namespace TaskSummary
