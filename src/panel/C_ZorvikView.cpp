#include "panel/C_ZorvikView.h"

#include "app/CAppContext.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "dialogs/CD_FindName.h"
#include "dialogs/CPrompt.h"
#include "panel/CPanelGeometry.h"
#include "panel/CTablet.h"
#include "panel/C_PanelCanvas.h"
#include "panel/C_ZorvikDoc.h"
#include "views/CStaleBanner.h"

#include <QAction>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHash>
#include <QLabel>
#include <QPromise>
#include <QScrollBar>
#include <QThreadPool>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const QString kZoomSection = QStringLiteral("Zoom");
constexpr int kFitStored = 0; // what the settings keep for Fit to screen

// Each panel file's zoom while the program runs, where there are no settings to keep it in.
QHash<QString, int> &zoomMemory()
{
    static QHash<QString, int> memory;
    return memory;
}

CSettings *settings()
{
    CAppContext *ctx = CAppContext::current();
    return ctx ? ctx->settings() : nullptr;
}

} // namespace

C_ZorvikView::C_ZorvikView(C_ZorvikDoc *doc, QWidget *parent)
    : QAbstractScrollArea(parent), m_doc(doc), m_zoomLevel(new QLabel(this)), m_banner(new CStaleBanner(this)),
      m_zoomLevelTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("panelView"));
    // Above the panel, never over a tablet: the panel moves down while it shows.
    connect(m_banner, &CStaleBanner::shownChanged, this, &C_ZorvikView::layoutBanner);
    m_canvas = new C_PanelCanvas(doc, &m_background, this);
    connect(m_canvas, &C_PanelCanvas::emptyDoubleClicked, this, &C_ZorvikView::employeesRequested);

    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (QScrollBar *bar : {horizontalScrollBar(), verticalScrollBar()}) {
        // A dragged thumb stops on the grid (of the panel, in the zoomed canvas's pixels).
        connect(bar, &QAbstractSlider::actionTriggered, bar, [this, bar](int action) {
            if (action != QAbstractSlider::SliderMove)
                return;
            const int panel = m_canvas->toPanel(QPoint(bar->sliderPosition(), 0)).x();
            bar->setSliderPosition(m_canvas->toCanvas(QPoint(CPanelGeometry::thumbPosition(panel), 0)).x());
        });
    }

    // The zoom level, shown for a moment over the corner of the panel after each change.
    m_zoomLevel->setObjectName(QStringLiteral("panelZoomLevel"));
    m_zoomLevel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_zoomLevel->setAutoFillBackground(true);
    m_zoomLevel->setBackgroundRole(QPalette::ToolTipBase);
    m_zoomLevel->setForegroundRole(QPalette::ToolTipText);
    m_zoomLevel->setFrameShape(QFrame::Box);
    m_zoomLevel->setMargin(6);
    QFont levelFont = m_zoomLevel->font();
    levelFont.setBold(true);
    levelFont.setPointSizeF(levelFont.pointSizeF() * 1.5);
    m_zoomLevel->setFont(levelFont);
    m_zoomLevel->hide();
    m_zoomLevelTimer->setSingleShot(true);
    m_zoomLevelTimer->setInterval(kZoomLevelShownMs);
    connect(m_zoomLevelTimer, &QTimer::timeout, m_zoomLevel, &QWidget::hide);
    addZoomActions();

    m_background.setTile(doc->tile());
    loadBackground();
    for (CTablet *t : doc->tablets())
        m_canvas->addTablet(t);

    connect(doc, &C_ZorvikDoc::tabletAdded, m_canvas, &C_PanelCanvas::addTablet);
    connect(doc, &C_ZorvikDoc::tabletRemoved, m_canvas, &C_PanelCanvas::removeTablet);
    connect(doc, &C_ZorvikDoc::backgroundChanged, this, &C_ZorvikView::reloadBackground);
    connect(doc, &C_ZorvikDoc::scrollToOriginRequested, this, [this] { setScrollPosition(QPoint(0, 0)); });
    connect(doc, &CDocument::viewsNeedUpdate, m_canvas, &C_PanelCanvas::syncWithDocument);
    // Fit to screen follows the tablets that come and go (once for a batch of them).
    m_refit = new QTimer(this);
    m_refit->setSingleShot(true);
    m_refit->setInterval(0);
    connect(m_refit, &QTimer::timeout, this, &C_ZorvikView::refit);
    connect(doc, &C_ZorvikDoc::tabletAdded, m_refit, qOverload<>(&QTimer::start));
    connect(doc, &C_ZorvikDoc::tabletRemoved, m_refit, qOverload<>(&QTimer::start));
    updateScrollBars();
    if (hasStoredZoom()) {
        const QString key = zoomKey();
        CSettings *s = settings();
        const int stored = s ? s->readInt(kZoomSection, key) : zoomMemory().value(key);
        if (stored == kFitStored)
            fitToScreen();
        else
            applyZoom(stored, QPoint(0, 0), false);
    }
}

