#include "RowColors.h"

#include <QTableView>

#include <algorithm>
#include <cmath>

namespace RowColors {

std::array<QColor, 2> controlAlternatingRowBackgroundColors()
{
    return {
        QColor::fromRgbF(0.95f, 0.95f, 0.95f, 1.0f), QColor::fromRgbF(0.85f, 0.85f, 0.85f, 1.0f)};
}

QColor rowTextColor()
{
    return Qt::black;
}

QColor summaryTextColor()
{
    // Dark enough to keep 4.5:1 against the darker of the two rows.
    return QColor::fromRgbF(0.36f, 0.36f, 0.36f, 1.0f);
}

void applyAlternatingRowColors(QTableView &table)
{
    const auto colours = controlAlternatingRowBackgroundColors();
    QPalette palette = table.palette();
    palette.setColor(QPalette::Base, colours[0]);
    palette.setColor(QPalette::AlternateBase, colours[1]);
    palette.setColor(QPalette::Text, rowTextColor());
    table.setPalette(palette);
    table.setAlternatingRowColors(true);
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &colour) {
        const auto linear = [](float channel) {
            return channel <= 0.03928f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
            + 0.0722 * linear(colour.blueF());
    };
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

} // namespace RowColors
