#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

class QPainter;

// What a panel shows behind its tablets: a dotted 24-pixel grid with its numbers, or a
// picture drawn once or tiled. The picture is chosen by its file's ending (".bmp", ".gif",
// ".jpg", exactly so) and loaded only when the panel uses it. A window chooses the picture,
// decodes it off the interface thread with load() and hands the result back with setLoaded().
class CPanelBackground
{
public:
    // Chooses the picture for these settings and drops the one shown; true when a picture is to
    // be loaded (used, and one of the three endings). The path is kept in any case.
    bool choose(const QString &path, bool useImage);
    // Reads and decodes the picture of a chosen path; null when it cannot. Any thread.
    static QImage load(const QString &path);
    // The decoded picture of path; ignored when another picture was chosen meanwhile.
    void setLoaded(const QString &path, const QImage &image);
    // choose(), load() and setLoaded() in one (where waiting does no harm); false when no
    // picture is loaded.
    bool setImage(const QString &path, bool useImage);
    void setTile(bool tile) { m_tile = tile; }

    QString path() const { return m_path; }
    bool useImage() const { return m_useImage; }
    bool tile() const { return m_tile; }
    const QImage &image() const { return m_image; }

    // Paints the part exposed of a canvas whose scroll ranges end at hmax and vmax. With a valid
    // base colour the exposed part is filled with it first (in one pass with the grid); without,
    // only the grid and the picture are drawn over what is there.
    void paint(QPainter &p, const QRect &exposed, int hmax, int vmax, const QColor &gridColour, const QFont &labelFont,
               const QColor &base = QColor()) const;
    // Only a used, tiled picture that was loaded and has no transparent pixels covers the
    // canvas; otherwise the background is erased first (an unloadable picture: a blank canvas).
    bool coversCanvas() const;

private:
    // One grid cell as a brush: a dotted line along its left and top edges (one pixel on, one
    // off, on even coordinates), over the base colour or transparent.
    const QBrush &gridBrush(const QColor &gridColour, const QColor &base) const;

    QString m_path;
    QImage m_image;
    bool m_useImage = false;
    bool m_tile = false;
    mutable QBrush m_gridBrush;
    mutable QColor m_brushGrid, m_brushBase;
};
