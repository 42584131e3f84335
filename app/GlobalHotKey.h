// The system-wide key that brings Wendra forward from any application:
// Super + Alt + Right. On X11 it is grabbed on the root window; on Wayland
// the desktop portal's global shortcuts offer it, where the desktop has
// them. pressed() is sent for every press; nothing else is taken from
// the events that pass.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QVariantMap>

class GlobalHotKey : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit GlobalHotKey(QObject *parent = nullptr);
    ~GlobalHotKey() override;

    // Registers the key for the life of the process. A key held by another
    // program, or a desktop without global shortcuts, is logged once and
    // start-up goes on.
    void registerHotKey();

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // The shortcut as the portal is asked for it; the user may bind it to
    // other keys in the desktop's settings.
    static constexpr const char *shortcutId = "popUp";
    static constexpr const char *preferredTrigger = "LOGO+ALT+Right";

signals:
    void pressed();

private slots:
    void sessionCreated(uint response, const QVariantMap &results);
    void shortcutsBound(uint response, const QVariantMap &results);
    void activated(const QDBusMessage &message);

private:
    bool grabOnX11();
    void focusMainWindow(uint32_t time);
    void bindThroughPortal();
    // Calls a portal method that answers through a Request object, and
    // sends that answer to slot.
    void callWithRequest(const QString &method, QList<QVariant> arguments, const char *slot);

    QList<quint8> keycodes_;
    QString session_;
    int requests_ = 0;
};
