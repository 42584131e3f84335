#include "RoundedRectPath.h"

#include <algorithm>

namespace RoundedRectPath {

QPainterPath bezierPathWithRoundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    appendBezierPathWithRoundedRect(path, rect, radius);
    return path;
}

void appendBezierPathWithRoundedRect(QPainterPath &path, const QRectF &rect, qreal radius)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    if (radius <= 0) {
        path.addRect(rect);
        return;
    }
    const qreal r = std::min(radius, std::min(rect.width(), rect.height()) / 2);
    const qreal x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    const qreal d = 2 * r;
    // From the middle of the bottom edge round the corners clockwise on
    // screen; each arcTo joins its corner with a straight edge first.
    path.moveTo(x + w / 2, y + h);
    path.arcTo(QRectF(x, y + h - d, d, d), 270, -90);
    path.arcTo(QRectF(x, y, d, d), 180, -90);
    path.arcTo(QRectF(x + w - d, y, d, d), 90, -90);
    path.arcTo(QRectF(x + w - d, y + h - d, d, d), 0, -90);
    path.closeSubpath();
}

} // namespace RoundedRectPath
