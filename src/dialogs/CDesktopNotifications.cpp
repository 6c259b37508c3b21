#include "dialogs/CDesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
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
    // "default" is the action of a click on the notification itself; critical urgency keeps it
    // on screen until it is seen.
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2)));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("zorvik"));
    const QDBusReply<quint32> reply = service.call(QStringLiteral("Notify"), QCoreApplication::applicationName(),
                                                   quint32(0), QStringLiteral("zorvik"), title, body,
                                                   QStringList{QStringLiteral("default"), title}, hints, qint32(-1));
    return reply.isValid() ? reply.value() : 0;
}

void CDesktopNotifications::onActionInvoked(quint32 id, const QString &action)
{
    Q_UNUSED(action);
    emit activated(id);
}
