#include "panel/C_PanelCanvas.h"

#include "app/CAppContext.h"
#include "app/CPlainText.h"
#include "app/CStringTable.h"
#include "db/CReferenceData.h"
#include "panel/CPanelAccessible.h"
#include "panel/CPanelBackground.h"
#include "panel/CPanelGeometry.h"
#include "panel/CPanelNavigation.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"
#include "panel/C_ZorvikView.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRubberBand>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

CTabletPainter::Look systemLook(const QWidget *w)
{
    const int icon = w->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, w);
    return CTabletPainter::Look::fromPalette(w->palette(), QApplication::font(), icon);
}

// A photograph the database could not give is asked for again after this long.
constexpr qint64 kPhotoRetryMs = 30000;

} // namespace

const QColor C_PanelCanvas::kFlashColour(255, 136, 0);

// The two timers of a hover peek, only while the mouse is on (or has just left) a tablet.
struct C_PanelCanvas::Hover : QObject
{
    explicit Hover(QObject *parent) : QObject(parent) {}
    QTimer delay;
    QTimer check;
};

C_PanelCanvas::C_PanelCanvas(C_ZorvikDoc *doc, const CPanelBackground *background, C_ZorvikView *view)
    : QWidget(view->viewport()), m_doc(doc), m_background(background), m_view(view), m_painter(systemLook(this)),
      m_photos(new CPhotoLoader(this)), m_rubberBand(new QRubberBand(QRubberBand::Rectangle, this)),
      m_flash(new QVariantAnimation(this))
{
    setObjectName(QStringLiteral("panelCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    CPanelAccessible::install();
    setMouseTracking(true);
    m_clock.start();
    m_bucketsPerSide = (CPanelGeometry::kCanvasSize + kBucket - 1) / kBucket;
    m_buckets.resize(size_t(m_bucketsPerSide) * size_t(m_bucketsPerSide));
    resize(toCanvas(QRect(0, 0, CPanelGeometry::kCanvasSize, CPanelGeometry::kCanvasSize)).size());
    connect(m_photos, &CPhotoLoader::ready, this, &C_PanelCanvas::photographReady);
    m_flash->setStartValue(0.0);
    m_flash->setEndValue(1.0);
    m_flash->setDuration(kFlashMs);
    connect(m_flash, &QVariantAnimation::valueChanged, this, &C_PanelCanvas::flashStep);
    connect(m_flash, &QVariantAnimation::finished, this, &C_PanelCanvas::flashStep);
    if (doc) {
        connect(doc, &C_ZorvikDoc::tabletGeometryChanged, this, &C_PanelCanvas::moved);
        connect(doc, &C_ZorvikDoc::tabletRaised, this, [this](CTablet *t) { restack(t, true); });
        connect(doc, &C_ZorvikDoc::tabletLowered, this, [this](CTablet *t) { restack(t, false); });
        connect(doc, &C_ZorvikDoc::tabletChanged, this, &C_PanelCanvas::changed);
        // A document that goes before its view takes its tablets with it.
        connect(doc, &QObject::destroyed, this, [this] {
            qDeleteAll(m_hovers);
            m_hovers.clear();
            for (const unsigned id : std::as_const(m_accessible))
                QAccessible::deleteAccessibleInterface(id);
            m_accessible.clear();
            m_order.clear();
            m_orderValid = true;
            qDeleteAll(m_items);
            m_items.clear();
            m_cached.clear();
            for (Bucket &b : m_buckets)
                b.clear();
            m_dragged = m_current = m_flashed = nullptr;
            m_flash->stop();
            update();
        });
    }
}

C_PanelCanvas::~C_PanelCanvas()
{
    for (const unsigned id : std::as_const(m_accessible))
        QAccessible::deleteAccessibleInterface(id);
    qDeleteAll(m_items);
}

QRect C_PanelCanvas::toCanvas(const QRect &panel) const
{
    if (m_scale == 1.0)
        return panel;
    const int left = int(std::floor(panel.x() * m_scale)), top = int(std::floor(panel.y() * m_scale));
    const int right = int(std::floor((panel.x() + panel.width()) * m_scale));
    const int bottom = int(std::floor((panel.y() + panel.height()) * m_scale));
    return QRect(left, top, right - left, bottom - top);
}

QPoint C_PanelCanvas::toCanvas(const QPoint &panel) const
{
    if (m_scale == 1.0)
        return panel;
    return QPoint(int(std::floor(panel.x() * m_scale)), int(std::floor(panel.y() * m_scale)));
}

void C_PanelCanvas::setScale(qreal scale)
{
    if (scale <= 0 || scale == m_scale)
        return;
    // A band being drawn was anchored in the old pixels.
    if (m_banding) {
        m_banding = false;
        m_rubberBand->hide();
        m_band = QRect();
    }
    m_scale = scale;
    resize(toCanvas(QRect(0, 0, CPanelGeometry::kCanvasSize, CPanelGeometry::kCanvasSize)).size());
    flashStep();
    update();
}

QPoint C_PanelCanvas::toPanel(const QPoint &canvas) const
{
    if (m_scale == 1.0)
        return canvas;
    return QPoint(int(std::floor(canvas.x() / m_scale)), int(std::floor(canvas.y() / m_scale)));
}

QRect C_PanelCanvas::bucketRange(const QRect &panel) const
{
    const int last = m_bucketsPerSide - 1;
    auto index = [last](int v) { return std::clamp(v < 0 ? 0 : v / kBucket, 0, last); };
    return QRect(QPoint(index(panel.left()), index(panel.top())), QPoint(index(panel.right()), index(panel.bottom())));
}

void C_PanelCanvas::place(C_PanelWnd *item, const QRect &panel)
{
    const QRect r = bucketRange(panel);
    for (int by = r.top(); by <= r.bottom(); ++by)
        for (int bx = r.left(); bx <= r.right(); ++bx)
            m_buckets[size_t(by) * size_t(m_bucketsPerSide) + size_t(bx)].push_back(item);
}

void C_PanelCanvas::unplace(C_PanelWnd *item, const QRect &panel)
{
    const QRect r = bucketRange(panel);
    for (int by = r.top(); by <= r.bottom(); ++by)
        for (int bx = r.left(); bx <= r.right(); ++bx) {
            Bucket &b = m_buckets[size_t(by) * size_t(m_bucketsPerSide) + size_t(bx)];
            const auto it = std::find(b.begin(), b.end(), item);
            if (it != b.end()) {
                *it = b.back();
                b.pop_back();
            }
        }
}

void C_PanelCanvas::addTablet(CTablet *t)
{
    if (m_items.contains(t))
        return;
    auto *item = new C_PanelWnd(t);
    item->m_z = ++m_top; // a new tablet comes on top
    m_items.insert(t, item);
    m_orderValid = false;
    place(item, t->geometry());
    repaint(t->geometry());
}

void C_PanelCanvas::removeTablet(CTablet *t)
{
    C_PanelWnd *item = m_items.take(t);
    if (!item)
        return;
    unplace(item, t->geometry());
    m_cached.remove(item);
    forgetTablet(t);
    disarmHover(t);
    if (m_dragged == t)
        m_dragged = nullptr;
    if (m_flashed == t) {
        m_flashed = nullptr;
        m_flash->stop();
        flashStep();
    }
    repaint(t->geometry());
    delete item;
}

void C_PanelCanvas::syncWithDocument()
{
    if (m_doc)
        for (CTablet *t : m_doc->tablets())
            addTablet(t);
    update();
}

void C_PanelCanvas::moved(CTablet *t, const QRect &old)
{
    C_PanelWnd *item = m_items.value(t);
    if (!item)
        return;
    unplace(item, old);
    place(item, t->geometry());
    m_orderValid = false;
    // The focus ring lies just outside the tablet.
    const int ring = t == m_current ? 3 : 0;
    repaint(old.adjusted(-ring, -ring, ring, ring));
    repaint(t->geometry().adjusted(-ring, -ring, ring, ring));
}

void C_PanelCanvas::restack(CTablet *t, bool top)
{
    C_PanelWnd *item = m_items.value(t);
    if (!item)
        return;
    item->m_z = top ? ++m_top : --m_bottom;
    repaint(t->geometry());
}

void C_PanelCanvas::changed(CTablet *t)
{
    if (C_PanelWnd *item = m_items.value(t)) {
        ++item->m_generation;
        repaint(t->geometry());
    }
}

QList<QRect> C_PanelCanvas::uncovered(const QRect &panel, const std::vector<C_PanelWnd *> &shown) const
{
    // Grid cells wholly under a tablet (tablets are opaque) are left out; what remains goes as
    // runs of cells along each row of cells, a run that continues one of the row above growing
    // into a rectangle.
    const int g = CPanelGeometry::kGrid;
    auto cellOf = [g](int v) { return v >= 0 ? v / g : -((-v + g - 1) / g); };
    const int c0 = cellOf(panel.left()), c1 = cellOf(panel.right());
    const int r0 = cellOf(panel.top()), r1 = cellOf(panel.bottom());
    const int columns = c1 - c0 + 1, rows = r1 - r0 + 1;
    std::vector<char> covered(size_t(columns) * size_t(rows), 0);
    for (const C_PanelWnd *item : shown) {
        const QRect t = item->m_tablet->geometry();
        const int x0 = std::max(c0, cellOf(t.left() + g - 1)), x1 = std::min(c1, cellOf(t.x() + t.width()) - 1);
        const int y0 = std::max(r0, cellOf(t.top() + g - 1)), y1 = std::min(r1, cellOf(t.y() + t.height()) - 1);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                covered[size_t(y - r0) * size_t(columns) + size_t(x - c0)] = 1;
    }
    QList<QRect> done, open;
    for (int y = 0; y < rows; ++y) {
        QList<QRect> next;
        for (int x = 0; x < columns;) {
            if (covered[size_t(y) * size_t(columns) + size_t(x)]) {
                ++x;
                continue;
            }
            int end = x;
            while (end + 1 < columns && !covered[size_t(y) * size_t(columns) + size_t(end + 1)])
                ++end;
            const QRect cells(QPoint(x, y), QPoint(end, y));
            const auto same = std::find_if(open.begin(), open.end(), [&](const QRect &o) {
                return o.left() == cells.left() && o.right() == cells.right();
            });
            if (same != open.end()) {
                next << QRect(same->topLeft(), cells.bottomRight());
                open.erase(same);
            } else {
                next << cells;
            }
            x = end + 1;
        }
        done << open;
        open = next;
    }
    done << open;
    QList<QRect> out;
    for (const QRect &cells : std::as_const(done))
        out << (QRect(QPoint((c0 + cells.left()) * g, (r0 + cells.top()) * g),
                      QPoint((c0 + cells.right() + 1) * g - 1, (r0 + cells.bottom() + 1) * g - 1)) &
                panel);
    return out;
}

QRect C_PanelCanvas::visiblePanelRect() const
{
    const QWidget *port = parentWidget();
    const QRect visible(-pos(), port ? port->size() : size());
    return QRect(toPanel(visible.topLeft()), toPanel(visible.bottomRight() + QPoint(1, 1)) - QPoint(1, 1))
        .adjusted(-1, -1, 1, 1);
}

void C_PanelCanvas::repaint(const QRect &panel)
{
    // A pass may change every tablet of a large panel: only those in sight ask for a paint.
    if (isVisible() && panel.intersects(visiblePanelRect()))
        update(toCanvas(panel));
}

C_PanelWnd *C_PanelCanvas::itemAt(const QPoint &canvasPos) const
{
    const QPoint p = toPanel(canvasPos);
    const QRect r = bucketRange(QRect(p, QSize(1, 1)));
    const Bucket &b = m_buckets[size_t(r.top()) * size_t(m_bucketsPerSide) + size_t(r.left())];
    C_PanelWnd *found = nullptr;
    for (C_PanelWnd *item : b)
        if (item->m_tablet && item->m_tablet->geometry().contains(p) && (!found || item->m_z > found->m_z))
            found = item;
    return found;
}

CTablet *C_PanelCanvas::tabletAt(const QPoint &canvasPos) const
{
    C_PanelWnd *item = itemAt(canvasPos);
    return item ? item->tablet() : nullptr;
}

QList<CTablet *> C_PanelCanvas::zOrder() const
{
    QList<C_PanelWnd *> items = m_items.values();
    std::sort(items.begin(), items.end(), [](const C_PanelWnd *a, const C_PanelWnd *b) { return a->m_z < b->m_z; });
    QList<CTablet *> out;
    for (C_PanelWnd *item : std::as_const(items))
        out << item->tablet();
    return out;
}

qsizetype C_PanelCanvas::cacheBytes() const
{
    qsizetype n = 0;
    for (const C_PanelWnd *item : m_cached)
        n += item->pictureCacheBytes() + item->photoCacheBytes();
    return n;
}

void C_PanelCanvas::buildLook()
{
    m_painter = CTabletPainter(systemLook(this));
    ++m_lookGeneration;
    update();
}

void C_PanelCanvas::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::StyleChange)
        buildLook();
    QWidget::changeEvent(e);
}

