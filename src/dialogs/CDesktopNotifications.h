#pragma once

#include "dialogs/CNotifications.h"

#include <QStringList>

// Notifications through the freedesktop notification service on the session bus, named after
// the program's desktop entry. Without a session bus or a service nothing is shown and nothing
// fails.
class CDesktopNotifications : public CNotifications
{
    Q_OBJECT
public:
    explicit CDesktopNotifications(QObject *parent = nullptr);
    quint32 notify(const QString &title, const QString &body) override;
    void withdraw(quint32 id) override;

private slots:
    void onActionInvoked(quint32 id, const QString &action);

private:
    bool m_connected = false;
    bool m_askedCapabilities = false;
    bool m_bodyMarkup = false; // the service reads the body as markup: it is escaped then
};
