// The roll call shared with phones: the server on 127.0.0.1 only, real HTTP clients, headless
// Chromium driven through its remote debugging protocol, and the record of a drill read back
// with pdftotext and Python's csv module.
#include "PresenceTestDb.h"
#include "app/CClock.h"
#include "app/CSettings.h"
#include "config/CRLang.h"
#include "demo/CDemoDatabase.h"
#include "demo/CDemoSamples.h"
#include "dialogs/CPrompt.h"
#include "rollcall/CD_ShareRollCall.h"
#include "rollcall/CHttpListener.h"
#include "rollcall/COnSiteActivities.h"
#include "rollcall/CRollCallLog.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/CRollCallServer.h"
#include "rollcall/CRollCallTicks.h"
#include "rollcall/C_ZorvikDocRollCall.h"
#include "rollcall/C_ZorvikViewRollCall.h"
#include "views/CWrappedText.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHelpEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QStandardPaths>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QWebSocket>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using presencetest::PresenceDb;

namespace {

const QDateTime kNow(QDate(2026, 3, 4), QTime(10, 30, 15));
const QHostAddress kLoopback(QHostAddress::LocalHost);

struct Reply
{
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray retryAfter;
    QByteArray etag;
};

// One request through Qt's HTTP client (which asks for and undoes the compression itself).
Reply http(QNetworkAccessManager &nam, const QByteArray &method, const QString &url, const QByteArray &key = {},
           const QByteArray &body = {}, const QByteArray &type = "application/json",
           const QList<std::pair<QByteArray, QByteArray>> &headers = {})
{
    QNetworkRequest request{QUrl(url)};
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    if (!key.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + key);
    if (!body.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, type);
    QNetworkReply *reply = nam.sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Reply out{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(), reply->error(),
              reply->rawHeader("Retry-After"), reply->rawHeader("ETag")};
    reply->deleteLater();
    return out;
}

QByteArray tickBody(const QString &key, const QString &warden, bool ticked = true)
{
    return QJsonDocument(QJsonObject{{"key", key}, {"warden", warden}, {"ticked", ticked}}).toJson();
}

// The status line's code of a request written by hand (headers a browser would not send).
int rawStatus(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(kLoopback, port);
    if (!socket.waitForConnected(3000))
        return 0;
    socket.write(request);
    testsupport::waitFor([&] { return socket.canReadLine() || socket.state() != QAbstractSocket::ConnectedState; });
    return socket.readLine().split(' ').value(1).toInt();
}

bool refused(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(kLoopback, port);
    socket.waitForConnected(3000);
    return socket.error() == QAbstractSocket::ConnectionRefusedError;
}

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString pdfText(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, "-"});
    pdftotext.waitForFinished(20000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// Hovers over a grid's row in a column as a user would, and returns what the tooltip shows once
// it is laid out and drawn (pictures and all).
QString toolTipOf(QTableView *grid, const QString &name, int column)
{
    QAbstractItemModel *m = grid->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        if (m->index(r, CRollCallModel::NameColumn).data().toString() != name)
            continue;
        const QRect cell = grid->visualRect(m->index(r, column));
        QHelpEvent hover(QEvent::ToolTip, cell.center(), grid->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(grid->viewport(), &hover);
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *tip = qobject_cast<QLabel *>(w);
            if (!tip || !w->inherits("QTipLabel") || !w->isVisible())
                continue;
            tip->grab();
            const bool rich = tip->textFormat() == Qt::RichText ||
                              (tip->textFormat() == Qt::AutoText && Qt::mightBeRichText(tip->text()));
            if (!rich)
                return tip->text();
            QTextDocument shown;
            shown.setHtml(tip->text());
            return shown.toPlainText().replace(QChar::Nbsp, u' ');
        }
    }
    return {};
}

QString shotDir()
{
    return QString::fromLocal8Bit(qgetenv("ZORVIK_SHOT_DIR"));
}

// Headless Chromium driven through its remote debugging protocol: one WebSocket to the browser,
// each tab attached as a session of it.
class Browser
{
public:
    static bool available() { return !QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty(); }

    bool start()
    {
        m_process.start(QStringLiteral("chromium"),
                        {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                         "--disable-background-networking", "--disable-component-update", "--disable-sync",
                         "--user-data-dir=" + m_profile.path(), "--remote-debugging-port=0", "about:blank"});
        const QString portFile = m_profile.file(QStringLiteral("DevToolsActivePort"));
        if (!testsupport::waitFor([&] { return readAll(portFile).count(u'\n') >= 1; }, 30000))
            return false;
        const QStringList lines = readAll(portFile).split(u'\n');
        QObject::connect(&m_socket, &QWebSocket::textMessageReceived, &m_socket, [this](const QString &text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.contains("id"))
                m_replies.insert(message["id"].toInt(), message);
        });
        m_socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(lines[0].trimmed(), lines.value(1).trimmed())));
        return testsupport::waitFor([&] { return m_socket.state() == QAbstractSocket::ConnectedState; }, 10000);
    }
    ~Browser()
    {
        m_socket.close();
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    QJsonObject call(const QString &method, const QJsonObject &params = {}, const QString &session = {})
    {
        const int id = ++m_id;
        QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
        if (!session.isEmpty())
            message.insert("sessionId", session);
        m_socket.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
        testsupport::waitFor([&] { return m_replies.contains(id); }, 20000);
        return m_replies.take(id)["result"].toObject();
    }
    // A new tab the size of a phone's screen (390 by 844 CSS pixels), opening url; its session.
    QString open(const QString &url)
    {
        const QString target = call("Target.createTarget", {{"url", "about:blank"}})["targetId"].toString();
        const QString session =
            call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}})["sessionId"].toString();
        call("Emulation.setDeviceMetricsOverride",
             {{"width", 390}, {"height", 844}, {"deviceScaleFactor", 2}, {"mobile", true}}, session);
        call("Page.navigate", {{"url", url}}, session);
        return session;
    }
    QJsonValue eval(const QString &session, const QString &expression)
    {
        return call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}},
                    session)["result"]
            .toObject()["value"];
    }
    bool until(const QString &session, const QString &expression, int timeoutMs = 10000)
    {
        return testsupport::waitFor([&] { return eval(session, expression).toBool(); }, timeoutMs);
    }
    QImage screenshot(const QString &session)
    {
        const QString data = call("Page.captureScreenshot", {{"format", "png"}}, session)["data"].toString();
        return QImage::fromData(QByteArray::fromBase64(data.toLatin1()), "PNG");
    }

private:
    testsupport::TempDir m_profile;
    QProcess m_process;
    QWebSocket m_socket;
    QHash<int, QJsonObject> m_replies;
    int m_id = 0;
};

