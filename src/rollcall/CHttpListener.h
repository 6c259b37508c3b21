#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <QList>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <functional>
#include <optional>
#include <utility>

// A small HTTP listener on chosen addresses, plain or with TLS, that hands every complete
// request to one handler and sends back what it returns. What a stranger on the network can
// cost is bounded: a request larger than kMaxRequestBytes, or one still arriving
// kRequestSeconds after its first byte (trickled or not), is dropped; a connection idle for
// kIdleSeconds is dropped; one address holds at most kMaxPerAddress connections and the
// listener kMaxConnections, and when a newcomer finds no room the connection idle longest of
// the busiest address makes room for it (so a flood from one address cannot keep a phone out);
// WebSocket upgrades are refused.
class CHttpListener : public QAbstractHttpServer
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method; // "GET", "POST", ...
        QString path;      // as sent, still percent-encoded
        QUrlQuery query;
        QByteArray host; // the Host header: the name the client used to reach us
        QByteArray authorization;
        QByteArray acceptEncoding;
        QByteArray contentType;
        QByteArray ifNoneMatch; // the version of an answer the client already has
        QByteArray body;
        QString peer; // the client's address

        // A request from what the HTTP layer parsed; header gives a header's value by its
        // lower-case name (empty when absent).
        static Request make(const QByteArray &method, const QUrl &url,
                            const std::function<QByteArray(const QByteArray &)> &header, const QByteArray &body,
                            const QString &peer);
    };
    struct Response
    {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers;
    };
    using Handler = std::function<Response(const Request &)>;

    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    static constexpr int kMaxConnections = 256;
    static constexpr int kMaxPerAddress = 16;
    static constexpr int kRequestSeconds = 10;
    static constexpr int kIdleSeconds = 60;

    explicit CHttpListener(Handler handler, QObject *parent = nullptr);
    ~CHttpListener() override;

    // Listens on every address at port (0: a free port, then the same one on the others), with
    // TLS when tls is given. When any address fails nothing listens, and error says which and why.
    bool listenOn(const QList<QHostAddress> &addresses, quint16 port, QString *error,
                  const std::optional<QSslConfiguration> &tls = std::nullopt);
    quint16 port() const { return m_port; }
    // Closes every listening socket and every connection at once.
    void close();
    // Closes, then frees the listener: at once, or when the request being handled (the close
    // came from inside its handler) is done, so that nothing is used after it is freed.
    void retire();

    // The connections open now, on every address.
    QList<QTcpSocket *> connections() const;
    // Keeps count of a new connection: the HTTP layer takes the ones it is given as its own
    // children (Qt 6.8), so the listening sockets do not know them.
    void track(QTcpSocket *socket);
    // Makes room for a newcomer: drops the connection idle longest of its address when that
    // address holds more than its share, or of the busiest address when the listener is full.
    void makeRoom(QTcpSocket *newcomer);

protected:
    // Qt 6.8 hands a responder instead of the connection; everything else is the same.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    bool handleRequest(const QHttpServerRequest &request, QHttpServerResponder &responder) override;
    void missingHandler(const QHttpServerRequest &request, QHttpServerResponder &responder) override;
#else
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;
#endif

private:
    void sweep();
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The request's connection, found by its addresses; null when gone.
    QTcpSocket *socketOf(const QHttpServerRequest &request) const;
#endif
    // Runs the handler for a request of socket; the response is written by send.
    void serve(const QHttpServerRequest &request, QTcpSocket *socket,
               const std::function<void(const Response &)> &send);

    Handler m_handler;
    quint16 m_port = 0;
    QTimer m_sweep;
    QList<QPointer<QTcpSocket>> m_sockets; // every connection taken, until it is freed
    int m_depth = 0;                       // requests being handled (a handler may run an event loop)
    bool m_retired = false;
};
