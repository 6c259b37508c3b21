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

// "Share with phones...": first the port and the addresses to listen on (the private IPv4
// addresses of the network cards unless the user chose otherwise before), other names of the
// computer, and the site's certificate and key for HTTPS, with one sentence on who can see the
// names; then, while sharing, the QR code of the address with its key, the address as text to
// copy, and Stop sharing. Modeless, so that the code stays on the screen while the desk goes on
// working.
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
    void showNote();
    void browse(QLineEdit *edit, const char *captionKey);

    CRollCallServer *m_server;
    CSettings *m_settings;
    QStackedWidget *m_pages;
    QListWidget *m_addresses;
    QSpinBox *m_port;
    QLineEdit *m_names;
    QLineEdit *m_certificate;
    QLineEdit *m_key;
    QLabel *m_note;
    QPushButton *m_start;
    QLabel *m_code;
    QComboBox *m_codeAddress;
    QLineEdit *m_url;
    QPushButton *m_stop;
    QList<QHostAddress> m_offered;
};