class Share : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CClock::setFixed(kNow);
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        ASSERT_TRUE(db.ok());
        const QStringList ids = CDemoSamples::onSiteActivities();
        COnSiteActivities::write(*db.context().settings(), QSet<QString>(ids.begin(), ids.end()));
        doc = std::make_unique<C_ZorvikDocRollCall>(&db.reference(), db.context().settings(), dir.path() + u'/');
        doc->refresh();
        ASSERT_GT(doc->model()->rowCount(), 5);
    }
    void TearDown() override
    {
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
        CClock::reset();
    }
    QString base(const CRollCallServer &server) const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(server.port());
    }
    QString log() const { return readAll(doc->logFilePath()); }

    PresenceDb db{60};
    testsupport::TempDir dir;
    std::unique_ptr<C_ZorvikDocRollCall> doc;
};

} // namespace

// The ticks file: an old file reads as before (a backslash in a key is a backslash), no warden
// writes the old format byte for byte, and a warden's tick keeps its plain line so that older
// programs still see every tick; a file in Windows-1250 reads as such; a warden's name keeps
// nothing that would show it as something else, and is cut without halving a character.
TEST(RollCallTicksFile, WardenColumnKeepsTheOldFormatReadable)
{
    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("RollCall-20260304.txt"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("E12\nG Ana Anić|2026-03-04 09:00:00\n\n  E7  \nG Back\\tslash|2026-03-04 09:00:00\r\n");
    old.close();
    const QSet<QString> ticks{"E12", "E7", "G Ana Anić|2026-03-04 09:00:00", "G Back\\tslash|2026-03-04 09:00:00"};
    CRollCallTicks::Attributions attributions;
    EXPECT_EQ(CRollCallTicks::load(path, &attributions), ticks);
    EXPECT_TRUE(attributions.isEmpty());

    ASSERT_TRUE(CRollCallTicks::save(path, ticks, nullptr, {{"E7", {QString(), kNow}}}));
    EXPECT_EQ(readAll(path),
              QStringLiteral("E12\nE7\nG Ana Anić|2026-03-04 09:00:00\nG Back\\tslash|2026-03-04 09:00:00\n"));

    attributions = {{"E7", {"Ana \tMarić\n", kNow}}, {"E99", {"Ivo", kNow}}};
    attributions["E7"].warden = CRollCallTicks::cleanWarden(attributions["E7"].warden);
    ASSERT_TRUE(CRollCallTicks::save(path, ticks, nullptr, attributions));
    const QStringList lines = readAll(path).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &key : ticks)
        EXPECT_TRUE(lines.contains(key)) << key.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("E7\tAna Marić\t2026-03-04T10:30:15")));
    EXPECT_EQ(lines.size(), 5); // no line for the unticked E99
    EXPECT_EQ(CRollCallTicks::load(path, &attributions), ticks);
    EXPECT_EQ(attributions, (CRollCallTicks::Attributions{{"E7", {"Ana Marić", kNow}}}));

    // An older program unticked E7 and kept the attribution line as a key: E7 stays unticked.
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("E12\nE7\tAna Marić\t2026-03-04T10:30:15\n");
    old.close();
    EXPECT_EQ(CRollCallTicks::load(path, &attributions), QSet<QString>{"E12"});
    EXPECT_TRUE(attributions.isEmpty());

    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("E1\nE2\t\x8A"
              "efik \x8Eivi\xE6\t2026-03-04T10:30:15\nE2\n");
    old.close();
    EXPECT_EQ(CRollCallTicks::load(path, &attributions), (QSet<QString>{"E1", "E2"}));
    EXPECT_EQ(attributions.value("E2").warden, QStringLiteral("Šefik Živić"));
    EXPECT_EQ(CRollCallTicks::cleanWarden(QStringLiteral("\u202EAna\u200B I\u2066vić\u2069 \u200F")),
              QStringLiteral("Ana Ivić"));
    EXPECT_EQ(CRollCallTicks::cleanWarden(QString(39, u'a') + QStringLiteral("\U0001F600b")), QString(39, u'a'));
    EXPECT_EQ(CRollCallTicks::cleanWarden(QString(38, u'a') + QStringLiteral("\U0001F600b")),
              QString(38, u'a') + QStringLiteral("\U0001F600"));
}

