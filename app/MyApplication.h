// MyApplication: Wendra's application object. It makes Wendra a single
// instance per data folder: a second launch asks the running one to come
// forward and then leaves.
#pragma once

#include <QApplication>

class GlobalHotKey;
class QLocalServer;

class MyApplication : public QApplication
{
    Q_OBJECT

public:
    MyApplication(int &argc, char **argv);
    ~MyApplication() override;

    // True when another Wendra of this user already runs; it has then been
    // asked to bring its window forward.
    bool alertRunningInstance();
    // Starts answering later launches; call once this instance is the one.
    void listenForOtherInstances();

    // The name other launches reach this one by: one per user and per data
    // folder, the folder resolved, so that two spellings of one folder
    // (a trailing slash, "..", a symbolic link) never open the file twice.
    static QString serverName();

    // Makes Super+Alt+Right bring the window forward from anywhere.
    void registerHotKey();

signals:
    // "QelKeyboardAlert": someone (the hot key, a second launch) asks for the window.
    void keyboardAlert();

private:
    QLocalServer *server_ = nullptr;
    GlobalHotKey *hotKey_ = nullptr;
};
