#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

class QPainter;

// What a panel shows behind its tablets: a dotted 24-pixel grid with its numbers, or a
// picture drawn once or tiled. The picture is chosen by its file's ending (".bmp", ".gif",
// ".jpg", exactly so) and loaded only when the panel uses it.
class CPanelBackground
{
public:
    // Loads the picture for these settings; false when none is loaded (not used, another
    // ending, or a file that does not decode). The path is kept in any case.
    bool setImage(const QString &path, bool useImage);
    void setTile(bool tile) { m_tile = tile; }

    QString path() const { return m_path; }
    bool useImage() const { return m_useImage; }
    bool tile() const { return m_tile; }
    const QImage &image() const { return m_image; }

    // Paints the part exposed of a canvas whose scroll ranges end at hmax and vmax.
    void paint(QPainter &p, const QRect &exposed, int hmax, int vmax, const QColor &gridColour,
               const QFont &labelFont) const;
    // Only a used, tiled picture that was loaded and has no transparent pixels covers the
    // canvas; otherwise the background is erased first (an unloadable picture: a blank canvas).
    bool coversCanvas() const;

private:
    QString m_path;
    QImage m_image;
    bool m_useImage = false;
    bool m_tile = false;
};