void C_PanelCanvas::hideEvent(QHideEvent *e)
{
    // A hidden panel keeps no pictures: they are made again at the next paint.
    for (C_PanelWnd *item : std::as_const(m_cached))
        if (item->m_cache)
            item->m_cache->picture = QPixmap();
    QWidget::hideEvent(e);
}

void C_PanelCanvas::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    const QRect exposed = e->rect();
    const QColor base = m_background->coversCanvas() ? QColor() : palette().color(QPalette::Base);
    const QRect panel(toPanel(exposed.topLeft()), toPanel(exposed.bottomRight() + QPoint(1, 1)) - QPoint(1, 1));

    // The tablets that reach into the exposed rectangle, bottom first.
    ++m_paintStamp;
    std::vector<C_PanelWnd *> shown;
    const QRect r = bucketRange(panel);
    for (int by = r.top(); by <= r.bottom(); ++by)
        for (int bx = r.left(); bx <= r.right(); ++bx)
            for (C_PanelWnd *item : m_buckets[size_t(by) * size_t(m_bucketsPerSide) + size_t(bx)])
                if (item->m_paintStamp != m_paintStamp && item->m_tablet &&
                    toCanvas(item->m_tablet->geometry()).intersects(exposed)) {
                    item->m_paintStamp = m_paintStamp;
                    shown.push_back(item);
                }
    std::sort(shown.begin(), shown.end(), [](const C_PanelWnd *a, const C_PanelWnd *b) { return a->m_z < b->m_z; });

    // The background only where no tablet hides it. The scroll ranges end one pixel short of the
    // canvas size. The grid takes the 3D-light colour of Windows, which is Qt's Midlight (Qt's
    // Light is the white highlight edge and would vanish on a white background).
    const int rangeEnd = CPanelGeometry::kCanvasSize - 1;
    const QColor gridColour = palette().color(QPalette::Midlight);
    const QFont labelFont = QApplication::font();
    p.save();
    p.scale(m_scale, m_scale);
    for (const QRect &part : uncovered(panel, shown)) {
        p.setClipRect(part);
        m_background->paint(p, part, rangeEnd, rangeEnd, gridColour, labelFont, base);
    }
    p.restore();

    CTabletPainter::Context ctx;
    if (CAppContext *app = CAppContext::current()) {
        ctx.nameFormat = app->nameFormat;
        if (app->reference()) {
            ctx.colours = &app->reference()->activityColourMap;
            ctx.codes = &app->reference()->activityCodeMap;
        }
    }
    ctx.decodePhotos = false; // decoded on the photo loader's thread
    ctx.photoScale = photoScale();
    ctx.wrapNames = m_view->isFitToScreen();
    for (C_PanelWnd *item : shown)
        paintItem(p, item, ctx);
    if (m_flashDrawn.intersects(exposed))
        paintFlash(p);
    paintFocus(p);
    p.end();
    trimCaches();
}

