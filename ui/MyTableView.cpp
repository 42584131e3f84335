#include "MyTableView.h"

#include "RoundedRectPath.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QHeaderView>

#include <QPainter>
#include <QProxyStyle>
#include <QtGlobal>

namespace {

// The table marks a drop with its own marker between rows, and the row
// with the keyboard with its rounded fill; the style would add its drop
// indicator and a square focus frame round one cell.
class TableStyle : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_IndicatorItemViewItemDrop && element != PE_FrameFocusRect)
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

MyTableView::MyTableView(QWidget *parent)
    : QTableView(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    auto *style = new TableStyle;
    style->setParent(this);
    setStyle(style);
}

QColor MyTableView::highlightColor() const
{
    const bool inFocus = hasFocus() && window()->isActiveWindow();
    return inFocus ? highlightColorInFocusView() : highlightColorOutOfFocusView();
}

QRect MyTableView::rowRect(int row) const
{
    return QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row));
}

std::pair<int, int> MyTableView::rowsIn(const QRect &clip) const
{
    const int count = model() ? model()->rowCount(rootIndex()) : 0;
    const int top = rowAt(clip.top()), bottom = rowAt(clip.bottom());
    if (top < 0)
        return {0, -1}; // all of clip lies below the last row
    return {top, bottom < 0 ? count - 1 : bottom};
}

void MyTableView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        // Space never checks a task off: a stray key press must not close
        // a task, even with the focus on its check box.
        qInfo("Pressed space");
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selectionModel() && selectionModel()->selectedRows().size() == 1) {
            emit switchToEditView();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QTableView::keyPressEvent(event);
}

void MyTableView::contextMenuEvent(QContextMenuEvent *event)
{
    // The same menu on a row and below the last one.
    if (moveItems_)
        moveItems_->popup(event->globalPos());
    event->accept();
}

void MyTableView::initViewItemOption(QStyleOptionViewItem *option) const
{
    QTableView::initViewItemOption(option);
    // The cells leave row colours and selection to paintEvent, which draws
    // them under the cells; the style would paint square blocks over them.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        option->palette.setBrush(group, QPalette::AlternateBase, Qt::transparent);
        option->palette.setBrush(group, QPalette::Highlight, Qt::transparent);
    }
}

void MyTableView::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(viewport());
        const auto [first, last] = rowsIn(event->rect());
        for (int row = first; alternatingRowColors() && row <= last; ++row)
            if (row % 2 == 1)
                painter.fillRect(rowRect(row), palette().brush(QPalette::AlternateBase));
        highlightSelectionInClipRect(painter, event->rect());
    }
    QTableView::paintEvent(event);
    if (dropGap_.upperRow >= 0 || dropGap_.lowerRow >= 0) {
        QPainter painter(viewport());
        performDrawDropHighlightBetweenUpperRow(painter, dropGap_);
    }
}

void MyTableView::highlightSelectionInClipRect(QPainter &painter, const QRect &clip) const
{
    if (!selectionModel())
        return;
    const auto [first, last] = rowsIn(clip);
    const QColor colour = highlightColor();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (int row = first; row <= last; ++row) {
        if (!selectionModel()->isRowSelected(row, rootIndex()))
            continue;
        const QRectF inset = QRectF(rowRect(row)).adjusted(2, 1, -2, -1);
        painter.fillPath(RoundedRectPath::bezierPathWithRoundedRect(inset, 5), colour);
    }
    painter.restore();
}

QImage MyTableView::dragImage(const QImage &rows, const QColor &tint)
{
    QImage image(rows.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(rows.devicePixelRatio());
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor halfTint = tint;
    halfTint.setAlphaF(0.5f);
    const QRectF whole(QPointF(0, 0), rows.deviceIndependentSize());
    painter.fillPath(RoundedRectPath::bezierPathWithRoundedRect(whole, 8), halfTint);
    painter.drawImage(QPointF(0, 0), rows);
    return image;
}

void MyTableView::startDrag(Qt::DropActions supportedActions)
{
    QModelIndexList indexes;
    QRect area;
    for (const QModelIndex &index : selectedIndexes()) {
        if (model()->flags(index) & Qt::ItemIsDragEnabled) {
            indexes << index;
            area |= visualRect(index);
        }
    }
    area &= viewport()->rect();
    QMimeData *data = indexes.isEmpty() ? nullptr : model()->mimeData(indexes);
    if (!data || area.isEmpty())
        return;
    // The dragged cells as the table draws them, without the rows between.
    const qreal ratio = devicePixelRatioF();
    QImage rows(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    rows.setDevicePixelRatio(ratio);
    rows.fill(Qt::transparent);
    {
        QPainter painter(&rows);
        for (const QModelIndex &index : indexes) {
            QStyleOptionViewItem option;
            initViewItemOption(&option);
            option.rect = visualRect(index).translated(-area.topLeft());
            option.state |= QStyle::State_Selected;
            itemDelegateForIndex(index)->paint(&painter, option, index);
        }
    }
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(QPixmap::fromImage(dragImage(rows, highlightColorInFocusView())));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - area.topLeft());
    drag->exec(supportedActions, defaultDropAction());
}

MyTableView::DropGap MyTableView::dropGapAt(const QPoint &pos) const
{
    const int count = model() ? model()->rowCount(rootIndex()) : 0;
    if (count == 0)
        return {};
    const int row = rowAt(pos.y());
    if (row < 0)
        return pos.y() < 0 ? DropGap{-1, 0} : DropGap{count - 1, -1};
    const QRect rect = rowRect(row);
    // The band at either edge of a row where a drop goes between rows even
    // when rows take drops: the one Qt's own drop uses.
    const int margin = qBound(2, qRound(qreal(rect.height()) / 5.5), 12);
    const bool onto = model()->flags(model()->index(row, 0, rootIndex())) & Qt::ItemIsDropEnabled;
    if (onto && pos.y() - rect.top() >= margin && rect.bottom() - pos.y() >= margin)
        return {};
    if (pos.y() < rect.center().y())
        return {row - 1, row};
    return {row, row + 1 < count ? row + 1 : -1};
}

void MyTableView::performDrawDropHighlightBetweenUpperRow(QPainter &painter, const DropGap &gap) const
{
    if (gap.upperRow < 0 && gap.lowerRow < 0)
        return;
    const QRect row = rowRect(gap.upperRow < 0 ? gap.lowerRow : gap.upperRow);
    const qreal y = gap.upperRow < 0 ? row.y() : row.y() + row.height();
    QPainterPath marker;
    marker.addEllipse(QRectF(row.x() + 2, y - 3, 6, 6));
    marker.moveTo(row.x() + 8, y);
    marker.lineTo(row.x() + row.width(), y);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(marker, Qt::white);
    painter.strokePath(marker, QPen(Qt::black, 2));
    painter.restore();
}

void MyTableView::showDropGap(const DropGap &gap)
{
    dropGap_ = gap;
    viewport()->update();
}

void MyTableView::dragMoveEvent(QDragMoveEvent *event)
{
    QTableView::dragMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    showDropGap(event->isAccepted() ? dropGapAt(pos) : DropGap{});
}

void MyTableView::dragLeaveEvent(QDragLeaveEvent *event)
{
    QTableView::dragLeaveEvent(event);
    showDropGap({});
}

void MyTableView::dropEvent(QDropEvent *event)
{
    QTableView::dropEvent(event);
    showDropGap({});
}

void MyTableView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void MyTableView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void MyTableView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        viewport()->update();
}
