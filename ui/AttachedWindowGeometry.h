// Where an attached pop-up window goes, how large it is, where its content view sits and what
// its bubble looks like. Plain value code with no window behind it, so every rule can be checked
// without showing anything.
//
// All coordinates are Qt's: device-independent pixels, y growing DOWNWARD. "Below the point"
// therefore means a larger y, a window's origin is its top-left corner, and the arrow band of a
// window below its point is at the top of the window (small y). The sides keep their visual
// meaning: LumSideLeftTop still extends upward on screen, i.e. towards smaller y.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Where the window lies relative to its point; the first word names the side of the point, the
// second the direction the window extends along it. The arrow sits on the edge facing the point.
enum LumSide : int
{
    LumSideLeft = 0,
    LumSideBottom = 1,
    LumSideRight = 2,
    LumSideTop = 3,
    LumSideLeftTop = 4,
    LumSideLeftBottom = 5,
    LumSideRightTop = 6,
    LumSideRightBottom = 7,
    LumSideTopLeft = 8,
    LumSideTopRight = 9,
    LumSideBottomLeft = 10,
    LumSideBottomRight = 11,
    LumSideAutomatic = 12,
};

struct AttachedWindowGeometry
{
    // Inputs. Lengths other than the distance are unscaled; `scale` multiplies them where used.
    QSizeF viewSize;
    QPointF point; // in global coordinates
    LumSide side = LumSideAutomatic;
    qreal distance = 0.0; // gap from the point to the facing window edge; never scaled
    qreal viewMargin = 2.0;
    qreal arrowBaseWidth = 20.0;
    qreal arrowHeight = 16.0;
    qreal cornerRadius = 8.0;
    bool hasArrow = true;
    bool drawsRoundCornerBesideArrow = true;
    qreal scale = 1.0;

    // How far along its edge the arrow's tip sits from the window corner it starts beside.
    qreal arrowInset() const;

    // The window's size: the view, the margin all round and, for a real side, the arrow band,
    // which is reserved even when no arrow is drawn so toggling the arrow never moves the view.
    QSizeF windowSize() const;
    // The content view's frame inside the window.
    QRectF viewFrame() const;
    // The window's frame in global coordinates.
    QRectF windowFrame() const;

    // The side to use for LumSideAutomatic: below if there is room on `screenArea`, else right,
    // left, above, else below anyway; then slid along the parent's frame (`parentFrame`, or the
    // screen area when null) so a centred window does not overhang the parent's edge.
    LumSide bestSide(const QRectF &screenArea, const QRectF &parentFrame) const;

    // The bubble's outline in window coordinates, arrow included. The straight edges lie on
    // whole pixels at least half a pixel inside the bubble's area, so fills and the clipped
    // border come out crisp.
    QPainterPath bubblePath() const;
};
