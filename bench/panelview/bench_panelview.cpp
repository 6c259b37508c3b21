// Repainting a panel of 500 expanded tablets with photographs, and what the photographs cost
// in memory; repainting panels of 1,000 and 8,000 tablets that all changed (the cost must grow
// with the tablets, not faster). Run: QT_QPA_PLATFORM=offscreen ./bench_panelview
#include "PanelPicture.h"
#include "panel/CPhotoDecoder.h"
#include "panel/CTabletPainter.h"
#include "panel/CTabletPhoto.h"
#include "panel/C_PanelWnd.h"
#include "panel/C_ZorvikDoc.h"
#include "panel/C_ZorvikView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kColumns = 10;
const QSize kPhotoSize(300, 400);

struct Panel
{
    std::unique_ptr<C_ZorvikDoc> doc = std::make_unique<C_ZorvikDoc>();
    std::unique_ptr<C_ZorvikView> view;
    QRect used; // the canvas part that holds the tablets
};

const QList<QByteArray> &photographs()
{
    // 50 different portraits shared round the tablets, as the database would hand them over.
    static const QList<QByteArray> list = [] {
        QList<QByteArray> l;
        for (int i = 0; i < 50; ++i)
            l << paneltest::portrait(i, kPhotoSize.width(), kPhotoSize.height());
        return l;
    }();
    return list;
}

