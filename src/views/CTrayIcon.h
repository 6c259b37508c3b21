#pragma once

#include "live/CLiveStatus.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

class QSystemTrayIcon;
class QWidget;

// The program's icon in the desktop's system tray, where there is one: its tooltip gives the
// head count (as of when, while the data are not current), a red badge the number of open
// warnings and a struck-out drum a database that does not answer, and a click brings the main
// window forward. A messenger only: closing the main window still ends the program.
class CTrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit CTrayIcon(QWidget *mainWindow, QObject *parent = nullptr);
    ~CTrayIcon() override;

    void setHeadCount(int onSite, int guests);
    void setOpenWarnings(int count);
    // The judge of whether the data are current (the program's).
    void setLiveStatus(CLiveStatus *status);
    QString toolTip() const;
    QIcon icon() const;
    // Whether the desktop shows it (false without a system tray).
    bool isShown() const;
    // base with count in a red disc at its corner (none for 0), and the mark of a database that
    // does not answer at the other corner when stale.
    static QIcon badged(const QIcon &base, int count, bool stale = false);

private:
    void update();

    QPointer<QWidget> m_mainWindow;
    QPointer<CLiveStatus> m_status;
    QSystemTrayIcon *m_tray = nullptr;
    int m_onSite = -1;
    int m_guests = 0;
    int m_warnings = 0;
};
