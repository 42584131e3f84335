#include "HelpPages.h"

#include <QDir>
#include <QFileInfo>

namespace HelpPages {

QString folder(const QString &binFolder)
{
    const QString installed = binFolder + QStringLiteral("/../share/wendra/help");
    for (const QString &candidate : {installed, binFolder + QStringLiteral("/../help"),
                                     binFolder + QStringLiteral("/../../help")}) {
        if (QFileInfo::exists(candidate + QStringLiteral("/support.html")))
            return QDir::cleanPath(candidate);
    }
    return QDir::cleanPath(installed);
}

} // namespace HelpPages
