// The controller's calendar entry points: the start-up import and the store's
// two notifications, the export steps the task commands call, and the
// preferences panel. Each gathers the command's values and hands them to
// calendar/, where the mapping and the import live.
#include "AppController.h"

#include "CalendarExport.h"
#include "CalendarImport.h"
#include "SyncSettings.h"
#include "VdirCalendarStore.h"

#include <QMenuBar>

void AppController::connectCalendarCommands()
{
    auto *editMenu = new QMenu(tr("&Edit"), mainWindow->menuBar());
    editMenu->addAction(tr("Preferences..."), QKeySequence::Preferences, this,
                        &AppController::openPrefs)
        ->setMenuRole(QAction::PreferencesRole);
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
}

void AppController::openPrefs()
{
    const SyncSettings settings = SyncSettings::read();
    // Filling the controls is not the user choosing.
    const QSignalBlocker blockSync(syncEnabledCheck), blockPerList(exportPerList),
        blockOne(exportOneCalendar), blockName(prefsCalName);
    prefsCalName->clear();
    for (const Calendar &calendar : calendarStore().calendars())
        prefsCalName->addItem(calendar.title);
    prefsCalName->setEditText(settings.calendar);
    syncEnabledCheck->setChecked(settings.enabled);
    (settings.exportOptions == 1 ? exportOneCalendar : exportPerList)->setChecked(true);
    prefsPanel->setWindowTitle(QStringLiteral("Preferences"));
    prefsPanel->show();
    prefsPanel->raise();
    prefsPanel->activateWindow();
}

CalendarStore &AppController::calendarStore()
{
    if (!calendarStore_) {
        const QString folder = SyncSettings::read().folder;
        calendarStore_ = new VdirCalendarStore(
            folder.isEmpty() ? VdirCalendarStore::defaultRoot() : folder, this);
    }
    return *calendarStore_;
}

int AppController::translateImpToiCal(const QString &importance)
{
    return CalendarExport::translateImpToiCal(importance);
}

QString AppController::translateImpToVrel(int priority)
{
    return CalendarExport::translateImpToVrel(priority);
}

void AppController::importCalendarAtStartup()
{
    if (!SyncSettings::read().enabled)
        return;
    QStringList listNames;
    for (const Category &list : categories_)
        listNames << list.name();
    CalendarImport(calendarStore(), database_, int(items_.size())).importAtStartup(listNames);
    connect(calendarStore_, &CalendarStore::tasksChangedExternally, this,
            &AppController::tasksChanged);
    connect(calendarStore_, &CalendarStore::tasksChanged, this,
            &AppController::tasksChangedFromBellet);
    calendarStore_->startWatching();
    reloadView();
}

void AppController::tasksChanged(const CalendarChanges &changes)
{
    if (!SyncSettings::read().enabled)
        return;
    CalendarImport(calendarStore(), database_, int(items_.size())).tasksChanged(changes);
    // The view on screen, whichever it is; open editors find their task by key.
    reloadView();
}

void AppController::tasksChangedFromBellet(const CalendarChanges &changes)
{
    if (changes.inserted.isEmpty() || !SyncSettings::read().enabled)
        return;
    CalendarImport(calendarStore(), database_, int(items_.size()))
        .linkNewCopies(changes.inserted, newCopies_);
    for (const QString &uid : changes.inserted)
        newCopies_.remove(uid);
    reloadView();
}

void AppController::exportNewTask(int taskKey, const CalendarExport::Values &values)
{
    const SyncSettings settings = SyncSettings::read();
    if (!settings.enabled)
        return;
    const QString uid = CalendarExport(calendarStore(), settings.exportOptions, settings.calendar)
                            .addCopy(values);
    if (!uid.isEmpty())
        newCopies_.insert(uid, taskKey);
}

QString AppController::exportTaskUpdate(int taskKey, const QString &oid,
                                        const CalendarExport::Values &values)
{
    const SyncSettings settings = SyncSettings::read();
    if (!settings.enabled)
        return oid;
    QString uid;
    const QString kept = CalendarExport(calendarStore(), settings.exportOptions, settings.calendar)
                             .updateCopy(oid, values, &uid);
    if (!uid.isEmpty())
        newCopies_.insert(uid, taskKey);
    return kept;
}

void AppController::exportCompletion(const QString &oid)
{
    const SyncSettings settings = SyncSettings::read();
    if (settings.enabled)
        CalendarExport(calendarStore(), settings.exportOptions, settings.calendar)
            .completeCopy(oid);
}

void AppController::exportDeletion(const QString &oid)
{
    const SyncSettings settings = SyncSettings::read();
    if (settings.enabled)
        CalendarExport(calendarStore(), settings.exportOptions, settings.calendar).removeCopy(oid);
}