// count tablets, expanded with photographs in rows of kColumns, or collapsed without in rows of
// columns.
std::unique_ptr<Panel> makePanel(int count, bool expanded = true, int columns = kColumns)
{
    auto panel = std::make_unique<Panel>();
    const int height = expanded ? 96 : 24;
    for (int i = 0; i < count; ++i) {
        const QRect g((i % columns) * 168, (i / columns) * height, 168, height);
        CTablet *t = panel->doc->addTablet(paneltest::lastNames().at(i % paneltest::lastNames().size()),
                                           paneltest::firstNames().at(i % paneltest::firstNames().size()),
                                           QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')), QString::number(i), g);
        paneltest::feed(t, i);
        if (expanded) {
            t->setExpanded(true);
            // A copy of its own, as each tablet reads its photograph from its own database row.
            t->setPhotograph(QByteArray(photographs().at(i % photographs().size()).constData(),
                                        photographs().at(i % photographs().size()).size()));
        }
        panel->used |= g;
    }
    panel->view = std::make_unique<C_ZorvikView>(panel->doc.get());
    panel->view->resize(1024, 768);
    panel->view->show();
    return panel;
}

void renderCanvas(Panel &panel, QImage &target)
{
    target.fill(Qt::white);
    panel.view->canvas()->render(&target, QPoint(), QRegion(panel.used), QWidget::DrawChildren);
}

// Paints once and waits until the photographs the paint asked for are decoded (on the canvas's
// photo thread), so that the next paint shows them.
void settle(Panel &panel, QImage &target)
{
    renderCanvas(panel, target);
    while (!panel.view->canvas()->photoLoader()->isIdle()) {
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void reportMemory(benchmark::State &state, const Panel &panel)
{
    qint64 compressed = 0, cached = 0;
    for (CTablet *t : panel.doc->tablets()) {
        compressed += t->photograph().size();
        cached += panel.view->tabletWindow(t)->photoCacheBytes();
    }
    const double n = panel.doc->tabletCount();
    qint64 pictures = 0;
    for (CTablet *t : panel.doc->tablets())
        pictures += panel.view->tabletWindow(t)->pictureCacheBytes();
    state.counters["photoBytesPerTablet"] = double(compressed) / n;
    state.counters["decodedBytesPerTablet"] = double(cached) / n;
    state.counters["pictureBytesPerTablet"] = double(pictures) / n;
}

// Every tablet painted again with its photograph already decoded (the usual repaint).
void BM_RepaintPanel(benchmark::State &state)
{
    auto panel = makePanel(int(state.range(0)));
    QImage target(panel->used.size(), QImage::Format_RGB32);
    settle(*panel, target); // the first paint has the photographs decoded
    for (auto _ : state) {
        renderCanvas(*panel, target);
        benchmark::DoNotOptimize(target.constBits());
    }
    reportMemory(state, *panel);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RepaintPanel)->Arg(500)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same repaint when every tablet changed since the last one: each is drawn anew, at the
// panel's own size and zoomed to 200% for a wall display (four times the pixels).
void BM_RepaintPanelEveryTabletChanged(benchmark::State &state)
{
    auto panel = makePanel(int(state.range(0)));
    panel->view->setZoom(int(state.range(1)));
    panel->used = panel->view->canvas()->toCanvas(panel->used);
    QImage target(panel->used.size(), QImage::Format_RGB32);
    settle(*panel, target);
    for (auto _ : state) {
        state.PauseTiming();
        for (CTablet *t : panel->doc->tablets())
            t->invalidateAll();
        state.ResumeTiming();
        renderCanvas(*panel, target);
        benchmark::DoNotOptimize(target.constBits());
    }
    reportMemory(state, *panel);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RepaintPanelEveryTabletChanged)
    ->Args({500, 100})
    ->Args({500, 200})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// Panels of n collapsed tablets, 40 to a row, every one of them changed before each repaint of
// the whole panel: drawn anew, each once. per_tablet_us must stay about the same from 1,000 to
// 8,000 tablets.
void BM_RepaintEveryTabletChanged(benchmark::State &state)
{
    const int n = int(state.range(0));
    auto panel = makePanel(n, false, 40);
    QImage target(panel->used.size(), QImage::Format_RGB32);
    renderCanvas(*panel, target);
    for (auto _ : state) {
        state.PauseTiming();
        for (CTablet *t : panel->doc->tablets())
            t->invalidateAll();
        state.ResumeTiming();
        renderCanvas(*panel, target);
        benchmark::DoNotOptimize(target.constBits());
    }
    // Inverted rate of n millionths a repaint: microseconds per tablet.
    state.counters["per_tablet_us"] = benchmark::Counter(
        double(n) * 1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RepaintEveryTabletChanged)
    ->Arg(1000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

// Hit-testing a point on panels of 1,000 and 50,000 tablets: one bucket is searched.
void BM_HitTest(benchmark::State &state)
{
    auto panel = makePanel(int(state.range(0)), false, 100);
    C_PanelCanvas *canvas = panel->view->canvas();
    int i = 0;
    for (auto _ : state) {
        const QPoint p((i * 7919) % panel->used.width(), (i * 104729) % panel->used.height());
        benchmark::DoNotOptimize(canvas->tabletAt(p));
        ++i;
    }
}
BENCHMARK(BM_HitTest)->Arg(1000)->Arg(50000)->Unit(benchmark::kNanosecond);

// A scroll by one grid step exposes a strip one tablet high: only the tablets it crosses are
// painted (one row of ten here, against the whole panel above).
void BM_RepaintExposedStrip(benchmark::State &state)
{
    auto panel = makePanel(int(state.range(0)));
    QImage target(panel->used.size(), QImage::Format_RGB32);
    settle(*panel, target);
    const QRegion strip(QRect(0, 96 * 10 + 36, panel->used.width(), 24));
    for (auto _ : state) {
        panel->view->canvas()->render(&target, QPoint(), strip, QWidget::DrawChildren);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_RepaintExposedStrip)->Arg(500)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// The floor of a repaint: the same 500 tablets' pixels, prepared beforehand, drawn into the
// same target with one drawImage each (after the same white fill).
void BM_RepaintFloor(benchmark::State &state)
{
    auto panel = makePanel(int(state.range(0)));
    QImage target(panel->used.size(), QImage::Format_RGB32);
    settle(*panel, target);
    std::vector<std::pair<QPoint, QImage>> prepared;
    for (CTablet *t : panel->doc->tablets())
        prepared.emplace_back(t->geometry().topLeft(),
                              panel->view->canvas()->grab(panel->view->tabletRect(t)).toImage());
    for (auto _ : state) {
        target.fill(Qt::white);
        QPainter p(&target);
        for (const auto &[at, image] : prepared)
            p.drawImage(at, image);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RepaintFloor)->Arg(500)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The usual repaint and its floor in turn inside one loop, so that the machine's load weighs on
// both alike; ratio is the repaint's time over the floor's.
void BM_RepaintOverFloor(benchmark::State &state)
{
    auto panel = makePanel(int(state.range(0)));
    QImage target(panel->used.size(), QImage::Format_RGB32);
    settle(*panel, target);
    std::vector<std::pair<QPoint, QImage>> prepared;
    for (CTablet *t : panel->doc->tablets())
        prepared.emplace_back(t->geometry().topLeft(),
                              panel->view->canvas()->grab(panel->view->tabletRect(t)).toImage());
    qint64 repaintNs = 0, floorNs = 0;
    QElapsedTimer t;
    for (auto _ : state) {
        t.start();
        renderCanvas(*panel, target);
        repaintNs += t.nsecsElapsed();
        t.start();
        target.fill(Qt::white);
        QPainter p(&target);
        for (const auto &[at, image] : prepared)
            p.drawImage(at, image);
        p.end();
        floorNs += t.nsecsElapsed();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["ratio"] = floorNs > 0 ? double(repaintNs) / double(floorNs) : 0.0;
}
BENCHMARK(BM_RepaintOverFloor)->Arg(500)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The first paint of a freshly opened panel (first_paint_ms, the photographs not there yet), and
// until every photograph has been decoded at the cell's size off the interface thread and the
// panel painted with them (time).
void BM_FirstPaintPanel(benchmark::State &state)
{
    QImage target;
    std::unique_ptr<Panel> panel;
    double firstPaint = 0;
    for (auto _ : state) {
        state.PauseTiming();
        panel.reset();
        panel = makePanel(int(state.range(0)));
        target = QImage(panel->used.size(), QImage::Format_RGB32);
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        renderCanvas(*panel, target);
        firstPaint += double(t.nsecsElapsed()) / 1e6;
        settle(*panel, target);
        renderCanvas(*panel, target);
    }
    state.counters["first_paint_ms"] = firstPaint / double(state.iterations());
    reportMemory(state, *panel);
}
BENCHMARK(BM_FirstPaintPanel)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(5);

// One tablet painted by the core painter onto an image (no widgets).
void BM_PaintOneTablet(benchmark::State &state)
{
    CTablet t;
    t.lastName = QStringLiteral("Petrović");
    t.firstName = QStringLiteral("Ana");
    paneltest::feed(&t, 3);
    t.setExpanded(true);
    t.setPhotograph(photographs().first());
    CTabletPainter painter(CTabletPainter::Look::fromPalette(QApplication::palette(), QApplication::font()));
    CTabletPhoto cache;
    QImage img(168, 96, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        painter.paint(p, t, img.size(), {}, &cache);
    }
}
BENCHMARK(BM_PaintOneTablet)->Unit(benchmark::kMicrosecond);

// Decoding one photograph for its cell (about 49 x 62): libjpeg's 1/8 scale against full size.
void BM_DecodePhoto(benchmark::State &state)
{
    const QByteArray &bytes = photographs().first();
    const QSize atLeast = state.range(0) ? QSize(49, 62) : QSize();
    for (auto _ : state)
        benchmark::DoNotOptimize(CPhotoDecoder::decode(bytes, atLeast));
    state.SetLabel(state.range(0) ? "scaled to the cell" : "full size");
}
BENCHMARK(BM_DecodePhoto)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
