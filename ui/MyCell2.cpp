#include "MyCell2.h"

MyCell2::MyCell2(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void MyCell2::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    MyCell::drawBackground(*painter, option);
    drawInterior(*painter, option.rect, option.state & QStyle::State_Selected, option.font);
}

QSize MyCell2::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), MyCell::RowHeight};
}

void MyCell2::drawInterior(
    QPainter &painter, const QRect &frame, bool highlighted, const QFont &base)
{
    MyCell::drawLines(painter, frame, QStringLiteral("Title"), QStringLiteral("Subtitle"),
        highlighted, base, CellMetrics);
}
