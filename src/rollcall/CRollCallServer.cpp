#include "rollcall/CRollCallServer.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "app/LogCategories.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/CRollCallTicks.h"
#include "rollcall/C_ZorvikDocRollCall.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QSslCertificate>
#include <QSslKey>
#include <QUrl>

namespace {

using Request = CHttpListener::Request;
using Response = CHttpListener::Response;

const QString kTextPrefix = QStringLiteral("rollcall.web.");
// Larger answers go compressed to a client that takes it: a list of thousands over a weak
// Wi-Fi at the assembly point.
constexpr qsizetype kCompressFrom = 1024;

Response json(int status, const QJsonObject &object)
{
    return {status, "application/json; charset=utf-8", QJsonDocument(object).toJson(QJsonDocument::Compact), {}};
}

Response error(int status, const char *what)
{
    return json(status, {{QStringLiteral("error"), QLatin1String(what)}});
}

QByteArray deflated(const QByteArray &bytes)
{
    // qCompress gives a 4-byte length, then a zlib stream: HTTP's "deflate".
    return qCompress(bytes, 6).mid(4);
}

QByteArray contentHash(const QByteArray &page, const QByteArray &open, const QByteArray &close)
{
    const qsizetype from = page.indexOf(open);
    const qsizetype to = from < 0 ? -1 : page.indexOf(close, from + open.size());
    if (to < 0)
        return {};
    const QByteArray content = page.mid(from + open.size(), to - from - open.size());
    return "'sha256-" + QCryptographicHash::hash(content, QCryptographicHash::Sha256).toBase64() + "'";
}

QString clock(const QDateTime &t)
{
    return t.isNull() ? QString() : t.toString(QStringLiteral("HH:mm:ss"));
}

// "192.168.1.10:8765", "[fd00::1]:8765": a host as a URL names it.
QString hostPort(const QHostAddress &address, quint16 port)
{
    const QString host =
        address.protocol() == QAbstractSocket::IPv6Protocol ? u'[' + address.toString() + u']' : address.toString();
    return port ? QStringLiteral("%1:%2").arg(host).arg(port) : host;
}

bool isPrivateIPv4(const QHostAddress &address)
{
    bool v4 = false;
    const quint32 a = address.toIPv4Address(&v4);
    return v4 && ((a >> 24) == 10 || (a >> 20) == ((172u << 4) | 1u) || (a >> 16) == ((192u << 8) | 168u));
}

} // namespace

CRollCallServer::CRollCallServer(C_ZorvikDocRollCall *doc, QObject *parent) : QObject(parent), m_doc(doc)
{
    // Counts of refused requests are written once their minute is over.
    m_logFlush.setInterval(15000);
    connect(&m_logFlush, &QTimer::timeout, this, [this] {
        if (m_doc)
            m_doc->flushLog();
    });
}

CRollCallServer::~CRollCallServer()
{
    stop();
}

bool CRollCallServer::start(const QList<QHostAddress> &addresses, quint16 port, QString *error,
                            const std::optional<QSslConfiguration> &tls)
{
    stop();
    if (!m_doc || addresses.isEmpty()) {
        if (error)
            *error = CStringTable::text(QStringLiteral("rollcall.noAddress"));
        return false;
    }
    auto *listener = new CHttpListener([this](const Request &r) { return handle(r); });
    if (!listener->listenOn(addresses, port, error, tls)) {
        listener->retire();
        return false;
    }
    m_listener = listener;
    begin(addresses, listener->port(), tls.has_value());
    m_logFlush.start();
    return true;
}

void CRollCallServer::begin(const QList<QHostAddress> &addresses, quint16 port, bool secure)
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    m_key = QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex();
    m_addresses = addresses;
    m_port = port;
    m_secure = secure;
    m_hosts.clear();
    for (const QHostAddress &a : addresses) {
        m_hosts << hostPort(a, port).toLower().toUtf8();
        // A browser leaves out the scheme's own port.
        if (port == (secure ? 443 : 80))
            m_hosts << hostPort(a, 0).toLower().toUtf8();
    }
    m_failures.clear();
    m_lastSeen.clear();
    buildPage();
    // The list is ready by the time the first warden has scanned the code.
    if (m_doc)
        m_phoneList.update(m_doc->model()->listVersion(), m_doc->model()->people());
    QStringList where;
    for (const QHostAddress &a : addresses)
        where << hostPort(a, port);
    if (m_doc)
        m_doc->log(QStringLiteral("sharing started\t%1\t%2")
                       .arg(secure ? QStringLiteral("https") : QStringLiteral("http"), where.join(u' ')));
    m_tickedFrom.clear();
    qCInfo(lcZorvikShare, "Sharing the roll call started (%s) on %s", secure ? "https" : "http",
           qPrintable(where.join(QStringLiteral(", "))));
    emit sharingChanged(true);
}

