#pragma once

#include "dialogs/CInvalidActLog.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The modeless window that names one illegal activity. OK, Escape and the close box all
// acknowledge it: acknowledged() is emitted once and the window deletes itself. Like every
// dialog it opens centred over its owner (over the screen without one).
class CD_AckInvalidAct : public QDialog
{
    Q_OBJECT
public:
    CD_AckInvalidAct(const InvalidActFields &fields, QWidget *owner = nullptr);

    const InvalidActFields &fields() const { return m_fields; }
    bool isAcknowledged() const { return m_acknowledged; }

    // Every way of closing the dialog ends here (accept, reject, the close box through reject).
    void done(int result) override;

signals:
    void acknowledged(CD_AckInvalidAct *warning);

private:
    QLabel *addRow(const QString &labelKey, const QString &value, const QString &objectName, int y);

    InvalidActFields m_fields;
    QPushButton *m_ok = nullptr;
    bool m_acknowledged = false;
};