void C_PanelCanvas::paintItem(QPainter &p, C_PanelWnd *item, const CTabletPainter::Context &ctx)
{
    CTablet *t = item->m_tablet;
    const QRect place = toCanvas(t->geometry());
    const QSize size = t->geometry().size();
    C_PanelWnd::PictureKey key;
    key.size = size;
    key.pixelRatio = devicePixelRatioF();
    key.scale = m_scale;
    key.nameFormat = ctx.nameFormat;
    key.wrapNames = ctx.wrapNames;
    key.dot = CTabletPainter::dotColour(*t, ctx).rgba();
    key.selected = t->isSelected();
    key.stale = t->isStale();
    key.illegal = t->isIllegal();
    key.expanded = t->isExpanded();
    key.photoData = t->photograph().constData();
    key.photoSize = t->photograph().size();
    key.generation = item->m_generation + (m_lookGeneration << 40);
    C_PanelWnd::Cache &c = item->cache();
    if (c.picture.isNull() || !(key == c.key)) {
        // Drawn once per change; every other repaint (scrolling, uncovering, a pass that changed
        // nothing) only copies these pixels.
        if (c.picture.isNull() || key.size != c.key.size || key.pixelRatio != c.key.pixelRatio ||
            key.scale != c.key.scale) {
            c.picture = QPixmap(place.size() * key.pixelRatio);
            c.picture.setDevicePixelRatio(key.pixelRatio);
        }
        // Zoomed, the one-pixel edge lines leave the last device row and column to nobody: they
        // take the colour of the outer edge instead of whatever the new pixmap held.
        if (m_scale != 1.0)
            c.picture.fill(m_painter.look().shadow);
        QPainter cp(&c.picture);
        cp.scale(m_scale, m_scale);
        m_painter.paint(cp, *t, size, ctx, &c.photo);
        c.key = key;
        ++item->m_drawCount;
    }
    keepCached(item);
    p.drawPixmap(place.topLeft(), c.picture);
    askForPhotograph(item, size);
}