void CRollCallServer::stop()
{
    if (m_key.isEmpty())
        return;
    m_logFlush.stop();
    // Closed at once; freed when a request it is answering (this may be called from inside
    // one) is done.
    if (m_listener)
        std::exchange(m_listener, nullptr)->retire();
    m_retiredKeys << m_key;
    m_key.clear();
    QStringList where;
    for (const QHostAddress &a : std::as_const(m_addresses))
        where << hostPort(a, m_port);
    qCInfo(lcZorvikShare, "Sharing the roll call stopped on %s", qPrintable(where.join(QStringLiteral(", "))));
    m_tickedFrom.clear();
    m_addresses.clear();
    m_port = 0;
    m_lastSeen.clear();
    if (m_doc) {
        m_doc->flushLog(true);
        m_doc->log(QStringLiteral("sharing stopped"));
    }
    emit sharingChanged(false);
}

QString CRollCallServer::url(const QHostAddress &address) const
{
    QUrl u;
    u.setScheme(m_secure ? QStringLiteral("https") : QStringLiteral("http"));
    u.setHost(address.toString());
    u.setPort(port());
    u.setPath(QStringLiteral("/"));
    u.setFragment(QStringLiteral("k=") + key());
    return u.toString();
}

int CRollCallServer::phoneCount() const
{
    const qint64 now = CClock::now().toSecsSinceEpoch();
    return int(std::count_if(m_lastSeen.begin(), m_lastSeen.end(),
                             [now](qint64 seen) { return now - seen <= kPhoneSeconds; }));
}

bool CRollCallServer::suggested(const QHostAddress &address)
{
    if (!isPrivateIPv4(address))
        return false;
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        const auto entries = i.addressEntries();
        if (std::none_of(entries.begin(), entries.end(),
                         [&](const QNetworkAddressEntry &e) { return e.ip() == address; }))
            continue;
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & (QNetworkInterface::IsLoopBack | QNetworkInterface::IsPointToPoint)))
            return false;
        if (i.type() == QNetworkInterface::Virtual || i.type() == QNetworkInterface::Ppp)
            return false;
        // Bridges of containers and virtual machines, veth pairs, tunnels: Linux files every
        // interface without hardware under /sys/devices/virtual.
        const QString sys = QFileInfo(QStringLiteral("/sys/class/net/") + i.name()).canonicalFilePath();
        return !sys.startsWith(QLatin1String("/sys/devices/virtual/"));
    }
    return false;
}

bool CRollCallServer::loadTls(const QString &certificatePath, const QString &keyPath, QSslConfiguration *tls,
                              QString *error)
{
    auto fail = [error](const QString &path, const QString &why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    QFile certFile(certificatePath), keyFile(keyPath);
    if (!certFile.open(QIODevice::ReadOnly))
        return fail(certificatePath, certFile.errorString());
    if (!keyFile.open(QIODevice::ReadOnly))
        return fail(keyPath, keyFile.errorString());
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certFile.read(1 << 20), QSsl::Pem);
    if (chain.isEmpty() || chain.first().isNull())
        return fail(certificatePath, CStringTable::text(QStringLiteral("rollcall.noCertificate")));
    const QByteArray keyBytes = keyFile.read(1 << 20);
    QSslKey key(keyBytes, QSsl::Rsa, QSsl::Pem);
    if (key.isNull())
        key = QSslKey(keyBytes, QSsl::Ec, QSsl::Pem);
    if (key.isNull())
        return fail(keyPath, CStringTable::text(QStringLiteral("rollcall.noPrivateKey")));
    QSslConfiguration c = QSslConfiguration::defaultConfiguration();
    c.setLocalCertificateChain(chain);
    c.setPrivateKey(key);
    c.setPeerVerifyMode(QSslSocket::VerifyNone);
    c.setProtocol(QSsl::TlsV1_2OrLater);
    if (tls)
        *tls = c;
    return true;
}

