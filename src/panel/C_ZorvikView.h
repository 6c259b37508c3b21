#pragma once

#include "app/CChildCommands.h"
#include "panel/CPanelBackground.h"
#include "panel/C_PanelCanvas.h"
#include "panel/C_PanelWnd.h"
#include "panel/C_ZorvikDoc.h"

#include <QAbstractScrollArea>
#include <QPointer>

class CStaleBanner;
class CTablet;
class QLabel;
class QTimer;

// The scrolling view of a panel: a 24000 by 24000 canvas with the grid or a background
// picture and the tablets drawn on it, scrolling in grid steps, and the panel commands. The
// window zooms (a wall display): the canvas is drawn larger or smaller, the panel file's
// positions stay as they are. Fit to screen is a zoom of its own: the one that shows every
// tablet, worked out again whenever the window's size or the panel's tablets change.
class C_ZorvikView : public QAbstractScrollArea, public CChildCommands
{
    Q_OBJECT
public:
    static constexpr int kHoverDelayMs = 1000; // still over a tablet this long: peek
    static constexpr int kHoverCheckMs = 200;  // then check this often whether it left
    // Zoom steps in percent; each is a whole number of pixels per grid step and per tablet.
    static constexpr int kZoomSteps[] = {50, 75, 100, 125, 150, 175, 200, 250, 300};
    static constexpr int kZoomLevelShownMs = 1200; // the zoom level shows this long after a change

    explicit C_ZorvikView(C_ZorvikDoc *doc, QWidget *parent = nullptr);
    ~C_ZorvikView() override;

    C_ZorvikDoc *document() const { return m_doc; }
    C_PanelCanvas *canvas() const { return m_canvas; }
    const CPanelBackground &background() const { return m_background; }

    QPoint scrollPosition() const;
    void setScrollPosition(const QPoint &pos);

    // Zoom in percent (100: the panel's own pixels). Each panel file's zoom (or Fit to screen)
    // is kept in the settings and comes back when the file opens again, in this run or the next;
    // the panel file itself is never changed by it.
    int zoom() const { return m_zoom; }
    // anchor: the point of the visible area that keeps showing the same place of the panel
    // (its top-left corner when none is given); the scroll position stays on the grid. Ends Fit
    // to screen.
    void setZoom(int percent, QPoint anchor = QPoint(-1, -1));
    bool isFitToScreen() const { return m_fit; }
    // The zoom that shows every tablet of the panel in the visible area (100 for an empty panel).
    int fitZoom() const;
    // Whether the panel has its own zoom kept for its file (a wall display then keeps it).
    bool hasStoredZoom() const;

    // Scrolls so that the tablet is wholly in sight (centred), unless it already is.
    void reveal(const CTablet *t);

    // The canvas's item of a tablet, and the count of items.
    C_PanelWnd *tabletWindow(const CTablet *t) const { return m_canvas->item(t); }
    int tabletWindowCount() const { return m_canvas->itemCount(); }
    // Where a tablet is drawn on the canvas, and where that is in the visible area.
    QRect tabletRect(const CTablet *t) const;
    QPoint visiblePosition(const CTablet *t) const;

    // The line above the panel while its data are not current.
    CStaleBanner *staleBanner() const { return m_banner; }

    // Print is offered only for a panel with tablets.
    bool canPrint() const override;

    QSize sizeHint() const override { return QSize(720, 480); }

public slots:
    void expandAll();
    void collapseAll();
    void arrangeHorizontally();
    void arrangeVertically();
    void find();
    void removeAll();
    void zoomIn();
    void zoomOut();
    void resetZoom();
    // Fit to screen, kept as such: the zoom follows the window's size and the panel's tablets.
    void fitToScreen();

signals:
    // Double-click on the empty canvas: the user wants to choose the panel's employees.
    void employeesRequested();
    void zoomChanged(int percent);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    void reloadBackground();
    // Chooses the document's background picture and decodes it off the interface thread.
    void loadBackground();
    void updateScrollBars();
    // Keeps room above the panel for the stale banner while it shows.
    void layoutBanner();
    void addZoomActions();
    // The zoom step after (in) or before the current zoom; the current one at either end.
    int nextZoom(bool in) const;
    // The canvas scroll position for a panel point, put on the nearest grid line.
    QPoint gridScroll(const QPointF &panel) const;
    QString zoomKey() const;
    void rememberZoom() const;
    // Sets the zoom without ending Fit to screen; showLevel: the level shows for a moment.
    void applyZoom(int percent, QPoint anchor, bool showLevel);
    void refit();
    // The tablets' bounding rectangle with a little room (empty for an empty panel), and the
    // zoom that shows it whole in the visible area, before it is brought to the zoom steps' range.
    QRect fitExtent() const;
    int fitPercent(const QRect &extent) const;

    QPointer<C_ZorvikDoc> m_doc; // the document normally outlives its views
    C_PanelCanvas *m_canvas;
    CPanelBackground m_background;
    int m_wheelRemainder = 0;
    int m_zoom = 100;
    bool m_fit = false;
    QTimer *m_refit = nullptr;
    QLabel *m_zoomLevel;
    CStaleBanner *m_banner;
    QTimer *m_zoomLevelTimer;
};
