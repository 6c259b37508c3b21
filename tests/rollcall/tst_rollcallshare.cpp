// The roll call shared with phones: the server on 127.0.0.1 only, real HTTP clients, headless
// Chromium driven through its remote debugging protocol, and the record of a drill read back
// with pdftotext and Python's csv module.
#include "PresenceTestDb.h"
#include "app/CClock.h"
#include "config/CRLang.h"
#include "demo/CDemoSamples.h"
#include "dialogs/CPrompt.h"
#include "rollcall/CD_ShareRollCall.h"
#include "rollcall/COnSiteActivities.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/CRollCallServer.h"
#include "rollcall/CRollCallTicks.h"
#include "rollcall/C_ZorvikDocRollCall.h"
#include "rollcall/C_ZorvikViewRollCall.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListView>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>
#include <atomic>
#include <gtest/gtest.h>
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
};

// One request through Qt's HTTP client (which asks for and undoes the compression itself).
Reply http(QNetworkAccessManager &nam, const QByteArray &method, const QString &url, const QByteArray &key = {},
           const QByteArray &body = {}, const QByteArray &type = "application/json")
{
    QNetworkRequest request{QUrl(url)};
    if (!key.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + key);
    if (!body.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, type);
    QNetworkReply *reply = nam.sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Reply out{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(), reply->error()};
    reply->deleteLater();
    return out;
}

QByteArray tickBody(const QString &key, const QString &warden, bool ticked = true)
{
    return QJsonDocument(QJsonObject{{"key", key}, {"warden", warden}, {"ticked", ticked}}).toJson();
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

// The ticks file: an old file reads as before, no warden writes the old format byte for byte,
// and a warden's tick keeps its plain line so that older programs still see every tick.
TEST(RollCallTicksFile, WardenColumnKeepsTheOldFormatReadable)
{
    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("RollCall-20260304.txt"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("E12\nG Ana Anić|2026-03-04 09:00:00\n\n  E7  \n");
    old.close();
    const QSet<QString> ticks{"E12", "E7", "G Ana Anić|2026-03-04 09:00:00"};
    CRollCallTicks::Attributions attributions;
    EXPECT_EQ(CRollCallTicks::load(path, &attributions), ticks);
    EXPECT_TRUE(attributions.isEmpty());

    ASSERT_TRUE(CRollCallTicks::save(path, ticks, nullptr, {{"E7", {QString(), kNow}}}));
    EXPECT_EQ(readAll(path), QStringLiteral("E12\nE7\nG Ana Anić|2026-03-04 09:00:00\n"));

    attributions = {{"E7", {"Ana \tMarić\n", kNow}}, {"E99", {"Ivo", kNow}}};
    attributions["E7"].warden = CRollCallTicks::cleanWarden(attributions["E7"].warden);
    ASSERT_TRUE(CRollCallTicks::save(path, ticks, nullptr, attributions));
    const QStringList lines = readAll(path).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &key : ticks)
        EXPECT_TRUE(lines.contains(key)) << key.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("E7\tAna Marić\t2026-03-04T10:30:15")));
    EXPECT_EQ(lines.size(), 4); // no line for the unticked E99
    EXPECT_EQ(CRollCallTicks::load(path, &attributions), ticks);
    EXPECT_EQ(attributions, (CRollCallTicks::Attributions{{"E7", {"Ana Marić", kNow}}}));

    // An older program unticked E7 and kept the attribution line as a key: E7 stays unticked.
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("E12\nE7\tAna Marić\t2026-03-04T10:30:15\n");
    old.close();
    EXPECT_EQ(CRollCallTicks::load(path, &attributions), QSet<QString>{"E12"});
    EXPECT_TRUE(attributions.isEmpty());
}

// No key, no data: 401 without a name, a wrong key counted and refused after ten in a minute,
// only the page and the three calls answered, a bad tick refused, the key never logged, and a
// new key each time sharing starts.
TEST_F(Share, KeyGuardsEverythingButThePage)
{
    CRollCallServer server(doc.get());
    ASSERT_TRUE(server.start({kLoopback}, 0, nullptr));
    EXPECT_EQ(server.addresses(), QList<QHostAddress>{kLoopback});
    const QByteArray key = server.key().toLatin1();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(server.key()).hasMatch());
    EXPECT_EQ(server.url(kLoopback), base(server) + QStringLiteral("/#k=") + server.key());
    QNetworkAccessManager nam;
    int sent = 0;
    auto call = [&](const QByteArray &method, const QString &url, const QByteArray &k = {}, const QByteArray &body = {},
                    const QByteArray &type = "application/json") {
        ++sent;
        return http(nam, method, url, k, body, type);
    };
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

    // Ten wrong keys (one was sent above, and two without any) within the minute lock the address out.
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(call("GET", base(server) + "/api/state", "0123").status, 401);
    EXPECT_EQ(call("GET", base(server) + "/api/state", key).status, 429);
    CClock::setFixed(kNow.addSecs(61));
    EXPECT_EQ(call("GET", base(server) + "/api/state", key).status, 200);

    const QString logged = log();
    EXPECT_TRUE(logged.contains(QStringLiteral("\trequest\t127.0.0.1\tGET /api/state\t429\n")));
    EXPECT_EQ(logged.count(QStringLiteral("\trequest\t")), sent);
    EXPECT_FALSE(logged.contains(server.key()));

    // More than the request limit on one connection: dropped unanswered.
    QTcpSocket big;
    big.connectToHost(kLoopback, server.port());
    ASSERT_TRUE(big.waitForConnected(3000));
    big.write("POST /api/tick HTTP/1.1\r\nHost: x\r\nContent-Length: 200000\r\n\r\n" + QByteArray(100000, 'a'));
    EXPECT_TRUE(testsupport::waitFor([&] { return big.state() == QAbstractSocket::UnconnectedState; }));

    const quint16 port = server.port();
    server.stop();
    EXPECT_TRUE(refused(port));
    ASSERT_TRUE(server.start({kLoopback}, port, nullptr));
    EXPECT_NE(server.key().toLatin1(), key);
    EXPECT_EQ(http(nam, "GET", base(server) + "/api/state", key).status, 401);
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
        for (const CRollCallModel::Person &p : people) {
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
    const QImage english = browser.screenshot(tab);
    EXPECT_EQ(english.size(), QSize(780, 1688));
    if (!shotDir().isEmpty())
        english.save(shotDir() + QStringLiteral("/rollcall-phone-en.png"));

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

    const quint16 port = server.port();
    server.stop();
    EXPECT_TRUE(refused(port));
    EXPECT_TRUE(browser.until(tab, "!document.getElementById('offline').hidden"));
    EXPECT_EQ(browser.eval(tab, "fetch('/').then(() => 'answered', () => 'refused')").toString(),
              QStringLiteral("refused"));

    CRLang serbian;
    serbian.Load(QFileInfo(QStringLiteral(ZV_TEST_SRPSKI)).absolutePath() + u'/', nullptr);
    serbian.apply();
    // The same port, the same origin: the phone remembers its warden.
    ASSERT_TRUE(server.start({kLoopback}, port, nullptr));
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
    EXPECT_TRUE(pdf.contains(QStringLiteral("On the list: %1 · Found: 3 · Never found: %2").arg(total).arg(total - 3)));
    const qsizetype never = pdf.indexOf(QStringLiteral("Never found (%1)").arg(total - 3));
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
    EXPECT_EQ(neverFound, total - 3);
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
    frame.close();
    EXPECT_TRUE(refused(port));
}
