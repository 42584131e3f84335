#include "PrintView.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Points per line of a task line and of notes, and how many characters are
// taken to fill one line when nothing has been measured yet.
constexpr int lineHeight = 15;
constexpr int notesLineHeight = 10;
constexpr int headingHeight = 20;
constexpr int notesIndent = 20;
constexpr int charsPerLine = 95;
constexpr int charsPerNotesLine = 120;

int countedLines(qsizetype length, int charsPerLineOfText)
{
    return int(length / charsPerLineOfText) + 1;
}

QFont helvetica(int size)
{
    QFont font(QStringLiteral("Helvetica"));
    // The painter's unit is the point while printing; a size in pixels of
    // that unit keeps the printer's resolution from scaling the font twice.
    font.setPixelSize(size);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Breaks text into lines of the given width at word boundaries, and inside a
// word too long for a whole line, which a title of one long URL is. Lines
// after the first start where character hangAt stands on the first. Counting
// and drawing both go through here, so a title takes on paper exactly the
// lines the layout made room for.
int breakLines(QTextLayout &layout, qreal width, int hangAt)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    qreal indent = 0;
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1.0, width - indent));
        line.setPosition(QPointF(indent, y));
        if (lines == 0)
            indent = std::min(line.cursorToX(hangAt), width / 2);
        y += line.height();
        ++lines;
    }
    layout.endLayout();
    return lines;
}

int measuredLines(const QString &text, const QFont &font, qreal width, int hangAt = 0)
{
    QTextLayout layout(text, font);
    return breakLines(layout, width, hangAt);
}

void drawWrapped(
    QPainter &painter, const QString &text, const QFont &font, const QRectF &rect, int hangAt)
{
    QTextLayout layout(text, font);
    breakLines(layout, rect.width(), hangAt);
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    layout.draw(&painter, rect.topLeft());
    painter.restore();
}

} // namespace

PrintView::Paper PrintView::paperOf(const QPageLayout &layout)
{
    const QRectF full = layout.fullRect(QPageLayout::Point);
    const QMarginsF margins = layout.margins(QPageLayout::Point);
    return {full.width(), full.height(), margins.left(), margins.top()};
}

PrintView::PrintView(std::vector<Item> tasks, const Paper &paper, int headCount)
    : tasksToPrint_(std::move(tasks))
    , paper_(paper)
    , headCount_(headCount)
{
    for (Item &task : tasksToPrint_)
        task.hydrate();
    layOut();
}

QFont PrintView::headerFont()
{
    return helvetica(14);
}

QFont PrintView::actionFont()
{
    return helvetica(10);
}

QFont PrintView::notesFont()
{
    return helvetica(8);
}

QString PrintView::taskLineText(const Item &task)
{
    const QString date = Item::hasDueDate(task.endDate())
        ? task.endDate().toLocalTime().toString(QStringLiteral("MM/dd"))
        : QString(9, u' ');
    return QStringLiteral("o %1  %2").arg(date, task.action());
}

QString PrintView::printedNotes(const QString &notes)
{
    QString text = notes;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    // "Add Notes" is the notes field's own prompt, not something the user wrote.
    if (text.isEmpty() || text == QLatin1String("Add Notes"))
        return QString();
    return text;
}

int PrintView::lineCount(const Item &task, const QString &text, int hangAt) const
{
    return std::max(countedLines(task.action().size(), charsPerLine),
        measuredLines(text, actionFont(), textWidth(), hangAt));
}

int PrintView::notesLineCount(const Item &task, const QString &printed) const
{
    if (task.notes().isEmpty())
        return 0;
    // The prompt prints nothing but still keeps its line free.
    const int counted = countedLines(task.notes().size(), charsPerNotesLine);
    if (printed.isNull())
        return counted;
    return std::max(counted, measuredLines(printed, notesFont(), notesWidth()));
}

double PrintView::textWidth() const
{
    return std::max(1.0, paper_.width - 2 * paper_.leftMargin);
}

double PrintView::notesWidth() const
{
    return std::max(1.0, textWidth() - notesIndent);
}

