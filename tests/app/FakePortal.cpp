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
#include <QTimer>
#include <cstdio>

namespace {

const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

void print(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

class Portal : public QDBusVirtualObject
{
public:
    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() == QLatin1String("Get")) {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            return true;
        }
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().constLast());
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = path + QStringLiteral("/request/") + sender + QLatin1Char('/')
            + options.value(QStringLiteral("handle_token")).toString();
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QVariantMap results;
        if (message.member() == QLatin1String("CreateSession")) {
            print(QStringLiteral("CreateSession session_handle_token=%1")
                      .arg(options.value(QStringLiteral("session_handle_token")).toString()));
            results.insert(QStringLiteral("session_handle"), session);
        } else if (message.member() == QLatin1String("BindShortcuts")) {
            const QDBusArgument list = message.arguments().at(1).value<QDBusArgument>();
            QString id;
            QVariantMap properties;
            list.beginArray();
            list.beginStructure();
            list >> id >> properties;
            list.endStructure();
            print(QStringLiteral("BindShortcuts session=%1 id=%2 trigger=%3")
                      .arg(message.arguments().at(0).value<QDBusObjectPath>().path(), id,
                           properties.value(QStringLiteral("preferred_trigger")).toString()));
            QTimer::singleShot(100, [connection, id] {
                for (const QString &activated : {QStringLiteral("another"), id}) {
                    QDBusMessage signal = QDBusMessage::createSignal(path, shortcuts, QStringLiteral("Activated"));
                    signal << QVariant::fromValue(QDBusObjectPath(session)) << activated << qulonglong(1) << QVariantMap();
                    QDBusConnection(connection).send(signal);
                }
            });
        }
        QDBusMessage response = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
            QStringLiteral("Response"));
        response << 0u << results;
        QDBusConnection(connection).send(response);
        return true;
    }

    static inline const QString session = QStringLiteral("/org/freedesktop/portal/desktop/session/1_2/wendra");
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
