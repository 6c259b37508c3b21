// Repainting a panel of 500 expanded tablets with photographs, and what the photographs cost
// in memory. Run: QT_QPA_PLATFORM=offscreen ./bench_panelview
#include "PanelPicture.h"
#include "panel/CPhotoDecoder.h"
#include "panel/CTabletPainter.h"
#include "panel/CTabletPhoto.h"
#include "panel/C_PanelWnd.h"
#include "panel/C_ZorvikDoc.h"
#include "panel/C_ZorvikView.h"

#include <QApplication>
#include <QPainter>
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

std::unique_ptr<Panel> makePanel(int count)
{
    auto panel = std::make_unique<Panel>();
    for (int i = 0; i < count; ++i) {
        const QRect g((i % kColumns) * 168, (i / kColumns) * 96, 168, 96);
        CTablet *t = panel->doc->addTablet(paneltest::lastNames().at(i % paneltest::lastNames().size()),
                                           paneltest::firstNames().at(i % paneltest::firstNames().size()),
                                           QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')), QString::number(i), g);
        paneltest::feed(t, i);
        t->setExpanded(true);
        // A copy of its own, as each tablet reads its photograph from its own database row.
        t->photograph = QByteArray(photographs().at(i % photographs().size()).constData(),
                                   photographs().at(i % photographs().size()).size());
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

void reportMemory(benchmark::State &state, const Panel &panel)
{
    qint64 compressed = 0, cached = 0;
    for (const auto &entry : panel.doc->tablets()) {
        compressed += entry.second->photograph.size();
        cached += panel.view->tabletWindow(entry.second)->photoCacheBytes();
    }
    const double n = panel.doc->tabletCount();
    qint64 pictures = 0;
    for (const auto &entry : panel.doc->tablets())
        pictures += panel.view->tabletWindow(entry.second)->pictureCacheBytes();
    state.counters["photoBytesPerTablet"] = double(compressed) / n;
    state.counters["decodedBytesPerTablet"] = double(cached) / n;
    state.counters["pictureBytesPerTablet"] = double(pictures) / n;
}

// Every tablet painted again with its photograph already decoded (the usual repaint).
void BM_RepaintPanel(benchmark::State &state)
{
    auto panel = makePanel(int(state.range(0)));
    QImage target(panel->used.size(), QImage::Format_RGB32);
    renderCanvas(*panel, target); // first paint decodes
    for (auto _ : state) {
        renderCanvas(*panel, target);
        benchmark::DoNotOptimize(target.constBits());
    }
    reportMemory(state, *panel);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RepaintPanel)->Arg(500)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same repaint when every tablet changed since the last one: each is drawn anew.
void BM_RepaintPanelEveryTabletChanged(benchmark::State &state)
{
    auto panel = makePanel(int(state.range(0)));
    QImage target(panel->used.size(), QImage::Format_RGB32);
    renderCanvas(*panel, target);
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto &entry : panel->doc->tablets())
            entry.second->invalidateAll();
        state.ResumeTiming();
        renderCanvas(*panel, target);
        benchmark::DoNotOptimize(target.constBits());
    }
    reportMemory(state, *panel);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RepaintPanelEveryTabletChanged)->Arg(500)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A scroll by one grid step exposes a strip one tablet high: only the tablets it crosses are
// painted (one row of ten here, against the whole panel above).
void BM_RepaintExposedStrip(benchmark::State &state)
{
    auto panel = makePanel(int(state.range(0)));
    QImage target(panel->used.size(), QImage::Format_RGB32);
    renderCanvas(*panel, target);
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
    std::vector<std::pair<QPoint, QImage>> prepared;
    for (const auto &entry : panel->doc->tablets())
        prepared.emplace_back(entry.second->geometry().topLeft(),
                              panel->view->tabletWindow(entry.second)->grab().toImage());
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

// The first paint of a freshly opened panel: every photograph decoded at the cell's size.
void BM_FirstPaintPanel(benchmark::State &state)
{
    QImage target;
    std::unique_ptr<Panel> panel;
    for (auto _ : state) {
        state.PauseTiming();
        panel.reset();
        panel = makePanel(int(state.range(0)));
        target = QImage(panel->used.size(), QImage::Format_RGB32);
        state.ResumeTiming();
        renderCanvas(*panel, target);
    }
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
    t.photograph = photographs().first();
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
