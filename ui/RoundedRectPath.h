// Rounded rectangles as paths, for the table's selection highlight and the
// image that follows the pointer while rows are dragged.
#pragma once

#include <QPainterPath>
#include <QRectF>

namespace RoundedRectPath {

// A new path holding one rounded rectangle (see appendRoundedRect).
QPainterPath bezierPathWithRoundedRect(const QRectF &rect, qreal radius);

// Appends a closed rounded rectangle to path. An empty rectangle appends
// nothing, a radius of 0 or less the plain rectangle, and a radius of half
// the shorter side or more gives fully round ends.
void appendBezierPathWithRoundedRect(QPainterPath &path, const QRectF &rect, qreal radius);

} // namespace RoundedRectPath
