#include "panel/C_PanelCanvas.h"

#include "panel/CPanelBackground.h"
#include "panel/CPanelGeometry.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRubberBand>

C_PanelCanvas::C_PanelCanvas(C_ZorvikDoc *doc, const CPanelBackground *background, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_background(background), m_rubberBand(new QRubberBand(QRubberBand::Rectangle, this))
{
    setObjectName(QStringLiteral("panelCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(CPanelGeometry::kCanvasSize, CPanelGeometry::kCanvasSize);
}

void C_PanelCanvas::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    const QRect exposed = e->rect();
    if (!m_background->coversCanvas())
        p.fillRect(exposed, palette().color(QPalette::Base));
    // The scroll ranges end one pixel short of the canvas size. The grid takes the 3D-light
    // colour of Windows, which is Qt's Midlight (Qt's Light is the white highlight edge and
    // would vanish on a white background).
    const int rangeEnd = CPanelGeometry::kCanvasSize - 1;
    m_background->paint(p, exposed, rangeEnd, rangeEnd, palette().color(QPalette::Midlight), QApplication::font());
}

void C_PanelCanvas::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !m_doc)
        return;
    m_doc->clearSelection();
    m_banding = true;
    m_anchor = e->position().toPoint();
    m_band = QRect();
}

void C_PanelCanvas::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_banding)
        return;
    m_band = QRect(m_anchor, e->position().toPoint()).normalized();
    m_rubberBand->setGeometry(m_band);
    m_rubberBand->raise();
    m_rubberBand->show();
}

void C_PanelCanvas::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !m_banding || !m_doc)
        return;
    m_banding = false;
    m_rubberBand->hide();
    // Band edges are the anchor and the cursor; a tablet's right and bottom are exclusive.
    const QPoint end = e->position().toPoint();
    const int left = qMin(m_anchor.x(), end.x()), right = qMax(m_anchor.x(), end.x());
    const int top = qMin(m_anchor.y(), end.y()), bottom = qMax(m_anchor.y(), end.y());
    for (const auto &entry : m_doc->tablets()) {
        CTablet *t = entry.second;
        const QRect g = t->geometry();
        if (g.left() >= left && g.top() >= top && g.x() + g.width() <= right && g.y() + g.height() <= bottom)
            t->setSelected(true);
    }
    m_band = QRect();
}

void C_PanelCanvas::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit emptyDoubleClicked();
}
