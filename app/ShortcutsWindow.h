// ShortcutsWindow: Help > Keyboard Shortcuts. It lists the keys of the menu
// bar's own actions each time it opens, so it shows the keys as they are,
// and beside them the few keys that belong to no menu item.
#pragma once

#include <QDialog>

class QMenuBar;
class QTreeWidget;

class ShortcutsWindow : public QDialog
{
    Q_OBJECT

public:
    ShortcutsWindow(const QMenuBar &bar, QWidget *parent);

    // Brings the window of parent forward, made afresh from bar's menus.
    static ShortcutsWindow *showFor(const QMenuBar &bar, QWidget *parent);

    // The rows shown: "menu|command|keys" with the keys as the platform
    // writes them.
    QStringList rows() const;

private:
    QTreeWidget *list_ = nullptr;
};
