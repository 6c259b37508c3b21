#include "panel/CPanelFile.h"

#include <benchmark/benchmark.h>

namespace {

PanelFileData panel(int count)
{
    PanelFileData d;
    d.backgroundPresent = true;
    d.imagePath = QStringLiteral("/srv/zorvik/pozadina.jpg");
    d.tablets.reserve(count);
    for (int i = 0; i < count; ++i) {
        PanelFileTablet t;
        t.x = 168 * (i / 99);
        t.y = 24 * (i % 99);
        t.expanded = i % 7 == 0;
        t.h = t.expanded ? 96 : 24;
        t.lastName = QStringLiteral("Petrović-%1").arg(i);
        t.firstName = QStringLiteral("Ana & Đorđe");
        t.card = QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'));
        t.id = QString::number(count - i); // out of order, so storing sorts
        d.tablets.append(t);
    }
    return d;
}

void BM_Store(benchmark::State &state)
{
    const PanelFileData d = panel(static_cast<int>(state.range(0)));
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray out = CPanelFile::store(d);
        bytes = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetComplexityN(state.range(0));
}

void BM_Load(benchmark::State &state)
{
    const QByteArray file = CPanelFile::store(panel(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const PanelFileData d = CPanelFile::load(file);
        if (d.tablets.size() != state.range(0))
            state.SkipWithError("wrong tablet count");
        benchmark::DoNotOptimize(d.tablets.constData());
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_Store)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
