#include "AppIdentity.h"

#include "DatabaseFile.h"
#include "IcsFormat.h"

#include <QDir>
#include <QObject>
#include <QSettings>
#include <QStringList>
#include <sqlite3.h>

namespace AppIdentity {

QString version()
{
    return QStringLiteral(WENDRA_VERSION);
}

QString licence()
{
    return QStringLiteral(WENDRA_LICENSE);
}

QString applicationId()
{
    return QStringLiteral(WENDRA_APP_ID);
}

QIcon windowIcon()
{
    QIcon builtIn;
    // One folder per size, as in the icon theme: "16x16/apps/wendra.png".
    const QDir sizes(QStringLiteral(":/icons"));
    for (const QString &size : sizes.entryList())
        builtIn.addFile(sizes.filePath(size + QStringLiteral("/apps/wendra.png")));
    return QIcon::fromTheme(QStringLiteral("wendra"), builtIn);
}

QStringList libraryVersions()
{
    return {QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())),
            QStringLiteral("SQLite %1").arg(QString::fromLatin1(sqlite3_libversion())),
            QStringLiteral("libical %1").arg(IcsFormat::libraryVersion())};
}

QString aboutText()
{
    // Paths as the user types them: the home folder as "~".
    const auto homeAsTilde = [](QString path) {
        const QString home = QDir::homePath();
        if (path.startsWith(home + QLatin1Char('/')))
            path.replace(0, home.size(), QStringLiteral("~"));
        return path.toHtmlEscaped();
    };
    const QString settings =
        QSettings(QStringLiteral("Wendra"), QStringLiteral("Wendra")).fileName();
    return QObject::tr("<h3>Wendra %1</h3>"
                       "<p>A fast to-do list manager.</p>"
                       "<p>Licence: %2</p>"
                       "<p>Libraries: %3</p>"
                       "<p>Tasks: %4<br>Settings: %5</p>")
        .arg(version().toHtmlEscaped(), licence().toHtmlEscaped(),
             libraryVersions().join(QStringLiteral(", ")).toHtmlEscaped(),
             homeAsTilde(DatabaseFile::pathForDBFile()), homeAsTilde(settings));
}

} // namespace AppIdentity
