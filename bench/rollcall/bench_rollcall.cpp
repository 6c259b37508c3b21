// The roll call of a large site: reading everyone on the premises from the shared cursors of
// 20,000 employees (what every update pass does for the head count and an open roll call), and
// writing the day's ticks file after a tick with 5,000 people ticked. Then the roll call shared
// with phones, over real HTTP on the loopback address: the page and the list of everyone (bytes
// on the wire and time to the first byte, compressed and not), and a tick's round trip from a
// phone (the answer comes after the ticks file is written).
#include "app/CAppContext.h"
#include "app/CSettings.h"
#include "db/CDbCursor.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "demo/CDemoSamples.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/CRollCallServer.h"
#include "rollcall/CRollCallTicks.h"
#include "rollcall/C_ZorvikDocRollCall.h"

#include "../support/BenchDatabase.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QTcpSocket>
#include <QThread>

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kEmployees = 20000;
const QDateTime kNow(QDate(2026, 3, 4), QTime(10, 30, 0));

struct Site
{
    BenchDatabase db;
    CReferenceData reference;
    QSet<QString> onSite;

    static CDemoDatabase::DemoOptions options()
    {
        CDemoDatabase::DemoOptions o = CDemoDatabase::largeOptions(kEmployees);
        o.now = kNow;
        return o;
    }
    Site() : db(options())
    {
        int message = 0;
        if (!reference.open(db.connectionString(), &message))
            qFatal("open failed: %d", message);
        reference.buildMaps();
        const QStringList ids = CDemoSamples::onSiteActivities();
        onSite = QSet<QString>(ids.begin(), ids.end());
    }
};

Site &site()
{
    static Site s;
    return s;
}

void BM_CollectOnSite(benchmark::State &state)
{
    Site &s = site();
    qsizetype people = 0;
    for (auto _ : state) {
        QMutexLocker lock(&s.reference.dbMutex);
        const QList<CRollCallModel::Person> list = CRollCallModel::collect(s.reference, s.onSite, kNow.date());
        people = list.size();
        benchmark::DoNotOptimize(list.constData());
    }
    state.counters["people"] = double(people);
}
BENCHMARK(BM_CollectOnSite)->Unit(benchmark::kMillisecond);

void BM_SaveTicks(benchmark::State &state)
{
    Site &s = site();
    QSet<QString> ticks;
    for (int i = 0; i < 5000; ++i)
        ticks.insert(QStringLiteral("E%1").arg(i));
    const QString path = s.db.file(QStringLiteral("RollCall-20260304.txt"));
    for (auto _ : state) {
        QString error;
        if (!CRollCallTicks::save(path, ticks, &error))
            state.SkipWithError(qPrintable(error));
    }
}
BENCHMARK(BM_SaveTicks)->Unit(benchmark::kMillisecond);

// The site's roll call shared on 127.0.0.1, served from a thread of its own as the window's
// event loop would, with 5,000 people already ticked. Everyone of the 20,000 is on the list, as
// when the whole site stands at the assembly point: those on site as the roll call reads them,
// then every other employee with the department and last clocking of the same form.
struct Sharing
{
    QThread thread;
    QObject *context = new QObject;
    C_ZorvikDocRollCall *doc = nullptr;
    CRollCallServer *server = nullptr;
    quint16 port = 0;
    QByteArray key;
    QList<CRollCallModel::Person> people;

    Sharing()
    {
        Site &s = site();
        {
            QMutexLocker lock(&s.reference.dbMutex);
            people = CRollCallModel::collect(s.reference, s.onSite, kNow.date());
            QSet<QString> listed;
            for (const CRollCallModel::Person &p : people)
                listed.insert(p.key);
            CDbCursor *e = s.reference.cursor(CReferenceData::EmployeeCursor);
            e->setFilter(QString());
            for (e->moveFirst(); !e->isEOF(); e->moveNext()) {
                QString id, last, first, department;
                e->getFieldText(QStringLiteral("IDZaposlenog"), id);
                if (listed.contains(u'E' + id))
                    continue;
                e->getFieldText(QStringLiteral("Prezime"), last);
                e->getFieldText(QStringLiteral("Ime"), first);
                e->getFieldText(QStringLiteral("IDSektora"), department);
                const auto d = s.reference.departmentMap.find(department);
                people << CRollCallModel::Person{u'E' + id,
                                                 last + u' ' + first,
                                                 d == s.reference.departmentMap.end() ? department : d->second,
                                                 QStringLiteral("07:58"),
                                                 QStringLiteral("Arrival"),
                                                 {},
                                                 false};
            }
            CRollCallModel::sortPeople(people);
        }
        context->moveToThread(&thread);
        thread.start();
        QMetaObject::invokeMethod(
            context,
            [this, &s] {
                doc = new C_ZorvikDocRollCall(nullptr, nullptr, s.db.dir.path() + u'/');
                doc->model()->setPeople(people);
                QSet<QString> ticks;
                for (int i = 0; i < 5000 && i < people.size(); ++i)
                    ticks.insert(people.at(i).key);
                doc->model()->setTicks(ticks);
                server = new CRollCallServer(doc);
                server->setHostNames({QStringLiteral("bench")}); // the Host the requests name
                if (!server->start({QHostAddress(QHostAddress::LocalHost)}, 0, nullptr))
                    qFatal("sharing did not start");
                port = server->port();
                key = server->key().toLatin1();
            },
            Qt::BlockingQueuedConnection);
    }
    ~Sharing()
    {
        QMetaObject::invokeMethod(
            context,
            [this] {
                delete server;
                delete doc;
                delete context;
            },
            Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }
};

Sharing &sharing()
{
    static Sharing s;
    return s;
}

struct Answer
{
    int status = 0;
    qint64 bytes = 0; // headers and body, as sent
    qint64 firstByteNs = 0;
};

// One request on a kept-alive connection, read to the end of its body.
Answer exchange(QTcpSocket &socket, const QByteArray &request)
{
    Answer a;
    QElapsedTimer clock;
    clock.start();
    socket.write(request);
    QByteArray in;
    qsizetype headerEnd = -1;
    while ((headerEnd = in.indexOf("\r\n\r\n")) < 0) {
        if (!socket.waitForReadyRead(30000))
            return a;
        if (in.isEmpty())
            a.firstByteNs = clock.nsecsElapsed();
        in += socket.readAll();
    }
    const QByteArray head = in.left(headerEnd).toLower();
    const qsizetype at = head.indexOf("content-length:");
    const qint64 length = at < 0 ? 0 : head.mid(at + 15, head.indexOf('\r', at) - at - 15).trimmed().toLongLong();
    while (in.size() < headerEnd + 4 + length && socket.waitForReadyRead(30000))
        in += socket.readAll();
    a.status = in.mid(9, 3).toInt();
    a.bytes = in.size();
    return a;
}

void connectTo(QTcpSocket &socket, benchmark::State &state)
{
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), sharing().port);
    if (!socket.waitForConnected(5000))
        state.SkipWithError("no connection");
}

