#pragma once

#include "rollcall/CHttpListener.h"
#include "rollcall/CPhoneList.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSslConfiguration>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>

class C_ZorvikDocRollCall;

// Shares the roll call with the wardens' phones while the roll-call window asks for it: the
// page at "/", the list and the ticks as JSON, ticks sent back from the phones. Everything but
// the page needs the key of this sharing (128 random bits, in the address the QR code gives, sent
// by the page as "Authorization: Bearer KEY"); the key dies when sharing stops, and while this
// server shares again a dead key of its own is told so (410). A request with the right key is
// always served; an address that sends a wrong key kMaxFailuresPerMinute times in a minute gets
// 429 for its wrong keys for the rest of it. A request that names a host other than a shared
// address (with its port) or a name the user gave is refused, so that a web page elsewhere cannot
// reach the server under a name of its own (DNS rebinding). Every request goes to the day's
// roll-call log, without the key; a request is answered at once, never waiting on the desk.
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

    // Listening on every address (with TLS when tls is given), then a new key; false with the
    // reason (and nothing listening) when an address cannot be had.
    bool start(const QList<QHostAddress> &addresses, quint16 port, QString *error,
               const std::optional<QSslConfiguration> &tls = std::nullopt);
    // A new key for requests handed to handle() as if they came to port on the addresses, but
    // nothing listens: start() calls it once it listens, a fuzzer calls it alone.
    void begin(const QList<QHostAddress> &addresses, quint16 port, bool secure = false);
    void stop();
    bool isSharing() const { return !m_key.isEmpty(); }
    bool isSecure() const { return m_secure; }
    quint16 port() const { return m_port; }
    QList<QHostAddress> addresses() const { return m_addresses; }
    QString key() const { return QString::fromLatin1(m_key); }
    // Names besides the addresses under which phones reach the server (a reverse proxy's); for
    // the next start.
    void setHostNames(const QStringList &names) { m_hostNames = names; }
    // What a phone opens: "http://ADDRESS:PORT/#k=KEY", https with TLS (the fragment never
    // leaves the phone's browser, so the key is in no request line or proxy log).
    QString url(const QHostAddress &address) const;
    int phoneCount() const;

    // Every address of this machine but the loopback ones, IPv4 first.
    static QList<QHostAddress> networkAddresses();
    // Whether an address is offered ticked at first: a private IPv4 address of an interface
    // that is up and not virtual (no container bridge, no tunnel of a VPN).
    static bool suggested(const QHostAddress &address);
    // The site's certificate (PEM, its chain after it) and private key (PEM, RSA or EC) for
    // HTTPS; false with the reason when they cannot be read.
    static bool loadTls(const QString &certificatePath, const QString &keyPath, QSslConfiguration *tls, QString *error);

    // One request, answered at once (the HTTP layer calls it for every complete request).
    CHttpListener::Response handle(const CHttpListener::Request &request);

signals:
    void sharingChanged(bool sharing);

private:
    CHttpListener::Response route(const CHttpListener::Request &request);
    bool hostAllowed(const QByteArray &host) const;
    // The key a request gives, empty without one.
    static QByteArray givenKey(const CHttpListener::Request &request);
    bool isKey(const QByteArray &given) const;
    // Seconds until the address may try a key again; 0 when it may now.
    int blockedFor(const QString &peer);
    CHttpListener::Response state(const CHttpListener::Request &request);
    CHttpListener::Response list(const CHttpListener::Request &request);
    CHttpListener::Response tick(const CHttpListener::Request &request);
    void buildPage();

    QPointer<C_ZorvikDocRollCall> m_doc;
    CHttpListener *m_listener = nullptr; // retired, never deleted, at stop
    QList<QHostAddress> m_addresses;
    quint16 m_port = 0;
    bool m_secure = false;
    QStringList m_hostNames;
    QSet<QByteArray> m_hosts; // every Host header accepted, lower case
    QByteArray m_key;
    QSet<QByteArray> m_retiredKeys;
    QTimer m_logFlush;
    QByteArray m_page;
    QByteArray m_pagePolicy;
    QHash<QString, QList<qint64>> m_failures;          // address -> moments of failed keys
    QHash<QString, qint64> m_lastSeen;                 // address -> last request with the key
    QSet<QString> m_tickedFrom;                        // "address warden" of the phones that ticked
    static constexpr qsizetype kMaxPhonesLogged = 256; // a bound on the set, not on the ticks
    quint64 m_ticksCacheVersion = ~quint64(0);
    // The drill's found and expected, counted once per change of the list or the ticks.
    QPair<quint64, quint64> m_tallyVersions{~quint64(0), ~quint64(0)};
    qsizetype m_tallyFound = 0, m_tallyExpected = 0;
    QByteArray m_ticksCache;
    // Built off this thread; phones get the newest version ready.
    CPhoneList m_phoneList;
};
