#pragma once

#include "dialogs/CWarningCenter.h"
#include "live/CLiveStatus.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>

class QAction;
class QSystemTrayIcon;
class QWidget;

// The program's icon in the desktop's system tray, where there is one: its tooltip gives the
// head count (as of when, while the data are not current), a red badge the number of open
// warnings and a struck-out drum a database that does not answer. A click brings the oldest
// open warning forward, or the main window when none is open; its menu shows the main window or
// the warnings, opens the roll call and quits. Closing the main window still ends the program.
class CTrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit CTrayIcon(QWidget *mainWindow, QObject *parent = nullptr);
    ~CTrayIcon() override;

    void setHeadCount(int onSite, int guests);
    void setOpenWarnings(int count);
    // The warnings whose count the icon shows and whose oldest a click brings forward.
    void setWarnings(CWarningCenter *warnings);
    // The judge of whether the data are current (the program's).
    void setLiveStatus(CLiveStatus *status);

    QString toolTip() const;
    QIcon icon() const;
    // The menu of the icon: show, open warnings, roll call, quit (made with or without a tray).
    QMenu *menu() const { return m_menu; }
    // What a click on the icon does.
    void activate();
    // Whether the desktop shows it (false without a system tray).
    bool isShown() const;
    // base with count in a red disc at its corner (none for 0), and the mark of a database that
    // does not answer at the other corner when stale.
    static QIcon badged(const QIcon &base, int count, bool stale = false);

signals:
    // The menu's Roll call.
    void rollCallRequested();

private:
    void update();
    void showMainWindow();
    void showOldestWarning();

    QPointer<QWidget> m_mainWindow;
    QPointer<CWarningCenter> m_warningCenter;
    QPointer<CLiveStatus> m_status;
    QSystemTrayIcon *m_tray = nullptr;
    QPointer<QMenu> m_menu; // the main window's child: it may go first
    QAction *m_showWarnings = nullptr;
    int m_onSite = -1;
    int m_guests = 0;
    int m_warnings = 0;
};
