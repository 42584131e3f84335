// The two background colours of alternating table rows: a light grey for
// rows 0, 2, 4 ... and a darker one for rows 1, 3, 5 ..., used instead of the
// style's own pair by every table of the application that alternates rows.
#pragma once

#include <QColor>

#include <array>

class QTableView;

namespace RowColors {

// Even rows first, then odd rows.
std::array<QColor, 2> controlAlternatingRowBackgroundColors();

// The ink on those rows: the task's title and the grey of its summary line.
// The rows stay light in a dark colour scheme too, so the ink stays dark.
QColor rowTextColor();
QColor summaryTextColor();

// Puts the pair into the table's palette (Base for even rows, AlternateBase
// for odd ones) with the row ink as its Text, and turns alternating rows on.
// Whatever the style draws on a row with the palette's text colour (a check
// box's mark, an editor's text) is then dark on light under any scheme.
void applyAlternatingRowColors(QTableView &table);

// How far apart two colours are for the eye, from 1 (the same) to 21
// (black on white): the WCAG ratio of their relative luminances. Text needs
// 4.5 to be read comfortably at small sizes.
double contrastRatio(const QColor &a, const QColor &b);

} // namespace RowColors
