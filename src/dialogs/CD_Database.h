#pragma once

#include "app/CConnectionStore.h"

#include <QDialog>
#include <QString>

class CSettings;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Database server...": the connection string and the refresh interval of the running
// program, "Change..." through the connection builder, and OK writing both (and KRVersion 1)
// for the next start. The string is shown with its password masked. A string given for this
// run only (--connection) is shown apart and never written: the dialog then edits the stored one.
// OK writes only what changed; values the system settings lock are shown disabled, marked "Set
// by your administrator", and never written.
class CD_Database : public QDialog
{
    Q_OBJECT
public:
    CD_Database(CSettings *settings, const QString &connectionString, int refreshSeconds, QWidget *parent = nullptr,
                const QString &runOnlyConnection = QString());

    QString connectionString() const { return m_connection; }
    // The interval as typed; false in *ok for anything that is not a 32-bit integer.
    int refreshSeconds(bool *ok = nullptr) const;

    void change();
    void accept() override;
    // After OK: where the connection string went (NoPassword also when it was not written).
    CConnectionStore::Kept kept() const { return m_kept; }

private:
    void showConnection();

    CSettings *m_settings;
    QString m_connection;
    QString m_initialConnection;
    CConnectionStore::Kept m_kept = CConnectionStore::Kept::NoPassword;
    QPlainTextEdit *m_connectionView;
    QLineEdit *m_refresh;
    QPushButton *m_change;
};
