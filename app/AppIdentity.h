// AppIdentity: what Wendra says about itself to the desktop and to the user:
// its version, licence, application id and icon. The values come from the
// build (CMakeLists.txt), so the package, the desktop entry and the About
// window cannot disagree.
#pragma once

#include <QIcon>
#include <QString>

namespace AppIdentity {

QString version();
QString licence();
// The reverse-domain name of the desktop entry and the AppStream file.
QString applicationId();

// The icon theme's "wendra" when the desktop has it (installed), else the
// sizes built into the program.
QIcon windowIcon();

// The libraries Wendra runs on, as "name version" lines read from the
// libraries themselves where they can say it.
QStringList libraryVersions();

// The text of Help > About Wendra: version, licence, libraries, and the
// files a support request asks about.
QString aboutText();

} // namespace AppIdentity
