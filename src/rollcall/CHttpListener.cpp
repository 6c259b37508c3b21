#include "rollcall/CHttpListener.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QMetaEnum>
#include <QPointer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Per connection: bytes of the request arriving, when its first byte came (0: none pending),
// when the connection last finished a request (or opened), whether the HTTP layer has it and
// whether a request of it is being handled.
const char *const kPendingBytes = "zvPendingBytes";
const char *const kRequestStart = "zvRequestStart";
const char *const kLastDone = "zvLastDone";
const char *const kHanded = "zvHanded";
const char *const kHandling = "zvHandling";

qint64 nowMs()
{
    return QDeadlineTimer::current().deadline();
}

void drop(QTcpSocket *socket)
{
    socket->abort();
    // The HTTP layer frees the connections it has; the others are ours.
    if (!socket->property(kHanded).toBool())
        socket->deleteLater();
}

// Takes each connection before the HTTP layer does, so that the guard sees every byte first,
// makes room for it, and with TLS hands it over only once the handshake is done.
class GuardedTcpServer : public QTcpServer
{
public:
    GuardedTcpServer(CHttpListener *owner, const std::optional<QSslConfiguration> &tls)
        : QTcpServer(owner), m_owner(owner), m_tls(tls)
    {
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        QTcpSocket *socket = nullptr;
        QSslSocket *secure = nullptr;
        if (m_tls) {
            secure = new QSslSocket(this);
            secure->setSslConfiguration(*m_tls);
            socket = secure;
        } else {
            socket = new QTcpSocket(this);
        }
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        const qint64 now = nowMs();
        socket->setProperty(kLastDone, now);
        // A handshake must be done within a request's time.
        socket->setProperty(kRequestStart, secure ? now : 0);
        socket->setObjectName(QStringLiteral("zvConnection"));
        m_owner->track(socket);
        m_owner->makeRoom(socket);
        // Answers go out whole at once, not held back waiting for the phone's acknowledgement.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            // The HTTP layer reads everything on each signal, so what is waiting now is new.
            const qint64 before = socket->property(kPendingBytes).toLongLong();
            const qint64 pending = before + socket->bytesAvailable();
            socket->setProperty(kPendingBytes, pending);
            // The deadline counts from a request's first byte; trickling does not move it.
            if (before == 0 && pending > 0)
                socket->setProperty(kRequestStart, nowMs());
            // Dropped once the HTTP layer is done with this signal, which reads what is waiting.
            if (pending > CHttpListener::kMaxRequestBytes)
                QMetaObject::invokeMethod(socket, &QTcpSocket::abort, Qt::QueuedConnection);
        });
        connect(socket, &QTcpSocket::disconnected, socket, [socket] {
            if (!socket->property(kHanded).toBool())
                socket->deleteLater();
        });
        if (!secure) {
            handOver(socket);
            return;
        }
        connect(secure, &QSslSocket::encrypted, this, [this, secure] {
            secure->setProperty(kRequestStart, 0);
            handOver(secure);
        });
        connect(secure, &QSslSocket::errorOccurred, secure, [secure] {
            if (!secure->property(kHanded).toBool())
                drop(secure);
        });
        secure->startServerEncryption();
    }

private:
    void handOver(QTcpSocket *socket)
    {
        socket->setProperty(kHanded, true);
        addPendingConnection(socket);
    }

    CHttpListener *m_owner;
    std::optional<QSslConfiguration> m_tls;
};

} // namespace

CHttpListener::Request CHttpListener::Request::make(const QByteArray &method, const QUrl &url,
                                                    const std::function<QByteArray(const QByteArray &)> &header,
                                                    const QByteArray &body, const QString &peer)
{
    Request r;
    r.method = method.toUpper();
    r.path = url.path(QUrl::FullyEncoded);
    r.query = QUrlQuery(url);
    r.host = header("host");
    r.authorization = header("authorization");
    r.acceptEncoding = header("accept-encoding");
    r.contentType = header("content-type");
    r.ifNoneMatch = header("if-none-match");
    r.body = body;
    r.peer = peer;
    return r;
}

CHttpListener::CHttpListener(Handler handler, QObject *parent)
    : QAbstractHttpServer(parent), m_handler(std::move(handler))
{
    // WebSocket upgrades: with nothing connected to newWebSocketConnection, Qt refuses them itself
    // (and the program needs nothing of Qt WebSockets).
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &CHttpListener::sweep);
}

CHttpListener::~CHttpListener()
{
    close();
}

