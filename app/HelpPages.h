// HelpPages: where the help and support pages are. They ship with the
// program: under share/wendra/help once installed, in help/ at the top of a
// build tree, both found from the folder that holds the running binary.
#pragma once

#include <QString>

namespace HelpPages {

// The folder of the pages for a binary in binFolder: the installed one when
// there is one, else the nearest build tree's (the program sits one folder
// down, a test two). With neither, the installed place, so that a broken
// installation names the folder that is missing.
QString folder(const QString &binFolder);

} // namespace HelpPages
