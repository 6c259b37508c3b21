#include "rollcall/CHttpListener.h"

#include <QDeadlineTimer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QMetaEnum>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>

namespace {

const char *const kPendingBytes = "zvPendingBytes";
const char *const kLastActive = "zvLastActive";

qint64 monotonicSeconds()
{
    return QDeadlineTimer::current().deadline() / 1000;
}

// Takes each connection before the HTTP layer does, so that its size guard sees every byte
// first, and refuses connections beyond the limit.
class GuardedTcpServer : public QTcpServer
{
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor) ||
            findChildren<QTcpSocket *>(Qt::FindDirectChildrenOnly).size() > CHttpListener::kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        socket->setProperty(kLastActive, monotonicSeconds());
        // Answers go out whole at once, not held back waiting for the phone's acknowledgement.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            // The HTTP layer reads everything on each signal, so what is waiting now is new.
            const qint64 pending = socket->property(kPendingBytes).toLongLong() + socket->bytesAvailable();
            socket->setProperty(kPendingBytes, pending);
            socket->setProperty(kLastActive, monotonicSeconds());
            // Dropped once the HTTP layer is done with this signal, which reads what is waiting.
            if (pending > CHttpListener::kMaxRequestBytes)
                QMetaObject::invokeMethod(socket, &QTcpSocket::abort, Qt::QueuedConnection);
        });
        addPendingConnection(socket);
    }
};

} // namespace

CHttpListener::CHttpListener(Handler handler, QObject *parent)
    : QAbstractHttpServer(parent), m_handler(std::move(handler))
{
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, [this] {
        while (hasPendingWebSocketConnections())
            if (std::unique_ptr<QWebSocket> ws = nextPendingWebSocketConnection())
                ws->abort();
    });
    m_idleSweep.setInterval(10000);
    connect(&m_idleSweep, &QTimer::timeout, this, &CHttpListener::dropIdleConnections);
}

CHttpListener::~CHttpListener()
{
    close();
}

bool CHttpListener::listenOn(const QList<QHostAddress> &addresses, quint16 port, QString *error)
{
    close();
    for (const QHostAddress &address : addresses) {
        auto *server = new GuardedTcpServer(this);
        if (!server->listen(address, port)) {
            if (error)
                *error = QStringLiteral("%1:%2: %3").arg(address.toString()).arg(port).arg(server->errorString());
            delete server;
            close();
            return false;
        }
        port = server->serverPort();
        bind(server);
    }
    m_port = port;
    m_idleSweep.start();
    return !addresses.isEmpty();
}

void CHttpListener::close()
{
    m_idleSweep.stop();
    m_port = 0;
    // The connections are children of their listening socket and go with it.
    for (QTcpServer *server : servers()) {
        server->close();
        for (QTcpSocket *socket : server->findChildren<QTcpSocket *>())
            socket->abort();
        delete server;
    }
}

void CHttpListener::dropIdleConnections()
{
    const qint64 now = monotonicSeconds();
    for (QTcpServer *server : servers())
        for (QTcpSocket *socket : server->findChildren<QTcpSocket *>())
            if (now - socket->property(kLastActive).toLongLong() > kIdleSeconds)
                socket->abort();
}

bool CHttpListener::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    socket->setProperty(kPendingBytes, 0);
    Request r;
    const QMetaEnum methods = QMetaEnum::fromType<QHttpServerRequest::Method>();
    r.method = QByteArray(methods.valueToKey(int(request.method()))).toUpper();
    r.path = request.url().path(QUrl::FullyEncoded);
    r.query = request.query();
    r.authorization = request.value("authorization");
    r.acceptEncoding = request.value("accept-encoding");
    r.contentType = request.value("content-type");
    r.body = request.body();
    r.peer = request.remoteAddress().toString();
    const Response response = m_handler(r);

    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(QHttpServerResponder::StatusCode(response.status));
    for (const auto &h : response.headers)
        responder.writeHeader(h.first, h.second);
    if (!response.contentType.isEmpty())
        responder.writeHeader("Content-Type", response.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(response.body.size()));
    responder.writeBody(response.body);
    return true;
}

void CHttpListener::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}
