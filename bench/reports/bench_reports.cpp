// Report generator: distributing and paginating many rows, measured next to copying the same
// row list (the goal is at most three times the copy), and drawing one full page at 150 dpi.
#include "reports/CReportEngine.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

QStringList sampleRows(int n)
{
    QStringList rows;
    rows.reserve(n);
    for (int i = 1; i <= n; ++i) {
        const QString row = QStringLiteral("%1|0%2.12.2026. 08:%3|Petrović|Ana|Production|Arrival")
                                .arg(i)
                                .arg(i % 9 + 1)
                                .arg(i % 60, 2, 10, QLatin1Char('0'));
        rows << (i % 7 ? row : QStringLiteral("[%red%]") + row);
    }
    return rows;
}

QString presences()
{
    return QStringLiteral(ZORVIK_SOURCE_DIR "/Reports/Presences.rpt");
}

void BM_CopyRows(benchmark::State &state)
{
    const QStringList rows = sampleRows(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QStringList copy;
        for (const QString &r : rows)
            copy.append(r);
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_CopyRows)->Arg(50000)->Unit(benchmark::kMicrosecond);

void BM_SetGridRowsPaginate(benchmark::State &state)
{
    const QStringList rows = sampleRows(static_cast<int>(state.range(0)));
    CReportEngine engine;
    if (!engine.LoadTemplate(presences())) {
        state.SkipWithError("Presences.rpt not found");
        return;
    }
    for (auto _ : state) {
        engine.ClearContent();
        engine.SetGridRows(QStringLiteral("Grid"), rows);
        benchmark::DoNotOptimize(engine.Paginate());
    }
}
BENCHMARK(BM_SetGridRowsPaginate)->Arg(50000)->Unit(benchmark::kMicrosecond);

void BM_DrawPresencesPage(benchmark::State &state)
{
    CReportEngine engine;
    if (!engine.LoadTemplate(presences())) {
        state.SkipWithError("Presences.rpt not found");
        return;
    }
    engine.SetGridRows(QStringLiteral("Grid"), sampleRows(46));
    engine.SetFieldText(QStringLiteral("Title"), QStringLiteral("Last activity"));
    engine.SetFieldText(QStringLiteral("TotalPages"), QStringLiteral(" / 1"));
    engine.Paginate();
    QImage img(1241, 1754, QImage::Format_RGB32);
    img.setDotsPerMeterX(5906);
    img.setDotsPerMeterY(5906);
    for (auto _ : state) {
        img.fill(Qt::white);
        QPainter p(&img);
        engine.DrawPage(p, 1);
    }
}
BENCHMARK(BM_DrawPresencesPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
