#pragma once

#include "dialogs/CNotifications.h"

// Notifications through the freedesktop notification service on the session bus. Without a
// session bus or a service nothing is shown and nothing fails.
class CDesktopNotifications : public CNotifications
{
    Q_OBJECT
public:
    explicit CDesktopNotifications(QObject *parent = nullptr);
    quint32 notify(const QString &title, const QString &body) override;

private slots:
    void onActionInvoked(quint32 id, const QString &action);

private:
    bool m_connected = false;
};
