#include "AttachedWindowGeometry.h"

#include <cmath>

namespace {

bool arrowOnLeftEdge(LumSide side)
{
    return side == LumSideRight || side == LumSideRightTop || side == LumSideRightBottom;
}

bool arrowOnRightEdge(LumSide side)
{
    return side == LumSideLeft || side == LumSideLeftTop || side == LumSideLeftBottom;
}

bool arrowOnTopEdge(LumSide side)
{
    return side == LumSideBottom || side == LumSideBottomLeft || side == LumSideBottomRight;
}

bool arrowOnBottomEdge(LumSide side)
{
    return side == LumSideTop || side == LumSideTopLeft || side == LumSideTopRight;
}

} // namespace

qreal AttachedWindowGeometry::arrowInset() const
{
    return (arrowBaseWidth / 2 + (drawsRoundCornerBesideArrow ? cornerRadius : 0.0)) * scale;
}

QSizeF AttachedWindowGeometry::windowSize() const
{
    const qreal m = viewMargin * scale;
    const qreal a = arrowHeight * scale;
    QSizeF size(viewSize.width() + 2 * m, viewSize.height() + 2 * m);
    if (arrowOnLeftEdge(side) || arrowOnRightEdge(side))
        size.rwidth() += a;
    else if (arrowOnTopEdge(side) || arrowOnBottomEdge(side))
        size.rheight() += a;
    return size;
}

QRectF AttachedWindowGeometry::viewFrame() const
{
    const qreal m = viewMargin * scale;
    const qreal a = arrowHeight * scale;
    QRectF frame(QPointF(m, m), viewSize);
    // The arrow band comes before the view only when the arrow is on the left or top edge.
    if (arrowOnLeftEdge(side))
        frame.translate(a, 0);
    else if (arrowOnTopEdge(side))
        frame.translate(0, a);
    return frame;
}

QRectF AttachedWindowGeometry::windowFrame() const
{
    const QSizeF size = windowSize();
    const qreal w = size.width();
    const qreal h = size.height();
    const qreal px = point.x();
    const qreal py = point.y();
    const qreal d = distance;
    const qreal i = arrowInset();

    QPointF origin;
    switch (side) {
    case LumSideLeft:
        origin = {px - w - d, py - h / 2};
        break;
    case LumSideBottom:
        origin = {px - w / 2, py + d};
        break;
    case LumSideRight:
        origin = {px + d, py - h / 2};
        break;
    case LumSideTop:
        origin = {px - w / 2, py - h - d};
        break;
    case LumSideLeftTop:
        origin = {px - w - d, py - h + i};
        break;
    case LumSideLeftBottom:
        origin = {px - w - d, py - i};
        break;
    case LumSideRightTop:
        origin = {px + d, py - h + i};
        break;
    case LumSideRightBottom:
        origin = {px + d, py - i};
        break;
    case LumSideTopLeft:
        origin = {px - w + i, py - h - d};
        break;
    case LumSideTopRight:
        origin = {px - i, py - h - d};
        break;
    case LumSideBottomLeft:
        origin = {px - w + i, py + d};
        break;
    case LumSideBottomRight:
        origin = {px - i, py + d};
        break;
    default:
        // No side: the window's bottom-left corner sits on the point.
        origin = {px, py - h};
        break;
    }
    return QRectF(origin, size);
}

LumSide AttachedWindowGeometry::bestSide(const QRectF &screenArea, const QRectF &parentFrame) const
{
    const QRectF &s = screenArea;
    const QRectF &q = parentFrame.isNull() ? screenArea : parentFrame;
    const qreal w = viewSize.width() + 2 * viewMargin * scale;
    const qreal h = viewSize.height() + 2 * viewMargin * scale;
    const qreal gap = arrowHeight * scale + distance;
    const qreal i = arrowInset();
    const qreal px = point.x();
    const qreal py = point.y();

    LumSide best = LumSideBottom;
    if (py + gap + h <= s.bottom())
        best = LumSideBottom;
    else if (px + w + gap < s.right())
        best = LumSideRight;
    else if (s.left() <= px - w - gap)
        best = LumSideLeft;
    else if (s.top() < py - h - gap)
        best = LumSideTop;

    const bool vertical = best == LumSideBottom || best == LumSideTop;
    if (vertical) {
        // Centred, would the window overhang the parent's left or right edge? Then extend it
        // away from that edge, if the screen has room that way.
        if (q.left() > px - w / 2 && s.right() > px + w - i)
            return best == LumSideBottom ? LumSideBottomRight : LumSideTopRight;
        if (px + w / 2 >= q.right() && px - w + i >= s.left())
            return best == LumSideBottom ? LumSideBottomLeft : LumSideTopLeft;
    } else {
        // The same for the parent's bottom and top edges.
        if (q.bottom() < py + h / 2 && s.top() < py - h + i)
            return best == LumSideRight ? LumSideRightTop : LumSideLeftTop;
        if (py - h / 2 <= q.top() && py + h - i <= s.bottom())
            return best == LumSideRight ? LumSideRightBottom : LumSideLeftBottom;
    }
    return best;
}

