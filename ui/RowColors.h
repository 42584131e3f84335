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

// Puts the pair into the table's palette (Base for even rows, AlternateBase
// for odd ones) and turns alternating rows on.
void applyAlternatingRowColors(QTableView &table);

} // namespace RowColors