void C_PanelCanvas::askForPhotograph(C_PanelWnd *item, const QSize &size)
{
    CTablet *t = item->m_tablet;
    // Only a tablet shown with its details shows the photograph.
    if (size.height() <= CPanelGeometry::kCollapsedHeight + 1)
        return;
    const QRect cell = CTabletPainter::photoCell(size);
    if (m_photos->isPending(t->employeeId) ||
        item->cache().photo.cached(t->photograph(), cell, nullptr, nullptr, photoScale()))
        return;
    if (t->photograph().isEmpty()) {
        if (item->m_noPhoto)
            return;
        if (item->m_photoFailedAt >= 0 && m_clock.elapsed() - item->m_photoFailedAt < kPhotoRetryMs)
            return;
    }
    m_photos->request(t->employeeId, t->photograph(), cell, photoScale());
}

void C_PanelCanvas::photographReady(const CPhotoLoader::Result &r)
{
    CTablet *t = m_doc ? m_doc->tablet(r.employeeId) : nullptr;
    C_PanelWnd *item = t ? m_items.value(t) : nullptr;
    if (!item)
        return;
    if (r.failed) {
        item->m_photoFailedAt = m_clock.elapsed();
        return;
    }
    if (r.fetched) {
        if (!t->photograph().isEmpty())
            return; // someone gave the tablet its bytes meanwhile: those are decoded next
        t->setPhotograph(r.bytes);
        item->m_photoFetched = !r.bytes.isEmpty();
        item->m_noPhoto = r.bytes.isEmpty();
    } else if (t->photograph().constData() != r.bytes.constData()) {
        return; // the bytes changed meanwhile
    }
    item->cache().photo.setDecoded(t->photograph(), r.cell, r.image, r.target, r.scale);
    keepCached(item);
    ++item->m_generation;
    repaint(t->geometry());
}

