// Wendra: a compact to-do list manager.
#include "AppController.h"
#include "InternalError.h"
#include "MyApplication.h"
#include "PrintCommand.h"

#include <QMessageBox>
#include <cstdio>

int main(int argc, char **argv)
{
    // A printout for a script: no window, and no word to a running Wendra.
    if (PrintCommand::isRequested(argc, argv))
        return PrintCommand::main(argc, argv);
    MyApplication application(argc, argv);
    if (application.alertRunningInstance())
        return 0;
    application.listenForOtherInstances();

    AppController controller;
    try {
        controller.awakeFromNib();
    } catch (const InternalError &error) {
        // Nothing useful can run without the database: say which file is at
        // fault, where the user will look (an alert) and where a log is kept
        // (standard error), and end.
        const QString text = QObject::tr("Wendra cannot start.\n\n%1\n\nDatabase file: %2")
                                 .arg(error.description(), controller.pathForDBFile());
        std::fprintf(stderr, "%s\n", qPrintable(text));
        // On a platform without a screen no one could see or answer the
        // alert, and a script would wait for it for ever.
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QMessageBox::critical(nullptr, QObject::tr("Wendra"), text);
        return 1;
    }
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &controller,
                     &AppController::applicationWillTerminate);
    return application.exec();
}
