#include "LumAttachedWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>
#include <QScreen>
#include <QtMath>

#include <algorithm>
#include <stdexcept>

namespace {

// Checked before the window exists: a pop-up without content has nothing to show or size by.
QWidget *parentWindowFor(QWidget *view, QWidget *window)
{
    if (!view)
        throw std::invalid_argument("LumAttachedWindow needs a content view");
    return window ? window->window() : nullptr;
}

} // namespace

LumAttachedWindow::LumAttachedWindow(
    QWidget *view, const QPointF &point, QWidget *window, LumSide side, qreal distance)
    : QWidget(parentWindowFor(view, window), Qt::Tool | Qt::FramelessWindowHint)
    , view_(view)
    , viewFormerParent_(view->parentWidget())
    , attachedWindow_(window)
    , point_(point)
{
    // The platform draws the window's shadow; the corners and the arrow's surroundings must
    // stay see-through.
    setAttribute(Qt::WA_TranslucentBackground);

    geometry_.side = side;
    geometry_.distance = distance;
    geometry_.viewSize = contentSize();
    if (side == LumSideAutomatic) {
        geometry_.point = globalPoint();
        geometry_.side = chooseBestSide();
    }

    view->setParent(this);
    view->show();
    // The defaults suit any ordinary view; for a very small one this shrinks the corners and
    // the arrow so they fit the bubble. It also places the window.
    setCornerRadius(cornerRadius());

    // A child window travels with its parent.
    if (parentWidget())
        parentWidget()->installEventFilter(this);
}

LumAttachedWindow::LumAttachedWindow(
    QWidget *view, const QPointF &point, QWidget *window, qreal distance)
    : LumAttachedWindow(view, point, window, LumSideAutomatic, distance)
{
}

LumAttachedWindow::LumAttachedWindow(
    QWidget *view, const QPointF &point, LumSide side, qreal distance)
    : LumAttachedWindow(view, point, nullptr, side, distance)
{
}

LumAttachedWindow::LumAttachedWindow(QWidget *view, const QPointF &point, qreal distance)
    : LumAttachedWindow(view, point, nullptr, LumSideAutomatic, distance)
{
}

LumAttachedWindow::~LumAttachedWindow()
{
    // Hand the view back unless a newer pop-up has already taken it.
    if (view_ && view_->parentWidget() == this) {
        view_->hide();
        view_->setParent(viewFormerParent_);
    }
}

void LumAttachedWindow::orderFront()
{
    show();
    raise();
    activateWindow();
}

void LumAttachedWindow::orderOut()
{
    hide();
}

void LumAttachedWindow::setPoint(const QPointF &point, LumSide side)
{
    point_ = point;
    geometry_.side = side;
    redisplay();
}

void LumAttachedWindow::setBackgroundColor(const QColor &color)
{
    if (background_.style() == Qt::SolidPattern && background_.color() == color)
        return;
    background_ = QBrush(color);
    update();
}

void LumAttachedWindow::setBackgroundImage(const QImage &image)
{
    if (image.isNull())
        return;
    background_ = QBrush(image);
    update();
}

void LumAttachedWindow::setBorderColor(const QColor &color)
{
    if (borderColor_ == color)
        return;
    borderColor_ = color;
    update();
}

void LumAttachedWindow::setBorderWidth(qreal width)
{
    if (width == borderWidth_)
        return;
    // The border is drawn inside the bubble; wider than the margin it would run under the view.
    borderWidth_ = std::min(width, viewMargin());
    update();
}

void LumAttachedWindow::setViewMargin(qreal margin)
{
    if (margin == viewMargin())
        return;
    geometry_.viewMargin = std::max(margin, 0.0);
    borderWidth_ = std::min(borderWidth_, geometry_.viewMargin);
    setCornerRadius(cornerRadius());
}

void LumAttachedWindow::setArrowBaseWidth(qreal width)
{
    // The arrow must fit along the shortest edge beside the rounded corners it sits between.
    const QSizeF size = geometry_.viewSize;
    const qreal radius = cornerRadius();
    qreal room = std::min(size.width(), size.height()) + 2 * viewMargin() - radius;
    if (drawsRoundCornerBesideArrow())
        room -= radius;
    geometry_.arrowBaseWidth = std::max(std::min(width, room), 0.0);
    redisplay();
}