QList<QHostAddress> CRollCallServer::networkAddresses()
{
    QList<QHostAddress> v4, v6;
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &e : i.addressEntries()) {
            const QHostAddress a = e.ip();
            if (a.isLoopback() || a.isLinkLocal())
                continue;
            (a.protocol() == QAbstractSocket::IPv4Protocol ? v4 : v6) << a;
        }
    }
    return v4 + v6;
}

void CRollCallServer::buildPage()
{
    QFile f(QStringLiteral(":/web/rollcall.html"));
    f.open(QIODevice::ReadOnly);
    QByteArray page = f.readAll();
    // The page's texts follow the program's language.
    QJsonObject texts;
    for (const QString &key : CStringTable::builtInKeys())
        if (key.startsWith(kTextPrefix))
            texts.insert(key.mid(kTextPrefix.size()), CStringTable::text(key));
    // Inside a script element only "<" could end it early.
    const QByteArray textJson = QJsonDocument(texts).toJson(QJsonDocument::Compact).replace("<", "\\u003c");
    page.replace("@@LANG@@", CStringTable::text(kTextPrefix + QStringLiteral("lang")).toHtmlEscaped().toUtf8());
    page.replace("@@TEXTS@@", textJson);
    m_page = page;
    // Only this page's own script and style may run: a name that slipped through as markup
    // could not execute anything.
    m_pagePolicy = "default-src 'none'; script-src " + contentHash(page, "<script>", "</script>") + "; style-src " +
                   contentHash(page, "<style>", "</style>") +
                   "; connect-src 'self'; img-src data:; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
}

CHttpListener::Response CRollCallServer::handle(const Request &request)
{
    Response r = isSharing() && m_doc ? route(request) : error(503, "not sharing");
    r.headers << std::pair<QByteArray, QByteArray>{"Cache-Control", "no-store"}
              << std::pair<QByteArray, QByteArray>{"X-Content-Type-Options", "nosniff"}
              << std::pair<QByteArray, QByteArray>{"Referrer-Policy", "no-referrer"}
              << std::pair<QByteArray, QByteArray>{"X-Frame-Options", "DENY"};
    const bool compressed =
        std::any_of(r.headers.begin(), r.headers.end(), [](const auto &h) { return h.first == "Content-Encoding"; });
    if (!compressed && r.body.size() >= kCompressFrom && request.acceptEncoding.contains("deflate")) {
        r.body = deflated(r.body);
        r.headers << std::pair<QByteArray, QByteArray>{"Content-Encoding", "deflate"};
    }
    if (m_doc)
        m_doc->logRequest(request.peer, request.method, request.path, r.status);
    return r;
}

CHttpListener::Response CRollCallServer::route(const Request &request)
{
    if (!hostAllowed(request.host))
        return {421, "text/plain", "Unknown host", {}};
    if (request.path == QLatin1String("/")) {
        if (request.method != "GET")
            return {405, "text/plain", "Method not allowed", {{"Allow", "GET"}}};
        return {200, "text/html; charset=utf-8", m_page, {{"Content-Security-Policy", m_pagePolicy}}};
    }
    if (!request.path.startsWith(QLatin1String("/api/")))
        return {404, "text/plain", "Not found", {}};
    // The right key is always served: whoever sends wrong ones from the same address (a page
    // in the warden's own browser, a neighbour behind the same router or proxy) cannot lock the
    // warden out. Only wrong keys are counted, and only they are refused for a while.
    const QByteArray given = givenKey(request);
    if (!isKey(given)) {
        if (!given.isEmpty() && m_retiredKeys.contains(given))
            return {410, "application/json", R"({"error":"ended"})", {}};
        if (given.isEmpty())
            return {401, "application/json", R"({"error":"key"})", {{"WWW-Authenticate", "Bearer"}}};
        if (const int wait = blockedFor(request.peer))
            return {429,
                    "application/json",
                    R"({"error":"too many attempts"})",
                    {{"Retry-After", QByteArray::number(wait)}}};
        const qint64 now = CClock::now().toSecsSinceEpoch();
        // Addresses that stopped trying are forgotten, so that many of them cannot fill memory.
        if (m_failures.size() > 4096)
            m_failures.removeIf([now](const auto &entry) { return now - entry.value().constLast() >= 60; });
        m_failures[request.peer] << now;
        return {401, "application/json", R"({"error":"key"})", {{"WWW-Authenticate", "Bearer"}}};
    }
    m_lastSeen.insert(request.peer, CClock::now().toSecsSinceEpoch());
    const struct
    {
        const char *path;
        const char *method;
        Response (CRollCallServer::*handler)(const Request &);
    } routes[] = {{"/api/state", "GET", &CRollCallServer::state},
                  {"/api/list", "GET", &CRollCallServer::list},
                  {"/api/tick", "POST", &CRollCallServer::tick}};
    for (const auto &route : routes) {
        if (request.path != QLatin1String(route.path))
            continue;
        if (request.method != route.method)
            return {405, "text/plain", "Method not allowed", {{"Allow", route.method}}};
        return (this->*route.handler)(request);
    }
    return {404, "text/plain", "Not found", {}};
}

