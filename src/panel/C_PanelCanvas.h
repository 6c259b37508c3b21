#pragma once

#include "panel/C_ZorvikDoc.h"

#include <QPointer>
#include <QWidget>

class QRubberBand;
class CPanelBackground;

// The 24000 by 24000 surface of a panel view: draws the grid or the background picture,
// holds the tablet windows as children and selects tablets with a rubber band.
class C_PanelCanvas : public QWidget
{
    Q_OBJECT
public:
    C_PanelCanvas(C_ZorvikDoc *doc, const CPanelBackground *background, QWidget *parent);

    // The band being drawn, in canvas coordinates (empty when none).
    QRect band() const { return m_band; }

signals:
    void emptyDoubleClicked();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

private:
    QPointer<C_ZorvikDoc> m_doc;
    const CPanelBackground *m_background;
    QRubberBand *m_rubberBand;
    QPoint m_anchor;
    QRect m_band;
    bool m_banding = false;
};