// No key, no data: 401 without a name; a wrong key counted and refused after ten in a minute,
// never the right one; only the page and the three calls answered, and only under the shared
// address or a name the user gave; a bad tick refused; the key never logged; a new key each time
// sharing starts, the old one told that sharing ended.
TEST_F(Share, KeyGuardsEverythingButThePage)
{
    CRollCallServer server(doc.get());
    ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
    EXPECT_EQ(server.addresses(), QList<QHostAddress>{kLoopback});
    const QByteArray key = server.key().toLatin1();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(server.key()).hasMatch());
    EXPECT_EQ(server.url(kLoopback), base(server) + QStringLiteral("/#k=") + server.key());
    QNetworkAccessManager nam;
    auto call = [&](const QByteArray &method, const QString &url, const QByteArray &k = {}, const QByteArray &body = {},
                    const QByteArray &type = "application/json") { return http(nam, method, url, k, body, type); };
    const QList<CRollCallModel::Person> &people = doc->model()->people();
    auto namesIn = [&](const QByteArray &body) {
        return std::count_if(people.begin(), people.end(),
                             [&](const CRollCallModel::Person &p) { return body.contains(p.name.toUtf8()); });
    };

    const Reply page = call("GET", base(server) + u'/');
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("<script>"));
    EXPECT_EQ(namesIn(page.body), 0);
    for (const char *path : {"/api/state", "/api/list"}) {
        const Reply r = call("GET", base(server) + QLatin1String(path));
        EXPECT_EQ(r.status, 401) << path;
        EXPECT_EQ(namesIn(r.body), 0) << path;
    }
    EXPECT_EQ(call("GET", base(server) + "/api/list", QByteArray(key).replace(0, 1, "x")).status, 401);
    const Reply list = call("GET", base(server) + "/api/list", key);
    ASSERT_EQ(list.status, 200);
    const QJsonArray rows = QJsonDocument::fromJson(list.body)["people"].toArray();
    ASSERT_EQ(rows.size(), people.size());
    EXPECT_EQ(rows[0].toArray()[1].toString(), people[0].name);
    EXPECT_EQ(namesIn(list.body), people.size());
    // A phone that has the newest list gets no body; one that has an earlier version gets what
    // changed since (the rows new or changed, each with the key of the row before it, and the
    // keys gone); one with a version not known gets the whole list.
    const QByteArray etag = list.etag;
    const QString lv = QJsonDocument::fromJson(list.body)["lv"].toString();
    ASSERT_EQ(etag, '"' + lv.toLatin1() + '"');
    EXPECT_EQ(http(nam, "GET", base(server) + "/api/list", key, {}, {}, {{"If-None-Match", etag}}).status, 304);
    QList<CRollCallModel::Person> next = people;
    const QString gone = next.takeAt(2).key;
    next[0].time = QStringLiteral("11:11");
    doc->model()->setPeople(next);
    ASSERT_TRUE(testsupport::waitFor([&] {
        return QJsonDocument::fromJson(call("GET", base(server) + "/api/state", key).body)["lv"].toString() != lv;
    }));
    const QJsonObject delta =
        QJsonDocument::fromJson(call("GET", base(server) + "/api/list?since=" + lv, key).body).object();
    EXPECT_EQ(delta["since"].toString(), lv);
    EXPECT_EQ(delta["remove"].toArray(), QJsonArray{gone});
    ASSERT_EQ(delta["upsert"].toArray().size(), 1);
    EXPECT_EQ(delta["upsert"][0][3].toString(), QStringLiteral("11:11"));
    EXPECT_EQ(delta["upsert"][0][7].toString(), QString()); // the first row follows none
    const QJsonObject whole =
        QJsonDocument::fromJson(call("GET", base(server) + "/api/list?since=77777", key).body).object();
    EXPECT_EQ(whole["people"].toArray().size(), next.size());
    doc->model()->setPeople(people);

    const struct
    {
        const char *method, *path;
        int status;
    } others[] = {{"GET", "/index.html", 404},        {"GET", "/api/", 404}, {"GET", "/%2e%2e/etc/passwd", 404},
                  {"GET", "/web/rollcall.html", 404}, {"POST", "/", 405},    {"GET", "/api/tick", 405},
                  {"DELETE", "/api/state", 405}};
    for (const auto &o : others)
        EXPECT_EQ(call(o.method, base(server) + QLatin1String(o.path), key, "{}").status, o.status) << o.path;
    const QString first = people[0].key;
    EXPECT_EQ(call("POST", base(server) + "/api/tick", key, tickBody(first, "  ")).status, 400);
    EXPECT_EQ(call("POST", base(server) + "/api/tick", key, tickBody(first, "Ana"), "text/plain").status, 415);
    EXPECT_EQ(call("POST", base(server) + "/api/tick", key, tickBody("E-none", "Ana")).status, 404);
    EXPECT_EQ(call("POST", base(server) + "/api/tick", key, QByteArray(5000, ' ')).status, 413);
    EXPECT_TRUE(doc->model()->ticks().isEmpty());

    // Requests without a key are not counted: a page elsewhere can make the warden's own browser
    // send them. Ten wrong keys (one was sent above) make the address wait, never the right key.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(call("GET", base(server) + "/api/state").status, 401);
    EXPECT_EQ(call("GET", base(server) + "/api/state", key).status, 200);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(call("GET", base(server) + "/api/state", "0123").status, 401);
    const Reply wait = call("GET", base(server) + "/api/state", "0123");
    EXPECT_EQ(wait.status, 429);
    EXPECT_EQ(wait.retryAfter, "60");
    EXPECT_EQ(call("GET", base(server) + "/api/state", key).status, 200);
    CClock::setFixed(kNow.addSecs(61));
    EXPECT_EQ(call("GET", base(server) + "/api/state", "0123").status, 401);

    // Only under the address shared (or a name given): not under a name a stranger's page chose.
    const QByteArray request = "GET /api/state HTTP/1.1\r\nauthorization: bearer " + key + "\r\nHost: ";
    EXPECT_EQ(rawStatus(server.port(), request + "127.0.0.1:" + QByteArray::number(server.port()) + "\r\n\r\n"), 200);
    EXPECT_EQ(rawStatus(server.port(), request + "evil.example:" + QByteArray::number(server.port()) + "\r\n\r\n"),
              421);
    EXPECT_EQ(rawStatus(server.port(), "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"), 421);

    // More than the request limit on one connection: dropped unanswered.
    QTcpSocket big;
    big.connectToHost(kLoopback, server.port());
    ASSERT_TRUE(big.waitForConnected(3000));
    big.write("POST /api/tick HTTP/1.1\r\nHost: x\r\nContent-Length: 200000\r\n\r\n" + QByteArray(100000, 'a'));
    EXPECT_TRUE(testsupport::waitFor([&] { return big.state() == QAbstractSocket::UnconnectedState; }));

    const quint16 port = server.port();
    server.stop();
    EXPECT_TRUE(refused(port));
    // Answered requests a line each; refused ones counted per address and minute; no key.
    const QString logged = log();
    EXPECT_TRUE(logged.contains(QStringLiteral("\trequest\t127.0.0.1\tGET /api/state\t200\n")));
    EXPECT_TRUE(
        logged.contains(QStringLiteral("\trefused\t127.0.0.1\t34 in the minute 10:30\tfirst GET /api/state\t401")))
        << logged.toStdString();
    EXPECT_TRUE(logged.contains(QStringLiteral("\trefused\t127.0.0.1\t3 in the minute 10:31\t")));
    EXPECT_FALSE(logged.contains(QString::fromLatin1(key)));

    server.setHostNames({"rollcall.site.example"});
    ASSERT_TRUE(server.start({kLoopback}, port, nullptr));
    EXPECT_NE(server.key().toLatin1(), key);
    EXPECT_EQ(http(nam, "GET", base(server) + "/api/state", key).status, 410);
    EXPECT_EQ(rawStatus(port, "GET / HTTP/1.1\r\nHost: RollCall.Site.Example\r\n\r\n"), 200);
    // The port in use: nothing listens, and the reason names the address.
    CRollCallServer second(doc.get());
    QString error;
    EXPECT_FALSE(second.start({kLoopback}, port, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("127.0.0.1:%1").arg(port))) << error.toStdString();
    EXPECT_FALSE(second.isSharing());
}

