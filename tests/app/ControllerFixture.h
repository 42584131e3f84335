// A controller started on a real database file in a fresh temporary home.
// The test fills the file first (lists, tasks), then the controller runs its
// whole start-up on it, as Wendra does.
#pragma once

#include "AppController.h"
#include "DatabaseFile.h"
#include "TestDatabase.h"
#include "TestHome.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>
#include <QTableView>
#include <QTimer>
#include <functional>
#include <memory>

class ControllerFixture
{
public:
    explicit ControllerFixture(const std::function<void(TestDatabase &)> &fill)
    {
        TestDatabase db;
        fill(db);
        const QString path = DatabaseFile::pathForDBFile();
        QFile::copy(db.path(), path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        controller = std::make_unique<AppController>();
        controller->awakeFromNib();
    }

    AppController &operator*() const { return *controller; }
    AppController *operator->() const { return controller.get(); }

    QString viewTitle() const
    {
        return controller->mainWindow->findChild<QLabel *>("selectedCatName")->text();
    }

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

    void select(int row) const { widget<QTableView>("table")->selectRow(row); }

    // Runs a command that may raise an alert, answers the alert with its
    // first button and returns it as "title|text|buttons" (empty: none).
    static QString alertFrom(const std::function<void()> &command)
    {
        QString alert;
        QObject answerer; // a timer left over from a command without alert dies with it
        QTimer::singleShot(0, &answerer, [&alert] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            QStringList buttons;
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
            alert = box->windowTitle() + '|' + box->text() + '|' + buttons.join(',');
            box->buttons().first()->click();
        });
        command();
        QCoreApplication::processEvents();
        return alert;
    }

    // The value of one column of the file, read through the controller's
    // own connection.
    QVariant value(const QString &sql) const
    {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(controller->database(), sql.toUtf8().constData(), -1, &statement,
                           nullptr);
        QVariant result;
        if (statement && sqlite3_step(statement) == SQLITE_ROW
            && sqlite3_column_type(statement, 0) != SQLITE_NULL)
            result = QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return result;
    }

private:
    TestHome home_;
    std::unique_ptr<AppController> controller;
};
