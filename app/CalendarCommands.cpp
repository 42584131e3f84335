// The controller's calendar entry points: the start-up import, the store's
// two notifications and the preferences panel. The task commands call
// calendar_ directly; the mapping and the import live in calendar/.
#include "AppController.h"

#include "SyncSettings.h"

#include <QMenuBar>

void AppController::connectCalendarCommands()
{
    auto *editMenu = new QMenu(tr("&Edit"), mainWindow->menuBar());
    QAction *prefs =
        editMenu->addAction(tr("Preferences..."), this, command(&AppController::openPrefs));
    prefs->setMenuRole(QAction::PreferencesRole);
    // Desktops without a key of their own for preferences get the usual Ctrl+,.
    const QList<QKeySequence> prefsKeys = QKeySequence::keyBindings(QKeySequence::Preferences);
    prefs->setShortcuts(
        prefsKeys.isEmpty() ? QList {QKeySequence(Qt::CTRL | Qt::Key_Comma)} : prefsKeys);
    const QList<QAction *> menus = mainWindow->menuBar()->actions();
    mainWindow->menuBar()->insertMenu(menus.value(1), editMenu);

    // Each control writes its key at once: the next command reads it.
    connect(syncEnabledCheck, &QCheckBox::toggled, this,
        [](bool on) { SyncSettings::write(QStringLiteral("syncEnabled"), on ? 1 : 0); });
    connect(exportPerList, &QRadioButton::toggled, this, [](bool on) {
        if (on)
            SyncSettings::write(QStringLiteral("exportOptions"), 0);
    });
    connect(exportOneCalendar, &QRadioButton::toggled, this, [](bool on) {
        if (on)
            SyncSettings::write(QStringLiteral("exportOptions"), 1);
    });
    connect(prefsCalName, &QComboBox::currentTextChanged, this,
        [](const QString &title) { SyncSettings::write(QStringLiteral("calendar"), title); });
    connect(prefsClose, &QPushButton::clicked, prefsPanel, &QDialog::close);
    // Own saves are linked to their tasks whenever there is a store, also
    // after synchronisation was switched on in a running Wendra: unlinked,
    // every later edit of a task would make another copy of it.
    calendar_.storeMade = [this](CalendarStore &store) {
        connect(&store, &CalendarStore::tasksChanged, this,
                command(&AppController::tasksChangedFromBellet));
    };
}

void AppController::openPrefs()
{
    const SyncSettings settings = SyncSettings::read();
    // Filling the controls is not the user choosing.
    const QSignalBlocker blockSync(syncEnabledCheck), blockPerList(exportPerList),
        blockOne(exportOneCalendar), blockName(prefsCalName);
    prefsCalName->clear();
    for (const Calendar &calendar : calendar_.store().calendars())
        prefsCalName->addItem(calendar.title);
    prefsCalName->setEditText(settings.calendar);
    syncEnabledCheck->setChecked(settings.enabled);
    (settings.exportOptions == 1 ? exportOneCalendar : exportPerList)->setChecked(true);
    prefsPanel->setWindowTitle(QStringLiteral("Preferences"));
    prefsPanel->show();
    prefsPanel->raise();
    prefsPanel->activateWindow();
}

void AppController::importCalendarAtStartup()
{
    QStringList listNames;
    for (const Category &list : categories_)
        listNames << list.name();
    if (!calendar_.importAtStartup(database_, listNames, rows_.size()))
        return;
    CalendarStore &store = calendar_.store();
    connect(&store, &CalendarStore::tasksChangedExternally, this,
            command(&AppController::tasksChanged));
    store.startWatching();
    reloadView();
}

void AppController::tasksChanged(const CalendarChanges &changes)
{
    // The view on screen, whichever it is; open editors find their task by key.
    if (calendar_.importChanges(database_, changes, rows_.size()))
        reloadView();
}

void AppController::tasksChangedFromBellet(const CalendarChanges &changes)
{
    if (calendar_.linkNewCopies(database_, changes, rows_.size()))
        reloadView();
}
