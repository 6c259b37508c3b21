// The Last activity report on the 50,000-employee demo database: the statements alone (drop,
// S1, S2 and reading the rows), and the whole build (the reference lists, the statements, the
// rows into the grid and pagination). The difference is the part outside the database.
#include "../support/BenchDatabase.h"
#include "db/CReferenceData.h"
#include "reports/CLastActQuery.h"
#include "reports/CReportEngine.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Site
{
    Site() : db(CDemoDatabase::largeOptions())
    {
        int message = 0;
        if (!reference.open(db.connectionString(), &message))
            qFatal("cannot open the bench database (message %d)", message);
    }
    BenchDatabase db;
    CReferenceData reference;
};

Site &site()
{
    static Site *s = new Site;
    return *s;
}

CLastActRequest request()
{
    CLastActRequest r;
    r.moment = CDateTime::fromLocal(QDateTime::currentDateTime(), false);
    return r;
}

void BM_LastActStatements(benchmark::State &state)
{
    Site &s = site();
    const CLastActRequest r = request();
    const CLastActQuery q(r, CLastActQuery::readLists(s.reference, r));
    QStringList rows;
    for (auto _ : state) {
        q.fetch(s.reference.connection(), rows, nullptr);
        benchmark::DoNotOptimize(rows.size());
    }
    state.counters["rows"] = double(rows.size());
}
BENCHMARK(BM_LastActStatements)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LastActWholeBuild(benchmark::State &state)
{
    Site &s = site();
    CReportEngine engine;
    if (!engine.LoadTemplate(QStringLiteral(ZORVIK_SOURCE_DIR "/Reports/PresencesGroups.rpt"))) {
        state.SkipWithError("template not found");
        return;
    }
    CLastActRequest r = request();
    r.byGroup = true;
    int pages = 0;
    for (auto _ : state) {
        const CLastActQuery q(r, CLastActQuery::readLists(s.reference, r));
        QStringList rows;
        q.fetch(s.reference.connection(), rows, nullptr);
        engine.ClearContent();
        engine.SetGridRows(QStringLiteral("Grid"), rows);
        pages = engine.Paginate();
        engine.SetFieldText(QStringLiteral("SubTitle"), q.subTitle());
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_LastActWholeBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for pagination
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
