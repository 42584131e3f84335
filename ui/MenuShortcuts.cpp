#include "MenuShortcuts.h"

#include <QAction>
#include <QMap>
#include <QMenu>
#include <QMenuBar>

namespace MenuShortcuts {
namespace {

void collect(const QMenu &menu, const QString &path, QList<Command> &into)
{
    for (QAction *action : menu.actions()) {
        if (action->isSeparator())
            continue;
        if (const QMenu *submenu = action->menu())
            collect(*submenu, path + QStringLiteral(" > ") + plainText(action->text()), into);
        else
            into.append(Command{path, plainText(action->text()), action->shortcuts()});
    }
}

} // namespace

QList<Command> commands(const QMenuBar &bar)
{
    QList<Command> result;
    for (QAction *action : bar.actions())
        if (const QMenu *menu = action->menu())
            collect(*menu, plainText(action->text()), result);
    return result;
}

QStringList clashes(const QList<Command> &commands)
{
    QMap<QString, QStringList> users;
    for (const Command &command : commands)
        for (const QKeySequence &keys : command.shortcuts)
            users[keys.toString(QKeySequence::PortableText)]
                << command.menu + QStringLiteral(" > ") + command.title;
    QStringList result;
    for (auto it = users.cbegin(); it != users.cend(); ++it)
        if (it.value().size() > 1)
            result << it.key() + QStringLiteral(": ") + it.value().join(QStringLiteral(" and "));
    return result;
}

QString plainText(const QString &menuText)
{
    QString result;
    for (qsizetype i = 0; i < menuText.size(); ++i) {
        if (menuText[i] == QLatin1Char('&') && i + 1 < menuText.size())
            ++i;
        result += menuText[i];
    }
    return result;
}

} // namespace MenuShortcuts
