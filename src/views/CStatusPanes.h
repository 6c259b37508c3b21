#pragma once

#include "rollcall/CRollCallModel.h"

#include <QObject>
#include <QPointer>

class CPeopleWindow;
class QLabel;
class QStatusBar;
class QToolButton;

// The main window's status bar: the database connection icon, the head count, "Not yet in"
// (a click lists them), the open warnings and the message pane with the status tips.
class CStatusPanes : public QObject
{
    Q_OBJECT
public:
    explicit CStatusPanes(QStatusBar *bar);

    QLabel *connectionPane() const { return m_connection; }
    QLabel *messagePane() const { return m_message; }
    QLabel *headCountPane() const { return m_headCount; }

    void setConnected(bool connected);
    // "On site: N · Guests: M"; the tooltip lists the departments.
    void setHeadCount(int onSite, int guests, const QString &departments);
    // "Open warnings: N" while any illegal-activity warning stands open.
    void setOpenWarnings(int count);
    // Shown while the warning log cannot be written; the tooltip says why (empty: hidden).
    void setLogProblem(const QString &text);
    void setNotYetIn(const QList<CRollCallModel::Person> &people);
    // The status tip of the command under the mouse, or "Ready".
    void showTip(const QString &tip);

private:
    void showNotYetIn();

    QStatusBar *m_bar;
    QLabel *m_connection;
    QLabel *m_message;
    QLabel *m_headCount;
    QLabel *m_warnings;
    QLabel *m_logProblem;
    QToolButton *m_notYetInButton;
    QList<CRollCallModel::Person> m_notYetIn;
    QPointer<CPeopleWindow> m_notYetInWindow;
};
