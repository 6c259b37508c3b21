// One polling cycle as the polling thread runs it (the last registrations, the day-type
// procedure, today's day types, the guests), through the real FreeTDS driver against the SQL
// Server stand-in, at 1,000 and 20,000 employees. Its floor is a bare forward-only QSqlQuery
// loop over the same statements through the same driver that touches every value once; both
// are timed in every iteration, and the counters give the floor, the ratio and rows per second.
#include "../support/BenchDatabase.h"
#include "TdsStandin.h"
#include "app/CClock.h"
#include "db/CDbThread.h"
#include "db/CReferenceData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

QDateTime benchNow()
{
    return QDateTime(QDate(2026, 3, 4), QTime(17, 0, 0));
}

struct Site
{
    static CDemoDatabase::DemoOptions options(int employees)
    {
        CDemoDatabase::DemoOptions o = CDemoDatabase::largeOptions(employees);
        o.now = benchNow();
        o.fixedToday = true;
        return o;
    }

    explicit Site(int employees) : db(options(employees))
    {
        if (!server.start(db.path))
            qFatal("tds_standin: %s", qPrintable(server.error()));
        int message = 0;
        if (!reference.open(server.connectionString(), &message))
            qFatal("reference data through FreeTDS: message %d", message);
        floor = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("floor-%1").arg(employees));
        floor.setDatabaseName(server.connectionString());
        if (!floor.open())
            qFatal("floor connection failed");
        statements = {reference.queryText(CReferenceData::LastRegistrationCursor),
                      QStringLiteral("{call sp_popuni_TekuciRbrUC}"),
                      reference.queryText(CReferenceData::CurrentDayCursor), reference.guestsQuery()};
    }

    // The floor: every statement, every value read once; the rows read.
    qint64 bareLoop()
    {
        qint64 rows = 0;
        for (const QString &sql : statements) {
            QSqlQuery q(floor);
            q.setForwardOnly(true);
            if (!q.exec(sql))
                qFatal("floor statement failed: %s", qPrintable(sql));
            const int columns = q.record().count();
            while (q.next()) {
                for (int c = 0; c < columns; ++c)
                    benchmark::DoNotOptimize(q.value(c));
                ++rows;
            }
        }
        return rows;
    }

    BenchDatabase db;
    testsupport::TdsStandin server;
    CReferenceData reference;
    QSqlDatabase floor;
    QStringList statements;
};

Site &site(int employees)
{
    static std::map<int, std::unique_ptr<Site>> sites;
    auto &s = sites[employees];
    if (!s)
        s = std::make_unique<Site>(employees);
    return *s;
}

void BM_PollingCycleThroughFreeTds(benchmark::State &state)
{
    Site &s = site(int(state.range(0)));
    CDbThread thread(&s.reference, 60);
    thread.setRunning(true);
    if (!thread.cycle() || s.bareLoop() == 0) {
        state.SkipWithError("the first cycle failed");
        return;
    }
    double cycleSeconds = 0, floorSeconds = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        if (!thread.cycle()) {
            state.SkipWithError("a cycle failed");
            break;
        }
        const double cycle = double(t.nsecsElapsed()) / 1e9;
        t.restart();
        rows = s.bareLoop();
        floorSeconds += double(t.nsecsElapsed()) / 1e9;
        cycleSeconds += cycle;
        state.SetIterationTime(cycle);
    }
    const double n = double(state.iterations());
    state.counters["floor_ms"] = floorSeconds / n * 1000.0;
    state.counters["ratio"] = cycleSeconds / floorSeconds;
    state.counters["rows"] = double(rows);
    state.counters["rows_per_s"] = double(rows) * n / cycleSeconds;
    state.counters["floor_rows_per_s"] = double(rows) * n / floorSeconds;
    s.reference.connection().releaseThread();
}
BENCHMARK(BM_PollingCycleThroughFreeTds)
    ->Arg(1000)
    ->Arg(20000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    CClock::setFixed(benchNow());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
