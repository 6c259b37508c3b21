#pragma once

#include "rollcall/CHttpListener.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class C_ZorvikDocRollCall;

// Shares the roll call with the wardens' phones while the roll-call window asks for it: the
// page at "/", the list and the ticks as JSON, ticks sent back from the phones. Everything but
// the page needs the key of this sharing (128 random bits, in the address the QR code gives, sent
// by the page as "Authorization: Bearer KEY"); the key dies when sharing stops. An address that
// fails the key kMaxFailuresPerMinute times in a minute is refused for the rest of it. Every
// request goes to the day's roll-call log, without the key.
class CRollCallServer : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 8765;
    static constexpr int kMaxFailuresPerMinute = 10;
    static constexpr qsizetype kMaxTickBytes = 4096;
    // Phones that used the key this recently count as connected.
    static constexpr int kPhoneSeconds = 30;

    explicit CRollCallServer(C_ZorvikDocRollCall *doc, QObject *parent = nullptr);
    ~CRollCallServer() override;

    // A new key, then listening on every address; false with the reason (and nothing
    // listening) when an address cannot be had.
    bool start(const QList<QHostAddress> &addresses, quint16 port, QString *error);
    void stop();
    bool isSharing() const { return m_listener != nullptr; }
    quint16 port() const;
    QList<QHostAddress> addresses() const { return m_addresses; }
    QString key() const { return QString::fromLatin1(m_key); }
    // What a phone opens: "http://ADDRESS:PORT/#k=KEY" (the fragment never leaves the phone's
    // browser, so the key is in no request line or proxy log).
    QString url(const QHostAddress &address) const;
    int phoneCount() const;

    // Every address of this machine but the loopback ones, IPv4 first.
    static QList<QHostAddress> networkAddresses();

    // One request, answered (the HTTP layer calls it for every complete request).
    CHttpListener::Response handle(const CHttpListener::Request &request);

signals:
    void sharingChanged(bool sharing);

private:
    CHttpListener::Response route(const CHttpListener::Request &request);
    bool authorised(const CHttpListener::Request &request) const;
    bool blocked(const QString &peer);
    CHttpListener::Response state(const CHttpListener::Request &request);
    CHttpListener::Response list(const CHttpListener::Request &request);
    CHttpListener::Response tick(const CHttpListener::Request &request);
    void buildPage();

    QPointer<C_ZorvikDocRollCall> m_doc;
    std::unique_ptr<CHttpListener> m_listener;
    QList<QHostAddress> m_addresses;
    QByteArray m_key;
    QByteArray m_page;
    QByteArray m_pagePolicy;
    QHash<QString, QList<qint64>> m_failures; // address -> moments of failed keys
    QHash<QString, qint64> m_lastSeen;        // address -> last request with the key
    quint64 m_listCacheVersion = ~quint64(0);
    quint64 m_ticksCacheVersion = ~quint64(0);
    QByteArray m_ticksCache;
    QByteArray m_listCache;
    QByteArray m_listDeflated;
};
