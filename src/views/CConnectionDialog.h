#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Asks for the database when none is configured: an ODBC connection string typed by hand, or
// the demo database (built on first use).
class CConnectionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CConnectionDialog(QWidget *parent = nullptr, const QString &initial = QString());

    QString connectionString() const;
    QLineEdit *connectionEdit() const { return m_edit; }

    // The demo database's connection string, building the database when needed; empty with a
    // message shown when it cannot be built.
    static QString demoConnectionString(QWidget *parent);
    static QString sqliteConnectionString(const QString &path);
    // Runs the dialog; empty when cancelled.
    static QString getConnectionString(QWidget *parent, const QString &initial = QString());

private:
    void chooseDemo();
    void updateOk();

    QLineEdit *m_edit;
    QPushButton *m_ok;
};