void C_PanelCanvas::keepCached(C_PanelWnd *item)
{
    if (!item->m_cached) {
        item->m_cached = true;
        m_cached.insert(item);
    }
}

void C_PanelCanvas::trimCaches()
{
    qsizetype bytes = cacheBytes();
    if (bytes <= m_cacheBudget)
        return;
    // The tablets shown longest ago go first; those of this paint stay.
    std::vector<C_PanelWnd *> items(m_cached.cbegin(), m_cached.cend());
    std::sort(items.begin(), items.end(),
              [](const C_PanelWnd *a, const C_PanelWnd *b) { return a->m_paintStamp < b->m_paintStamp; });
    for (C_PanelWnd *item : items) {
        if (bytes <= m_cacheBudget * 3 / 4 || item->m_paintStamp == m_paintStamp)
            break;
        bytes -= item->pictureCacheBytes() + item->photoCacheBytes();
        item->dropCaches();
        item->m_cached = false;
        m_cached.remove(item);
    }
}

bool C_PanelCanvas::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(e);
        if (C_PanelWnd *item = itemAt(help->pos())) {
            CAppContext *app = CAppContext::current();
            const CTablet *t = item->m_tablet;
            // The name, and in words what the clock and the warning triangle mean.
            QString tip = t->displayName(app ? int(app->nameFormat) : 0);
            if (t->isStale())
                tip += u'\n' + CStringTable::text(QStringLiteral("tablet.staleTip"));
            if (t->isIllegal())
                tip += u'\n' + CStringTable::text(QStringLiteral("tablet.illegalTip"));
            QToolTip::showText(help->globalPos(), CPlainText::toolTip(tip), this, toCanvas(t->geometry()));
        } else {
            QToolTip::hideText();
            e->ignore();
        }
        return true;
    }
    return QWidget::event(e);
}

