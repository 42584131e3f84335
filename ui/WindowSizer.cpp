#include "WindowSizer.h"

#include "ViewQuery.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <algorithm>

namespace {

const char *const frameKey = "windowFrame";

QString plainTitle()
{
    return QStringLiteral("Wendra");
}

} // namespace

WindowSizer::WindowSizer(QMainWindow *window, QAbstractButton *toggle, QWidget *content,
                         QWidget *tableScrollView, QWidget *editWindow)
    : window_(window)
    , toggle_(toggle)
    , content_(content)
    , tableScrollView_(tableScrollView)
    , editWindow_(editWindow)
{
}

int WindowSizer::menuHeight() const
{
    const auto *bar = qobject_cast<QMenuBar *>(window_->menuWidget());
    return bar && !bar->isNativeMenuBar() ? bar->sizeHint().height() : 0;
}

QRect WindowSizer::frame() const
{
    return window_->geometry().adjusted(0, 0, 0, -menuHeight());
}

void WindowSizer::setFrame(const QRect &frame)
{
    applying_ = true;
    window_->setGeometry(frame.adjusted(0, 0, 0, menuHeight()));
    applying_ = false;
}

QString WindowSizer::compactTitle(const QString &viewLabel, const QString &listName)
{
    const QString name = listName.isEmpty() || ViewQuery::isBuiltInView(viewLabel) ? viewLabel : listName;
    if (name.isEmpty())
        return plainTitle();
    return plainTitle() + QStringLiteral(" [") + name + QLatin1Char(']');
}

void WindowSizer::windowsResize(bool editing, const QString &title)
{
    if (!full_) {
        expandTo(frame(), mainWindowHeight_, editing);
        saveFrame();
        return;
    }
    editWindow_->hide();
    tableScrollView_->hide();
    content_->hide();
    const QRect full = frame();
    mainWindowHeight_ = full.height();
    full_ = false;
    // Fixed: the compact window cannot be resized, and a window manager
    // shows no handles for it.
    applying_ = true;
    window_->setFixedSize(full.width(), compactHeight + menuHeight());
    applying_ = false;
    setFrame(QRect(full.x(), full.y(), full.width(), compactHeight));
    toggle_->setChecked(false);
    window_->setWindowTitle(title);
    saveFrame();
}

void WindowSizer::expandTo(const QRect &compact, int height, bool editing)
{
    applying_ = true;
    // A minimum of 0 is no minimum of the window's own: the layout sets it
    // again, as for a window that was never compact.
    window_->setMinimumSize(0, 0);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    content_->show();
    tableScrollView_->show();
    editWindow_->setVisible(editing);
    if (window_->layout())
        window_->layout()->activate();
    applying_ = false;
    // A height kept from a smaller layout, or from another program's
    // settings, must not leave the table squeezed below its minimum.
    mainWindowHeight_ = std::max(height, window_->minimumSizeHint().height() - menuHeight());
    full_ = true;
    setFrame(QRect(compact.x(), compact.y(), compact.width(), mainWindowHeight_));
    window_->setWindowTitle(plainTitle());
    toggle_->setChecked(true);
}

QSize WindowSizer::windowWillResize(const QSize &proposed, bool editing)
{
    if (applying_)
        return proposed;
    if (!editing)
        editWindow_->hide();
    if (!full_)
        return frame().size();
    mainWindowHeight_ = proposed.height();
    return proposed;
}

void WindowSizer::restoreFrame()
{
    const QSettings settings;
    QRect saved = settings.value(QLatin1String(frameKey)).toRect();
    // A frame on a screen that is gone would put the window out of reach.
    const auto screens = QGuiApplication::screens();
    const bool onScreen = std::any_of(screens.begin(), screens.end(), [&](const QScreen *screen) {
        return screen->availableGeometry().intersects(saved);
    });
    if (!saved.isValid() || !onScreen)
        return;
    if (saved.height() < leftCompactBelow) {
        // Made full at once, as the user will want it after a start, with
        // the top edge where the compact one was.
        expandTo(saved, startHeight, false);
        return;
    }
    setFrame(saved);
}

void WindowSizer::expandAtQuit(bool editing)
{
    if (!full_) {
        window_->hide();
        expandTo(frame(), mainWindowHeight_, editing);
    }
    saveFrame();
}

void WindowSizer::setCompactTitle(const QString &title)
{
    if (!full_)
        window_->setWindowTitle(title);
}

void WindowSizer::saveFrame() const
{
    QSettings settings;
    settings.setValue(QLatin1String(frameKey), frame());
}
