// The fixed-text sibling of MyCell: "Title" over "Subtitle" in larger type,
// with a wider gap after the icon. Kept for layouts that want a sample row;
// the task table itself uses MyCell.
#pragma once

#include "MyCell.h"

#include <QStyledItemDelegate>

class MyCell2 : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr MyCell::Metrics CellMetrics {14, 12, 10};

    explicit MyCell2(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    static void drawInterior(
        QPainter &painter, const QRect &frame, bool highlighted, const QFont &base);
};