void serve(benchmark::State &state, const QByteArray &request)
{
    QTcpSocket socket;
    connectTo(socket, state);
    Answer a;
    double firstByteNs = 0;
    for (auto _ : state) {
        a = exchange(socket, request);
        if (a.status != 200)
            state.SkipWithError("not answered");
        firstByteNs += double(a.firstByteNs);
    }
    state.counters["bytes"] = double(a.bytes);
    state.counters["first_byte_ms"] = benchmark::Counter(firstByteNs / 1e6, benchmark::Counter::kAvgIterations);
}

void BM_SharePage(benchmark::State &state)
{
    serve(state, "GET / HTTP/1.1\r\nHost: bench\r\n\r\n");
}
BENCHMARK(BM_SharePage)->Unit(benchmark::kMillisecond);

// The list of everyone on the premises of the 20,000-employee site; 1: compressed, as browsers
// ask for it.
void BM_ShareList(benchmark::State &state)
{
    Sharing &s = sharing();
    serve(state, "GET /api/list HTTP/1.1\r\nHost: bench\r\nAuthorization: Bearer " + s.key +
                     (state.range(0) ? "\r\nAccept-Encoding: deflate" : "") + "\r\n\r\n");
    state.counters["people"] = double(s.people.size());
}
BENCHMARK(BM_ShareList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same, the first time after the list changed (an update pass brought a newcomer): the
// answer is built and compressed again before its first byte.
void BM_ShareListAfterChange(benchmark::State &state)
{
    Sharing &s = sharing();
    QTcpSocket socket;
    connectTo(socket, state);
    const QByteArray request = "GET /api/list HTTP/1.1\r\nHost: bench\r\nAuthorization: Bearer " + s.key +
                               "\r\nAccept-Encoding: deflate\r\n\r\n";
    double firstByteNs = 0;
    int minute = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QMetaObject::invokeMethod(
            s.context,
            [&s, &minute] {
                QList<CRollCallModel::Person> changed = s.doc->model()->people();
                changed.first().time = QStringLiteral("08:%1").arg(++minute % 60, 2, 10, QLatin1Char('0'));
                s.doc->model()->setPeople(changed);
            },
            Qt::BlockingQueuedConnection);
        state.ResumeTiming();
        const Answer a = exchange(socket, request);
        if (a.status != 200)
            state.SkipWithError("not answered");
        firstByteNs += double(a.firstByteNs);
    }
    state.counters["first_byte_ms"] = benchmark::Counter(firstByteNs / 1e6, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ShareListAfterChange)->Unit(benchmark::kMillisecond);

// A phone's poll every second and a half: 0 nothing changed, 1 the ticks changed (5,000 of them
// come along).
void BM_SharePoll(benchmark::State &state)
{
    Sharing &s = sharing();
    QByteArray versions;
    QMetaObject::invokeMethod(
        s.context,
        [&] {
            const CRollCallModel &m = *s.doc->model();
            versions = "lv=" + QByteArray::number(m.listVersion()) +
                       "&tv=" + QByteArray::number(m.tickVersion() - (state.range(0) ? 1 : 0));
        },
        Qt::BlockingQueuedConnection);
    serve(state, "GET /api/state?" + versions + " HTTP/1.1\r\nHost: bench\r\nAuthorization: Bearer " + s.key +
                     "\r\nAccept-Encoding: deflate\r\n\r\n");
}
BENCHMARK(BM_SharePoll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A phone's tick: sent, applied, written to the ticks file (5,000 ticked) and answered. Ticks
// and unticks alternate, so that every one is a change.
void BM_ShareTickRoundTrip(benchmark::State &state)
{
    Sharing &s = sharing();
    QTcpSocket socket;
    connectTo(socket, state);
    const QString key = s.people.value(s.people.size() - 1).key;
    bool on = true;
    for (auto _ : state) {
        const QByteArray body = QJsonDocument(QJsonObject{{"key", key}, {"ticked", on}, {"warden", "Bench"}})
                                    .toJson(QJsonDocument::Compact);
        const Answer a = exchange(socket, "POST /api/tick HTTP/1.1\r\nHost: bench\r\nAuthorization: Bearer " + s.key +
                                              "\r\nContent-Type: application/json\r\nContent-Length: " +
                                              QByteArray::number(body.size()) + "\r\n\r\n" + body);
        if (a.status != 200)
            state.SkipWithError("tick not answered");
        on = !on;
    }
}
BENCHMARK(BM_ShareTickRoundTrip)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