bool CHttpListener::listenOn(const QList<QHostAddress> &addresses, quint16 port, QString *error,
                             const std::optional<QSslConfiguration> &tls)
{
    close();
    for (const QHostAddress &address : addresses) {
        auto *server = new GuardedTcpServer(this, tls);
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
    m_sweep.start();
    return !addresses.isEmpty();
}

void CHttpListener::close()
{
    m_sweep.stop();
    m_port = 0;
    // While a request is being handled its connection must outlive the handler, so the
    // sockets are only closed; those the HTTP layer does not have go with their listening socket.
    for (QTcpSocket *socket : connections())
        drop(socket);
    for (QTcpServer *server : servers()) {
        server->close();
        if (m_depth == 0)
            delete server;
    }
}

void CHttpListener::retire()
{
    close();
    if (m_depth == 0)
        delete this;
    else
        m_retired = true;
}

QList<QTcpSocket *> CHttpListener::connections() const
{
    QList<QTcpSocket *> out;
    for (const QPointer<QTcpSocket> &socket : m_sockets)
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            out << socket;
    return out;
}

void CHttpListener::track(QTcpSocket *socket)
{
    m_sockets.removeIf([](const QPointer<QTcpSocket> &s) { return s.isNull(); });
    m_sockets << socket;
}

void CHttpListener::makeRoom(QTcpSocket *newcomer)
{
    const QHostAddress peer = newcomer->peerAddress();
    const QList<QTcpSocket *> all = connections(); // the newcomer among them
    QHash<QHostAddress, QList<QTcpSocket *>> byPeer;
    qsizetype fromPeer = 0;
    for (QTcpSocket *s : all) {
        fromPeer += s->peerAddress() == peer;
        if (s != newcomer && !s->property(kHandling).toBool())
            byPeer[s->peerAddress()] << s;
    }
    const QList<QTcpSocket *> *victims = nullptr;
    if (fromPeer > kMaxPerAddress) {
        if (const auto it = byPeer.constFind(peer); it != byPeer.cend())
            victims = &*it;
    } else if (all.size() > kMaxConnections) {
        for (auto it = byPeer.cbegin(); it != byPeer.cend(); ++it)
            if (!victims || it->size() > victims->size())
                victims = &*it;
    }
    if (!victims || victims->isEmpty())
        return;
    // The one that finished a request longest ago: a phone polling keeps finishing requests, a
    // connection that trickles or sits idle does not.
    QTcpSocket *oldest = *std::min_element(victims->begin(), victims->end(), [](QTcpSocket *a, QTcpSocket *b) {
        return a->property(kLastDone).toLongLong() < b->property(kLastDone).toLongLong();
    });
    drop(oldest);
}

void CHttpListener::sweep()
{
    const qint64 now = nowMs();
    for (QTcpSocket *socket : connections()) {
        if (socket->property(kHandling).toBool())
            continue;
        const qint64 start = socket->property(kRequestStart).toLongLong();
        if (start != 0 ? now - start > kRequestSeconds * 1000
                       : now - socket->property(kLastDone).toLongLong() > kIdleSeconds * 1000)
            drop(socket);
    }
}

void CHttpListener::serve(const QHttpServerRequest &request, QTcpSocket *socket,
                          const std::function<void(const Response &)> &send)
{
    const QPointer<QTcpSocket> alive(socket);
    if (socket) {
        socket->setProperty(kPendingBytes, 0);
        socket->setProperty(kRequestStart, 0);
        socket->setProperty(kLastDone, nowMs());
    }
    const QMetaEnum methods = QMetaEnum::fromType<QHttpServerRequest::Method>();
    const Request r = Request::make(
        QByteArray(methods.valueToKey(int(request.method()))), request.url(),
        [&request](const QByteArray &name) { return request.value(name); }, request.body(),
        request.remoteAddress().toString());

    ++m_depth;
    if (socket)
        socket->setProperty(kHandling, true);
    const Response response = m_handler(r);
    if (alive)
        alive->setProperty(kHandling, false);
    --m_depth;

    // Closed while the handler ran: nothing is answered, and what close() left is freed now. (A
    // connection not found by its addresses is answered all the same.)
    if (!m_retired && (!socket || (alive && alive->state() == QAbstractSocket::ConnectedState)))
        send(response);
    if (m_depth == 0) {
        for (QTcpServer *server : servers())
            if (!server->isListening())
                server->deleteLater();
        if (m_retired)
            deleteLater();
    }
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

QTcpSocket *CHttpListener::socketOf(const QHttpServerRequest &request) const
{
    for (QTcpSocket *socket : connections())
        if (socket->peerPort() == request.remotePort() && socket->localPort() == request.localPort() &&
            socket->peerAddress() == request.remoteAddress())
            return socket;
    return nullptr;
}

bool CHttpListener::handleRequest(const QHttpServerRequest &request, QHttpServerResponder &responder)
{
    serve(request, socketOf(request), [&responder](const Response &response) {
        QHttpHeaders headers;
        for (const auto &h : response.headers)
            headers.append(h.first, h.second);
        if (!response.contentType.isEmpty())
            headers.append(QHttpHeaders::WellKnownHeader::ContentType, response.contentType);
        // The length is the responder's own.
        responder.write(response.body, headers, QHttpServerResponder::StatusCode(response.status));
    });
    return true;
}

void CHttpListener::missingHandler(const QHttpServerRequest &, QHttpServerResponder &responder)
{
    responder.write(QHttpServerResponder::StatusCode::NotFound);
}

#else

bool CHttpListener::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    serve(request, socket, [&](const Response &response) {
        QHttpServerResponder responder = makeResponder(request, socket);
        responder.writeStatusLine(QHttpServerResponder::StatusCode(response.status));
        for (const auto &h : response.headers)
            responder.writeHeader(h.first, h.second);
        if (!response.contentType.isEmpty())
            responder.writeHeader("Content-Type", response.contentType);
        responder.writeHeader("Content-Length", QByteArray::number(response.body.size()));
        responder.writeBody(response.body);
    });
    return true;
}

void CHttpListener::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

#endif
