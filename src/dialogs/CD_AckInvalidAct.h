#pragma once

#include "dialogs/CInvalidActLog.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

class QLabel;
class QPushButton;

// The modeless window that names one illegal activity. OK, Escape and the close box all
// acknowledge it: acknowledged() is emitted once and the window deletes itself. It opens on top
// without taking the keyboard from the window the user is typing in; keys acknowledge it only
// once it has been the active window for a moment, so a key meant for another window never
// does.
class CD_AckInvalidAct : public QDialog
{
    Q_OBJECT
public:
    CD_AckInvalidAct(const InvalidActFields &fields, QWidget *owner = nullptr);

    const InvalidActFields &fields() const { return m_fields; }
    bool isAcknowledged() const { return m_acknowledged; }

    // Every way of closing the dialog ends here (accept, reject, the close box through reject).
    void done(int result) override;
    // How long the window must have been active before a key acknowledges it.
    static void setKeyGuardMs(int ms);
    // A line under the fields saying that the warning log cannot be written (empty: none).
    void setLogProblem(const QString &text);

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

signals:
    void acknowledged(CD_AckInvalidAct *warning);

private:
    bool keysArmed() const;
    bool swallowsKey(QEvent *e) const;
    QLabel *addRow(const QString &labelKey, const QString &value, const QString &objectName, int y);

    InvalidActFields m_fields;
    QPushButton *m_ok = nullptr;
    QLabel *m_logProblem = nullptr;
    bool m_acknowledged = false;
    QElapsedTimer m_activeSince; // invalid while the window is not active
    QElapsedTimer m_shownAt;
    QPointer<QWidget> m_typingIn; // the window that was active when this one came up
};