// Two wardens tick the same 200 people at once: each person is ticked once, to whichever warden
// came first, and the ticks file read by a third thread during the run is whole every time.
TEST_F(Share, TwoWardensTickingTheSamePeopleAtOnce)
{
    QList<CRollCallModel::Person> people;
    for (int i = 0; i < 200; ++i)
        people << CRollCallModel::Person{QStringLiteral("E%1").arg(1000 + i),
                                         QStringLiteral("Person %1").arg(i),
                                         "Dept",
                                         "08:00",
                                         "Arrival",
                                         {},
                                         false};
    doc->model()->setPeople(people);
    CRollCallServer server(doc.get());
    ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
    const QString url = base(server) + "/api/tick";
    const QByteArray key = server.key().toLatin1();

    std::atomic<bool> done{false};
    std::atomic<int> reads{0}, bad{0}, answered{0};
    std::thread reader([&] {
        qsizetype last = 0;
        while (!done) {
            QFile f(doc->ticksFilePath());
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = f.readAll();
            const QList<QByteArray> lines = bytes.split('\n');
            const qsizetype attributed = bytes.count('\t') / 2;
            const qsizetype plain = lines.size() - 1 - attributed;
            const bool whole = bytes.isEmpty() || bytes.endsWith('\n');
            const bool wellFormed = std::all_of(lines.begin(), lines.end() - 1, [](const QByteArray &l) {
                return l.startsWith('E') && (l.count('\t') == 0 || l.count('\t') == 2);
            });
            if (!whole || !wellFormed || plain != attributed || plain < last)
                ++bad;
            last = plain;
            ++reads;
        }
    });
    QHash<QString, QStringList> firsts[2]; // per warden: keys whose tick was new
    auto warden = [&](int which, const QString &name) {
        QNetworkAccessManager nam;
        QEventLoop loop;
        int left = int(people.size());
        // Read only: a non-const walk would detach the list shared with the model, from two
        // threads at once.
        for (const CRollCallModel::Person &p : std::as_const(people)) {
            QNetworkRequest request{QUrl(url)};
            request.setRawHeader("Authorization", "Bearer " + key);
            request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
            QNetworkReply *reply = nam.post(request, tickBody(p.key, name));
            QObject::connect(reply, &QNetworkReply::finished, &loop, [&, reply, k = p.key] {
                const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
                if (reply->error() == QNetworkReply::NoError && answer["ticked"].toBool())
                    firsts[which][answer["changed"].toBool() ? QStringLiteral("new") : answer["by"].toString()] << k;
                reply->deleteLater();
                ++answered;
                if (--left == 0)
                    loop.quit();
            });
        }
        loop.exec();
    };
    std::thread ana(warden, 0, QStringLiteral("Ana")), ivo(warden, 1, QStringLiteral("Ivo"));
    const bool all = testsupport::waitFor([&] { return answered == 400; }, 60000);
    ana.join();
    ivo.join();
    done = true;
    reader.join();
    ASSERT_TRUE(all) << answered;

    // Each person new to exactly one warden, and the other told who was first.
    auto set = [](const QStringList &l) { return QSet<QString>(l.begin(), l.end()); };
    const QStringList anaFirst = firsts[0].value("new"), ivoFirst = firsts[1].value("new");
    EXPECT_EQ(anaFirst.size() + ivoFirst.size(), 200);
    EXPECT_EQ(set(anaFirst) + set(ivoFirst), doc->model()->ticks());
    EXPECT_EQ(set(anaFirst), set(firsts[1].value("Ana")));
    EXPECT_EQ(set(ivoFirst), set(firsts[0].value("Ivo")));
    CRollCallTicks::Attributions saved;
    EXPECT_EQ(CRollCallTicks::load(doc->ticksFilePath(), &saved).size(), 200);
    for (const QString &k : anaFirst)
        EXPECT_EQ(saved.value(k).warden, QStringLiteral("Ana"));
    for (const QString &k : ivoFirst)
        EXPECT_EQ(saved.value(k).warden, QStringLiteral("Ivo"));
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(bad.load(), 0);
    const QString logged = log();
    EXPECT_EQ(logged.count(QStringLiteral("\ttick\tE")), 200);
    EXPECT_EQ(logged.count(QStringLiteral("\ttick again\tE")), 200);
}

