// The preferences of calendar synchronisation, kept by QSettings under
// organisation and application "Wendra" (~/.config/Wendra/Wendra.conf on
// Linux). They are read at every use, so a change counts from the next
// command on; nothing registers defaults, so absent keys read as 0 or empty.
#pragma once

#include <QSettings>
#include <QString>

struct SyncSettings
{
    // syncEnabled: 1 mirrors tasks into the calendar store; anything else is off.
    bool enabled = false;
    // exportOptions: 0 one calendar per list, 1 every task into `calendar`.
    int exportOptions = 0;
    QString calendar;
    // calendarFolder: the vdir to use instead of the default, for instance a
    // folder vdirsyncer already keeps.
    QString folder;

    static SyncSettings read()
    {
        const QSettings settings(QStringLiteral("Wendra"), QStringLiteral("Wendra"));
        return {settings.value(QStringLiteral("syncEnabled")).toInt() == 1,
            settings.value(QStringLiteral("exportOptions")).toInt(),
            settings.value(QStringLiteral("calendar")).toString(),
            settings.value(QStringLiteral("calendarFolder")).toString()};
    }
    static void write(const QString &key, const QVariant &value)
    {
        QSettings(QStringLiteral("Wendra"), QStringLiteral("Wendra")).setValue(key, value);
    }
};
