#include "CalendarSync.h"

#include "CalendarImport.h"
#include "SyncSettings.h"
#include "VdirCalendarStore.h"

#include <QCryptographicHash>
#include <QStandardPaths>

CalendarSync::CalendarSync() = default;
CalendarSync::~CalendarSync() = default;

CalendarStore &CalendarSync::store()
{
    if (!store_) {
        const QString folder = SyncSettings::read().folder;
        const QString root = folder.isEmpty() ? VdirCalendarStore::defaultRoot() : folder;
        // One cache per folder, so pointing the setting elsewhere and back
        // costs nothing.
        const QByteArray key
            = QCryptographicHash::hash(root.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
        store_ = std::make_unique<VdirCalendarStore>(root,
            QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                + QStringLiteral("/Wendra/vdir-") + QString::fromLatin1(key)
                + QStringLiteral(".cache"));
        if (storeMade)
            storeMade(*store_);
    }
    return *store_;
}

std::optional<CalendarExport> CalendarSync::exporter()
{
    const SyncSettings settings = SyncSettings::read();
    if (!settings.enabled)
        return std::nullopt;
    return CalendarExport(store(), settings.exportOptions, settings.calendar);
}

void CalendarSync::exportNewTask(int taskKey, const CalendarExport::Values &values)
{
    if (std::optional<CalendarExport> copies = exporter())
        if (const QString uid = copies->addCopy(values); !uid.isEmpty())
            newCopies_.insert(uid, taskKey);
}

QString CalendarSync::exportTaskUpdate(
    int taskKey, const QString &oid, const CalendarExport::Values &values)
{
    std::optional<CalendarExport> copies = exporter();
    if (!copies)
        return oid;
    QString uid;
    const QString kept = copies->updateCopy(oid, values, &uid);
    if (!uid.isEmpty())
        newCopies_.insert(uid, taskKey);
    return kept;
}

void CalendarSync::exportCompletion(const QString &oid)
{
    if (std::optional<CalendarExport> copies = exporter())
        copies->completeCopy(oid);
}

void CalendarSync::exportDeletion(const QString &oid)
{
    if (std::optional<CalendarExport> copies = exporter())
        copies->removeCopy(oid);
}

bool CalendarSync::importAtStartup(sqlite3 *database, const QStringList &listNames, int indexSort)
{
    if (!SyncSettings::read().enabled)
        return false;
    CalendarImport(store(), database, indexSort).importAtStartup(listNames);
    return true;
}

bool CalendarSync::importChanges(sqlite3 *database, const CalendarChanges &changes, int indexSort)
{
    if (!SyncSettings::read().enabled)
        return false;
    CalendarImport(store(), database, indexSort).tasksChanged(changes);
    return true;
}

bool CalendarSync::linkNewCopies(sqlite3 *database, const CalendarChanges &changes, int indexSort)
{
    if (changes.inserted.isEmpty() || !SyncSettings::read().enabled)
        return false;
    CalendarImport(store(), database, indexSort).linkNewCopies(changes.inserted, newCopies_);
    for (const QString &uid : changes.inserted)
        newCopies_.remove(uid);
    return true;
}
