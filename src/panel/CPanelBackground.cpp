#include "panel/CPanelBackground.h"

#include "panel/CPanelGeometry.h"
#include "panel/CPhotoDecoder.h"

#include <QFontMetrics>
#include <QPainter>

bool CPanelBackground::setImage(const QString &path, bool useImage)
{
    m_image = QImage();
    m_path = path;
    m_useImage = useImage;
    const QString ending = path.right(4);
    CPhotoDecoder::Format format = CPhotoDecoder::Format::Unknown;
    if (ending == QLatin1String(".bmp"))
        format = CPhotoDecoder::Format::Bmp;
    else if (ending == QLatin1String(".gif"))
        format = CPhotoDecoder::Format::Gif;
    else if (ending == QLatin1String(".jpg"))
        format = CPhotoDecoder::Format::Jpeg;
    if (format != CPhotoDecoder::Format::Unknown && useImage)
        m_image = CPhotoDecoder::loadFile(path, format);
    return !m_image.isNull();
}

bool CPanelBackground::coversCanvas() const
{
    return m_useImage && m_tile && !m_image.isNull() && !m_image.hasAlphaChannel();
}

void CPanelBackground::paint(QPainter &p, const QRect &exposed, int hmax, int vmax, const QColor &gridColour,
                             const QFont &labelFont) const
{
    const int g = CPanelGeometry::kGrid;
    if (!m_useImage || !m_tile) {
        p.save();
        // One pixel on, one off, starting on even coordinates, so that partial repaints join.
        QPen pen(gridColour, 1, Qt::CustomDashLine);
        pen.setDashPattern({1.0, 1.0});
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.setFont(labelFont);
        const int labelWidth = QFontMetrics(labelFont).horizontalAdvance(QStringLiteral("10000"));
        const int labelHeight = QFontMetrics(labelFont).height();
        // Only the lines and labels that touch the exposed rectangle.
        const int x0 = qMax(0, CPanelGeometry::toGrid(exposed.left() - labelWidth));
        const int y0 = qMax(0, CPanelGeometry::toGrid(exposed.top() - labelHeight));
        const int top = qMax(0, exposed.top()) & ~1, bottom = qMin(vmax, exposed.bottom() + 1);
        const int left = qMax(0, exposed.left()) & ~1, right = qMin(hmax, exposed.right() + 1);
        for (int x = x0; x < hmax && x <= exposed.right(); x += g) {
            if (x >= exposed.left())
                p.drawLine(x, top, x, bottom);
            if (exposed.top() <= labelHeight)
                p.drawText(QRect(x, 0, labelWidth, labelHeight), Qt::AlignLeft | Qt::AlignTop, QString::number(x / g));
        }
        for (int y = y0; y < vmax && y <= exposed.bottom(); y += g) {
            if (y >= exposed.top())
                p.drawLine(left, y, right, y);
            if (exposed.left() <= labelWidth)
                p.drawText(QRect(0, y, labelWidth, labelHeight), Qt::AlignLeft | Qt::AlignTop, QString::number(y / g));
        }
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
