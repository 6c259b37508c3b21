#pragma once

#include "panel/CTablet.h"
#include "panel/CTabletPainter.h"
#include "panel/CTabletPhoto.h"
#include "panel/C_ZorvikDoc.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class C_ZorvikView;

// The window of one tablet on a panel's canvas: mirrors its CTablet (place, size, z-order,
// repaint), draws it with CTabletPainter, and lets the user select, drag, expand and peek.
class C_PanelWnd : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHoverDelayMs = 1000; // still over the tablet this long: peek
    static constexpr int kHoverCheckMs = 200;  // then check this often whether it left

    C_PanelWnd(CTablet *tablet, C_ZorvikDoc *doc, C_ZorvikView *view, QWidget *canvas);

    CTablet *tablet() const { return m_tablet; }
    bool isHoverArmed() const { return m_hoverArmed; }
    // Memory held by the decoded photograph.
    qsizetype photoCacheBytes() const { return m_photo.cachedBytes(); }

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void changeEvent(QEvent *e) override;
    // The whole name as a tool tip, for a name cut short on the tablet.
    bool event(QEvent *e) override;

private:
    void hoverDelayElapsed();
    void hoverCheck();
    bool cursorInside() const;
    void buildLook();

    QPointer<CTablet> m_tablet;
    QPointer<C_ZorvikDoc> m_doc;
    C_ZorvikView *m_view;
    CTabletPainter m_painter;
    CTabletPhoto m_photo;
    QPoint m_grab;
    bool m_buttonUp = true;
    bool m_dragging = false;
    bool m_hoverArmed = false;
    QTimer m_hoverDelay;
    QTimer m_hoverCheck;
};
