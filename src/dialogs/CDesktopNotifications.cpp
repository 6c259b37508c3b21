#include "dialogs/CDesktopNotifications.h"

#include "app/CDataFiles.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
} // namespace

CDesktopNotifications::CDesktopNotifications(QObject *parent) : CNotifications(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        m_connected = bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                                  SLOT(onActionInvoked(quint32, QString)));
}

quint32 CDesktopNotifications::notify(const QString &title, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return 0;
    QDBusInterface service(kService, kPath, kInterface, bus);
    if (!service.isValid())
        return 0;
    // A service that hangs must not hold the warning for the bus's default 25 seconds.
    service.setTimeout(2000);
    if (!m_askedCapabilities) {
        m_askedCapabilities = true;
        const QDBusReply<QStringList> caps = service.call(QStringLiteral("GetCapabilities"));
        m_bodyMarkup = caps.isValid() && caps.value().contains(QStringLiteral("body-markup"));
    }
    // "default" is the action of a click on the notification itself; critical urgency keeps it
    // on screen until it is seen, or until the warning is acknowledged (withdraw). The summary is
    // never markup; the body is where the service reads it so.
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    hints.insert(QStringLiteral("desktop-entry"), CDataFiles::applicationId());
    const QDBusReply<quint32> reply = service.call(
        QStringLiteral("Notify"), QCoreApplication::applicationName(), quint32(0), QStringLiteral("zorvik"), title,
        m_bodyMarkup ? body.toHtmlEscaped() : body, QStringList{QStringLiteral("default"), title}, hints, qint32(-1));
    return reply.isValid() ? reply.value() : 0;
}

void CDesktopNotifications::withdraw(quint32 id)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (id == 0 || !bus.isConnected())
        return;
    // Asynchronous: nothing waits on the service, which may have gone meanwhile.
    QDBusMessage close =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    close << id;
    bus.send(close);
}

void CDesktopNotifications::onActionInvoked(quint32 id, const QString &action)
{
    Q_UNUSED(action);
    emit activated(id);
}
