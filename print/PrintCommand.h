// wendra --print-pdf FILE [--view NAME]: prints a view to a PDF file without
// a window, for scripts. NAME is a list or "All Tasks", "Today" or
// "Completed"; without it the first list, as Wendra shows at start. The tasks
// are read from the user's database and printed through the same layout and
// painting as the print dialog.
//
// Exit status 0 when the file is written; 1, with the reason on standard
// error, when the arguments are wrong, the database cannot be opened, the
// view does not exist or the file cannot be written.
#pragma once

#include <QStringList>

class QTextStream;

namespace PrintCommand {

// Whether the command line asks for a printout instead of the window.
bool isRequested(int argc, char **argv);
// Runs the printout as the whole program: builds its own application object
// (headless unless a platform is chosen) and returns the exit status.
int main(int argc, char **argv);
// The printout itself; arguments without the program name.
int run(const QStringList &arguments, QTextStream &errors);

} // namespace PrintCommand
