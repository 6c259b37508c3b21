// The update pass of a large site: 20 panels of 500 tablets each against 50,000 last
// registrations. The indexed filters are measured next to the same pass with every filter
// answered by walking the rows (the plain client-side cursor), which is measured on one panel
// and scaled to twenty: every tablet's work is the same and independent of the others.
#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CDocTemplate.h"
#include "app/CSettings.h"
#include "db/CDbCursor.h"
#include "db/CDbThread.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "live/CLiveUpdate.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"

#include "../support/BenchDatabase.h"
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kEmployees = 50000;
constexpr int kPanels = 20;
constexpr int kTablets = 500;
// The scanning pass runs over this many panels and is scaled to kPanels.
constexpr int kScanPanels = 1;

struct Site
{
    BenchDatabase db;
    QString path;
    std::unique_ptr<CSettings> settings;
    CReferenceData reference;
    std::unique_ptr<CLiveUpdate> live;
    std::unique_ptr<CDocTemplate> panels;
    std::unique_ptr<CAppContext> context;
    std::unique_ptr<CDbThread> poller;
    QList<C_ZorvikDoc *> docs;
    QStringList ids; // the employees of the panels

    // Late afternoon, so that about half the clockings are of today and take the
    // illegal-activity test.
    static QDateTime now() { return QDateTime(QDate(2026, 3, 4), QTime(17, 0, 0)); }
    static CDemoDatabase::DemoOptions options()
    {
        CClock::setFixed(now());
        CDemoDatabase::DemoOptions o = CDemoDatabase::largeOptions(kEmployees);
        o.now = now();
        o.fixedToday = true;
        return o;
    }