// A real browser on a phone-sized screen: the page lists everyone, a tap ticks through the
// page's own script (the desk's model and the ticks file follow, attributed to the warden), a
// desk tick and a stale list reach the page, the page fits the screen with large tap targets,
// without the key no name shows, and after Stop sharing the connection is refused. Then the same
// page in Serbian.
TEST_F(Share, PageOnAPhoneInEnglishAndSerbian)
{
    if (!Browser::available())
        GTEST_SKIP() << "chromium is not installed";
    Browser browser;
    ASSERT_TRUE(browser.start());
    CRollCallServer server(doc.get());
    ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
    CRollCallModel &model = *doc->model();
    const QList<CRollCallModel::Person> people = model.people();

    QString tab = browser.open(server.url(kLoopback));
    ASSERT_TRUE(browser.until(tab, "!document.getElementById('who').hidden"));
    browser.eval(tab, "document.getElementById('whoName').value = 'Ana Warden';"
                      "document.getElementById('who').requestSubmit()");
    ASSERT_TRUE(
        browser.until(tab, QStringLiteral("document.querySelectorAll('button.row').length == %1").arg(people.size())));
    const QString shown = browser.eval(tab, "document.body.innerText").toString();
    for (const CRollCallModel::Person &p : people)
        EXPECT_TRUE(shown.contains(p.name)) << p.name.toStdString();
    EXPECT_FALSE(browser.eval(tab, "location.href").toString().contains(server.key()));

    // A tap on the phone reaches the desk and the file.
    const QString tapped = people[3].key;
    browser.eval(tab, QStringLiteral("document.querySelector('button.row[data-key=\"%1\"]').click()").arg(tapped));
    ASSERT_TRUE(testsupport::waitFor([&] { return model.ticks().contains(tapped); }));
    EXPECT_EQ(model.attributions().value(tapped).warden, QStringLiteral("Ana Warden"));
    EXPECT_TRUE(readAll(doc->ticksFilePath()).contains(tapped + QStringLiteral("\tAna Warden\t2026-03-04T10:30:15\n")));
    // A tick at the desk and an evacuation reach the phone.
    model.setTick(people[0].key, true);
    doc->startDrill(CRollCallDrill::Evacuation);
    EXPECT_TRUE(browser.until(tab, QStringLiteral("!!document.querySelector('.ticked[data-key=\"%1\"]') && "
                                                  "!document.getElementById('drill').hidden")
                                       .arg(people[0].key)));
    EXPECT_EQ(browser.eval(tab, "document.querySelector('h2').textContent").toString(),
              QStringLiteral("Not yet ticked (%1)").arg(people.size() - 2));
    EXPECT_TRUE(browser.eval(tab, "document.getElementById('counts').textContent")
                    .toString()
                    .startsWith(QStringLiteral("Ticked 2 of %1").arg(people.size())));
    // Made for the phone: nothing wider than the screen, every row a large target.
    EXPECT_TRUE(browser.eval(tab, "document.documentElement.scrollWidth <= innerWidth").toBool());
    EXPECT_GE(browser
                  .eval(tab, "Math.min(...[...document.querySelectorAll('button.row')]"
                             ".map(b => b.getBoundingClientRect().height))")
                  .toDouble(),
              48.0);
    // Readable outdoors and easy to hit: text 4.5:1 and controls 3:1 against what is behind them,
    // 44-pixel targets.
    const QStringList measured =
        browser
            .eval(tab,
                  "(() => { const lum = c => { const v = c.match(/\\d+/g).slice(0, 3).map(x => x / 255)"
                  ".map(x => x <= 0.03928 ? x / 12.92 : ((x + 0.055) / 1.055) ** 2.4);"
                  " return 0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2]; };"
                  " const ratio = (a, b) => (Math.max(lum(a), lum(b)) + 0.05) / (Math.min(lum(a), lum(b)) + 0.05);"
                  " const o = document.getElementById('offline'); const hidden = o.hidden; o.hidden = false;"
                  " const s = getComputedStyle(o); const text = ratio(s.color, s.backgroundColor); o.hidden = hidden;"
                  " const m = document.querySelector('.row:not(.ticked) .mark');"
                  " const ring = ratio(getComputedStyle(m).borderTopColor,"
                  " getComputedStyle(m.closest('.row')).backgroundColor);"
                  " const h = document.getElementById('wardenChange').getBoundingClientRect().height;"
                  " return [text, ring, h].join(','); })()")
            .toString()
            .split(u',');
    ASSERT_EQ(measured.size(), 3);
    EXPECT_GE(measured[0].toDouble(), 4.5) << "the no-connection banner";
    EXPECT_GE(measured[1].toDouble(), 3.0) << "the empty tick circle";
    EXPECT_GE(measured[2].toDouble(), 44.0) << "the Change button";
    const QImage english = browser.screenshot(tab);
    EXPECT_EQ(english.size(), QSize(780, 1688));
    if (!shotDir().isEmpty())
        english.save(shotDir() + QStringLiteral("/rollcall-phone-en.png"));

    // The desk's list changes under the phone (one leaves, one comes, one moves to another
    // department): the phone, sent only the changes, shows what a fresh page shows.
    QList<CRollCallModel::Person> changed = people;
    changed.removeAt(5);
    changed[1].department = QStringLiteral("Zz moved");
    changed.append({QStringLiteral("E999999"), QStringLiteral("Aaron Newcomer"), changed[2].department,
                    QStringLiteral("10:29"), changed[2].detail, QString(), false});
    CRollCallModel::sortPeople(changed);
    model.setPeople(changed);
    const auto rowKeys = [&browser](const QString &t) {
        return browser.eval(t, "[...document.querySelectorAll('button.row')].map(b => b.dataset.key).join(' ')")
            .toString();
    };
    ASSERT_TRUE(browser.until(tab, QStringLiteral("!!document.querySelector('button.row[data-key=\"E999999\"]')")));
    const QString fresh = browser.open(server.url(kLoopback));
    ASSERT_TRUE(browser.until(
        fresh, QStringLiteral("document.querySelectorAll('button.row').length == %1").arg(changed.size())));
    EXPECT_EQ(rowKeys(tab).toStdString(), rowKeys(fresh).toStdString());

    db.reference().databaseError = true;
    doc->refresh();
    EXPECT_TRUE(browser.until(tab, QStringLiteral("document.getElementById('stale').textContent == '%1' && "
                                                  "!document.getElementById('stale').hidden")
                                       .arg(doc->staleText())));

    // Without the key: the page and no name.
    const QString keyless = browser.open(base(server) + u'/');
    ASSERT_TRUE(browser.until(keyless, "!document.getElementById('message').hidden"));
    const QString bare = browser.eval(keyless, "document.body.innerText").toString();
    EXPECT_TRUE(bare.contains(QStringLiteral("scanning the QR code")));
    const QString answer =
        browser.eval(keyless, "fetch('/api/list').then(r => r.text().then(t => r.status + '|' + t))").toString();
    EXPECT_TRUE(answer.startsWith(QStringLiteral("401|"))) << answer.toStdString();
    for (const CRollCallModel::Person &p : people)
        EXPECT_FALSE(bare.contains(p.name) || answer.contains(p.name)) << p.name.toStdString();

    // After Stop sharing the phone says so (not "trying again" for ever); once sharing starts
    // again with a new key, its old key is told that sharing ended.
    const quint16 port = server.port();
    server.stop();
    EXPECT_TRUE(refused(port));
    EXPECT_TRUE(browser.until(tab, "!document.getElementById('offline').hidden"));
    EXPECT_EQ(browser.eval(tab, "fetch('/').then(() => 'answered', () => 'refused')").toString(),
              QStringLiteral("refused"));
    EXPECT_TRUE(browser.until(tab,
                              "document.getElementById('message').textContent.startsWith('Sharing has ended') && "
                              "document.getElementById('offline').hidden",
                              15000));
    const QString old = tab;

    CRLang serbian;
    serbian.Load(QFileInfo(QStringLiteral(ZV_TEST_SRPSKI)).absolutePath() + u'/', nullptr);
    serbian.apply();
    // The same port, the same origin: the phone remembers its warden.
    ASSERT_TRUE(server.start({kLoopback}, port, nullptr));
    EXPECT_TRUE(browser.until(old, "document.querySelectorAll('button.row').length == 0", 15000));
    EXPECT_TRUE(
        browser.eval(old, "document.getElementById('message').textContent").toString().startsWith("Sharing has"));
    tab = browser.open(server.url(kLoopback));
    const bool loaded = browser.until(tab, "document.querySelectorAll('button.row.ticked').length == 2");
    const QString lang = browser.eval(tab, "document.documentElement.lang").toString();
    const QString heading = browser.eval(tab, "document.querySelector('h2').textContent").toString();
    const QImage serbianShot = browser.screenshot(tab);
    serbian.unload();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(lang, QStringLiteral("sr-Latn"));
    EXPECT_EQ(heading, QStringLiteral("Još nisu označeni (%1)").arg(people.size() - 2));
    if (!shotDir().isEmpty())
        serbianShot.save(shotDir() + QStringLiteral("/rollcall-phone-sr.png"));
}