void LumAttachedWindow::setArrowHeight(qreal height)
{
    if (height == arrowHeight())
        return;
    // A negative height would make the window smaller than the bubble and cut off the view.
    geometry_.arrowHeight = std::max(height, 0.0);
    redisplay();
}

void LumAttachedWindow::setHasArrow(bool hasArrow)
{
    if (hasArrow == geometry_.hasArrow)
        return;
    geometry_.hasArrow = hasArrow;
    update();
}

void LumAttachedWindow::setCornerRadius(qreal radius)
{
    const QSizeF size = geometry_.viewSize;
    const qreal room
        = (std::min(size.width(), size.height()) + 2 * viewMargin() - arrowBaseWidth()) / 2;
    geometry_.cornerRadius = std::max(std::min(radius, room), 0.0);
    setArrowBaseWidth(arrowBaseWidth());
}

void LumAttachedWindow::setDrawsRoundCornerBesideArrow(bool rounded)
{
    if (rounded == geometry_.drawsRoundCornerBesideArrow)
        return;
    geometry_.drawsRoundCornerBesideArrow = rounded;
    // Rounding the corner beside the arrow takes room from the arrow.
    setArrowBaseWidth(arrowBaseWidth());
}

void LumAttachedWindow::setScaleFactor(qreal scale)
{
    if (scale <= 0 || scale == geometry_.scale)
        return;
    geometry_.scale = scale;
    redisplay();
}

void LumAttachedWindow::paintBubble(QPainter &painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = bubblePath();
    painter.fillPath(path, background_);
    if (borderWidth_ > 0) {
        // Only the inner half of a stroke twice as wide is kept, so the border never spills
        // past the bubble's edge and its visible width is exactly the border width.
        QPainterPathStroker stroker;
        stroker.setWidth(2 * borderWidth_ * scaleFactor());
        stroker.setJoinStyle(Qt::RoundJoin);
        painter.fillPath(stroker.createStroke(path).intersected(path), borderColor_);
    }
    painter.restore();
}

void LumAttachedWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintBubble(painter);
}

void LumAttachedWindow::closeEvent(QCloseEvent *event)
{
    // A Close command aimed at the pop-up means the window it belongs to.
    if (parentWidget())
        event->setAccepted(parentWidget()->close());
    else
        QWidget::closeEvent(event);
}

bool LumAttachedWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Move)
        redisplay();
    return QWidget::eventFilter(watched, event);
}

QSizeF LumAttachedWindow::contentSize() const
{
    if (!view_)
        return QSizeF(0, 0);
    // A view nobody has sized yet (one from a form, never laid out) goes by what it asks for.
    if (view_->testAttribute(Qt::WA_Resized) || !view_->sizeHint().isValid())
        return view_->size();
    return view_->sizeHint().expandedTo(view_->minimumSize());
}

QPointF LumAttachedWindow::globalPoint() const
{
    return attachedWindow_ ? QPointF(attachedWindow_->mapToGlobal(point_)) : point_;
}

LumSide LumAttachedWindow::chooseBestSide() const
{
    QScreen *screen = attachedWindow_ ? attachedWindow_->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRectF screenArea = screen ? QRectF(screen->availableGeometry()) : QRectF();
    const QRectF parentFrame = parentWidget() ? QRectF(parentWidget()->frameGeometry()) : QRectF();
    return geometry_.bestSide(screenArea, parentFrame);
}

void LumAttachedWindow::applyGeometry()
{
    geometry_.viewSize = contentSize();
    geometry_.point = globalPoint();
    const QRectF frame = geometry_.windowFrame();
    setGeometry(QRect(QPoint(qRound(frame.x()), qRound(frame.y())),
        QSize(qCeil(frame.width()), qCeil(frame.height()))));
    if (view_)
        view_->setGeometry(geometry_.viewFrame().toRect());
}

void LumAttachedWindow::redisplay()
{
    applyGeometry();
    update();
}
