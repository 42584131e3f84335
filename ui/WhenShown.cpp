#include "WhenShown.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

WhenShown::WhenShown(QObject *parent, std::function<void()> work)
    : QObject(parent)
    , work_(std::move(work))
{
}

void WhenShown::call(QWidget *window, std::function<void()> work, int latestMilliseconds)
{
    auto *waiter = new WhenShown(window, std::move(work));
    window->winId(); // the native window exists, so its exposure can be seen
    window->windowHandle()->installEventFilter(waiter);
    if (window->windowHandle()->isExposed())
        waiter->runSoon();
    QTimer::singleShot(latestMilliseconds, waiter, &WhenShown::runSoon);
}

bool WhenShown::eventFilter(QObject *watched, QEvent *event)
{
    // A widget window draws its contents while it handles its exposure:
    // work queued from here runs after the first frame is on screen.
    if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed())
        runSoon();
    return false;
}

void WhenShown::runSoon()
{
    if (std::exchange(queued_, true))
        return;
    QTimer::singleShot(0, this, [this] {
        const std::function<void()> work = std::move(work_);
        deleteLater();
        work();
    });
}