int PrintView::place(int pos, double fitHeight)
{
    if (newPage_) {
        newPage_ = false;
        pos = int(pos + paper_.topMargin);
    }
    const double pageEnd = (std::floor(pos / paper_.height) + 1) * paper_.height;
    if (pos + fitHeight + paper_.topMargin > pageEnd)
        pos = int(pageEnd + paper_.topMargin);
    return pos;
}

void PrintView::layOut()
{
    // A printer without a paper size has nothing to lay out on.
    if (!(paper_.height >= 1) || !(paper_.width >= 1))
        return;
    const double left = paper_.leftMargin;
    newPage_ = true;
    int pos = 0;
    QString previousList = QStringLiteral("");
    for (const Item &task : tasksToPrint_) {
        if (task.category() != previousList) {
            pos = place(pos, headingHeight);
            blocks_.push_back(
                {Kind::heading, QRectF(left, pos, textWidth(), headingHeight), task.category()});
            pos += headingHeight;
        }
        const QString line = taskLineText(task);
        const int titleStart = int(line.size() - task.action().size());
        const int lines = lineCount(task, line, titleStart);
        const QString notes = printedNotes(task.notes());
        const int notesLines = notesLineCount(task, notes);
        // A task line stays on the page only with room for its notes below
        // it, and ten points more for each of its own lines. This is always
        // more than the line's own height, so it is the only test needed.
        const int fitHeight = (lineHeight + notesLineHeight) * lines + notesLineHeight * notesLines;
        pos = place(pos, fitHeight);
        blocks_.push_back(
            {Kind::taskLine, QRectF(left, pos, textWidth(), lineHeight * lines), line, titleStart});
        pos += lineHeight * lines;
        if (!notes.isNull()) {
            const int height = notesLineHeight * notesLines;
            pos = place(pos, height);
            blocks_.push_back(
                {Kind::notes, QRectF(left + notesIndent, pos, notesWidth(), height), notes});
            pos += height;
        }
        previousList = task.category();
    }
}

int PrintView::pageCount() const
{
    // Blocks run down the strip in order, so the last one ends lowest.
    if (blocks_.empty())
        return 0;
    return int(std::ceil(blocks_.back().rect.bottom() / paper_.height));
}

int PrintView::estimatedPageCount() const
{
    qint64 lines = 0;
    qint64 notesLines = 0;
    for (const Item &task : tasksToPrint_) {
        lines += countedLines(task.action().size(), charsPerLine);
        if (!task.notes().isEmpty())
            notesLines += countedLines(task.notes().size(), charsPerNotesLine);
    }
    const double height
        = lineHeight * double(lines + headCount_) + notesLineHeight * double(notesLines);
    const double usable = paper_.height - 2 * paper_.topMargin;
    // Margins that leave no room give no estimate; the layout still counts.
    if (height <= 0 || !(usable > 0))
        return 0;
    return int(std::min(std::ceil(height / usable), double(INT_MAX)));
}

QRectF PrintView::rectForPage(int page) const
{
    return QRectF(0, (page - 1) * paper_.height, paper_.width, paper_.height);
}

void PrintView::drawPage(QPainter &painter, int page) const
{
    const QRectF pageRect = rectForPage(page);
    painter.save();
    painter.translate(0, -pageRect.top());
    painter.setClipRect(pageRect, Qt::IntersectClip);
    painter.setPen(Qt::black);
    // A block taller than a page goes on across the next page's top margin
    // rather than being cut off, so every block that reaches into the page
    // is drawn, not only those that start on it.
    auto block = std::partition_point(blocks_.begin(), blocks_.end(),
        [&](const Block &b) { return b.rect.bottom() <= pageRect.top(); });
    for (; block != blocks_.end() && block->rect.top() < pageRect.bottom(); ++block) {
        if (block->kind == Kind::heading) {
            // A list name runs on one line; one too long for it ends in "...".
            const QFont font = headerFont();
            painter.setFont(font);
            painter.drawText(block->rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                QFontMetricsF(font).elidedText(block->text, Qt::ElideRight, block->rect.width()));
        } else {
            drawWrapped(painter, block->text,
                block->kind == Kind::notes ? notesFont() : actionFont(), block->rect,
                block->hangAt);
        }
    }
    painter.restore();
}
