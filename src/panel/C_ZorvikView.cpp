#include "panel/C_ZorvikView.h"

#include "app/CStringTable.h"
#include "dialogs/CD_FindName.h"
#include "dialogs/CPrompt.h"
#include "panel/CPanelGeometry.h"
#include "panel/CTablet.h"
#include "panel/C_PanelCanvas.h"
#include "panel/C_ZorvikDoc.h"

#include <QScrollBar>
#include <QWheelEvent>

C_ZorvikView::C_ZorvikView(C_ZorvikDoc *doc, QWidget *parent) : QAbstractScrollArea(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("panelView"));
    m_canvas = new C_PanelCanvas(doc, &m_background, this);
    connect(m_canvas, &C_PanelCanvas::emptyDoubleClicked, this, &C_ZorvikView::employeesRequested);

    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (QScrollBar *bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setSingleStep(CPanelGeometry::kGrid);
        // A dragged thumb stops on the grid.
        connect(bar, &QAbstractSlider::actionTriggered, bar, [bar](int action) {
            if (action == QAbstractSlider::SliderMove)
                bar->setSliderPosition(CPanelGeometry::thumbPosition(bar->sliderPosition()));
        });
    }

    m_background.setTile(doc->tile());
    m_background.setImage(doc->imagePath(), doc->useImage());
    for (const auto &entry : doc->tablets())
        m_canvas->addTablet(entry.second);

    connect(doc, &C_ZorvikDoc::tabletAdded, m_canvas, &C_PanelCanvas::addTablet);
    connect(doc, &C_ZorvikDoc::tabletRemoved, m_canvas, &C_PanelCanvas::removeTablet);
    connect(doc, &C_ZorvikDoc::backgroundChanged, this, &C_ZorvikView::reloadBackground);
    connect(doc, &C_ZorvikDoc::scrollToOriginRequested, this, [this] { setScrollPosition(QPoint(0, 0)); });
    connect(doc, &CDocument::viewsNeedUpdate, m_canvas, &C_PanelCanvas::syncWithDocument);
    updateScrollBars();
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
        m_background.setImage(m_doc->imagePath(), m_doc->useImage());
    m_background.setTile(m_doc->tile());
    m_canvas->update();
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
}

void C_ZorvikView::resizeEvent(QResizeEvent *e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void C_ZorvikView::scrollContentsBy(int, int)
{
    m_canvas->move(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

void C_ZorvikView::wheelEvent(QWheelEvent *e)
{
    // One grid line per wheel step; with a key or a mouse button held, sideways.
    const QPoint d = e->angleDelta();
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
    m_doc->arrangeHorizontally(viewport()->width());
}

void C_ZorvikView::arrangeVertically()
{
    if (!m_doc)
        return;
    m_doc->arrangeVertically(viewport()->height());
}

void C_ZorvikView::find()
{
    if (!m_doc)
        return;
    CD_FindName dlg(this);
    if (dlg.run() != QDialog::Accepted)
        return;
    m_doc->find(dlg.lastName(), dlg.firstName());
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
