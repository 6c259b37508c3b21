#pragma once

#include <QObject>
#include <QString>

// Where desktop notifications go: the desktop's notification service, or (in tests) a
// recorder. A notification the user clicks comes back as activated() with its id.
class CNotifications : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // The id of the notification shown, 0 when none could be shown. title and body are plain
    // text (names from the database among them).
    virtual quint32 notify(const QString &title, const QString &body) = 0;
    // Takes a notification away once what it told of is dealt with (a warning acknowledged).
    virtual void withdraw(quint32 id) = 0;

signals:
    void activated(quint32 id);
};
