// The Wendra window on the user's database, run as the crash harness's child:
// the same start-up as the program, then one command per line of standard
// input, each done through the window's own controls. After each it answers
// "@done <view on screen>"; the harness may kill it at any moment.
//   add <title>          types the title into the entry line and presses Return
//   check|delete <row>   selects the row and picks Check Off or Delete Task
//   move <row> <list>    selects the row and picks the list from Move to List
//   drag <from> <to>     drops row from before row to, as the table does
//   rename <name>        renames the current list through its sheet
//   all | next           shows "All Tasks" or the next list
#include "AppController.h"
#include "InternalError.h"
#include "MyApplication.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTableView>
#include <QtTest>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

class Driver
{
public:
    explicit Driver(AppController &controller)
        : controller_(controller)
        , window_(controller.mainWindow)
        , table_(window_->findChild<QTableView *>(QStringLiteral("table")))
    {
    }

    void run(const QString &line)
    {
        const QString verb = line.section(QLatin1Char(' '), 0, 0);
        const QString rest = line.section(QLatin1Char(' '), 1);
        const int first = rest.section(QLatin1Char(' '), 0, 0).toInt();
        const int second = rest.section(QLatin1Char(' '), 1, 1).toInt();
        if (verb == QLatin1String("add")) {
            auto *field = window_->findChild<QLineEdit *>(QStringLiteral("taskField"));
            field->setFocus();
            QTest::keyClicks(field, rest);
            QTest::keyClick(field, Qt::Key_Return);
        } else if (verb == QLatin1String("check")) {
            select(first);
            trigger(QStringLiteral("Check Off"));
        } else if (verb == QLatin1String("delete")) {
            select(first);
            trigger(QStringLiteral("Delete Task"));
        } else if (verb == QLatin1String("move")) {
            select(first);
            trigger(QStringLiteral("Move to List..."));
            const QString list = rest.section(QLatin1Char(' '), 1);
            for (QAction *action : controller_.popUpMenu->actions())
                if (action->data().toString() == list)
                    action->trigger();
            controller_.popUpMenu->hide();
        } else if (verb == QLatin1String("drag")) {
            QAbstractItemModel *model = table_->model();
            std::unique_ptr<QMimeData> rows(model->mimeData({model->index(first, 1)}));
            model->dropMimeData(rows.get(), Qt::MoveAction, second, 1, QModelIndex());
        } else if (verb == QLatin1String("rename")) {
            trigger(QStringLiteral("Rename List..."));
            auto *sheet = window_->findChild<QDialog *>(QStringLiteral("editListsWindow"));
            sheet->findChild<QLineEdit *>(QStringLiteral("listName"))->setText(rest);
            sheet->findChild<QPushButton *>(QStringLiteral("listSheetOK"))->click();
        } else if (verb == QLatin1String("all")) {
            trigger(QStringLiteral("All Tasks"));
        } else if (verb == QLatin1String("next")) {
            trigger(QStringLiteral("Next List"));
        }
        answer("@done");
    }

    void answer(const char *word)
    {
        const QString view = window_->findChild<QLabel *>(QStringLiteral("selectedCatName"))->text();
        std::printf("%s %s\n", word, qPrintable(view));
        std::fflush(stdout);
    }

private:
    void select(int row)
    {
        table_->selectionModel()->setCurrentIndex(
            table_->model()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    void trigger(const QString &title)
    {
        for (QAction *action : window_->findChildren<QAction *>())
            if (action->text() == title)
                return action->trigger();
        qFatal("no menu item %s", qPrintable(title));
    }

    AppController &controller_;
    QMainWindow *window_;
    QTableView *table_;
};

} // namespace

int main(int argc, char **argv)
{
    MyApplication application(argc, argv);
    AppController controller;
    try {
        controller.awakeFromNib();
    } catch (const InternalError &error) {
        std::printf("@failed %s\n", qPrintable(error.description()));
        return 1;
    }
    Driver driver(controller);
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0)
            return QCoreApplication::quit();
        pending.append(buffer, got);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            driver.run(QString::fromUtf8(pending.left(end)));
    });
    driver.answer("@ready");
    return application.exec();
}
