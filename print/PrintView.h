// PrintView: the printed list of a view's tasks. The tasks are laid out top
// to bottom on one tall strip in points, y growing downward; page p is the
// slice ((p - 1) * H, p * H) of the strip and keeps its margins inside. Every
// heading, task line and notes block is placed whole on one page when it fits
// on one at all.
//
// The layout is plain data (blocks(): rectangles and texts), computed once
// when the view is made, so it can be checked without printing; drawPage()
// paints exactly those blocks and nothing else.
#pragma once

#include "Item.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <vector>

class QPageLayout;
class QPainter;

class PrintView
{
public:
    // The paper in points: its full size and the two margins. The left margin
    // is kept on the right too, the top margin at the bottom too.
    struct Paper
    {
        double width = 0;
        double height = 0;
        double leftMargin = 0;
        double topMargin = 0;
    };
    static Paper paperOf(const QPageLayout &layout);

    enum class Kind
    {
        heading,
        taskLine,
        notes
    };
    struct Block
    {
        Kind kind;
        QRectF rect;
        QString text;
        // Lines after the first start below this character: a wrapped
        // title lines up under its own first word, clear of date and mark.
        int hangAt = 0;
    };

    // tasks: in print order; they are hydrated here (read only, never
    // written). headCount: the number of lists, which the page estimate
    // counts as headings.
    PrintView(std::vector<Item> tasks, const Paper &paper, int headCount);

    const std::vector<Block> &blocks() const { return blocks_; }
    // The pages the layout reaches: every block lies on one of them.
    int pageCount() const;
    // What the page count looks like before any layout: lines and notes
    // counted by characters, every list as one heading, nothing lost at
    // page breaks. It can fall short of pageCount(); it is only ever offered
    // as the page range to choose from, never used to cut the printout.
    int estimatedPageCount() const;
    // Page p, from 1, on the strip.
    QRectF rectForPage(int page) const;
    // Paints page p with the painter's units in points and its origin at the
    // paper's top left corner.
    void drawPage(QPainter &painter, int page) const;

    static QFont headerFont();
    static QFont actionFont();
    static QFont notesFont();
    // "o", a space, the due date or nine spaces, two spaces, the title.
    static QString taskLineText(const Item &task);
    // The notes as they print: line breaks become spaces; null when nothing
    // is printed for them.
    static QString printedNotes(const QString &notes);

private:
    void layOut();
    // Where a block of the given height that starts at pos may start: on
    // the same page when it ends above the bottom margin, else at the top
    // of the next page below its top margin.
    int place(int pos, double fitHeight);
    // Between the side margins, and for notes right of their indent too.
    double textWidth() const;
    double notesWidth() const;
    // Lines of a task line and of its notes: as many as the text counts by
    // characters, more when it wraps to more.
    int lineCount(const Item &task, const QString &text, int hangAt) const;
    int notesLineCount(const Item &task, const QString &printed) const;

    std::vector<Item> tasksToPrint_;
    Paper paper_;
    int headCount_;
    bool newPage_ = true;
    std::vector<Block> blocks_;
};
