#include "app/DesktopNotifier.h"

#include "platform/qt/Cp1252.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

void CDesktopNotifier::Notify(const std::string& text) {
    QDBusConnection bus = m_address.isEmpty()
                              ? QDBusConnection::sessionBus()
                              : QDBusConnection::connectToBus(m_address, "vantrel-notifier");
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                       "/org/freedesktop/Notifications",
                                                       "org.freedesktop.Notifications", "Notify");
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // service's default).
    call << QString("Vantrel") << 0u << QString("vantrel") << PlatformQt::FromCp1252(text)
         << QString() << QStringList() << QVariantMap() << -1;
    // Without a service the bus answers with an error, which nobody waits for.
    bus.send(call);
}
