// The roll call of a large site: reading everyone on the premises from the shared cursors of
// 20,000 employees (what every update pass does for the head count and an open roll call), and
// writing the day's ticks file after a tick with 5,000 people ticked.
#include "app/CAppContext.h"
#include "app/CSettings.h"
#include "db/CDemoDatabase.h"
#include "db/CDemoSamples.h"
#include "db/CReferenceData.h"
#include "views/CRollCallModel.h"
#include "views/CRollCallTicks.h"

#include "../support/BenchDatabase.h"
#include <QCoreApplication>
#include <QMutexLocker>

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
