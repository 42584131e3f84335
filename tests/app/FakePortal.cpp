// A stand-in for the desktop portal's global shortcuts on a private session bus. It answers
// CreateSession and BindShortcuts as a portal does, prints each call on a line of standard output,
// and once the shortcut is bound sends Activated twice: first for a shortcut Wendra did not ask
// for, then for Wendra's own.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QTextStream>
#include <QTimer>

namespace {

const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QDBusObjectPath session(path + QStringLiteral("/session/1_2/wendra"));

// One line of standard output per call, flushed: the test reads them as they come.
void print(const QString &line) { QTextStream(stdout) << line << Qt::endl; }

class Portal : public QDBusVirtualObject
{
public:
    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        QDBusConnection bus(connection);
        if (message.member() == QLatin1String("Get")) // the interface's version
            return bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().constLast());
        const QString request = path + QStringLiteral("/request/") + message.service().mid(1).replace('.', '_')
            + QLatin1Char('/') + options.value(QStringLiteral("handle_token")).toString();
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        if (message.member() == QLatin1String("CreateSession")) {
            print("CreateSession session_handle_token=" + options.value("session_handle_token").toString());
        } else {
            const QDBusArgument list = message.arguments().at(1).value<QDBusArgument>();
            QString id;
            QVariantMap properties;
            list.beginArray();
            list.beginStructure();
            list >> id >> properties;
            print(QStringLiteral("BindShortcuts session=%1 id=%2 trigger=%3")
                      .arg(message.arguments().at(0).value<QDBusObjectPath>().path(), id,
                          properties.value(QStringLiteral("preferred_trigger")).toString()));
            QTimer::singleShot(100, [bus, id]() mutable {
                for (const QString &activated : {QStringLiteral("another"), id})
                    bus.send(QDBusMessage::createSignal(path, "org.freedesktop.portal.GlobalShortcuts", "Activated")
                        << QVariant::fromValue(session) << activated << qulonglong(1) << QVariantMap());
            });
        }
        // Only CreateSession's answer needs the session; the others ignore it.
        return bus.send(QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response")
            << 0u << QVariantMap{{QStringLiteral("session_handle"), QVariant::fromValue(session)}});
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Portal portal;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(path, &portal) || !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")))
        return 1;
    print(QStringLiteral("ready"));
    return app.exec();
}
