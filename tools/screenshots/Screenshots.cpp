// wendra_screenshots <folder>: photographs Wendra's real windows for the help
// pages and the README. It starts the controller on a database of example
// tasks in a throw-away home, opens each window as a user would, and saves
// what the window paints. scripts/screenshots runs it on a virtual screen.
#include "AppController.h"
#include "DarkPalette.h"
#include "DatabaseFile.h"
#include "MyApplication.h"
#include "ShortcutsWindow.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QDateTime>
#include <QFile>
#include <QMainWindow>
#include <QTableView>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

double at(int daysFromToday, int hour)
{
    return QDateTime(QDate::currentDate().addDays(daysFromToday), QTime(hour, 0)).toSecsSinceEpoch();
}

void fill(const TestDatabase &db)
{
    for (const char *list : {"Home", "Work"})
        db.addList(QString::fromLatin1(list));
    const struct
    {
        const char *title, *list;
        int day, hour;
        const char *importance, *recCode, *notes;
    } tasks[] = {
        {"Send the quarterly report", "Work", 0, 11, "5", "None", "Figures from Anna first."},
        {"Team meeting", "Work", 1, 9, "4", "W:1:0:8:8:8:8:8:8", ""},
        {"Book the venue for the launch", "Work", 3, 14, "3", "None", ""},
        {"Review pull requests", "Work", 0, 16, "3", "E", ""},
        {"Renew the parking permit", "Work", 12, 10, "2", "None", ""},
        {"Water the plants", "Home", 0, 18, "3", "D:3", ""},
        {"Pay the rent", "Home", 5, 9, "5", "M:1:1", ""},
    };
    int position = 0;
    for (const auto &task : tasks) {
        const int key = db.addTask(QString::fromUtf8(task.title), QString::fromLatin1(task.list),
                                   at(task.day, task.hour), ++position, 0, QString::fromLatin1(task.importance));
        // A repeating task was last checked off a week ago.
        db.exec(QStringLiteral("UPDATE item SET extra1='%1', notes='%2', startDate=%3 WHERE pk=%4")
                    .arg(QString::fromLatin1(task.recCode), QString::fromUtf8(task.notes))
                    .arg(at(-7, task.hour), 0, 'f', 0)
                    .arg(key));
    }
}

// The window as it is on screen once every pending paint has happened.
bool save(QWidget *window, const QString &path)
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(40);
    }
    const bool saved = window && window->grab().save(path);
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    TestHome home;
    MyApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: wendra_screenshots <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    // WENDRA_DARK=1: the pictures under a dark colour scheme, to check that
    // everything stays readable there.
    if (qEnvironmentVariableIntValue("WENDRA_DARK") == 1)
        QApplication::setPalette(darkPalette(*QApplication::style()));
    {
        TestDatabase db;
        fill(db);
        QFile::copy(db.path(), DatabaseFile::pathForDBFile());
    }
    AppController controller;
    controller.awakeFromNib();
    controller.nextCategory(); // "Work"
    controller.mainWindow->resize(420, 330);
    auto *table = controller.mainWindow->findChild<QTableView *>(QStringLiteral("table"));
    table->selectRow(1);
    table->setFocus();

    bool ok = save(controller.mainWindow, folder + QStringLiteral("/main.png"));
    controller.doubleClickInTable();
    ok &= save(controller.bigEditWindow, folder + QStringLiteral("/sheet.png"));
    controller.showRecWindow();
    ok &= save(controller.recWindow->window(), folder + QStringLiteral("/repeat.png"));
    controller.recWindowCancel();
    controller.newTaskCancel();
    controller.openPrefs();
    ok &= save(controller.prefsPanel, folder + QStringLiteral("/preferences.png"));
    controller.prefsPanel->close();
    controller.showShortcuts();
    ok &= save(controller.mainWindow->findChild<ShortcutsWindow *>(), folder + QStringLiteral("/shortcuts.png"));
    // About is modal: photograph it from inside its own event loop.
    QTimer::singleShot(300, [&] {
        ok &= save(QApplication::activeModalWidget(), folder + QStringLiteral("/about.png"));
        if (QWidget *about = QApplication::activeModalWidget())
            about->close();
    });
    controller.showAbout();
    return ok ? 0 : 1;
}
