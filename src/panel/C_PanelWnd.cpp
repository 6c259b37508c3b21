#include "panel/C_PanelWnd.h"

#include "app/CAppContext.h"
#include "db/CReferenceData.h"
#include "panel/CPanelGeometry.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"
#include "panel/C_ZorvikView.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace {

CTabletPainter::Look systemLook(const QWidget *w)
{
    const int icon = w->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, w);
    return CTabletPainter::Look::fromPalette(w->palette(), QApplication::font(), icon);
}

} // namespace

C_PanelWnd::C_PanelWnd(CTablet *tablet, C_ZorvikDoc *doc, C_ZorvikView *view, QWidget *canvas)
    : QWidget(canvas), m_tablet(tablet), m_doc(doc), m_view(view), m_painter(systemLook(canvas))
{
    setObjectName(QStringLiteral("tablet_") + tablet->employeeId);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setGeometry(tablet->geometry());

    m_hoverDelay.setSingleShot(true);
    m_hoverDelay.setInterval(kHoverDelayMs);
    m_hoverCheck.setInterval(kHoverCheckMs);
    connect(&m_hoverDelay, &QTimer::timeout, this, &C_PanelWnd::hoverDelayElapsed);
    connect(&m_hoverCheck, &QTimer::timeout, this, &C_PanelWnd::hoverCheck);

    connect(tablet, &CTablet::geometryChanged, this, [this](const QRect &r) { setGeometry(r); });
    connect(tablet, &CTablet::raiseRequested, this, &QWidget::raise);
    connect(tablet, &CTablet::lowerRequested, this, &QWidget::lower);
    connect(tablet, &CTablet::changed, this, [this] {
        ++m_generation;
        update();
    });
    show();
}

void C_PanelWnd::buildLook()
{
    m_painter = CTabletPainter(systemLook(this));
    ++m_generation;
    update();
}

void C_PanelWnd::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::StyleChange)
        buildLook();
    QWidget::changeEvent(e);
}

bool C_PanelWnd::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip && m_tablet) {
        CAppContext *app = CAppContext::current();
        QToolTip::showText(static_cast<QHelpEvent *>(e)->globalPos(),
                           m_tablet->displayName(app ? int(app->nameFormat) : 0), this);
        return true;
    }
    return QWidget::event(e);
}

void C_PanelWnd::paintEvent(QPaintEvent *)
{
    if (!m_tablet)
        return;
    CTabletPainter::Context ctx;
    if (CAppContext *app = CAppContext::current()) {
        ctx.nameFormat = app->nameFormat;
        if (app->reference())
            ctx.colours = &app->reference()->activityColourMap;
    }
    const PictureKey key = pictureKey(ctx);
    if (m_picture.isNull() || !(key == m_pictureKey)) {
        // Drawn once per change; every other repaint (scrolling, uncovering, a pass that
        // changed nothing) only copies these pixels.
        if (m_picture.isNull() || key.size != m_pictureKey.size || key.pixelRatio != m_pictureKey.pixelRatio) {
            m_picture = QPixmap(size() * key.pixelRatio);
            m_picture.setDevicePixelRatio(key.pixelRatio);
        }
        QPainter cp(&m_picture);
        m_painter.paint(cp, *m_tablet, size(), ctx, &m_photo);
        m_pictureKey = key;
        ++m_drawCount;
    }
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}

C_PanelWnd::PictureKey C_PanelWnd::pictureKey(const CTabletPainter::Context &ctx) const
{
    PictureKey k;
    k.size = size();
    k.pixelRatio = devicePixelRatioF();
    k.nameFormat = ctx.nameFormat;
    k.dot = CTabletPainter::dotColour(*m_tablet, ctx).rgba();
    k.selected = m_tablet->isSelected();
    k.stale = m_tablet->isStale();
    k.illegal = m_tablet->isIllegal();
    k.expanded = m_tablet->isExpanded();
    k.photoData = m_tablet->photograph.constData();
    k.photoSize = m_tablet->photograph.size();
    k.generation = m_generation;
    return k;
}

qsizetype C_PanelWnd::pictureCacheBytes() const
{
    return m_picture.isNull() ? 0 : qsizetype(m_picture.width()) * m_picture.height() * m_picture.depth() / 8;
}

void C_PanelWnd::hideEvent(QHideEvent *e)
{
    // A hidden panel keeps no pictures: they are made again at the next paint.
    m_picture = QPixmap();
    QWidget::hideEvent(e);
}

void C_PanelWnd::mousePressEvent(QMouseEvent *e)
{
    if (!m_tablet || !m_doc)
        return;
    if (e->button() == Qt::MiddleButton) {
        m_tablet->lower();
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    if (e->modifiers() & Qt::ControlModifier)
        m_tablet->setSelected(!m_tablet->isSelected());
    else if (!m_tablet->isSelected())
        m_doc->clearSelection();
    raise();
    m_buttonUp = false;
    m_dragging = true;
    setCursor(Qt::SizeAllCursor);
    m_grab = e->position().toPoint();
}

void C_PanelWnd::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_tablet || !m_doc)
        return;
    if (!m_hoverArmed) {
        m_hoverArmed = true;
        m_hoverDelay.start();
    }
    if (!m_dragging || !(e->buttons() & Qt::LeftButton))
        return;
    const QPoint scroll = m_view->scrollPosition();
    const QPoint cursorClient = mapToParent(e->position().toPoint()) - scroll;
    const QPoint target = CPanelGeometry::dragTarget(cursorClient, m_grab, scroll) + scroll;
    const QPoint old = m_tablet->geometry().topLeft();
    if (target == old)
        return;
    m_tablet->moveTo(target);
    m_doc->setModified(true);
    if (!m_tablet->isSelected())
        return;
    const QPoint delta = target - old;
    for (CTablet *other : m_doc->selectedTablets()) {
        if (other == m_tablet)
            continue;
        const QPoint moved = other->geometry().topLeft() + delta;
        if (CPanelGeometry::followerFits(moved - scroll))
            other->moveTo(moved);
    }
}

void C_PanelWnd::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_buttonUp = true;
    m_dragging = false;
    setCursor(Qt::ArrowCursor);
}

void C_PanelWnd::mouseDoubleClickEvent(QMouseEvent *e)
{
    // Not a second press: the first one already selected and grabbed.
    if (e->button() != Qt::LeftButton || !m_tablet || !m_doc)
        return;
    m_tablet->setExpanded(!m_tablet->isExpanded());
    m_tablet->setExpandedSize(m_tablet->isExpanded());
    m_doc->setModified(true);
}

bool C_PanelWnd::cursorInside() const
{
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

void C_PanelWnd::hoverDelayElapsed()
{
    m_hoverDelay.stop();
    m_hoverCheck.start();
    if (m_tablet && cursorInside() && m_buttonUp && !m_tablet->isExpanded())
        m_tablet->setExpandedSize(true);
}

void C_PanelWnd::hoverCheck()
{
    if (cursorInside())
        return;
    m_hoverArmed = false;
    m_hoverCheck.stop();
    if (m_tablet && !m_tablet->isExpanded())
        m_tablet->setExpandedSize(false);
}
