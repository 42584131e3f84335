#include "MyApplication.h"

#include "InternalError.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QtGlobal>
#include <unistd.h>

MyApplication::MyApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Wendra"));
    setApplicationName(QStringLiteral("Wendra"));
    setApplicationDisplayName(QStringLiteral("Wendra"));
    setDesktopFileName(QStringLiteral("wendra"));
    // The window hides when closed; Wendra ends only through Quit.
    setQuitOnLastWindowClosed(false);
}

MyApplication::~MyApplication() = default;

bool MyApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const InternalError &error) {
        reportInternalError(error);
    } catch (const std::exception &error) {
        reportInternalError(InternalError(QString::fromLocal8Bit(error.what())));
    }
    return false;
}

void MyApplication::reportInternalError(const InternalError &error)
{
    qCritical("Wendra internal error%s%s: %s", error.where().isEmpty() ? "" : " in ",
              qPrintable(error.where()), qPrintable(error.description()));
    QMessageBox::critical(activeWindow(), tr("Internal Error"), error.description());
}

QString MyApplication::serverName() const
{
    // One instance per user and per data folder, so a test run in its own
    // temporary home never meets the user's Wendra.
    const QByteArray data = qgetenv("XDG_DATA_HOME") + '|' + qgetenv("HOME");
    return QStringLiteral("wendra-%1-%2").arg(getuid()).arg(qHash(data), 0, 16);
}

bool MyApplication::alertRunningInstance()
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(500))
        return false;
    socket.write("QelKeyboardAlert\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}

void MyApplication::listenForOtherInstances()
{
    if (server_)
        return;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(serverName())) {
        // A socket left behind by a Wendra that crashed.
        QLocalServer::removeServer(serverName());
        server_->listen(serverName());
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit keyboardAlert();
        }
    });
}
