#pragma once

#include "panel/CPhotoLoader.h"
#include "panel/CTabletPainter.h"
#include "panel/C_PanelWnd.h"
#include "panel/C_ZorvikDoc.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <memory>
#include <vector>

class QAccessibleInterface;
class QRubberBand;
class QTimer;
class QVariantAnimation;
class CPanelBackground;
class C_ZorvikView;

// The surface of a panel view: draws the grid or the background picture and the panel's
// tablets, and handles the mouse on them (select, drag with the selected ones following, expand,
// lower, peek on hover) and on the empty canvas (rubber band, double-click). Tablets are items
// of the canvas, not windows: a repaint draws only those inside the exposed rectangle, found
// through a grid of buckets, and hit-testing looks in one bucket, so both cost the same on a
// panel of 50 tablets or 50,000.
class C_PanelCanvas : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBucket = 240;                         // panel pixels a side of a bucket
    static constexpr qsizetype kCacheBudget = 64 * 1024 * 1024; // pictures and photographs kept

    C_PanelCanvas(C_ZorvikDoc *doc, const CPanelBackground *background, C_ZorvikView *view);
    ~C_PanelCanvas() override;

    // The band being drawn, in canvas coordinates (empty when none).
    QRect band() const { return m_band; }

    // The one mapping between panel coordinates (the panel file's) and the canvas's pixels; the
    // scale is the panel window's zoom (the canvas grows with it, the tablets keep their places).
    qreal scale() const { return m_scale; }
    void setScale(qreal scale);
    QRect toCanvas(const QRect &panel) const;
    QPoint toCanvas(const QPoint &panel) const;
    QPoint toPanel(const QPoint &canvas) const;

    // Draws the eye to a tablet: a ring round it that pulses kFlashPulses times over kFlashMs,
    // then goes. A new flash replaces the one running.
    static constexpr int kFlashMs = 1500;
    static constexpr int kFlashPulses = 3;
    static const QColor kFlashColour;
    void flash(CTablet *t);
    bool isFlashing() const;
    // Where the ring is drawn, in canvas coordinates (empty when none).
    QRect flashRect() const;

    C_PanelWnd *item(const CTablet *t) const { return m_items.value(t); }
    int itemCount() const { return int(m_items.size()); }
    // The topmost tablet under a canvas point, or none.
    CTablet *tabletAt(const QPoint &canvasPos) const;
    // The tablets from the bottom of the z-order to the top.
    QList<CTablet *> zOrder() const;
    // Memory held by the tablets' pictures and decoded photographs, and how much of it is kept
    // for tablets out of sight (kCacheBudget unless set).
    qsizetype cacheBytes() const;
    void setCacheBudget(qsizetype bytes) { m_cacheBudget = bytes; }
    CPhotoLoader *photoLoader() const { return m_photos; }

    void addTablet(CTablet *t);
    void removeTablet(CTablet *t);

    // The keyboard: Tab comes into the panel, the arrows go from tablet to tablet in reading
    // order with a ring round the current one, Enter shows or hides a tablet's details, Space
    // selects it, the menu key (or Shift+F10) opens its menu.
    CTablet *currentTablet() const { return m_current; }
    void setCurrentTablet(CTablet *t);
    const QList<CTablet *> &readingOrder() const;
    // The accessible item of a tablet of this panel, made when first asked for.
    QAccessibleInterface *tabletInterface(CTablet *t) const;
    // The tablet's own menu (also what the menu key opens).
    void showTabletMenu(CTablet *t, const QPoint &canvasPos);
    // Takes in the document's tablets not shown yet and repaints.
    void syncWithDocument();

signals:
    void emptyDoubleClicked();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void changeEvent(QEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    // The whole name as a tool tip, for a name cut short on the tablet.
    bool event(QEvent *e) override;

private:
    struct Hover;
    using Bucket = std::vector<C_PanelWnd *>;

    C_PanelWnd *itemAt(const QPoint &canvasPos) const;
    QRect bucketRange(const QRect &panel) const;
    void place(C_PanelWnd *item, const QRect &panel);
    void unplace(C_PanelWnd *item, const QRect &panel);
    void moved(CTablet *t, const QRect &old);
    void restack(CTablet *t, bool top);
    void changed(CTablet *t);
    // Repaints the tablet's rectangle when it can be seen; the rest wait for their next paint.
    void repaint(const QRect &panel);
    QRect visiblePanelRect() const;
    // The parts of an exposed rectangle (panel coordinates) that no tablet shown there hides.
    QList<QRect> uncovered(const QRect &panel, const std::vector<C_PanelWnd *> &shown) const;

    void paintItem(QPainter &p, C_PanelWnd *item, const CTabletPainter::Context &ctx);
    void paintFlash(QPainter &p) const;
    void flashStep();
    qreal photoScale() const { return m_scale * devicePixelRatioF(); }
    void askForPhotograph(C_PanelWnd *item, const QSize &size);
    void photographReady(const CPhotoLoader::Result &r);
    void keepCached(C_PanelWnd *item);
    void trimCaches();
    void buildLook();

    void armHover(C_PanelWnd *item);
    void hoverDelayElapsed(CTablet *t);
    void hoverCheck(CTablet *t);
    void disarmHover(CTablet *t);
    bool cursorInside(const CTablet *t) const;

    QPointer<C_ZorvikDoc> m_doc;
    const CPanelBackground *m_background;
    C_ZorvikView *m_view;
    qreal m_scale = 1.0;
    CTabletPainter m_painter;
    quint64 m_lookGeneration = 1;
    QHash<const CTablet *, C_PanelWnd *> m_items;
    std::vector<Bucket> m_buckets; // rows of buckets over the panel, kBuckets a side
    int m_bucketsPerSide = 0;
    qint64 m_top = 0, m_bottom = 0; // z-order ends
    quint64 m_paintStamp = 0;
    qsizetype m_cacheBudget = kCacheBudget;
    QSet<C_PanelWnd *> m_cached; // items holding a picture or a photograph
    CPhotoLoader *m_photos;
    QElapsedTimer m_clock;

    // The mouse.
    QRubberBand *m_rubberBand;
    QPoint m_anchor;
    QRect m_band;
    bool m_banding = false;
    CTablet *m_dragged = nullptr; // held by the left button
    QPoint m_grab;                // where, in panel coordinates from the tablet's corner
    QHash<const CTablet *, Hover *> m_hovers;

    // The keyboard's tablet, the reading order (made when needed) and the accessible items.
    CTablet *m_current = nullptr;
    bool m_ringShown = false; // the keyboard is in use: the current tablet has its ring
    mutable QList<CTablet *> m_order;
    mutable bool m_orderValid = false;
    mutable QHash<const CTablet *, unsigned> m_accessible;
    void forgetTablet(const CTablet *t);
    void paintFocus(QPainter &p) const;

    CTablet *m_flashed = nullptr;
    QVariantAnimation *m_flash;
    QRect m_flashDrawn; // what the last step of the flash asked to paint
};
