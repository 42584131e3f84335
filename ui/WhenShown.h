// Runs a piece of work once a window is on screen with its contents drawn,
// so that work the user need not wait for (the calendar import at start-up)
// never holds back the first sight of the window. A window that is never
// shown (started hidden, or on a platform without a screen that sends no
// exposure) gets the work after a short wait all the same.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

class WhenShown : public QObject
{
    Q_OBJECT

public:
    // The work runs once, from the event loop, never inside this call.
    static void call(QWidget *window, std::function<void()> work, int latestMilliseconds = 1000);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WhenShown(QObject *parent, std::function<void()> work);
    void runSoon();

    std::function<void()> work_;
    bool queued_ = false;
};
