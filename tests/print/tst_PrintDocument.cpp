// The print dialog and the preview put out the pages of the layout: the
// dialog's OK prints them to a file, the preview shows as many.
#include "PrintDocument.h"
#include "PrintView.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QtTest>

namespace {

// Runs a modal command, handing its dialog to answer once it is up.
template <class Dialog>
void whenShown(const std::function<void(Dialog *)> &answer, const std::function<void()> &command)
{
    bool answered = false;
    QObject guard;
    std::function<void()> poll = [&] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            answer(dialog);
            answered = true;
        } else {
            QTimer::singleShot(10, &guard, poll);
        }
    };
    QTimer::singleShot(0, &guard, poll);
    command();
    QVERIFY(answered);
}

int pdfPages(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {pdf, "-"});
    process.waitForFinished(60'000);
    return int(process.readAllStandardOutput().count('\f'));
}

} // namespace

class TestPrintDocument : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Item::finalizeStatements(); }

    void dialogAndPreviewShowTheLaidOutPages()
    {
        TestDatabase db;
        std::vector<Item> tasks;
        for (int i = 0; i < 60; ++i)
            tasks.push_back(Item::deferred(db.addTask(QString::number(i), "Work"), db.handle()));
        QTemporaryDir out;
        QPrinter &printer = PrintDocument::sharedPrintInfo();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out.filePath("dialog.pdf"));
        // With a heading for each of 41 lists the estimate expects a third
        // page, which would be blank.
        const int lists = 41;
        const PrintView view(tasks, PrintView::paperOf(printer.pageLayout()), lists);
        const int pages = view.pageCount();
        QCOMPARE(pages, 2);
        QCOMPARE(view.estimatedPageCount(), 3);

        whenShown<QPrintDialog>([](QPrintDialog *dialog) { dialog->accept(); },
            [&] { PrintDocument::printWithDialog(tasks, lists, nullptr); });
        QCOMPARE(pdfPages(out.filePath("dialog.pdf")), pages);

        int previewed = 0;
        whenShown<QPrintPreviewDialog>(
            [&](QPrintPreviewDialog *preview) {
                previewed = preview->findChild<QPrintPreviewWidget *>()->pageCount();
                preview->reject();
            },
            [&] { PrintDocument::printPreview(tasks, lists, nullptr); });
        QCOMPARE(previewed, pages);
    }
};

WENDRA_QTEST_MAIN(TestPrintDocument)
#include "tst_PrintDocument.moc"