void C_ZorvikView::addZoomActions()
{
    // Keys of the panel's window (with its focus) alone, so that they never take a key of the
    // main window; Ctrl+= is Ctrl+plus without the Shift key.
    const struct
    {
        const char *key;
        QList<QKeySequence> keys;
        void (C_ZorvikView::*slot)();
    } zooms[] = {{"zoomIn", {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, &C_ZorvikView::zoomIn},
                 {"zoomOut", {QKeySequence::ZoomOut}, &C_ZorvikView::zoomOut},
                 {"zoomReset", {QKeySequence(Qt::CTRL | Qt::Key_0)}, &C_ZorvikView::resetZoom},
                 {"zoomFit", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)}, &C_ZorvikView::fitToScreen}};
    for (const auto &z : zooms) {
        const QString key = QStringLiteral("panel.") + QLatin1String(z.key);
        auto *a = new QAction(CStringTable::text(key), this);
        a->setObjectName(QStringLiteral("panel.") + QLatin1String(z.key));
        a->setStatusTip(CStringTable::text(key + QStringLiteral(".tip")));
        a->setShortcuts(z.keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, z.slot);
        addAction(a);
    }
}

C_ZorvikView::~C_ZorvikView()
{
    // A new panel may have been saved meanwhile; a panel only looked at keeps no zoom of its own
    // (a wall display opens it fitted then).
    if (m_fit || m_zoom != 100 || hasStoredZoom())
        rememberZoom();
}

QString C_ZorvikView::zoomKey() const
{
    // A panel not saved yet has no file to know it by when it opens again.
    return m_doc && !m_doc->pathName().isEmpty() ? QFileInfo(m_doc->pathName()).absoluteFilePath() : QString();
}

bool C_ZorvikView::hasStoredZoom() const
{
    const QString key = zoomKey();
    if (key.isEmpty())
        return false;
    CSettings *s = settings();
    return s ? s->contains(kZoomSection, key) : zoomMemory().contains(key);
}

void C_ZorvikView::rememberZoom() const
{
    const QString key = zoomKey();
    if (key.isEmpty())
        return;
    const int value = m_fit ? kFitStored : m_zoom;
    if (CSettings *s = settings()) {
        // Only a change is written: a panel shown as it was costs the settings file nothing.
        if (!s->contains(kZoomSection, key) || s->readInt(kZoomSection, key) != value)
            s->writeInt(kZoomSection, key, value);
    } else {
        zoomMemory().insert(key, value);
    }
}

QPoint C_ZorvikView::gridScroll(const QPointF &panel) const
{
    const int g = CPanelGeometry::kGrid;
    auto onGrid = [g](qreal v) { return qMax(0, int(std::lround(v / g)) * g); };
    return m_canvas->toCanvas(QPoint(onGrid(panel.x()), onGrid(panel.y())));
}

void C_ZorvikView::setZoom(int percent, QPoint anchor)
{
    if (m_fit) {
        m_fit = false;
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_canvas->update(); // names drawn on one line again
    }
    applyZoom(percent, anchor, true);
    rememberZoom();
}

QRect C_ZorvikView::fitExtent() const
{
    QRect extent;
    if (m_doc)
        for (CTablet *t : m_doc->tablets())
            extent = extent.united(t->geometry());
    if (extent.isEmpty())
        return extent;
    // Half a grid step of room round the tablets, within the canvas.
    const int margin = CPanelGeometry::kGrid / 2;
    return extent.adjusted(-margin, -margin, margin, margin) &
           QRect(0, 0, CPanelGeometry::kCanvasSize, CPanelGeometry::kCanvasSize);
}

int C_ZorvikView::fitPercent(const QRect &extent) const
{
    if (extent.isEmpty())
        return 100;
    const QSize room = viewport()->size();
    const qreal scale = qMin(qreal(room.width()) / extent.width(), qreal(room.height()) / extent.height());
    return int(std::floor(scale * 100));
}

int C_ZorvikView::fitZoom() const
{
    return std::clamp(fitPercent(fitExtent()), kZoomSteps[0], kZoomSteps[std::size(kZoomSteps) - 1]);
}

