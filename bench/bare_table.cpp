// The reference for start-up: a minimal Qt window with a table and nothing
// else, mapped as soon as it can be. bench/startup_time.sh times it beside
// Wendra.
#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QStandardItemModel model(0, 2);
    QTableView table;
    table.setModel(&model);
    table.setWindowTitle(QStringLiteral("Bare table"));
    table.show();
    return application.exec();
}
