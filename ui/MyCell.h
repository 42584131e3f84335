// The two-line cell of the task table: the row icon, the task's text on the
// first line and its summary on the second (see TaskSummary). The texts come
// from the index: Qt::DisplayRole for the first line, SubTextRole for the
// second, so one delegate serves every row and keeps no per-row state.
#pragma once

#include <QStyledItemDelegate>

class MyCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // Sizes that tell MyCell and MyCell2 apart; everything else is shared.
    struct Metrics
    {
        qreal mainPointSize;
        qreal subPointSize;
        int iconGap; // between the icon and the text column
    };
    static constexpr Metrics CellMetrics {12, 10, 2};
    static constexpr int RowHeight = 35;

    explicit MyCell(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Draws the icon and both lines inside frame with MyCell's sizes; base
    // gives the font family (the point sizes are this cell's own).
    static void drawInterior(QPainter &painter, const QRect &frame, const QString &mainText,
        const QString &subText, bool highlighted, const QFont &base);

    // The drawing shared by MyCell and MyCell2.
    static void drawLines(QPainter &painter, const QRect &frame, const QString &mainText,
        const QString &subText, bool highlighted, const QFont &base, const Metrics &metrics);

    // The row icon, ":/example.png"; null when the resource is not linked in,
    // in which case rows are drawn without it.
    static QPixmap rowIcon();

    // Paints the row background (alternating colour, selection) the way the
    // view's style does, without the style's own text or icon.
    static void drawBackground(QPainter &painter, const QStyleOptionViewItem &option);
};
