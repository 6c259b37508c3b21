#pragma once

#include "panel/CTablet.h"
#include "panel/CTabletPainter.h"
#include "panel/CTabletPhoto.h"
#include "panel/C_ZorvikDoc.h"

#include <QPixmap>
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
    // Memory held by the tablet's drawn picture (none until painted, none while hidden).
    qsizetype pictureCacheBytes() const;
    // How often the tablet was drawn anew (not copied from its picture).
    int drawCount() const { return m_drawCount; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void changeEvent(QEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    // The whole name as a tool tip, for a name cut short on the tablet.
    bool event(QEvent *e) override;

private:
    void hoverDelayElapsed();
    void hoverCheck();
    bool cursorInside() const;
    void buildLook();

    // Everything the drawn picture depends on besides the tablet's texts, which change only
    // with the tablet's changed signal (counted in generation).
    struct PictureKey
    {
        QSize size;
        qreal pixelRatio = 0;
        int nameFormat = 0;
        QRgb dot = 0;
        bool selected = false, stale = false, illegal = false, expanded = false;
        const char *photoData = nullptr;
        qsizetype photoSize = 0;
        quint64 generation = 0;
        bool operator==(const PictureKey &) const = default;
    };
    PictureKey pictureKey(const CTabletPainter::Context &ctx) const;

    QPointer<CTablet> m_tablet;
    QPointer<C_ZorvikDoc> m_doc;
    C_ZorvikView *m_view;
    CTabletPainter m_painter;
    CTabletPhoto m_photo;
    QPixmap m_picture; // the tablet as last drawn, copied on every repaint until it changes
    PictureKey m_pictureKey;
    quint64 m_generation = 1;
    int m_drawCount = 0;
    QPoint m_grab;
    bool m_buttonUp = true;
    bool m_dragging = false;
    bool m_hoverArmed = false;
    QTimer m_hoverDelay;
    QTimer m_hoverCheck;
};
