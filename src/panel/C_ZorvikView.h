#pragma once

#include "panel/CPanelBackground.h"
#include "panel/C_PanelCanvas.h"
#include "panel/C_PanelWnd.h"
#include "panel/C_ZorvikDoc.h"

#include <QAbstractScrollArea>
#include <QPointer>

class CTablet;

// The scrolling view of a panel: a 24000 by 24000 canvas with the grid or a background
// picture and the tablets drawn on it, scrolling in grid steps, and the panel commands.
class C_ZorvikView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    static constexpr int kHoverDelayMs = 1000; // still over a tablet this long: peek
    static constexpr int kHoverCheckMs = 200;  // then check this often whether it left

    explicit C_ZorvikView(C_ZorvikDoc *doc, QWidget *parent = nullptr);

    C_ZorvikDoc *document() const { return m_doc; }
    C_PanelCanvas *canvas() const { return m_canvas; }
    const CPanelBackground &background() const { return m_background; }

    QPoint scrollPosition() const;
    void setScrollPosition(const QPoint &pos);

    // The canvas's item of a tablet, and the count of items.
    C_PanelWnd *tabletWindow(const CTablet *t) const { return m_canvas->item(t); }
    int tabletWindowCount() const { return m_canvas->itemCount(); }
    // Where a tablet is drawn on the canvas, and where that is in the visible area.
    QRect tabletRect(const CTablet *t) const;
    QPoint visiblePosition(const CTablet *t) const;

    // Print is offered only for a panel with tablets.
    bool canPrint() const;

    QSize sizeHint() const override { return QSize(720, 480); }

public slots:
    void expandAll();
    void collapseAll();
    void arrangeHorizontally();
    void arrangeVertically();
    void find();
    void removeAll();

signals:
    // Double-click on the empty canvas: the user wants to choose the panel's employees.
    void employeesRequested();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    void reloadBackground();
    void updateScrollBars();

    QPointer<C_ZorvikDoc> m_doc; // the document normally outlives its views
    C_PanelCanvas *m_canvas;
    CPanelBackground m_background;
    int m_wheelRemainder = 0;
};
