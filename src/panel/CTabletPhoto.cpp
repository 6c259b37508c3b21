#include "panel/CTabletPhoto.h"

#include "panel/CPhotoDecoder.h"

#include <algorithm>

QRect CTabletPhoto::placement(const QRect &cell, const QSize &imageSize)
{
    if (imageSize.isEmpty() || cell.isEmpty())
        return QRect();
    const double s = std::min(double(cell.width()) / imageSize.width(), double(cell.height()) / imageSize.height());
    const int w = int(imageSize.width() * s);
    const int h = int(imageSize.height() * s);
    const int dx = int((cell.width() - w) / 2.0);
    const int dy = int((cell.height() - h) / 2.0);
    const QRect r(cell.left() + dx + 2, cell.top() + dy + 2, w - 4, h - 4);
    return r.isEmpty() ? QRect() : r;
}

void CTabletPhoto::clear()
{
    m_source = QByteArray();
    m_image = QImage();
    m_target = QRect();
    m_cell = QRect();
    m_done = false;
}

const QImage &CTabletPhoto::image(const QByteArray &bytes, const QRect &cell, QRect *target)
{
    // Same buffer (not only equal contents) and same cell: the cached image stands.
    const bool sameBytes = bytes.constData() == m_source.constData() && bytes.size() == m_source.size();
    if (!(m_done && sameBytes && cell == m_cell)) {
        clear();
        m_source = bytes;
        m_cell = cell;
        m_done = true;
        if (!bytes.isEmpty()) {
            const QSize natural = CPhotoDecoder::imageSize(bytes);
            m_target = placement(cell, natural);
            if (!m_target.isEmpty()) {
                QImage decoded = CPhotoDecoder::decode(bytes, m_target.size());
                if (!decoded.isNull())
                    m_image = decoded.size() == m_target.size()
                                  ? decoded
                                  : decoded.scaled(m_target.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
            }
            // Kept in the painter's native format: drawn often, converted once.
            if (!m_image.isNull() && m_image.format() != QImage::Format_RGB32)
                m_image = m_image.convertToFormat(m_image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                            : QImage::Format_RGB32);
            if (m_image.isNull())
                m_target = QRect();
        }
    }
    if (target)
        *target = m_target;
    return m_image;
}
