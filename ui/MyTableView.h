// The task table. Rows are tasks of the view on screen; the controller's
// model supplies them. The table draws its own selection (a rounded fill
// whose colour says whether the table has the keyboard), its own drag image
// and drop marker, and keeps Return and space from doing what a plain
// table would do with them.
#pragma once

#include <QColor>
#include <QPointer>
#include <QTableView>
#include <utility>

#include <QMenu>

class MyTableView : public QTableView
{
    Q_OBJECT

public:
    explicit MyTableView(QWidget *parent = nullptr);

    // Selection colours: with the keyboard in the table of the active
    // window, and otherwise.
    static QColor highlightColorInFocusView() { return QColor::fromRgbF(0.263f, 0.424f, 0.639f); }
    static QColor highlightColorOutOfFocusView() { return QColor::fromRgbF(0.584f, 0.659f, 0.753f); }
    QColor highlightColor() const;

    // The menu a right click opens, anywhere in the table.
    QMenu *moveItems() const { return moveItems_; }
    void setMoveItems(QMenu *menu) { moveItems_ = menu; }

    // The rows on both sides of where a drop at pos would land; -1 for
    // none (above the first row, below the last). Both are -1 when the drop
    // would go onto a row.
    struct DropGap
    {
        int upperRow = -1;
        int lowerRow = -1;
    };
    DropGap dropGapAt(const QPoint &pos) const;

    // The drawing, into any painter in viewport coordinates.
    void highlightSelectionInClipRect(QPainter &painter, const QRect &clip) const;
    void performDrawDropHighlightBetweenUpperRow(QPainter &painter, const DropGap &gap) const;
    // The image dragged with rows: the rows over a half-transparent rounded
    // fill of tint.
    static QImage dragImage(const QImage &rows, const QColor &tint);

signals:
    // Return on exactly one selected row: open that task in the edit panel.
    void switchToEditView();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void initViewItemOption(QStyleOptionViewItem *option) const override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QRect rowRect(int row) const;
    // The first and last rows that meet clip; first > last when none do.
    std::pair<int, int> rowsIn(const QRect &clip) const;
    void showDropGap(const DropGap &gap);

    QPointer<QMenu> moveItems_;
    DropGap dropGap_;
};
