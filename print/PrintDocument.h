// The one way a view's tasks reach paper: the print dialog, the preview and
// the --print-pdf command all lay the tasks out with PrintView and paint its
// pages through print(), so what the preview shows is what a PDF holds.
#pragma once

#include "Item.h"

#include <QString>
#include <vector>

class QPrinter;
class QWidget;

namespace PrintDocument {

// The printer the dialog and the preview start from. It lives as long as the
// program, so paper and margins chosen once stay chosen for the next print.
QPrinter &sharedPrintInfo();
// Lays the tasks out on the printer's paper and paints every page the layout
// fills, within the page range chosen in the dialog; a view with no tasks
// prints one blank page. headCount: the number of lists. False when the
// printer cannot be written to.
bool print(const std::vector<Item> &tasks, int headCount, QPrinter &printer);
// The print dialog, then print() on the printer chosen there. Says so in an
// alert when the pages cannot be printed.
void printWithDialog(const std::vector<Item> &tasks, int headCount, QWidget *parent);
// The preview of the same pages, from which they can be printed too.
void printPreview(const std::vector<Item> &tasks, int headCount, QWidget *parent);
// Prints to a PDF file on the default paper and margins.
bool printToPdf(const std::vector<Item> &tasks, int headCount, const QString &path);

} // namespace PrintDocument