void C_PanelCanvas::mousePressEvent(QMouseEvent *e)
{
    if (!m_doc)
        return;
    const QPoint at = e->position().toPoint();
    if (m_ringShown && m_current) {
        m_ringShown = false;
        repaint(m_current->geometry().adjusted(-3, -3, 3, 3));
    }
    if (C_PanelWnd *item = itemAt(at)) {
        CTablet *t = item->m_tablet;
        if (e->button() == Qt::MiddleButton) {
            t->lower();
            return;
        }
        if (e->button() != Qt::LeftButton)
            return; // the right button does nothing on a tablet
        if (e->modifiers() & Qt::ControlModifier)
            t->setSelected(!t->isSelected());
        else if (!t->isSelected())
            m_doc->clearSelection();
        t->raise();
        item->m_buttonUp = false;
        m_dragged = t;
        setCursor(Qt::SizeAllCursor);
        m_grab = toPanel(at) - t->geometry().topLeft();
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    m_doc->clearSelection();
    m_banding = true;
    m_anchor = at;
    m_band = QRect();
}

void C_PanelCanvas::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_doc)
        return;
    const QPoint at = e->position().toPoint();
    if (m_dragged) {
        if (C_PanelWnd *item = m_items.value(m_dragged))
            armHover(item);
        if (!(e->buttons() & Qt::LeftButton))
            return;
        CTablet *t = m_dragged;
        const QPoint scroll = toPanel(m_view->scrollPosition());
        const QPoint cursorClient = toPanel(at) - scroll;
        const QPoint target = CPanelGeometry::dragTarget(cursorClient, m_grab, scroll) + scroll;
        const QPoint old = t->geometry().topLeft();
        if (target == old)
            return;
        t->moveTo(target);
        m_doc->setModified(true);
        if (!t->isSelected())
            return;
        const QPoint delta = target - old;
        for (CTablet *other : m_doc->selectedTablets()) {
            if (other == t)
                continue;
            const QPoint movedTo = other->geometry().topLeft() + delta;
            if (CPanelGeometry::followerFits(movedTo - scroll))
                other->moveTo(movedTo);
        }
        return;
    }
    if (m_banding) {
        m_band = QRect(m_anchor, at).normalized();
        m_rubberBand->setGeometry(m_band);
        m_rubberBand->raise();
        m_rubberBand->show();
        return;
    }
    if (C_PanelWnd *item = itemAt(at))
        armHover(item);
}

void C_PanelCanvas::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (m_dragged) {
        if (C_PanelWnd *item = m_items.value(m_dragged))
            item->m_buttonUp = true;
        m_dragged = nullptr;
        setCursor(Qt::ArrowCursor);
        return;
    }
    if (!m_banding || !m_doc)
        return;
    m_banding = false;
    m_rubberBand->hide();
    // Band edges are the anchor and the cursor; a tablet's right and bottom are exclusive.
    const QPoint end = e->position().toPoint();
    const QPoint a = toPanel(m_anchor), b = toPanel(end);
    const int left = qMin(a.x(), b.x()), right = qMax(a.x(), b.x());
    const int top = qMin(a.y(), b.y()), bottom = qMax(a.y(), b.y());
    for (CTablet *t : m_doc->tablets()) {
        const QRect g = t->geometry();
        if (g.left() >= left && g.top() >= top && g.x() + g.width() <= right && g.y() + g.height() <= bottom)
            t->setSelected(true);
    }
    m_band = QRect();
}

void C_PanelCanvas::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !m_doc)
        return;
    C_PanelWnd *item = itemAt(e->position().toPoint());
    if (!item) {
        emit emptyDoubleClicked();
        return;
    }
    // Not a second press: the first one already selected and grabbed.
    CTablet *t = item->m_tablet;
    t->setExpanded(!t->isExpanded());
    t->setExpandedSize(t->isExpanded());
    m_doc->setModified(true);
}

bool C_PanelCanvas::cursorInside(const CTablet *t) const
{
    return toCanvas(t->geometry()).contains(mapFromGlobal(QCursor::pos()));
}

void C_PanelCanvas::armHover(C_PanelWnd *item)
{
    if (item->m_hoverArmed)
        return;
    CTablet *t = item->m_tablet;
    item->m_hoverArmed = true;
    auto *h = new Hover(this);
    h->delay.setSingleShot(true);
    h->delay.setInterval(C_ZorvikView::kHoverDelayMs);
    h->check.setInterval(C_ZorvikView::kHoverCheckMs);
    connect(&h->delay, &QTimer::timeout, this, [this, t] { hoverDelayElapsed(t); });
    connect(&h->check, &QTimer::timeout, this, [this, t] { hoverCheck(t); });
    m_hovers.insert(t, h);
    h->delay.start();
}