    Site() : db(options()), path(db.path)
    {
        QString error;
        // The employees of the panels: distinct, spread over the whole table.
        {
            if (!CDemoDatabase::openConnection(QStringLiteral("bench-writer"), path, &error))
                qFatal("%s", qPrintable(error));
            QSqlDatabase writer = QSqlDatabase::database(QStringLiteral("bench-writer"));
            QSqlQuery q(writer);
            q.exec(QStringLiteral("select IDZaposlenog from tblLastReg order by IDZaposlenog"));
            QStringList all;
            while (q.next())
                all << q.value(0).toString();
            if (all.size() != kEmployees)
                qFatal("unexpected table");
            const int step = kEmployees / (kPanels * kTablets);
            for (int i = 0; i < kPanels * kTablets; ++i)
                ids << all.at(i * step);
            // One tablet in ten on weekend duty this afternoon, which is forbidden on a working
            // day: the pass also finds illegal clockings.
            writer.transaction();
            q.prepare(QStringLiteral("update tblLastReg set IDLogickeAktivnosti = ?, DatumLastReg = "
                                     "'2026-03-04 16:00:00' where IDZaposlenog = ?"));
            for (int i = 0; i < ids.size(); i += 10) {
                q.addBindValue(int(CDemoDatabase::WeekendDuty));
                q.addBindValue(ids.at(i));
                if (!q.exec())
                    qFatal("update failed");
            }
            writer.commit();
            q.prepare(
                QStringLiteral("select IDLogickeAktivnosti, DatumLastReg from tblLastReg where IDZaposlenog = ?"));
            for (const QString &id : std::as_const(ids)) {
                q.addBindValue(id);
                if (!q.exec() || !q.next())
                    qFatal("read failed");
                original.append({q.value(0), q.value(1)});
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-writer"));
        settings = std::make_unique<CSettings>(db.file(QStringLiteral("z.ini")));
        int message = 0;
        if (!reference.open(db.connectionString(), &message))
            qFatal("reference data: %d", message);
        reference.buildMaps();
        live = std::make_unique<CLiveUpdate>(&reference);
        panels = std::make_unique<CDocTemplate>(CDocTemplate::Panels, 1029);
        live->setTemplates(panels.get(), {});
        context = std::make_unique<CAppContext>(settings.get(), &reference, live.get(), db.dir.path());
        context->makeCurrent();

        // One cycle opens the day-type cursor as the polling thread does.
        poller = std::make_unique<CDbThread>(&reference, 60);
        if (!poller->cycle())
            qFatal("the polling cycle failed");

        for (int p = 0; p < kPanels; ++p) {
            auto *doc = new C_ZorvikDoc;
            panels->addDocument(doc);
            docs << doc;
            for (int t = 0; t < kTablets; ++t) {
                const QString &e = ids.at(p * kTablets + t);
                doc->addTablet(QStringLiteral("Last") + e, QStringLiteral("First") + e, QString(), e,
                               QRect(168 * (t % 40), 24 * (t / 40), 168, 24));
            }
        }
        // A first pass fills the tablets and builds the indexes; the warnings it raises are
        // delivered here, so the passes measured below find a steady site.
        if (!live->OnMsgUpdateDocs(nullptr))
            qFatal("the update pass did not run");
        QCoreApplication::processEvents();
    }

    ~Site()
    {
        qDeleteAll(docs);
        live->stop();
        CClock::reset();
    }

    void pass() { live->OnMsgUpdateDocs(nullptr); }

    // Every employee of the panels clocks again (at, with activity), and a polling cycle reads
    // it, as the terminals and the polling thread would.
    void clockEveryone(const QString &at, int activity)
    {
        QList<std::pair<QVariant, QVariant>> rows(ids.size(), {activity, at});
        write(rows);
    }
    // The panels' employees as they were before the benchmarks clocked them.
    void restore()
    {
        write(original);
        pass();
    }
    QList<std::pair<QVariant, QVariant>> original; // activity and moment of each of ids

    void write(const QList<std::pair<QVariant, QVariant>> &rows)
    {
        QString error;
        if (!CDemoDatabase::openConnection(QStringLiteral("bench-clock"), path, &error))
            qFatal("%s", qPrintable(error));
        {
            QSqlDatabase writer = QSqlDatabase::database(QStringLiteral("bench-clock"));
            writer.transaction();
            QSqlQuery q(writer);
            q.prepare(QStringLiteral("update tblLastReg set IDLogickeAktivnosti = ?, DatumLastReg = ? "
                                     "where IDZaposlenog = ?"));
            for (qsizetype i = 0; i < ids.size(); ++i) {
                q.addBindValue(rows.at(i).first);
                q.addBindValue(rows.at(i).second);
                q.addBindValue(ids.at(i));
                if (!q.exec())
                    qFatal("update failed");
            }
            writer.commit();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-clock"));
        if (!poller->cycle())
            qFatal("the polling cycle failed");
    }

    // The pass over the first n panels only, with filters answered by walking the rows.
    void scanningPass(int n)
    {
        CDbCursor::setIndexedFilters(false);
        for (int p = 0; p < n; ++p)
            live->OnMsgUpdateDocs(docs.at(p));
        CDbCursor::setIndexedFilters(true);
    }

    void countTablets(benchmark::State &state) const
    {
        int filled = 0, today = 0, illegal = 0, stale = 0;
        for (const C_ZorvikDoc *doc : docs)
            for (CTablet *t : doc->tablets()) {
                filled += t->dateText.isEmpty() ? 0 : 1;
                today += t->shownMoment().dayKey() == CDateTime::fromLocal(now()).dayKey() ? 1 : 0;
                illegal += t->isIllegal() ? 1 : 0;
                stale += t->isStale() ? 1 : 0;
            }
        state.counters["tablets"] = kPanels * kTablets;
        state.counters["filled"] = filled;
        state.counters["today"] = today;
        state.counters["illegal"] = illegal;
        state.counters["stale"] = stale;
    }
};

Site &site()
{
    static Site s;
    return s;
}

// Repaint requests the tablets make (each one is a window's update()).
struct RepaintCounter
{
    int requests = 0;
    QList<QMetaObject::Connection> connections;
    explicit RepaintCounter(const QList<C_ZorvikDoc *> &docs)
    {
        for (const C_ZorvikDoc *doc : docs)
            connections << QObject::connect(doc, &C_ZorvikDoc::tabletChanged, doc, [this] { ++requests; });
    }
    ~RepaintCounter()
    {
        for (const auto &c : std::as_const(connections))
            QObject::disconnect(c);
    }
};

// The whole pass over 20 panels, as the program runs it after every cycle: nothing changed
// since the last one, so no tablet asks to be repainted.
void BM_UpdatePass(benchmark::State &state)
{
    Site &s = site();
    RepaintCounter counter(s.docs);
    for (auto _ : state)
        s.pass();
    s.countTablets(state);
    state.counters["repaintsPerPass"] = double(counter.requests) / double(state.iterations());
}

// The same pass when every employee of the panels clocked since the last one (another moment
// and activity each time), so every tablet is updated and asks to be repainted once. The site
// is put back as it was afterwards, for the benchmarks that follow.
void BM_UpdatePassEveryTabletChanged(benchmark::State &state)
{
    Site &s = site();
    RepaintCounter counter(s.docs);
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const bool odd = ++turn % 2;
        s.clockEveryone(odd ? QStringLiteral("2026-03-04 16:10:00") : QStringLiteral("2026-03-04 16:20:00"),
                        odd ? int(CDemoDatabase::BreakReturn) : int(CDemoDatabase::Arrival));
        state.ResumeTiming();
        s.pass();
    }
    state.counters["repaintsPerPass"] = double(counter.requests) / double(state.iterations());
    s.restore();
}

// The scanning pass over kScanPanels panels; per_20_panels scales it to the whole site.
void BM_UpdatePassScanning(benchmark::State &state)
{
    Site &s = site();
    for (auto _ : state)
        s.scanningPass(kScanPanels);
    state.counters["panels"] = kScanPanels;
    state.counters["per_20_panels_s"] = benchmark::Counter(
        double(kScanPanels) / kPanels, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Both in turn inside one loop, so that the machine's load weighs on each alike; the speed-up
// is the scaled scanning pass over the indexed one.
void BM_IndexedOverScanning(benchmark::State &state)
{
    Site &s = site();
    qint64 indexedNs = 0;
    qint64 scanNs = 0;
    QElapsedTimer t;
    for (auto _ : state) {
        t.start();
        s.pass();
        indexedNs += t.nsecsElapsed();
        t.start();
        s.scanningPass(kScanPanels);
        scanNs += t.nsecsElapsed();
    }
    const double n = double(state.iterations());
    const double indexedMs = double(indexedNs) / n / 1e6;
    const double scanMs = double(scanNs) / n / 1e6 * kPanels / kScanPanels;
    state.counters["indexed_ms"] = indexedMs;
    state.counters["scan_ms_scaled"] = scanMs;
    state.counters["speedup"] = indexedMs > 0 ? scanMs / indexedMs : 0.0;
}

} // namespace

BENCHMARK(BM_UpdatePass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdatePassEveryTabletChanged)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UpdatePassScanning)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IndexedOverScanning)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    site();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
