#pragma once

#include "live/CLiveStatus.h"
#include "rollcall/CRollCallModel.h"

#include <QObject>
#include <QPointer>

class CPeopleWindow;
class QLabel;
class QStatusBar;
class QToolButton;

// The main window's status bar: the database connection icon, the head count, "Not yet in"
// (a click lists them), the open warnings, whether the alarm can sound, and the message pane
// with the status tips. While the data are not current the head count says as of when.
class CStatusPanes : public QObject
{
    Q_OBJECT
public:
    explicit CStatusPanes(QStatusBar *bar);

    QLabel *connectionPane() const { return m_connection; }
    QLabel *messagePane() const { return m_message; }
    QLabel *headCountPane() const { return m_headCount; }

    void setConnected(bool connected);
    // The judge of whether the data are current (the program's).
    void setLiveStatus(CLiveStatus *status);
    // "On site: N · Guests: M"; the tooltip lists the departments.
    void setHeadCount(int onSite, int guests, const QString &departments);
    // "On site: 107 · Guests: 10", or "On site: 107 (as of 14:14) · Guests: 10" while the data
    // are not current; empty before the first count.
    static QString headCountText(int onSite, int guests, const CLiveStatus *status);
    QString headCountText() const;
    // "Open warnings: N" while any illegal-activity warning stands open.
    void setOpenWarnings(int count);
    // Shown while the warning log cannot be written; the tooltip says why (empty: hidden).
    void setLogProblem(const QString &text);
    // Shown while the alarm cannot sound (empty: hidden).
    void setSoundProblem(const QString &text);
    // The list, and how it changed since the list of the serial before (delta, when known).
    void setNotYetIn(const QList<CRollCallModel::Person> &people, const CRollCallModel::Delta *delta = nullptr,
                     quint64 serial = 0);
    // The status tip of the command under the mouse, or "Ready".
    void showTip(const QString &tip);

    // The list of who has not come in today, in a window of its own.
    void showNotYetIn();

private:
    void showHeadCount();

    QStatusBar *m_bar;
    QLabel *m_connection;
    QLabel *m_message;
    QLabel *m_headCount;
    QLabel *m_warnings;
    QLabel *m_logProblem;
    QLabel *m_soundProblem;
    QPointer<CLiveStatus> m_status;
    int m_onSite = -1;
    int m_guests = 0;
    QToolButton *m_notYetInButton;
    QList<CRollCallModel::Person> m_notYetIn;
    quint64 m_notYetInSerial = 0;
    QPointer<CPeopleWindow> m_notYetInWindow;
};