QPainterPath AttachedWindowGeometry::bubblePath() const
{
    const qreal r = cornerRadius * scale;
    const qreal b = arrowBaseWidth * scale;
    const qreal t = arrowHeight * scale;
    const qreal m = viewMargin * scale;
    const QRectF area = viewFrame().adjusted(-m, -m, m, m);

    const qreal minX = std::ceil(area.left() + 0.5);
    const qreal maxX = std::floor(area.right() - 0.5);
    const qreal minY = std::ceil(area.top() + 0.5);
    const qreal maxY = std::floor(area.bottom() - 0.5);
    const qreal midX = area.center().x();
    const qreal midY = area.center().y();

    // The corner an arrow starts at stays square unless asked otherwise, so the arrow can begin
    // right at the corner.
    const auto radius = [&](LumSide arrowSide1, LumSide arrowSide2) {
        const bool arrowHere = side == arrowSide1 || side == arrowSide2;
        return r > 0 && (drawsRoundCornerBesideArrow || !arrowHere) ? r : 0.0;
    };
    const qreal rTopLeft = radius(LumSideRightBottom, LumSideBottomRight);
    const qreal rTopRight = radius(LumSideLeftBottom, LumSideBottomLeft);
    const qreal rBottomRight = radius(LumSideLeftTop, LumSideTopLeft);
    const qreal rBottomLeft = radius(LumSideRightTop, LumSideTopRight);

    QPainterPath path;
    // The arrow is two lines from the current point: out to the tip, back to the edge. The path
    // runs clockwise on screen, so each edge's arrow is drawn in that edge's direction.
    const auto appendArrow = [&]() {
        if (!hasArrow)
            return;
        const QPointF c = path.currentPosition();
        if (arrowOnTopEdge(side)) {
            path.lineTo(c.x() + b / 2, c.y() - t);
            path.lineTo(c.x() + b, c.y());
        } else if (arrowOnRightEdge(side)) {
            path.lineTo(c.x() + t, c.y() + b / 2);
            path.lineTo(c.x(), c.y() + b);
        } else if (arrowOnBottomEdge(side)) {
            path.lineTo(c.x() - b / 2, c.y() + t);
            path.lineTo(c.x() - b, c.y());
        } else if (arrowOnLeftEdge(side)) {
            path.lineTo(c.x() - t, c.y() - b / 2);
            path.lineTo(c.x(), c.y() - b);
        }
    };

    path.moveTo(minX + rTopLeft, minY);

    // Top edge, left to right.
    if (side == LumSideBottomRight) {
        appendArrow();
    } else if (side == LumSideBottom) {
        path.lineTo(midX - b / 2, minY);
        appendArrow();
    } else if (side == LumSideBottomLeft) {
        path.lineTo(maxX - rTopRight - b, minY);
        appendArrow();
    }
    path.lineTo(maxX - rTopRight, minY);
    if (rTopRight > 0)
        path.arcTo(maxX - 2 * r, minY, 2 * r, 2 * r, 90, -90);

    // Right edge, downward.
    if (side == LumSideLeftBottom) {
        appendArrow();
    } else if (side == LumSideLeft) {
        path.lineTo(maxX, midY - b / 2);
        appendArrow();
    } else if (side == LumSideLeftTop) {
        path.lineTo(maxX, maxY - rBottomRight - b);
        appendArrow();
    }
    path.lineTo(maxX, maxY - rBottomRight);
    if (rBottomRight > 0)
        path.arcTo(maxX - 2 * r, maxY - 2 * r, 2 * r, 2 * r, 0, -90);

    // Bottom edge, right to left.
    if (side == LumSideTopLeft) {
        appendArrow();
    } else if (side == LumSideTop) {
        path.lineTo(midX + b / 2, maxY);
        appendArrow();
    } else if (side == LumSideTopRight) {
        path.lineTo(minX + rBottomLeft + b, maxY);
        appendArrow();
    }
    path.lineTo(minX + rBottomLeft, maxY);
    if (rBottomLeft > 0)
        path.arcTo(minX, maxY - 2 * r, 2 * r, 2 * r, 270, -90);

    // Left edge, upward.
    if (side == LumSideRightTop) {
        appendArrow();
    } else if (side == LumSideRight) {
        path.lineTo(minX, midY + b / 2);
        appendArrow();
    } else if (side == LumSideRightBottom) {
        path.lineTo(minX, minY + rTopLeft + b);
        appendArrow();
    }
    path.lineTo(minX, minY + rTopLeft);
    if (rTopLeft > 0)
        path.arcTo(minX, minY, 2 * r, 2 * r, 180, -90);

    path.closeSubpath();
    return path;
}