void C_ZorvikView::fitToScreen()
{
    const bool was = m_fit;
    m_fit = true;
    refit();
    if (!was)
        m_canvas->update(); // long names wrap now
    rememberZoom();
}

void C_ZorvikView::refit()
{
    if (!m_fit || !m_doc)
        return;
    // The whole panel is in sight: no scroll bars take room from it. A panel too large even at
    // the smallest zoom keeps them.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QRect extent = fitExtent();
    if (fitPercent(extent) < kZoomSteps[0]) {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    applyZoom(fitZoom(), QPoint(0, 0), false);
    setScrollPosition(m_canvas->toCanvas(extent.topLeft()));
}

void C_ZorvikView::applyZoom(int percent, QPoint anchor, bool showLevel)
{
    percent = std::clamp(percent, kZoomSteps[0], kZoomSteps[std::size(kZoomSteps) - 1]);
    if (percent == m_zoom)
        return;
    // By default the top-left corner of what is in sight stays put: a board set up from the
    // canvas's corner keeps its corner on screen, as a page does in a browser.
    if (anchor.x() < 0 || anchor.y() < 0)
        anchor = QPoint(0, 0);
    const qreal oldScale = m_canvas->scale(), scale = percent / 100.0;
    const QPointF panelAnchor = QPointF(scrollPosition() + anchor) / oldScale;
    m_zoom = percent;
    m_canvas->setScale(scale);
    updateScrollBars();
    setScrollPosition(gridScroll(panelAnchor - QPointF(anchor) / scale));
    m_canvas->move(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    // The banner over the panel grows with it, to be read wherever the panel is.
    m_banner->setScale(percent / 100.0);
    layoutBanner();
    emit zoomChanged(percent);
    if (!showLevel)
        return;
    m_zoomLevel->setText(CStringTable::text(QStringLiteral("panel.zoomLevel")).arg(percent));
    m_zoomLevel->adjustSize();
    const QRect port = viewport()->geometry();
    m_zoomLevel->move(port.right() - m_zoomLevel->width() - 8, port.top() + 8);
    m_zoomLevel->raise();
    m_zoomLevel->show();
    m_zoomLevelTimer->start();
}

int C_ZorvikView::nextZoom(bool in) const
{
    if (in) {
        const auto next = std::upper_bound(std::begin(kZoomSteps), std::end(kZoomSteps), m_zoom);
        return next != std::end(kZoomSteps) ? *next : m_zoom;
    }
    const auto at = std::lower_bound(std::begin(kZoomSteps), std::end(kZoomSteps), m_zoom);
    return at != std::begin(kZoomSteps) ? *(at - 1) : m_zoom;
}

void C_ZorvikView::zoomIn()
{
    setZoom(nextZoom(true));
}

void C_ZorvikView::zoomOut()
{
    setZoom(nextZoom(false));
}

void C_ZorvikView::resetZoom()
{
    setZoom(100);
}

void C_ZorvikView::reveal(const CTablet *t)
{
    if (!t)
        return;
    const QRect r = tabletRect(t);
    const QRect seen(scrollPosition(), viewport()->size());
    if (seen.contains(r))
        return;
    // Centred; a tablet larger than the visible area shows its top-left corner.
    QPoint corner = r.center() - QPoint(seen.width() / 2, seen.height() / 2);
    if (r.width() > seen.width())
        corner.setX(r.left());
    if (r.height() > seen.height())
        corner.setY(r.top());
    setScrollPosition(gridScroll(QPointF(corner) / m_canvas->scale()));
}

QPoint C_ZorvikView::scrollPosition() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void C_ZorvikView::setScrollPosition(const QPoint &pos)
{
    horizontalScrollBar()->setValue(pos.x());
    verticalScrollBar()->setValue(pos.y());
}

bool C_ZorvikView::canPrint() const
{
    return m_doc && m_doc->tabletCount() > 0;
}

QRect C_ZorvikView::tabletRect(const CTablet *t) const
{
    return m_canvas->toCanvas(t->geometry());
}

QPoint C_ZorvikView::visiblePosition(const CTablet *t) const
{
    return tabletRect(t).topLeft() + m_canvas->pos();
}

void C_ZorvikView::reloadBackground()
{
    if (!m_doc)
        return;
    // The picture is read again only when the path or the use of it is set anew.
    if (m_doc->imagePath() != m_background.path() || m_doc->useImage() != m_background.useImage())
        loadBackground();
    m_background.setTile(m_doc->tile());
    m_canvas->update();
}

void C_ZorvikView::loadBackground()
{
    const QString path = m_doc->imagePath();
    if (!m_background.choose(path, m_doc->useImage()))
        return;
    // Decoded on a thread of the pool (a large picture takes a while and much memory) and shown
    // when it arrives, unless the view is gone or another picture was chosen meanwhile.
    auto promise = std::make_shared<QPromise<QImage>>();
    auto *watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path] {
        if (watcher->future().resultCount() > 0)
            m_background.setLoaded(path, watcher->result());
        watcher->deleteLater();
        m_canvas->update();
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, path] {
        promise->addResult(CPanelBackground::load(path));
        promise->finish();
    });
}

