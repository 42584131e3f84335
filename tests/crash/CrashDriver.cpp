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
#include "MyApplication.h"

#include <QtTest>
#include <QtWidgets>
#include <iostream>

namespace {

// Picks the item with this title from the menus under root.
void trigger(QWidget *root, const QString &title)
{
    for (QAction *action : root->findChildren<QAction *>())
        if (action->text() == title)
            return action->trigger();
    qFatal("no menu item %s", qPrintable(title));
}

void answer(const AppController &app, const char *word)
{
    const auto *view = app.mainWindow->findChild<QLabel *>("selectedCatName");
    std::cout << word << ' ' << qPrintable(view->text()) << std::endl;
}

void run(const AppController &app, const QString &line)
{
    // Each verb but add and drag picks a menu item, after selecting the row
    // it names if it names one.
    static const QMap<QString, QString> items = {
        {"check", "Check Off"}, {"delete", "Delete Task"}, {"move", "Move to List..."},
        {"rename", "Rename List..."}, {"all", "All Tasks"}, {"next", "Next List"}};
    auto *table = app.mainWindow->findChild<QTableView *>("table");
    const QString verb = line.section(' ', 0, 0);
    const QString rest = line.section(' ', 1);
    const int row = rest.section(' ', 0, 0).toInt();
    if (verb == "check" || verb == "delete" || verb == "move")
        table->selectRow(row);
    if (items.contains(verb))
        trigger(app.mainWindow, items[verb]);
    if (verb == "add") {
        auto *field = app.mainWindow->findChild<QLineEdit *>("taskField");
        QTest::keyClicks(field, rest);
        QTest::keyClick(field, Qt::Key_Return);
    } else if (verb == "move") {
        trigger(app.popUpMenu, rest.section(' ', 1));
        app.popUpMenu->hide();
    } else if (verb == "drag") {
        QAbstractItemModel *model = table->model();
        QScopedPointer<QMimeData> rows(model->mimeData({model->index(row, 1)}));
        model->dropMimeData(rows.data(), Qt::MoveAction, rest.section(' ', 1).toInt(), 1, {});
    } else if (verb == "rename") {
        app.mainWindow->findChild<QLineEdit *>("listName")->setText(rest);
        app.mainWindow->findChild<QPushButton *>("listSheetOK")->click();
    }
    answer(app, "@done");
}

} // namespace

int main(int argc, char **argv)
{
    MyApplication application(argc, argv);
    AppController app;
    // A file it cannot open ends it here, its reason in its messages.
    app.awakeFromNib();
    // Ready once the window is on screen: the rest of a long view is read then.
    if (!QTest::qWaitForWindowExposed(app.mainWindow))
        qFatal("the window never came on screen");
    answer(app, "@ready");
    // Between two commands the window catches up on its events, as it would
    // in its own event loop.
    for (std::string line; std::getline(std::cin, line);) {
        QCoreApplication::processEvents();
        run(app, QString::fromStdString(line));
    }
}
