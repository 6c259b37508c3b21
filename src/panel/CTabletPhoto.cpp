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
    m_scale = 1.0;
    m_done = false;
}

QImage CTabletPhoto::decodeFor(const QByteArray &bytes, const QRect &cell, QRect *target, qreal scale)
{
    QImage image;
    QRect where;
    if (!bytes.isEmpty()) {
        where = placement(cell, CPhotoDecoder::imageSize(bytes));
        const QSize pixels = scale == 1.0 ? where.size() : (QSizeF(where.size()) * scale).toSize();
        if (!where.isEmpty() && !pixels.isEmpty()) {
            const QImage decoded = CPhotoDecoder::decode(bytes, pixels);
            if (!decoded.isNull())
                image = decoded.size() == pixels
                            ? decoded
                            : decoded.scaled(pixels, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        // Kept in the painter's native format: drawn often, converted once.
        if (!image.isNull() && image.format() != QImage::Format_RGB32)
            image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                  : QImage::Format_RGB32);
    }
    if (target)
        *target = image.isNull() ? QRect() : where;
    return image;
}

void CTabletPhoto::setDecoded(const QByteArray &bytes, const QRect &cell, const QImage &image, const QRect &target,
                              qreal scale)
{
    m_source = bytes;
    m_cell = cell;
    m_scale = scale;
    m_image = image;
    m_target = image.isNull() ? QRect() : target;
    m_done = true;
}

bool CTabletPhoto::cached(const QByteArray &bytes, const QRect &cell, const QImage **image, QRect *target,
                          qreal scale) const
{
    // Same buffer (not only equal contents), same cell and scale: the cached image stands.
    const bool sameBytes = bytes.constData() == m_source.constData() && bytes.size() == m_source.size();
    if (!(m_done && sameBytes && cell == m_cell && (scale == kAnyScale || scale == m_scale)))
        return false;
    if (image)
        *image = &m_image;
    if (target)
        *target = m_target;
    return true;
}

const QImage &CTabletPhoto::image(const QByteArray &bytes, const QRect &cell, QRect *target, qreal scale)
{
    if (!cached(bytes, cell, nullptr, nullptr, scale)) {
        QRect where;
        const QImage decoded = decodeFor(bytes, cell, &where, scale);
        setDecoded(bytes, cell, decoded, where, scale);
    }
    if (target)
        *target = m_target;
    return m_image;
}