// An evacuation from the window: earlier ticks cleared on request, the banner and the missing
// list follow the ticks (the space bar ticks there too), and End writes the record: start, end,
// counts, who ticked whom and when, who was never found, read back from the PDF and the CSV.
// Closing the window during a drill writes its record as well.
TEST_F(Share, EvacuationRecordFromTheWindow)
{
    const QString saved = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ZORVIK_SOURCE_DIR)); // the installed templates
    CRollCallModel &model = *doc->model();
    const QList<CRollCallModel::Person> people = model.people();
    const qsizetype total = people.size();
    model.setTick(people[0].key, true);
    C_ZorvikViewRollCall view(doc.get());
    view.resize(1000, 500);
    view.show();
    CPrompt::queueButton(QMessageBox::Yes); // start with nobody ticked
    view.findChild<QAction *>("rollCall.startEvacuation")->trigger();
    EXPECT_TRUE(model.ticks().isEmpty());
    EXPECT_FALSE(view.findChild<QAction *>("rollCall.startDrill")->isEnabled());
    CClock::setFixed(kNow.addSecs(60));
    model.setTick(people[1].key, true);
    CClock::setFixed(kNow.addSecs(120));
    model.setTick(people[2].key, true, QStringLiteral("Ana"));
    auto *missing = view.findChild<QListView *>(QStringLiteral("rollCallMissing"));
    ASSERT_TRUE(testsupport::waitFor([&] { return missing->model()->rowCount() == total - 2; }));
    EXPECT_EQ(view.findChild<QLabel *>(QStringLiteral("rollCallDrill"))->text(),
              QStringLiteral("Evacuation since 10:30:15 · 0:02:00 · Still missing: %1").arg(total - 2));
    missing->setCurrentIndex(missing->model()->index(0, 0));
    const QString firstMissing = missing->currentIndex().data().toString();
    // Held down, the space bar ticks the person chosen and no one else: its repeats tick nobody,
    // and nobody else becomes current, so a second press ticks nobody either.
    testsupport::holdKey(missing, Qt::Key_Space, 10);
    EXPECT_EQ(model.tickedCount(), 3);
    EXPECT_EQ(missing->model()->rowCount(), total - 3);
    EXPECT_FALSE(missing->currentIndex().isValid());
    QTest::keyClick(missing, Qt::Key_Space);
    EXPECT_EQ(model.tickedCount(), 3);
    // Someone not yet found clocks out: left, not missing. The banner, the window's header, the
    // phones and the record then count the same people.
    const auto leaver = *std::find_if(people.rbegin(), people.rend(), [&](const CRollCallModel::Person &p) {
        return !p.guest && !model.ticks().contains(p.key);
    });
    ASSERT_TRUE(db.exec(QStringLiteral("update tblLastReg set IDLogickeAktivnosti = %1 where IDZaposlenog = %2")
                            .arg(CDemoDatabase::Departure)
                            .arg(leaver.key.mid(1))));
    {
        QMutexLocker lock(&db.reference().dbMutex); // what the next polling cycle does
        db.reference().reopen(CReferenceData::LastRegistrationCursor);
    }
    doc->refresh();
    ASSERT_TRUE(testsupport::waitFor([&] { return missing->model()->rowCount() == total - 4; }));
    EXPECT_TRUE(view.findChild<QLabel *>(QStringLiteral("rollCallDrill"))
                    ->text()
                    .endsWith(QStringLiteral("Still missing: %1").arg(total - 4)));
    EXPECT_TRUE(view.findChild<QLabel *>(QStringLiteral("rollCallHeader"))
                    ->text()
                    .endsWith(QStringLiteral("Ticked: 3 of %1").arg(total - 1)));
    {
        CRollCallServer server(doc.get());
        ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
        QNetworkAccessManager nam;
        const QJsonObject state =
            QJsonDocument::fromJson(
                http(nam, "GET", base(server) + QStringLiteral("/api/state"), server.key().toLatin1()).body)
                .object()
                .value(QStringLiteral("drill"))
                .toObject();
        EXPECT_EQ(state.value(QStringLiteral("found")).toInt(), 3);
        EXPECT_EQ(state.value(QStringLiteral("expected")).toInt(), total - 1);
    }
    if (!shotDir().isEmpty())
        view.grab().save(shotDir() + QStringLiteral("/rollcall-evacuation.png"));

    CClock::setFixed(kNow.addSecs(300));
    CPrompt::takeAsked();
    CPrompt::queueButton(QMessageBox::Yes); // end it
    view.findChild<QAction *>("rollCall.end")->trigger();
    const QString stem = dir.file(QStringLiteral("RollCallEvent-20260304-103015"));
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].text.contains(stem + QStringLiteral(".pdf"))) << asked[1].text.toStdString();
    EXPECT_FALSE(view.findChild<QLabel *>(QStringLiteral("rollCallDrill"))->isVisibleTo(&view));

    if (!shotDir().isEmpty())
        QFile::copy(stem + QStringLiteral(".pdf"), shotDir() + QStringLiteral("/rollcall-evacuation.pdf"));
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), stem + QStringLiteral(".pdf"), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(20000));
    const QString pdf = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(pdf.contains(QStringLiteral("Evacuation record")));
    EXPECT_TRUE(
        pdf.contains(QStringLiteral("Started 2026-03-04 10:30:15 · Ended 2026-03-04 10:35:15 · Duration 0:05:00")));
    EXPECT_TRUE(pdf.contains(QStringLiteral("To account for: %1 · Found: 3 · Never found: %2 · Left the site: 1")
                                 .arg(total - 1)
                                 .arg(total - 4)));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Left the site (1)")));
    const qsizetype never = pdf.indexOf(QStringLiteral("Never found (%1)").arg(total - 4));
    const qsizetype found = pdf.indexOf(QStringLiteral("Found (3)"));
    ASSERT_TRUE(never >= 0 && found > never) << pdf.toStdString();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("10:31:15 +%1 .* Desk").arg(QRegularExpression::escape(people[1].name)))
            .match(pdf, found)
            .hasMatch());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("10:32:15 +%1 .* Ana").arg(QRegularExpression::escape(people[2].name)))
            .match(pdf, found)
            .hasMatch());
    EXPECT_LT(pdf.indexOf(people[3].name, never), found);

    QProcess python;
    python.start(QStringLiteral("python3"),
                 {"-c",
                  "import csv,json,sys\nwith open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                  "    print(json.dumps(list(csv.reader(f))))\n",
                  stem + QStringLiteral(".csv")});
    ASSERT_TRUE(python.waitForFinished(20000));
    const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    ASSERT_EQ(rows.size(), total + 1);
    EXPECT_EQ(rows[0].toArray()[3].toString(), QStringLiteral("Status"));
    int neverFound = 0, seen = 0;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        QStringList r;
        for (const QJsonValue &v : rows[i].toArray())
            r << v.toString();
        EXPECT_EQ(r[0], QStringLiteral("Evacuation"));
        neverFound += r[3] == QLatin1String("Never found");
        if (r[6] == people[2].name && ++seen) {
            EXPECT_EQ(r.mid(3, 3), (QStringList{"Found", "10:32:15", "Ana"}));
        }
        if (r[6] + QStringLiteral(" \u2014 ") + r[7] == firstMissing && ++seen) {
            EXPECT_EQ(r.mid(3, 3), (QStringList{"Found", "10:32:15", "Desk"}));
        }
    }
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(neverFound, total - 4);
    EXPECT_TRUE(log().contains(QStringLiteral("\tstart evacuation\n")));

    // A drill still open when the window closes keeps its record.
    CClock::setFixed(kNow.addSecs(600));
    CPrompt::queueButton(QMessageBox::No); // keep the ticks
    view.findChild<QAction *>("rollCall.startDrill")->trigger();
    ASSERT_EQ(doc->drill().kind(), CRollCallDrill::Exercise);
    view.close();
    QDir::setCurrent(saved);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("RollCallEvent-20260304-104015.pdf"))));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("RollCallEvent-20260304-104015.csv"))));
}

