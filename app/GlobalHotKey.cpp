#include "GlobalHotKey.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <cstdlib>

namespace {

const char *const portalService = "org.freedesktop.portal.Desktop";
const char *const portalPath = "/org/freedesktop/portal/desktop";
const char *const shortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";

// Caps Lock and Num Lock leave a hot key a hot key: it is grabbed with
// every combination of the two.
constexpr uint16_t hotKeyModifiers = XCB_MOD_MASK_4 | XCB_MOD_MASK_1;
constexpr uint16_t lockModifiers[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                      XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
// The modifiers that make another combination: Shift, Control, Alt,
// Mod3, Super, Mod5; not the locks.
constexpr uint16_t significantModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1
    | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;

// One entry of the portal's a(sa{sv}) list of shortcuts.
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

GlobalHotKey::GlobalHotKey(QObject *parent)
    : QObject(parent)
{
}

GlobalHotKey::~GlobalHotKey() = default;

void GlobalHotKey::registerHotKey()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (grabOnX11())
            QCoreApplication::instance()->installNativeEventFilter(this);
        return;
    }
    bindThroughPortal();
}

bool GlobalHotKey::grabOnX11()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection);
    if (xcb_keycode_t *codes = symbols ? xcb_key_symbols_get_keycode(symbols, XK_Right) : nullptr) {
        for (xcb_keycode_t *code = codes; *code != XCB_NO_SYMBOL; ++code)
            keycodes_ << *code;
        std::free(codes);
    }
    if (symbols)
        xcb_key_symbols_free(symbols);
    bool refused = false;
    for (auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection)); roots.rem;
         xcb_screen_next(&roots)) {
        for (quint8 code : std::as_const(keycodes_)) {
            for (uint16_t locks : lockModifiers) {
                const xcb_void_cookie_t cookie = xcb_grab_key_checked(
                    connection, 1, roots.data->root, hotKeyModifiers | locks, code,
                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
                if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
                    refused = true;
                    std::free(error);
                }
            }
        }
    }
    if (keycodes_.isEmpty())
        qWarning("Wendra: the keyboard has no Right arrow key; the hot key is off.");
    else if (refused)
        qWarning("Wendra: another program holds Super+Alt+Right; the hot key may not reach Wendra.");
    return !keycodes_.isEmpty();
}

bool GlobalHotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    if (keycodes_.contains(press->detail) && (press->state & significantModifiers) == hotKeyModifiers) {
        emit pressed();
        focusMainWindow(press->time);
    }
    // The event goes on as it came, whatever it was.
    return false;
}

void GlobalHotKey::focusMainWindow(uint32_t time)
{
    // Qt asks the X server for the focus with the time of the last event
    // one of its own windows saw; when another program took the focus
    // since, the server refuses. The press is newer than any such change.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        if (x11 && window->isExposed() && window->type() == Qt::Window && !window->transientParent()) {
            xcb_set_input_focus(x11->connection(), XCB_INPUT_FOCUS_PARENT, xcb_window_t(window->winId()), time);
            xcb_flush(x11->connection());
            return;
        }
    }
}

void GlobalHotKey::bindThroughPortal()
{
    QDBusConnectionInterface *busNames = bus().isConnected() ? bus().interface() : nullptr;
    bool offered = false;
    if (busNames && busNames->isServiceRegistered(QString::fromLatin1(portalService))) {
        QDBusMessage query = QDBusMessage::createMethodCall(
            QString::fromLatin1(portalService), QString::fromLatin1(portalPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        query << QString::fromLatin1(shortcutsInterface) << QStringLiteral("version");
        offered = bus().call(query, QDBus::Block, 2000).type() == QDBusMessage::ReplyMessage;
    }
    if (!offered) {
        qWarning("Wendra: this desktop offers no global shortcuts, so Super+Alt+Right is off. "
                 "Bind a shortcut to the command \"wendra\" in the desktop's settings: it brings "
                 "the window forward.");
        return;
    }
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    bus().connect(QString::fromLatin1(portalService), QString::fromLatin1(portalPath),
                  QString::fromLatin1(shortcutsInterface), QStringLiteral("Activated"), this,
                  SLOT(activated(QDBusMessage)));
    const QVariantMap options{{QStringLiteral("session_handle_token"), QStringLiteral("wendra")}};
    callWithRequest(QStringLiteral("CreateSession"), {options},
                    SLOT(sessionCreated(uint, QVariantMap)));
}

void GlobalHotKey::callWithRequest(const QString &method, QList<QVariant> arguments, const char *slot)
{
    // The answer comes as a signal of a Request object whose path follows
    // from the token: listen there before asking, or it may come first.
    const QString token = QStringLiteral("wendra%1").arg(++requests_);
    QString sender = bus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    bus().connect(QString::fromLatin1(portalService), request, QStringLiteral("org.freedesktop.portal.Request"),
                  QStringLiteral("Response"), this, slot);
    QVariantMap options = arguments.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    arguments << options;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(portalService),
                                                       QString::fromLatin1(portalPath),
                                                       QString::fromLatin1(shortcutsInterface), method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [method](QDBusPendingCallWatcher *call) {
        if (call->isError())
            qWarning("Wendra: the desktop refused %s for the hot key: %s", qPrintable(method),
                     qPrintable(call->error().message()));
        call->deleteLater();
    });
}

void GlobalHotKey::sessionCreated(uint response, const QVariantMap &results)
{
    // Portals answer with a string or an object path.
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    session_ = handle.userType() == qMetaTypeId<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                                    : handle.toString();
    if (response != 0 || session_.isEmpty()) {
        qWarning("Wendra: the desktop gave no session for the hot key; Super+Alt+Right is off.");
        return;
    }
    const PortalShortcut shortcut{QString::fromLatin1(shortcutId),
                                  {{QStringLiteral("description"), tr("Bring Wendra forward")},
                                   {QStringLiteral("preferred_trigger"), QString::fromLatin1(preferredTrigger)}}};
    callWithRequest(QStringLiteral("BindShortcuts"),
                    {QVariant::fromValue(QDBusObjectPath(session_)),
                     QVariant::fromValue(QList<PortalShortcut>{shortcut}), QString(), QVariantMap()},
                    SLOT(shortcutsBound(uint, QVariantMap)));
}

void GlobalHotKey::shortcutsBound(uint response, const QVariantMap &)
{
    if (response != 0)
        qWarning("Wendra: the hot key was not bound; Super+Alt+Right is off.");
}

void GlobalHotKey::activated(const QDBusMessage &message)
{
    // Arguments: session, shortcut, time stamp, options.
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() >= 2 && arguments.at(0).value<QDBusObjectPath>().path() == session_
        && arguments.at(1).toString() == QLatin1String(shortcutId))
        emit pressed();
}
