#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QTimer>
#include <QUrlQuery>
#include <functional>
#include <utility>

// A small HTTP listener on chosen addresses that hands every complete request to one handler
// and sends back what it returns. What a stranger on the network can cost is bounded: a
// request larger than kMaxRequestBytes, a connection beyond kMaxConnections and a connection
// idle for kIdleSeconds are dropped, and WebSocket upgrades are refused.
class CHttpListener : public QAbstractHttpServer
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method; // "GET", "POST", ...
        QString path;      // as sent, still percent-encoded
        QUrlQuery query;
        QByteArray authorization;
        QByteArray acceptEncoding;
        QByteArray contentType;
        QByteArray body;
        QString peer; // the client's address
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
    static constexpr int kIdleSeconds = 60;

    explicit CHttpListener(Handler handler, QObject *parent = nullptr);
    ~CHttpListener() override;

    // Listens on every address at port (0: a free port, then the same one on the others). When
    // any address fails nothing listens, and error says which and why.
    bool listenOn(const QList<QHostAddress> &addresses, quint16 port, QString *error);
    quint16 port() const { return m_port; }
    // Closes every listening socket and every connection at once.
    void close();

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    void dropIdleConnections();

    Handler m_handler;
    quint16 m_port = 0;
    QTimer m_idleSweep;
};
