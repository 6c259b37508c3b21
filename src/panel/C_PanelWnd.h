#pragma once

#include "panel/CTablet.h"
#include "panel/CTabletPhoto.h"

#include <QPixmap>
#include <QRgb>
#include <memory>

class C_PanelCanvas;

// One tablet as its panel's canvas shows it: the picture last drawn of it (copied on every
// repaint until something it shows changes), its photograph at the size drawn, its place in the
// z-order and the state of the mouse on it. Not a widget: the canvas paints and hit-tests its
// tablets, so a panel of any size costs one window.
class C_PanelWnd
{
public:
    explicit C_PanelWnd(CTablet *tablet) : m_tablet(tablet) {}

    CTablet *tablet() const { return m_tablet; }
    bool isHoverArmed() const { return m_hoverArmed; }
    // Memory held by the decoded photograph.
    qsizetype photoCacheBytes() const { return m_cache ? m_cache->photo.cachedBytes() : 0; }
    // Memory held by the tablet's drawn picture (none until painted, none while hidden).
    qsizetype pictureCacheBytes() const;
    // How often the tablet was drawn anew (not copied from its picture).
    int drawCount() const { return m_drawCount; }

private:
    friend class C_PanelCanvas;

    // Everything the drawn picture depends on besides the tablet's texts, which change only with
    // the tablet's changed signal (counted in generation).
    struct PictureKey
    {
        QSize size;
        qreal pixelRatio = 0;
        qreal scale = 0;
        int nameFormat = 0;
        bool wrapNames = false;
        QRgb dot = 0;
        bool selected = false, stale = false, illegal = false, expanded = false;
        const char *photoData = nullptr;
        qsizetype photoSize = 0;
        quint64 generation = 0;
        bool operator==(const PictureKey &) const = default;
    };
    // Only a tablet that was shown holds these: a panel of 50,000 tablets shows a few hundred.
    struct Cache
    {
        QPixmap picture;
        PictureKey key;
        CTabletPhoto photo;
    };
    Cache &cache();
    void dropCaches();

    CTablet *m_tablet; // the canvas drops the item before its tablet goes
    std::unique_ptr<Cache> m_cache;
    qint64 m_z = 0;
    quint64 m_generation = 1;
    quint64 m_paintStamp = 0; // the canvas paint that last showed it
    bool m_cached = false;    // in the canvas's list of items holding caches
    int m_drawCount = 0;
    bool m_photoFetched = false; // the tablet's bytes were read for this canvas (dropped with the caches)
    bool m_noPhoto = false;      // the employee has no photograph
    qint64 m_photoFailedAt = -1; // the database could not be read then (ms of the canvas clock)
    bool m_buttonUp = true;
    bool m_hoverArmed = false;
};