void C_PanelCanvas::hoverDelayElapsed(CTablet *t)
{
    Hover *h = m_hovers.value(t);
    C_PanelWnd *item = m_items.value(t);
    if (!h || !item || !item->m_tablet)
        return;
    h->delay.stop();
    h->check.start();
    if (cursorInside(t) && item->m_buttonUp && !t->isExpanded())
        t->setExpandedSize(true);
}

void C_PanelCanvas::hoverCheck(CTablet *t)
{
    if (!m_items.contains(t) || cursorInside(t))
        return;
    disarmHover(t);
    if (!t->isExpanded())
        t->setExpandedSize(false);
}

void C_PanelCanvas::disarmHover(CTablet *t)
{
    if (C_PanelWnd *item = m_items.value(t))
        item->m_hoverArmed = false;
    if (Hover *h = m_hovers.take(t)) {
        h->delay.stop();
        h->check.stop();
        // The timer that is calling may be one of these.
        h->deleteLater();
    }
}

void C_PanelCanvas::flash(CTablet *t)
{
    if (!t || !m_items.contains(t))
        return;
    m_flash->stop();
    m_flashed = t;
    m_flash->start();
    flashStep();
}

bool C_PanelCanvas::isFlashing() const
{
    return m_flashed && m_flash->state() == QAbstractAnimation::Running;
}

QRect C_PanelCanvas::flashRect() const
{
    if (!isFlashing())
        return QRect();
    // A ring a few pixels wide (more when zoomed) just outside the tablet, over its neighbours.
    const int margin = qMax(4, qRound(4 * m_scale)) + 2;
    return toCanvas(m_flashed->geometry()).adjusted(-margin, -margin, margin, margin);
}

void C_PanelCanvas::flashStep()
{
    // The ring moves with its tablet and grows with the zoom: the old place is painted over.
    update(m_flashDrawn);
    m_flashDrawn = flashRect();
    update(m_flashDrawn);
}

void C_PanelCanvas::paintFlash(QPainter &p) const
{
    // Three pulses, each bright for most of its length with soft edges.
    const qreal progress = m_flash->currentValue().toReal() * kFlashPulses;
    const qreal level = qMin(1.0, 2.5 * std::sin(std::numbers::pi * (progress - std::floor(progress))));
    if (level <= 0 || m_flashDrawn.isEmpty())
        return;
    const QRect outer = m_flashDrawn;
    const QRect inner = toCanvas(m_flashed->geometry());
    p.save();
    p.setOpacity(level);
    // Dark lines on both sides of the orange band keep it visible on a pale or a dark ground.
    const QRegion frame = QRegion(outer).subtracted(QRegion(inner));
    const QRegion band = QRegion(outer.adjusted(1, 1, -1, -1)).subtracted(QRegion(inner.adjusted(-1, -1, 1, 1)));
    for (const QRect &r : frame)
        p.fillRect(r, Qt::black);
    for (const QRect &r : band)
        p.fillRect(r, kFlashColour);
    p.restore();
}

// ---------------------------------------------------------------- keyboard and accessibility

const QList<CTablet *> &C_PanelCanvas::readingOrder() const
{
    if (!m_orderValid) {
        m_order = m_doc ? CPanelNavigation::readingOrder(*m_doc) : QList<CTablet *>();
        m_orderValid = true;
    }
    return m_order;
}

QAccessibleInterface *C_PanelCanvas::tabletInterface(CTablet *t) const
{
    if (!t || !m_items.contains(t))
        return nullptr;
    auto it = m_accessible.constFind(t);
    if (it == m_accessible.cend())
        it = m_accessible.insert(
            t, QAccessible::registerAccessibleInterface(new CTabletAccessible(const_cast<C_PanelCanvas *>(this), t)));
    return QAccessible::accessibleInterface(*it);
}

void C_PanelCanvas::forgetTablet(const CTablet *t)
{
    m_orderValid = false;
    if (const auto id = m_accessible.take(t))
        QAccessible::deleteAccessibleInterface(id);
    if (m_current == t)
        m_current = nullptr;
}

