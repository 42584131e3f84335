// The main window's two sizes: full, with the task table (or the edit
// panel over it), and a compact strip that keeps only the window's top part
// and names the current list in its title. Switching keeps the window's top
// edge where it is. The frame is remembered between runs, so a window left
// compact is found compact at the next start, which then expands it.
#pragma once

#include <QRect>
#include <QString>

class QAbstractButton;
class QMainWindow;
class QWidget;

class WindowSizer
{
public:
    static constexpr int compactHeight = 53;
    // A frame lower than this at start-up was left compact.
    static constexpr int leftCompactBelow = 60;
    // The height a window left compact comes back with.
    static constexpr int startHeight = 350;

    // content holds the table's scroll view and the edit panel; it goes
    // away with them in the compact window.
    WindowSizer(QMainWindow *window, QAbstractButton *toggle, QWidget *content,
                QWidget *tableScrollView, QWidget *editWindow);

    // True at full size: the old name of the state, which reads backwards.
    bool windowIsSmall() const { return full_; }
    int mainWindowHeight() const { return mainWindowHeight_; }

    // The window's frame: its geometry less the menu bar inside it, which a
    // desktop with a global menu bar keeps out of the window.
    QRect frame() const;
    void setFrame(const QRect &frame);

    // The compact title: the list's name, or the view's label when the view
    // is a built-in one or there is no list; taken as text, never as a
    // format, so brackets and percent signs stay as they are.
    static QString compactTitle(const QString &viewLabel, const QString &listName);

    // The toggle: full to compact and back.
    void windowsResize(bool editing, const QString &title);
    // The user resizes the window to proposed (a frame size); returns the
    // size it keeps. Out of an edit the panel is hidden.
    QSize windowWillResize(const QSize &proposed, bool editing);
    // Start-up: the frame of the last run, expanded when it was compact.
    void restoreFrame();
    // Quit: a compact window is made full again, hidden, before its frame
    // is kept for the next run.
    void expandAtQuit(bool editing);
    // Next and previous list name the new list in a compact window.
    void setCompactTitle(const QString &title);
    void saveFrame() const;

private:
    int menuHeight() const;
    void expandTo(const QRect &compact, int height, bool editing);

    QMainWindow *window_;
    QAbstractButton *toggle_;
    QWidget *content_;
    QWidget *tableScrollView_;
    QWidget *editWindow_;
    bool full_ = true;
    int mainWindowHeight_ = 0;
    // Set while the sizer itself changes the frame: those resizes are not
    // the user's.
    bool applying_ = false;
};
