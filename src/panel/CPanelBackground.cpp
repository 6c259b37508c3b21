#include "panel/CPanelBackground.h"

#include "panel/CPanelGeometry.h"
#include "panel/CPhotoDecoder.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

CPhotoDecoder::Format formatOf(const QString &path)
{
    const QString ending = path.right(4);
    if (ending == QLatin1String(".bmp"))
        return CPhotoDecoder::Format::Bmp;
    if (ending == QLatin1String(".gif"))
        return CPhotoDecoder::Format::Gif;
    if (ending == QLatin1String(".jpg"))
        return CPhotoDecoder::Format::Jpeg;
    return CPhotoDecoder::Format::Unknown;
}

} // namespace

bool CPanelBackground::choose(const QString &path, bool useImage)
{
    m_image = QImage();
    m_path = path;
    m_useImage = useImage;
    return useImage && formatOf(path) != CPhotoDecoder::Format::Unknown;
}

QImage CPanelBackground::load(const QString &path)
{
    return CPhotoDecoder::loadFile(path, formatOf(path));
}

void CPanelBackground::setLoaded(const QString &path, const QImage &image)
{
    if (m_useImage && path == m_path)
        m_image = image;
}

bool CPanelBackground::setImage(const QString &path, bool useImage)
{
    if (choose(path, useImage))
        setLoaded(path, load(path));
    return !m_image.isNull();
}

bool CPanelBackground::coversCanvas() const
{
    return m_useImage && m_tile && !m_image.isNull() && !m_image.hasAlphaChannel();
}

const QBrush &CPanelBackground::gridBrush(const QColor &gridColour, const QColor &base) const
{
    if (m_gridBrush.style() == Qt::TexturePattern && m_brushGrid == gridColour && m_brushBase == base)
        return m_gridBrush;
    const int g = CPanelGeometry::kGrid;
    QImage tile(g, g, base.isValid() ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    tile.fill(base.isValid() ? base : QColor(Qt::transparent));
    const QRgb dot = gridColour.rgb();
    for (int i = 0; i < g; i += 2) {
        tile.setPixel(0, i, dot);
        tile.setPixel(i, 0, dot);
    }
    m_gridBrush = QBrush(tile);
    m_brushGrid = gridColour;
    m_brushBase = base;
    return m_gridBrush;
}

void CPanelBackground::paint(QPainter &p, const QRect &exposed, int hmax, int vmax, const QColor &gridColour,
                             const QFont &labelFont, const QColor &base) const
{
    const int g = CPanelGeometry::kGrid;
    const bool grid = !m_useImage || !m_tile;
    const QRect lines = grid ? exposed & QRect(0, 0, hmax, vmax + 1) : QRect();
    // The base colour where the grid's cells (which carry it) do not reach.
    if (base.isValid() && lines != exposed)
        p.fillRect(exposed, base);
    if (grid) {
        // The lines as a brush of grid cells: a fill, where thousands of dotted lines would be
        // stroked dot by dot on a large repaint.
        if (!lines.isEmpty())
            p.fillRect(lines, gridBrush(gridColour, base));
        p.save();
        p.setPen(gridColour);
        p.setFont(labelFont);
        const int labelWidth = QFontMetrics(labelFont).horizontalAdvance(QStringLiteral("10000"));
        const int labelHeight = QFontMetrics(labelFont).height();
        // Only the labels that touch the exposed rectangle.
        const int x0 = qMax(0, CPanelGeometry::toGrid(exposed.left() - labelWidth));
        const int y0 = qMax(0, CPanelGeometry::toGrid(exposed.top() - labelHeight));
        if (exposed.top() <= labelHeight)
            for (int x = x0; x < hmax && x <= exposed.right(); x += g)
                p.drawText(QRect(x, 0, labelWidth, labelHeight), Qt::AlignLeft | Qt::AlignTop, QString::number(x / g));
        if (exposed.left() <= labelWidth)
            for (int y = y0; y < vmax && y <= exposed.bottom(); y += g)
                p.drawText(QRect(0, y, labelWidth, labelHeight), Qt::AlignLeft | Qt::AlignTop, QString::number(y / g));
        p.restore();
    }
    if (!m_useImage || m_image.isNull())
        return;
    if (!m_tile) {
        p.drawImage(QPoint(0, 0), m_image);
        return;
    }
    const int iw = m_image.width(), ih = m_image.height();
    const int columns = hmax / iw + 1, rows = vmax / ih + 1;
    const int c0 = qMax(0, exposed.left() / iw), r0 = qMax(0, exposed.top() / ih);
    const int c1 = qMin(columns - 1, exposed.right() / iw), r1 = qMin(rows - 1, exposed.bottom() / ih);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            p.drawImage(QPoint(c * iw, r * ih), m_image);
}