bool CRollCallServer::hostAllowed(const QByteArray &host) const
{
    const QByteArray h = host.trimmed().toLower();
    if (m_hosts.contains(h))
        return true;
    // A name the user gave (a reverse proxy's), with any port or none.
    const qsizetype colon = h.lastIndexOf(':');
    const QByteArray name = colon > 0 && !h.endsWith(']') ? h.left(colon) : h;
    return std::any_of(m_hostNames.begin(), m_hostNames.end(), [&name](const QString &n) {
        return !n.trimmed().isEmpty() && n.trimmed().toLower().toUtf8() == name;
    });
}

QByteArray CRollCallServer::givenKey(const Request &request)
{
    // "Bearer KEY", the scheme in any letter case.
    const QByteArray a = request.authorization.trimmed();
    if (a.size() < 7 || a.left(7).toLower() != "bearer ")
        return {};
    return a.mid(7).trimmed();
}

bool CRollCallServer::isKey(const QByteArray &given) const
{
    if (m_key.isEmpty() || given.size() != m_key.size())
        return false;
    // The same time whatever the first wrong character.
    unsigned char diff = 0;
    for (qsizetype i = 0; i < given.size(); ++i)
        diff |= static_cast<unsigned char>(given[i] ^ m_key[i]);
    return diff == 0;
}

int CRollCallServer::blockedFor(const QString &peer)
{
    const qint64 now = CClock::now().toSecsSinceEpoch();
    auto it = m_failures.find(peer);
    if (it == m_failures.end())
        return 0;
    it->removeIf([now](qint64 t) { return now - t >= 60; });
    if (it->isEmpty()) {
        m_failures.erase(it);
        return 0;
    }
    if (it->size() < kMaxFailuresPerMinute)
        return 0;
    // Until the oldest failure of the minute has aged out.
    return int(std::max<qint64>(1, 60 - (now - it->constFirst())));
}

CHttpListener::Response CRollCallServer::state(const Request &request)
{
    const CRollCallModel &model = *m_doc->model();
    // The list is built off this thread once it changes; phones are told of the newest version
    // they can have, so that none asks for one not ready.
    m_phoneList.update(model.listVersion(), model.people());
    const QString lv = QString::number(m_phoneList.isReady() ? m_phoneList.readyVersion() : model.listVersion());
    const QString tv = QString::number(model.tickVersion());
    QJsonObject o{{QStringLiteral("lv"), lv},
                  {QStringLiteral("tv"), tv},
                  {QStringLiteral("now"), clock(CClock::now())},
                  {QStringLiteral("asOf"), m_doc->asOf().toString(QStringLiteral("HH:mm"))},
                  {QStringLiteral("stale"), m_doc->staleText()}};
    const CRollCallDrill &drill = m_doc->drill();
    if (drill.isRunning()) {
        const bool evacuation = drill.kind() == CRollCallDrill::Evacuation;
        // The same count as the desk's window and the record.
        const QPair<quint64, quint64> versions{model.listVersion(), model.tickVersion()};
        if (versions != m_tallyVersions) {
            const CRollCallDrill::Tally t = m_doc->tally();
            m_tallyFound = t.found.size();
            m_tallyExpected = t.expected();
            m_tallyVersions = versions;
        }
        o.insert(
            QStringLiteral("drill"),
            QJsonObject{{QStringLiteral("title"), CStringTable::text(evacuation ? QStringLiteral("rollcall.evacuation")
                                                                                : QStringLiteral("rollcall.exercise"))},
                        {QStringLiteral("since"), clock(drill.start())},
                        {QStringLiteral("elapsed"), double(drill.start().secsTo(CClock::now()))},
                        {QStringLiteral("found"), double(m_tallyFound)},
                        {QStringLiteral("expected"), double(m_tallyExpected)}});
    }
    QByteArray body = QJsonDocument(o).toJson(QJsonDocument::Compact);
    // The ticks only when the phone's copy is out of date; built once per change for every phone.
    if (request.query.queryItemValue(QStringLiteral("tv")) != tv ||
        request.query.queryItemValue(QStringLiteral("lv")) != lv) {
        if (m_ticksCacheVersion != model.tickVersion()) {
            QJsonArray ticks;
            for (const QString &key : model.ticks()) {
                const auto a = model.attributions().constFind(key);
                const bool known = a != model.attributions().cend();
                ticks.append(QJsonArray{key, known ? a->warden : QString(), known ? clock(a->at) : QString()});
            }
            m_ticksCache = QJsonDocument(ticks).toJson(QJsonDocument::Compact);
            m_ticksCacheVersion = model.tickVersion();
        }
        body.chop(1);
        body += ",\"ticks\":" + m_ticksCache + '}';
    }
    return {200, "application/json; charset=utf-8", body, {}};
}

