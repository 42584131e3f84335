#include "MyApplication.h"

#include "AppIdentity.h"
#include "DatabaseFile.h"
#include "GlobalHotKey.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtGlobal>
#include <unistd.h>

MyApplication::MyApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Wendra"));
    setApplicationName(QStringLiteral("Wendra"));
    // No display name: Qt would append it to every window title, and the
    // compact window's "Wendra [list]" would read "Wendra [list] — Wendra".
    setApplicationVersion(AppIdentity::version());
    // Wayland desktops find the window's icon and name through this id.
    setDesktopFileName(AppIdentity::applicationId());
    setWindowIcon(AppIdentity::windowIcon());
    // The window hides when closed; Wendra ends only through Quit.
    setQuitOnLastWindowClosed(false);
}

MyApplication::~MyApplication() = default;

QString MyApplication::serverName()
{
    const QString folder = DatabaseFile::folderPath();
    // The folder is made here if need be: only an existing one resolves.
    QDir().mkpath(folder);
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QByteArray digest =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("wendra-%1-%2").arg(getuid()).arg(QString::fromLatin1(digest));
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

void MyApplication::registerHotKey()
{
    if (hotKey_)
        return;
    hotKey_ = new GlobalHotKey(this);
    connect(hotKey_, &GlobalHotKey::pressed, this, [this] {
        qInfo("got key");
        emit keyboardAlert();
    });
    hotKey_->registerHotKey();
}