void C_PanelCanvas::setCurrentTablet(CTablet *t)
{
    if (t == m_current)
        return;
    if (m_current)
        repaint(m_current->geometry().adjusted(-3, -3, 3, 3));
    m_current = t;
    if (!t)
        return;
    repaint(t->geometry().adjusted(-3, -3, 3, 3));
    m_view->reveal(t);
    if (hasFocus() && QAccessible::isActive())
        if (QAccessibleInterface *item = tabletInterface(t)) {
            QAccessibleEvent event(item, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
}

void C_PanelCanvas::paintFocus(QPainter &p) const
{
    if (!m_current || !hasFocus() || !m_ringShown)
        return;
    // A ring in the highlight colour just outside the tablet, so its own colours stay readable.
    QPen pen(palette().color(QPalette::Highlight), 2);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(toCanvas(m_current->geometry()).adjusted(-2, -2, 1, 1));
}

void C_PanelCanvas::focusInEvent(QFocusEvent *e)
{
    // The ring is for the keyboard: a click into the panel does not draw it.
    m_ringShown = e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason ||
                  e->reason() == Qt::ShortcutFocusReason;
    if (!m_current)
        setCurrentTablet(CPanelNavigation::step(readingOrder(), nullptr, CPanelNavigation::First));
    else
        repaint(m_current->geometry().adjusted(-3, -3, 3, 3));
    QWidget::focusInEvent(e);
}

void C_PanelCanvas::focusOutEvent(QFocusEvent *e)
{
    if (m_current)
        repaint(m_current->geometry().adjusted(-3, -3, 3, 3));
    QWidget::focusOutEvent(e);
}

void C_PanelCanvas::keyPressEvent(QKeyEvent *e)
{
    if (!m_doc)
        return QWidget::keyPressEvent(e);
    const auto go = [this](CPanelNavigation::Step s) {
        m_ringShown = true;
        if (m_current)
            repaint(m_current->geometry().adjusted(-3, -3, 3, 3));
        setCurrentTablet(CPanelNavigation::step(readingOrder(), m_current, s));
    };
    switch (e->key()) {
    case Qt::Key_Left:
        return go(CPanelNavigation::Previous);
    case Qt::Key_Right:
        return go(CPanelNavigation::Next);
    case Qt::Key_Up:
        return go(CPanelNavigation::Up);
    case Qt::Key_Down:
        return go(CPanelNavigation::Down);
    case Qt::Key_Home:
        return go(CPanelNavigation::First);
    case Qt::Key_End:
        return go(CPanelNavigation::Last);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_current) {
            // As a double-click does.
            m_current->setExpanded(!m_current->isExpanded());
            m_current->setExpandedSize(m_current->isExpanded());
            m_doc->setModified(true);
        }
        return;
    case Qt::Key_Space:
        if (m_current && !e->isAutoRepeat())
            m_current->setSelected(!m_current->isSelected());
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(e);
}

void C_PanelCanvas::contextMenuEvent(QContextMenuEvent *e)
{
    // The right button does nothing on a tablet; the menu key and Shift+F10 open its menu.
    if (e->reason() != QContextMenuEvent::Keyboard || !m_current)
        return;
    showTabletMenu(m_current, toCanvas(m_current->geometry()).bottomLeft());
}

void C_PanelCanvas::showTabletMenu(CTablet *t, const QPoint &canvasPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("tabletMenu"));
    // The menu waits for the user while passes run: its commands find the employee's tablet
    // again, and do nothing when it has gone meanwhile.
    const auto tablet = [this, id = t->employeeId]() -> CTablet * { return m_doc ? m_doc->tablet(id) : nullptr; };
    QAction *details = menu.addAction(CStringTable::text(QStringLiteral("tablet.details")), this, [this, tablet] {
        if (CTablet *guarded = tablet()) {
            guarded->setExpanded(!guarded->isExpanded());
            guarded->setExpandedSize(guarded->isExpanded());
            m_doc->setModified(true);
        }
    });
    details->setCheckable(true);
    details->setChecked(t->isExpanded());
    QAction *select = menu.addAction(CStringTable::text(QStringLiteral("tablet.select")), this, [tablet] {
        if (CTablet *guarded = tablet())
            guarded->setSelected(!guarded->isSelected());
    });
    select->setCheckable(true);
    select->setChecked(t->isSelected());
    menu.addSeparator();
    menu.addAction(CStringTable::text(QStringLiteral("tablet.front")), this, [tablet] {
        if (CTablet *guarded = tablet())
            guarded->raise();
    });
    menu.addAction(CStringTable::text(QStringLiteral("tablet.back")), this, [tablet] {
        if (CTablet *guarded = tablet())
            guarded->lower();
    });
    menu.exec(mapToGlobal(canvasPos));
}
