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
#include <QMap>
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

AppController *controller;

void trigger(const QString &title)
{
    for (QAction *action : controller->mainWindow->findChildren<QAction *>())
        if (action->text() == title)
            return action->trigger();
    qFatal("no menu item %s", qPrintable(title));
}

void answer(const char *word)
{
    const auto *view = controller->mainWindow->findChild<QLabel *>("selectedCatName");
    std::printf("%s %s\n", word, qPrintable(view->text()));
    std::fflush(stdout);
}

void run(const QString &line)
{
    // Each verb picks a menu item, after selecting the row it names if it
    // names one.
    static const QMap<QString, QPair<QString, bool>> items = {
        {"check", {"Check Off", true}},   {"delete", {"Delete Task", true}},
        {"move", {"Move to List...", true}}, {"rename", {"Rename List...", false}},
        {"all", {"All Tasks", false}},    {"next", {"Next List", false}}};
    QMainWindow *window = controller->mainWindow;
    auto *table = window->findChild<QTableView *>("table");
    const QString verb = line.section(' ', 0, 0);
    const QString rest = line.section(' ', 1);
    const int first = rest.section(' ', 0, 0).toInt();
    if (const auto item = items.find(verb); item != items.end()) {
        if (item->second)
            table->selectionModel()->setCurrentIndex(
                table->model()->index(first, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        trigger(item->first);
    }
    if (verb == "add") {
        auto *field = window->findChild<QLineEdit *>("taskField");
        field->setFocus();
        QTest::keyClicks(field, rest);
        QTest::keyClick(field, Qt::Key_Return);
    } else if (verb == "move") {
        for (QAction *action : controller->popUpMenu->actions())
            if (action->data().toString() == rest.section(' ', 1))
                action->trigger();
        controller->popUpMenu->hide();
    } else if (verb == "drag") {
        QAbstractItemModel *model = table->model();
        std::unique_ptr<QMimeData> rows(model->mimeData({model->index(first, 1)}));
        model->dropMimeData(rows.get(), Qt::MoveAction, rest.section(' ', 1, 1).toInt(), 1, {});
    } else if (verb == "rename") {
        auto *sheet = window->findChild<QDialog *>("editListsWindow");
        sheet->findChild<QLineEdit *>("listName")->setText(rest);
        sheet->findChild<QPushButton *>("listSheetOK")->click();
    }
    answer("@done");
}

} // namespace

int main(int argc, char **argv)
{
    MyApplication application(argc, argv);
    AppController app;
    controller = &app;
    try {
        app.awakeFromNib();
    } catch (const InternalError &error) {
        std::printf("@failed %s\n", qPrintable(error.description()));
        return 1;
    }
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0)
            return QCoreApplication::quit();
        pending.append(buffer, got);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            run(QString::fromUtf8(pending.left(end)));
    });
    answer("@ready");
    return application.exec();
}
