// A controller started on a real database file in a fresh temporary home.
// The test fills the file first (lists, tasks), then the controller runs its
// whole start-up on it, as Wendra does.
#pragma once

#include "AppController.h"
#include "DatabaseFile.h"
#include "TestDatabase.h"
#include "TestHome.h"

// The tests reach into every kind of control the windows hold.
#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

class ControllerFixture
{
public:
    // Without fill there is no file yet: a first start.
    explicit ControllerFixture(const std::function<void(TestDatabase &)> &fill)
    {
        if (fill) {
            TestDatabase db;
            fill(db);
            const QString path = DatabaseFile::pathForDBFile();
            QFile::copy(db.path(), path);
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        controller = std::make_unique<AppController>();
        controller->awakeFromNib();
        // Start-up leaves the calendar import until the window is on screen.
        QVERIFY(QTest::qWaitForWindowExposed(controller->mainWindow));
        QCoreApplication::processEvents();
    }

    AppController &operator*() const { return *controller; }
    AppController *operator->() const { return controller.get(); }

    QStringList rows() const
    {
        QStringList titles;
        for (const Item &item : controller->items())
            titles << item.action();
        return titles;
    }

    // A control of the main window or of one of the two pop-up views.
    template <class T> T *widget(const QString &name) const
    {
        for (QWidget *root : {static_cast<QWidget *>(controller->mainWindow), controller->recWindow,
                 controller->calendarPop})
            if (T *found = root->findChild<T *>(name))
                return found;
        qFatal("no control %s", qPrintable(name));
    }

    // Selects one row whatever keys a simulated click left held.
    void select(int row) const
    {
        auto *table = widget<QTableView>("table");
        table->selectionModel()->setCurrentIndex(
            table->model()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // Types a title into the entry line and presses Return.
    void enter(const QString &title) const
    {
        widget<QLineEdit>("taskField")->setText(title);
        QTest::keyClick(widget<QLineEdit>("taskField"), Qt::Key_Return);
    }

    // Names a list in the sheet that this menu item opens, and clicks OK.
    void nameList(const QString &menuItem, const QString &name) const
    {
        trigger(menuItem);
        controller->editListsWindow->findChild<QLineEdit *>("listName")->setText(name);
        controller->editListsWindow->findChild<QPushButton *>("listSheetOK")->click();
    }

    // Runs a command and answers the dialogs it opens, in turn, with
    // answers: a button's text for an alert (none: its first button), a
    // path for a file dialog (none or empty: Cancel). Returns what was seen,
    // "title|text" per alert and "file dialog", joined by " / ".
    static QString alertFrom(const std::function<void()> &command, QStringList answers = {})
    {
        QStringList seen;
        QTimer answerer;
        QObject::connect(&answerer, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            const QString answer = answers.value(0);
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                QAbstractButton *pick = box->buttons().first();
                for (QAbstractButton *button : box->buttons())
                    if (button->text() == answer)
                        pick = button;
                seen << box->windowTitle() + '|' + box->text();
                pick->click();
            } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                seen << QStringLiteral("file dialog");
                files->selectFile(answer);
                answer.isEmpty() ? files->reject() : static_cast<QDialog *>(files)->accept();
            } else {
                return;
            }
            answers = answers.mid(1);
        });
        answerer.start(5);
        command();
        QCoreApplication::processEvents();
        return seen.join(QStringLiteral(" / "));
    }

    // Runs the menu command with this title, as a user picks it.
    void trigger(const QString &title) const
    {
        for (QAction *action : controller->mainWindow->findChildren<QAction *>())
            if (action->text() == title)
                return action->trigger();
        qFatal("no menu item %s", qPrintable(title));
    }

    // The value of one column of the file, read through the controller's
    // own connection.
    QVariant value(const QString &sql) const { return queryValue(controller->database(), sql); }

private:
    TestHome home_;
    std::unique_ptr<AppController> controller;
};
