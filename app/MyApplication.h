// MyApplication: Wendra's application object. It keeps internal errors from
// crossing Qt's event loop (an exception thrown through the loop ends the
// process), and makes Wendra a single instance: a second launch asks the
// running one to come forward and then leaves.
#pragma once

#include <QApplication>

class InternalError;
class QLocalServer;

class MyApplication : public QApplication
{
    Q_OBJECT

public:
    MyApplication(int &argc, char **argv);
    ~MyApplication() override;

    bool notify(QObject *receiver, QEvent *event) override;

    // True when another Wendra of this user already runs; it has then been
    // asked to bring its window forward.
    bool alertRunningInstance();
    // Starts answering later launches; call once this instance is the one.
    void listenForOtherInstances();

    // Shows an internal error in an alert and logs it.
    static void reportInternalError(const InternalError &error);

signals:
    // "QelKeyboardAlert": someone (the hot key, a second launch) asks for the window.
    void keyboardAlert();

private:
    QString serverName() const;
    QLocalServer *server_ = nullptr;
};