CHttpListener::Response CRollCallServer::list(const Request &request)
{
    const CRollCallModel &model = *m_doc->model();
    m_phoneList.ensureReady(model.listVersion(), model.people());
    const QByteArray etag = '"' + QByteArray::number(m_phoneList.readyVersion()) + '"';
    // A phone that has the newest list ready gets no body.
    const QList<QByteArray> held = request.ifNoneMatch.split(',');
    if (std::any_of(held.begin(), held.end(), [&etag](const QByteArray &e) {
            const QByteArray t = e.trimmed();
            return t == etag || t == "W/" + etag || t == "*";
        }))
        return {304, {}, {}, {{"ETag", etag}}};
    bool hasSince = false;
    const quint64 since = request.query.queryItemValue(QStringLiteral("since")).toULongLong(&hasSince);
    const CPhoneList::Answer a = m_phoneList.answer(since, hasSince, request.acceptEncoding.contains("deflate"));
    Response r{200, "application/json; charset=utf-8", a.body, {{"ETag", etag}}};
    if (a.deflated)
        r.headers << std::pair<QByteArray, QByteArray>{"Content-Encoding", "deflate"};
    return r;
}

CHttpListener::Response CRollCallServer::tick(const Request &request)
{
    if (!request.contentType.startsWith("application/json"))
        return error(415, "json expected");
    if (request.body.size() > kMaxTickBytes)
        return error(413, "too large");
    const QJsonObject in = QJsonDocument::fromJson(request.body).object();
    const QString key = in.value(QStringLiteral("key")).toString();
    const bool ticked = in.value(QStringLiteral("ticked")).toBool(true);
    const QString warden = CRollCallTicks::cleanWarden(in.value(QStringLiteral("warden")).toString());
    if (warden.isEmpty())
        return error(400, "warden");
    CRollCallModel &model = *m_doc->model();
    const int row = model.rowOf(key);
    if (row < 0)
        return error(404, "unlisted");
    const bool changed = model.setTick(key, ticked, warden);
    // Each phone once: that it reached the desk is worth a line, every tick is not (the ticks
    // file has them).
    if (const QString phone = request.peer + u' ' + warden;
        m_tickedFrom.size() < kMaxPhonesLogged && !m_tickedFrom.contains(phone)) {
        m_tickedFrom.insert(phone);
        qCInfo(lcZorvikShare, "First tick from the phone at %s (warden %s)", qPrintable(request.peer),
               qPrintable(warden));
    }
    const auto a = model.attributions().constFind(key);
    const bool now = model.ticks().contains(key);
    if (!changed)
        m_doc->log(QStringLiteral("%1 again\t%2\t%3\twarden %4")
                       .arg(ticked ? QStringLiteral("tick") : QStringLiteral("untick"), key,
                            model.people().at(row).name, warden));
    // Taken, but the ticks file could not be written: the phone is told the tick is kept in
    // memory only (the desk shows why).
    const bool saved = m_doc->ticksSaved();
    return json(saved ? 200 : 503,
                {{QStringLiteral("changed"), changed},
                 {QStringLiteral("ticked"), now},
                 {QStringLiteral("by"), now && a != model.attributions().cend() ? a->warden : QString()},
                 {QStringLiteral("at"), now && a != model.attributions().cend() ? clock(a->at) : QString()},
                 {QStringLiteral("tv"), QString::number(model.tickVersion())},
                 {QStringLiteral("kept"), true},
                 {QStringLiteral("saved"), saved}});
}