// Sharing from the window: the dialog listens on the chosen address and port, its QR code reads
// back (zbarimg) as the address with the key, and Stop sharing and closing the window each leave
// nothing listening.
TEST_F(Share, ShareFromTheWindowWithAQrCode)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(kLoopback, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    CSettings &settings = *db.context().settings();
    settings.writeText("RollCall", "ShareAddresses", "127.0.0.1");
    settings.writeInt("RollCall", "SharePort", port);
    QWidget frame; // the window's frame: its close ends sharing
    auto *view = new C_ZorvikViewRollCall(doc.get(), &frame);
    frame.show();
    view->findChild<QAction *>("rollCall.share")->trigger();
    CD_ShareRollCall *dialog = view->shareDialog();
    ASSERT_NE(dialog, nullptr);
    if (!shotDir().isEmpty())
        dialog->grab().save(shotDir() + QStringLiteral("/rollcall-share-choose.png"));
    dialog->findChild<QPushButton *>("shareStart")->click();
    CRollCallServer *server = view->server();
    ASSERT_TRUE(server->isSharing());
    EXPECT_EQ(server->addresses(), QList<QHostAddress>{kLoopback});
    EXPECT_EQ(server->port(), port);
    EXPECT_EQ(dialog->shownUrl(), server->url(kLoopback));
    EXPECT_TRUE(view->findChild<QLabel *>(QStringLiteral("rollCallSharing"))->isVisibleTo(view));
    EXPECT_TRUE(view->findChild<QLabel *>(QStringLiteral("rollCallSharing"))
                    ->text()
                    .contains(QStringLiteral("http://127.0.0.1:%1/").arg(port)));

    const QString png = dir.file(QStringLiteral("code.png"));
    ASSERT_TRUE(dialog->qrImage().save(png));
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {"--raw", "-q", png});
    ASSERT_TRUE(zbar.waitForFinished(20000));
    EXPECT_EQ(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), server->url(kLoopback));
    QNetworkAccessManager nam;
    EXPECT_EQ(http(nam, "GET", base(*server) + "/api/state", server->key().toLatin1()).status, 200);
    if (!shotDir().isEmpty())
        dialog->grab().save(shotDir() + QStringLiteral("/rollcall-share.png"));

    dialog->findChild<QPushButton *>("shareStop")->click();
    EXPECT_TRUE(refused(port));
    EXPECT_FALSE(view->findChild<QLabel *>(QStringLiteral("rollCallSharing"))->isVisibleTo(view));
    dialog->findChild<QPushButton *>("shareStart")->click();
    ASSERT_TRUE(server->isSharing());
    // Closing the window would end every warden's link: only when the user says so.
    CPrompt::takeAsked();
    CPrompt::queueButton(QMessageBox::Yes);
    frame.close();
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_TRUE(asked[0].text.startsWith(QStringLiteral("The roll call is shared with phones")));
    EXPECT_TRUE(refused(port));
}

// Names typed on a phone, and names from the database, are text wherever the desk shows them,
// also after a restart reads them back from the ticks file: a tooltip naming a device or a pipe
// as a picture shows those characters (and the program goes on), a department in markup is not
// bold, and report markers in a name print as typed in the drill record.
TEST_F(Share, OutsideTextIsShownAsTyped)
{
    QTemporaryDir pipeDir(QStringLiteral("/tmp/zv-XXXXXX")); // short: a name has 40 characters
    const QString pipe = pipeDir.filePath(QStringLiteral("p"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QStringList wardens{"<img src=/dev/zero>", "<img src=" + pipe + ">", "Eve[%red%]", "Ivo|[%strike%]"};
    const QList<CRollCallModel::Person> people = doc->model()->people();
    {
        CRollCallServer server(doc.get());
        ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
        QNetworkAccessManager nam;
        for (int i = 0; i < wardens.size(); ++i)
            ASSERT_EQ(http(nam, "POST", base(server) + "/api/tick", server.key().toLatin1(),
                           tickBody(people[i].key, wardens[i]))
                          .status,
                      200);
    }
    C_ZorvikDocRollCall again(&db.reference(), db.context().settings(), dir.path() + u'/');
    C_ZorvikViewRollCall view(&again);
    view.resize(1000, 500);
    view.show();
    QList<CRollCallModel::Person> renamed = people;
    renamed[0].name = QStringLiteral("Dan[%bold-separator%]");
    renamed[1].department = QStringLiteral("Fin<b>ance</b>");
    again.model()->setPeople(renamed);
    for (int i = 0; i < wardens.size(); ++i)
        EXPECT_EQ(toolTipOf(view.grid(), renamed[i].name, CRollCallModel::TickColumn),
                  QStringLiteral("Ticked by %1 at 10:30:15").arg(wardens[i]));
    EXPECT_EQ(toolTipOf(view.grid(), renamed[1].name, CRollCallModel::DepartmentColumn), renamed[1].department);
    auto *departments = view.findChild<CWrappedText *>(QStringLiteral("rollCallDepartments"));
    again.model()->setTick(people[5].key, true);
    EXPECT_TRUE(departments->text().contains(QStringLiteral("Fin<b>ance</b>: 1")));

    const QString saved = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ZORVIK_SOURCE_DIR)); // the installed templates
    again.startDrill(CRollCallDrill::Exercise);
    QString pdf;
    const bool written = again.endDrill(&pdf, nullptr, nullptr);
    QDir::setCurrent(saved);
    ASSERT_TRUE(written);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Found (5)"))) << text.toStdString();
    for (const QString &literal : {renamed[0].name, wardens[2], wardens[3], renamed[1].department})
        EXPECT_TRUE(text.contains(literal)) << literal.toStdString();
}

// A guest's key holds a tab and a line feed (it comes from the database): a tick from a phone
// survives reopening the ticks file, with its warden, and makes no phantom keys.
TEST_F(Share, AKeyWithATabAndALineFeedSurvivesAReopen)
{
    QList<CRollCallModel::Person> people = doc->model()->people();
    const QString odd = QStringLiteral("GTab\tGuest\nNewline|2026-03-04 09:00:00");
    people << CRollCallModel::Person{odd, "Tab\tGuest\nNewline", "Guests", "09:00", "Host", "Firm", true};
    doc->model()->setPeople(people);
    {
        CRollCallServer server(doc.get());
        ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
        QNetworkAccessManager nam;
        ASSERT_EQ(http(nam, "POST", base(server) + "/api/tick", server.key().toLatin1(), tickBody(odd, "Ana")).status,
                  200);
    }
    doc->model()->setTick(people[0].key, true);
    C_ZorvikDocRollCall again(nullptr, nullptr, dir.path() + u'/');
    EXPECT_EQ(again.model()->ticks(), (QSet<QString>{odd, people[0].key}));
    EXPECT_EQ(again.model()->attributions().value(odd), (CRollCallTicks::Attribution{"Ana", kNow}));
}

