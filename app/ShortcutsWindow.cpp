#include "ShortcutsWindow.h"

#include "MenuShortcuts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString keyText(const QList<QKeySequence> &shortcuts)
{
    QStringList texts;
    for (const QKeySequence &keys : shortcuts)
        texts << keys.toString(QKeySequence::NativeText);
    return texts.join(QStringLiteral(", "));
}

} // namespace

ShortcutsWindow::ShortcutsWindow(const QMenuBar &bar, QWidget *parent)
    : QDialog(parent)
    , list_(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("shortcutsWindow"));
    setWindowTitle(tr("Keyboard Shortcuts"));
    setAttribute(Qt::WA_DeleteOnClose);
    list_->setColumnCount(2);
    list_->setHeaderLabels({tr("Command"), tr("Keys")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list_->header()->setStretchLastSection(false);

    QList<MenuShortcuts::Command> commands = MenuShortcuts::commands(bar);
    // Keys that no menu item carries: the entry line, the table and the
    // hot key that works from any application.
    const QString elsewhere = tr("Elsewhere");
    const QKeySequence returnKey(Qt::Key_Return);
    commands += QList<MenuShortcuts::Command>{
        {elsewhere, tr("Add the typed task (in the entry line)"), {returnKey}},
        {elsewhere, tr("Edit the selected task in the panel (in the table)"), {returnKey}},
        {elsewhere, tr("Bring Wendra forward from any application (X11)"),
         {QKeySequence(Qt::META | Qt::ALT | Qt::Key_Right)}}};

    QTreeWidgetItem *group = nullptr;
    for (const MenuShortcuts::Command &command : commands) {
        if (command.shortcuts.isEmpty())
            continue;
        if (!group || group->text(0) != command.menu) {
            group = new QTreeWidgetItem(list_, {command.menu});
            group->setFirstColumnSpanned(true);
            QFont bold = group->font(0);
            bold.setBold(true);
            group->setFont(0, bold);
        }
        new QTreeWidgetItem(group, {command.title, keyText(command.shortcuts)});
    }
    list_->expandAll();
    list_->setItemsExpandable(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    // Tall enough for every key without scrolling on a usual screen.
    resize(fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 44);
}

ShortcutsWindow *ShortcutsWindow::showFor(const QMenuBar &bar, QWidget *parent)
{
    // One window at a time; a second request shows the keys afresh.
    if (auto *open = parent->findChild<ShortcutsWindow *>(QString(), Qt::FindDirectChildrenOnly))
        delete open;
    auto *window = new ShortcutsWindow(bar, parent);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QStringList ShortcutsWindow::rows() const
{
    QStringList result;
    for (int g = 0; g < list_->topLevelItemCount(); ++g) {
        const QTreeWidgetItem *group = list_->topLevelItem(g);
        for (int r = 0; r < group->childCount(); ++r)
            result << group->text(0) + QLatin1Char('|') + group->child(r)->text(0)
                    + QLatin1Char('|') + group->child(r)->text(1);
    }
    return result;
}
