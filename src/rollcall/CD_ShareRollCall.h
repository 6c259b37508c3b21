#pragma once

#include <QDialog>
#include <QHostAddress>
#include <QList>

class CRollCallServer;
class CSettings;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStackedWidget;

// "Share with phones...": first the port and the addresses to listen on (every address but the
// loopback ones unless the user chose otherwise before), then, while sharing, the QR code of
// the address with its key, the address as text to copy, and Stop sharing. Modeless, so that
// the code stays on the screen while the desk goes on working.
class CD_ShareRollCall : public QDialog
{
    Q_OBJECT
public:
    CD_ShareRollCall(CRollCallServer *server, CSettings *settings, QWidget *parent = nullptr);

    // What the code shows; empty while not sharing.
    QString shownUrl() const;
    QImage qrImage() const;

public slots:
    // Starts with the chosen port and addresses; false (the user has been told why) when
    // nothing was chosen or an address cannot be listened on.
    bool startSharing();

private:
    void showState();
    void showCode();

    CRollCallServer *m_server;
    CSettings *m_settings;
    QStackedWidget *m_pages;
    QListWidget *m_addresses;
    QSpinBox *m_port;
    QPushButton *m_start;
    QLabel *m_code;
    QComboBox *m_codeAddress;
    QLineEdit *m_url;
    QPushButton *m_stop;
    QList<QHostAddress> m_offered;
};
