// A borderless pop-up that holds one content view inside a rounded, semi-transparent bubble
// whose arrow points at a spot, usually the centre of a button in another window. The date and
// recurrence pop-ups use it below their buttons.
//
// The window is a frameless, translucent Qt::Tool window whose transient parent is the window it
// points into, so it stays above that window and follows it when it moves. Geometry and the
// bubble's outline come from AttachedWindowGeometry; this class only stores settings, applies
// the geometry and paints.
//
// The content view is lent, not given: it is moved into this window at construction and handed
// back, hidden, to its former parent when this window is destroyed. A controller can therefore
// make a new pop-up for the same view at every opening.
#pragma once

#include "AttachedWindowGeometry.h"

#include <QBrush>
#include <QColor>
#include <QPointer>
#include <QWidget>

class QImage;
class QPainter;

class LumAttachedWindow : public QWidget
{
    Q_OBJECT

public:
    // `point` is in `window`'s coordinates, or global when `window` is null. `window` may be any
    // widget; the pop-up attaches to the top-level window holding it. With LumSideAutomatic the
    // side is chosen once, here. Throws std::invalid_argument when `view` is null.
    LumAttachedWindow(
        QWidget *view, const QPointF &point, QWidget *window, LumSide side, qreal distance);
    LumAttachedWindow(QWidget *view, const QPointF &point, QWidget *window, qreal distance = 0.0);
    LumAttachedWindow(QWidget *view, const QPointF &point, LumSide side, qreal distance = 0.0);
    LumAttachedWindow(QWidget *view, const QPointF &point, qreal distance = 0.0);
    ~LumAttachedWindow() override;

    // Shows the pop-up above its parent window and gives it the keyboard; hides it again.
    void orderFront();
    void orderOut();

    QWidget *view() const { return view_; }
    QWidget *attachedWindow() const { return attachedWindow_; }
    QPointF point() const { return point_; }
    LumSide side() const { return geometry_.side; }
    qreal distance() const { return geometry_.distance; }
    // Where the content view sits in this window.
    QRectF viewFrame() const { return geometry_.viewFrame(); }

    // Re-places the window without choosing a side: LumSideAutomatic here puts the window's
    // bottom-left corner on the point and draws no arrow.
    void setPoint(const QPointF &point, LumSide side);

    QColor windowBackgroundColor() const { return background_.color(); }
    void setBackgroundColor(const QColor &color);
    // Tiles the image as the bubble's fill; a null image changes nothing.
    void setBackgroundImage(const QImage &image);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor &color);
    qreal borderWidth() const { return borderWidth_; }
    void setBorderWidth(qreal width);
    qreal viewMargin() const { return geometry_.viewMargin; }
    void setViewMargin(qreal margin);
    qreal arrowBaseWidth() const { return geometry_.arrowBaseWidth; }
    void setArrowBaseWidth(qreal width);
    qreal arrowHeight() const { return geometry_.arrowHeight; }
    void setArrowHeight(qreal height);
    bool hasArrow() const { return geometry_.hasArrow; }
    void setHasArrow(bool hasArrow);
    qreal cornerRadius() const { return geometry_.cornerRadius; }
    void setCornerRadius(qreal radius);
    bool drawsRoundCornerBesideArrow() const { return geometry_.drawsRoundCornerBesideArrow; }
    void setDrawsRoundCornerBesideArrow(bool rounded);

    // Multiplies every length except the distance. Qt already maps device-independent pixels to
    // the screen's physical pixels, so this is 1.0 on every screen; it stays adjustable for a
    // caller that wants a larger bubble.
    qreal scaleFactor() const { return geometry_.scale; }
    void setScaleFactor(qreal scale);

    // The bubble's outline in window coordinates.
    QPainterPath bubblePath() const { return geometry_.bubblePath(); }
    // Paints the bubble, border and arrow; everything outside the bubble is left untouched.
    void paintBubble(QPainter &painter) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSizeF contentSize() const;
    QPointF globalPoint() const;
    LumSide chooseBestSide() const;
    void applyGeometry();
    void redisplay();

    QPointer<QWidget> view_;
    QPointer<QWidget> viewFormerParent_;
    QPointer<QWidget> attachedWindow_; // the widget `point_` is relative to
    QPointF point_;
    AttachedWindowGeometry geometry_;
    QColor borderColor_ = Qt::white;
    qreal borderWidth_ = 2.0;
    QBrush background_ = QColor::fromRgbF(0.9f, 0.9f, 0.9f, 0.8f);
    bool resizing_ = false;
};
