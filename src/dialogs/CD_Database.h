#pragma once

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

private:
    void showConnection();

    CSettings *m_settings;
    QString m_connection;
    QPlainTextEdit *m_connectionView;
    QLineEdit *m_refresh;
    QPushButton *m_change;
};
