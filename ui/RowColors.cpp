#include "RowColors.h"

#include <QTableView>

namespace RowColors {

std::array<QColor, 2> controlAlternatingRowBackgroundColors()
{
    return {
        QColor::fromRgbF(0.95f, 0.95f, 0.95f, 1.0f), QColor::fromRgbF(0.85f, 0.85f, 0.85f, 1.0f)};
}

void applyAlternatingRowColors(QTableView &table)
{
    const auto colours = controlAlternatingRowBackgroundColors();
    QPalette palette = table.palette();
    palette.setColor(QPalette::Base, colours[0]);
    palette.setColor(QPalette::AlternateBase, colours[1]);
    table.setPalette(palette);
    table.setAlternatingRowColors(true);
}

} // namespace RowColors
