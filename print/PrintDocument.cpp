#include "PrintDocument.h"

#include "PrintView.h"

#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

namespace PrintDocument {
namespace {

// An inch all round: the printer's own default margins are zero for a PDF
// file, and the list would touch the edge of the sheet.
void setDefaultMargins(QPrinter &printer)
{
    printer.setPageMargins(QMarginsF(72, 72, 72, 72), QPageLayout::Point);
}

PrintView layOut(const std::vector<Item> &tasks, int headCount, const QPrinter &printer)
{
    return PrintView(tasks, PrintView::paperOf(printer.pageLayout()), headCount);
}

} // namespace

QPrinter &sharedPrintInfo()
{
    static QPrinter *printer = [] {
        auto *shared = new QPrinter(QPrinter::HighResolution);
        setDefaultMargins(*shared);
        return shared;
    }();
    return *printer;
}

bool print(const std::vector<Item> &tasks, int headCount, QPrinter &printer)
{
    // The layout keeps its own margins: the painter starts at the sheet's corner.
    printer.setFullPage(true);
    const PrintView view = layOut(tasks, headCount, printer);
    int first = 1;
    int last = std::max(1, view.pageCount());
    if (printer.printRange() == QPrinter::PageRange && printer.toPage() > 0) {
        first = std::max(first, printer.fromPage());
        last = std::min(last, printer.toPage());
    }
    if (first > last)
        return true;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double pointsToDevice = printer.resolution() / 72.0;
    for (int page = first; page <= last; ++page) {
        if (page > first)
            printer.newPage();
        painter.resetTransform();
        painter.scale(pointsToDevice, pointsToDevice);
        view.drawPage(painter, page);
    }
    return painter.end();
}

void printWithDialog(const std::vector<Item> &tasks, int headCount, QWidget *parent)
{
    QPrinter &printer = sharedPrintInfo();
    QPrintDialog dialog(&printer, parent);
    // The paper can still change in the dialog, so the range offered is the
    // larger of the estimate and the pages on the present paper; pages past
    // the end of the list are never printed.
    const PrintView view = layOut(tasks, headCount, printer);
    dialog.setMinMax(1, std::max({1, view.estimatedPageCount(), view.pageCount()}));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!print(tasks, headCount, printer))
        QMessageBox::warning(parent, QObject::tr("Error"),
            QObject::tr("The printer could not be opened."), QMessageBox::Ok);
}

void printPreview(const std::vector<Item> &tasks, int headCount, QWidget *parent)
{
    QPrinter &printer = sharedPrintInfo();
    printer.setPrintRange(QPrinter::AllPages);
    QPrintPreviewDialog preview(&printer, parent);
    // The tasks as they were when the preview opened, whatever the window
    // shows meanwhile. Read here, where a failed read reaches the command's
    // own error handling, not inside the dialog's paint signal.
    std::vector<Item> snapshot = tasks;
    for (Item &task : snapshot)
        task.hydrate();
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
        [&](QPrinter *target) { print(snapshot, headCount, *target); });
    preview.exec();
}

bool printToPdf(const std::vector<Item> &tasks, int headCount, const QString &path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    setDefaultMargins(printer);
    return print(tasks, headCount, printer);
}

} // namespace PrintDocument
