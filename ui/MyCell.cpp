#include "MyCell.h"

#include "RowColors.h"
#include "TaskRoles.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmapCache>

namespace {

constexpr int SideInset = 10;

QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

// One line of text with its top at top, cut off with an ellipsis when wider
// than width. A line break in a task's text must not push a second line into
// the row below, so breaks are drawn as spaces.
void drawLine(QPainter &painter, const QString &text, const QFont &font, const QColor &colour,
    qreal x, qreal top, qreal width, qreal height)
{
    if (width <= 0)
        return;
    const QFontMetricsF fm(font);
    const QString shown = fm.elidedText(oneLine(text), Qt::ElideRight, width);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(
        QRectF(x, top, width, height), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
}

QFont withPointSize(const QFont &base, qreal pointSize)
{
    QFont font = base;
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

MyCell::MyCell(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void MyCell::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    drawBackground(*painter, option);
    drawInterior(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
        index.data(SubTextRole).toString(), option.state & QStyle::State_Selected, option.font);
}

QSize MyCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), RowHeight};
}

void MyCell::drawInterior(QPainter &painter, const QRect &frame, const QString &mainText,
    const QString &subText, bool highlighted, const QFont &base)
{
    drawLines(painter, frame, mainText, subText, highlighted, base, CellMetrics);
}

void MyCell::drawLines(QPainter &painter, const QRect &frame, const QString &mainText,
    const QString &subText, bool highlighted, const QFont &base, const Metrics &metrics)
{
    const QRectF r = QRectF(frame).adjusted(SideInset, 0, -SideInset, 0);
    const qreal midY = r.y() + r.height() / 2;
    const QPixmap icon = rowIcon();
    const QSizeF iconSize = icon.isNull() ? QSizeF() : icon.deviceIndependentSize();

    const QFont mainFont = withPointSize(base, metrics.mainPointSize);
    const QFont subFont = withPointSize(base, metrics.subPointSize);
    const QColor mainColour = highlighted ? QColor(Qt::white) : RowColors::rowTextColor();
    const QColor subColour = highlighted ? QColor(Qt::white) : RowColors::summaryTextColor();
    const qreal mainHeight = QFontMetricsF(mainFont).height();
    const qreal subHeight = QFontMetricsF(subFont).height();

    const qreal textX = r.x() + iconSize.width() + metrics.iconGap;
    const qreal textWidth = r.width() - iconSize.width() - metrics.iconGap;

    painter.save();
    if (!icon.isNull()) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setOpacity(1.0);
        painter.drawPixmap(QRectF(QPointF(r.x(), midY - iconSize.height() / 2), iconSize), icon,
            QRectF(icon.rect()));
    }
    // The first line sits on the middle line, the second hangs from it.
    drawLine(
        painter, mainText, mainFont, mainColour, textX, midY - mainHeight, textWidth, mainHeight);
    drawLine(painter, subText, subFont, subColour, textX, midY, textWidth, subHeight);
    painter.restore();
}

QPixmap MyCell::rowIcon()
{
    // Every row draws the icon; the cache spares a resource lookup and a PNG
    // decode per row and is emptied with the application.
    static const QString key = QStringLiteral("wendra-row-icon");
    QPixmap icon;
    if (!QPixmapCache::find(key, &icon)) {
        // Through QIcon, which takes example@2x.png on a screen of twice
        // the density: the icon stays sharp beside the text.
        icon = QIcon(QStringLiteral(":/example.png"))
                   .pixmap(QSize(20, 20), qApp ? qApp->devicePixelRatio() : 1.0);
        if (!icon.isNull())
            QPixmapCache::insert(key, icon);
    }
    return icon;
}

void MyCell::drawBackground(QPainter &painter, const QStyleOptionViewItem &option)
{
    QStyleOptionViewItem background = option;
    background.text.clear();
    background.icon = QIcon();
    background.features
        &= ~(QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, &painter, widget);
}
