#pragma once

#include <QDialog>

class QLabel;

// "About Zorvik": a banner, the program icon, the version (2.7.14), the product name, and
// below them the Qt version, the database the program is connected to (driver and server; the
// password never appears) and the licence.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    // connectionString: the one in use; empty when there is none.
    explicit CAboutDlg(const QString &connectionString, bool connected, QWidget *parent = nullptr);

    void setVersionText(const QString &version);
    QString versionText() const;
    QString databaseText() const;

private:
    QLabel *m_version;
    QLabel *m_database;
};
