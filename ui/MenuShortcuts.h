// MenuShortcuts: the keyboard shortcuts of a menu bar, read from its actions
// as they are, so that every list of them (the Keyboard Shortcuts window,
// the check for clashes) shows what the keys really do.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QMenuBar;
class QMenu;

namespace MenuShortcuts {

struct Command
{
    QString menu;  // "File", "View > Sort By": the path of menus, mnemonics removed
    QString title; // the item's text, mnemonics removed
    QList<QKeySequence> shortcuts;
};

// Every item of the bar and its submenus, in menu order; separators and
// submenu entries are left out, items without a shortcut are kept.
QList<Command> commands(const QMenuBar &bar);

// "Ctrl+N: File > New Task and File > Something" for each key sequence that
// more than one item uses; empty when every key is unique.
QStringList clashes(const QList<Command> &commands);

// A menu text as the user reads it: "&&" is an ampersand, a single "&" only
// marks the mnemonic.
QString plainText(const QString &menuText);

} // namespace MenuShortcuts