void C_ZorvikView::updateScrollBars()
{
    const QSize vp = viewport()->size();
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    h->setRange(0, qMax(0, m_canvas->width() - vp.width()));
    h->setPageStep(vp.width());
    v->setRange(0, qMax(0, m_canvas->height() - vp.height()));
    v->setPageStep(vp.height());
    // One grid step of the panel, however large the zoom draws it.
    const int step = m_canvas->toCanvas(QPoint(CPanelGeometry::kGrid, 0)).x();
    h->setSingleStep(step);
    v->setSingleStep(step);
}

void C_ZorvikView::layoutBanner()
{
    const QRect inside = contentsRect();
    const int height = m_banner->isVisibleTo(this) ? m_banner->heightForWidth(inside.width()) : 0;
    m_banner->setGeometry(inside.left(), inside.top(), inside.width(), height);
    if (viewportMargins().top() == height)
        return;
    setViewportMargins(0, height, 0, 0);
    updateScrollBars();
    if (m_fit)
        m_refit->start();
}

void C_ZorvikView::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    layoutBanner();
    updateScrollBars();
    if (m_fit)
        m_refit->start();
}

void C_ZorvikView::scrollContentsBy(int, int)
{
    m_canvas->move(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

void C_ZorvikView::wheelEvent(QWheelEvent *e)
{
    const QPoint d = e->angleDelta();
    // One grid line per wheel step; with a key or a mouse button held, sideways (Ctrl too: the
    // zoom has its keys).
    m_wheelRemainder += d.y() != 0 ? d.y() : d.x();
    const bool sideways = e->modifiers() != Qt::NoModifier || e->buttons() != Qt::NoButton;
    QScrollBar *bar = sideways ? horizontalScrollBar() : verticalScrollBar();
    while (qAbs(m_wheelRemainder) >= 120) {
        const bool back = m_wheelRemainder > 0;
        bar->triggerAction(back ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
        m_wheelRemainder += back ? -120 : 120;
    }
    e->accept();
}

void C_ZorvikView::expandAll()
{
    if (!m_doc)
        return;
    m_doc->expandAll();
}

void C_ZorvikView::collapseAll()
{
    if (!m_doc)
        return;
    m_doc->collapseAll();
}

void C_ZorvikView::arrangeHorizontally()
{
    if (!m_doc)
        return;
    // The rows fill the part of the panel in sight, whatever the zoom.
    m_doc->arrangeHorizontally(int(viewport()->width() / m_canvas->scale()));
}

void C_ZorvikView::arrangeVertically()
{
    if (!m_doc)
        return;
    m_doc->arrangeVertically(int(viewport()->height() / m_canvas->scale()));
}

void C_ZorvikView::find()
{
    if (!m_doc)
        return;
    CD_FindName dlg(this);
    if (dlg.run() != QDialog::Accepted)
        return;
    const QString last = dlg.lastName(), first = dlg.firstName();
    if (last.isEmpty() && first.isEmpty())
        return;
    m_doc->find(last, first);
    const QList<CTablet *> found = m_doc->selectedTablets();
    if (found.isEmpty()) {
        const QString wanted = QStringList{last, first}.join(u' ').trimmed();
        CPrompt::message(this, CStringTable::text(QStringLiteral("panel.findNone")).arg(wanted));
        return;
    }
    // All found stay selected; the first, reading the panel as a page, is shown and flashed.
    CTablet *shown = *std::min_element(found.cbegin(), found.cend(), [](const CTablet *a, const CTablet *b) {
        const QRect ga = a->geometry(), gb = b->geometry();
        return std::pair(ga.top(), ga.left()) < std::pair(gb.top(), gb.left());
    });
    reveal(shown);
    m_canvas->flash(shown);
}

void C_ZorvikView::removeAll()
{
    if (!m_doc)
        return;
    const auto answer = CPrompt::message(this, S(1079), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                         QMessageBox::Question);
    if (answer == QMessageBox::Yes)
        m_doc->removeAll();
}