// A stranger on the same network: 256 connections trickling requests from one address leave
// room for a warden's phone, and 1,000 refused requests with long paths leave the day's log a
// few lines long; a log that reaches its cap says so once and stops there.
TEST_F(Share, AStrangerCannotLockTheWardensOut)
{
    CRollCallServer server(doc.get());
    ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < 256; ++i) {
        slow.push_back(std::make_unique<QTcpSocket>());
        slow.back()->connectToHost(kLoopback, server.port());
        ASSERT_TRUE(slow.back()->waitForConnected(3000));
        slow.back()->write("GET /api/state HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        slow.back()->flush();
        QCoreApplication::processEvents();
    }
    QNetworkAccessManager nam;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(http(nam, "GET", base(server) + "/api/state", server.key().toLatin1()).status, 200);
    EXPECT_LT(timer.elapsed(), 1000);
    // The server kept no more of them than one address may hold.
    const auto held = [&] {
        return std::count_if(slow.begin(), slow.end(),
                             [](const auto &s) { return s->state() == QAbstractSocket::ConnectedState; });
    };
    EXPECT_TRUE(testsupport::waitFor([&] { return held() <= CHttpListener::kMaxPerAddress; })) << held();
    slow.clear();
    server.stop();

    ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
    int answered = 0;
    QEventLoop loop;
    for (int i = 0; i < 1000; ++i) {
        QNetworkReply *reply = nam.get(QNetworkRequest(QUrl(base(server) + "/api/" + QString(16000, u'a'))));
        QObject::connect(reply, &QNetworkReply::finished, &loop, [&, reply] {
            answered += reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 401;
            reply->deleteLater();
            if (answered == 1000)
                loop.quit();
        });
    }
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(answered, 1000);
    server.stop();
    EXPECT_LT(QFileInfo(doc->logFilePath()).size(), CRollCallLog::kDayCap);
    EXPECT_TRUE(log().contains(QStringLiteral("\trefused\t127.0.0.1\t1000 in the minute 10:30\tfirst GET /api/") +
                               QString(95, u'a') + QStringLiteral("\t401\n")))
        << log().toStdString();

    CRollCallLog small(dir.path() + QStringLiteral("/small/"), 4000);
    QDir().mkpath(dir.path() + QStringLiteral("/small"));
    for (int i = 0; i < 100; ++i)
        small.write(QString(100, u'x'));
    const QString full = readAll(small.filePath());
    EXPECT_LE(full.size(), 4000 + 80);
    EXPECT_EQ(full.count(QStringLiteral("log full")), 1);
    EXPECT_TRUE(full.endsWith(QStringLiteral("\tlog full: nothing more is logged today\n")));
}

// The ticks file cannot be written: a phone's tick is answered at once ("kept, not yet saved"),
// the desk shows one banner instead of a dialog per tick, the next tick tries again, and the
// drill record says which ticks were only in memory. Sharing stopped from inside a request
// answers nothing and uses nothing freed.
TEST_F(Share, UnwritableTicksFileAnswersThePhoneAtOnce)
{
    ASSERT_TRUE(QDir().mkpath(doc->ticksFilePath())); // a folder where the file would go
    C_ZorvikViewRollCall view(doc.get());
    view.show();
    CRollCallServer &server = *view.server();
    ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
    const QList<CRollCallModel::Person> people = doc->model()->people();
    const QString saved = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ZORVIK_SOURCE_DIR)); // the installed templates
    doc->startDrill(CRollCallDrill::Exercise);
    QNetworkAccessManager nam;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        const Reply r = http(nam, "POST", base(server) + "/api/tick", server.key().toLatin1(),
                             tickBody(people[i].key, QStringLiteral("Ana")));
        EXPECT_LT(timer.elapsed(), 1000);
        EXPECT_EQ(r.status, 503);
        EXPECT_EQ(QJsonDocument::fromJson(r.body)["kept"], true);
        EXPECT_EQ(QJsonDocument::fromJson(r.body)["saved"], false);
    }
    EXPECT_EQ(doc->model()->tickedCount(), 3);
    EXPECT_TRUE(CPrompt::takeAsked().isEmpty());
    auto *banner = view.findChild<QLabel *>(QStringLiteral("rollCallSaveProblem"));
    EXPECT_TRUE(banner->isVisibleTo(&view));
    EXPECT_TRUE(banner->text().startsWith(QStringLiteral("Ticks cannot be saved to %1: ").arg(doc->ticksFilePath())))
        << banner->text().toStdString();

    QString csv;
    const bool written = doc->endDrill(nullptr, &csv, nullptr);
    QDir::setCurrent(saved);
    ASSERT_TRUE(written);
    EXPECT_EQ(readAll(csv).count(QStringLiteral("Found (in memory only)")), 3);
    ASSERT_TRUE(QDir().rmdir(doc->ticksFilePath()));
    EXPECT_EQ(
        http(nam, "POST", base(server) + "/api/tick", server.key().toLatin1(), tickBody(people[3].key, "Ana")).status,
        200);
    EXPECT_FALSE(banner->isVisibleTo(&view));
    EXPECT_EQ(CRollCallTicks::load(doc->ticksFilePath()).size(), 4);

    QObject::connect(doc->model(), &CRollCallModel::tickChanged, &server, [&server] { server.stop(); });
    const Reply cut = http(nam, "POST", base(server) + "/api/tick", server.key().toLatin1(),
                           tickBody(people[4].key, QStringLiteral("Ana")));
    EXPECT_EQ(cut.status, 0);
    EXPECT_FALSE(server.isSharing());
    QCoreApplication::processEvents();
}

// HTTPS with the site's certificate and key, chosen in the share dialog: the code carries
// https://, a phone that trusts the certificate gets the list, plain HTTP gets nothing, and a
// file that holds no key is refused with the reason.
TEST_F(Share, HttpsWithTheSitesCertificate)
{
    const QString cert = dir.file(QStringLiteral("site.pem")), key = dir.file(QStringLiteral("site.key"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
    ASSERT_TRUE(openssl.waitForFinished(60000) && openssl.exitCode() == 0) << openssl.readAllStandardError().data();
    CSettings &settings = *db.context().settings();
    settings.writeText("RollCall", "ShareAddresses", "127.0.0.1");
    settings.writeInt("RollCall", "SharePort", testsupport::closedPort());
    settings.writeText("RollCall", "ShareCertificate", cert);
    settings.writeText("RollCall", "ShareKey", cert); // the certificate again: no key in it
    C_ZorvikViewRollCall view(doc.get());
    view.findChild<QAction *>("rollCall.share")->trigger();
    CD_ShareRollCall *dialog = view.shareDialog();
    EXPECT_TRUE(dialog->findChild<QLabel *>("shareNote")->text().contains(QStringLiteral("HTTPS")));
    dialog->findChild<QPushButton *>("shareStart")->click();
    EXPECT_FALSE(view.server()->isSharing());
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].text.contains(cert + QStringLiteral(": no RSA or EC private key")))
        << asked[0].text.toStdString();

    dialog->findChild<QLineEdit *>("shareKey")->setText(key);
    dialog->findChild<QPushButton *>("shareStart")->click();
    CRollCallServer &server = *view.server();
    ASSERT_TRUE(server.isSharing());
    EXPECT_TRUE(dialog->shownUrl().startsWith(QStringLiteral("https://127.0.0.1:%1/#k=").arg(server.port())));
    EXPECT_EQ(settings.readText("RollCall", "ShareKey"), key);

    QNetworkAccessManager nam;
    QNetworkRequest request(QUrl(QStringLiteral("https://127.0.0.1:%1/api/list").arg(server.port())));
    QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
    trusting.setCaCertificates(QSslCertificate::fromPath(cert));
    request.setSslConfiguration(trusting);
    request.setRawHeader("Authorization", "Bearer " + server.key().toLatin1());
    QNetworkReply *reply = nam.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(reply->error(), QNetworkReply::NoError) << reply->errorString().toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(reply->readAll())["people"].toArray().size(), doc->model()->rowCount());
    delete reply;
    EXPECT_EQ(
        http(nam, "GET", QStringLiteral("http://127.0.0.1:%1/api/list").arg(server.port()), server.key().toLatin1())
            .status,
        0);
}
