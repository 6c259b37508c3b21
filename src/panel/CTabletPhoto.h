#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>

// A tablet's photograph as it is drawn: scaled to the rectangle it fills in the photo cell and
// kept only at that size. Cell and rectangle are in the tablet's pixels; scale is the device's
// pixels per tablet pixel (a zoomed panel), and the image has the rectangle's size times scale. Decoded on first use by
// image(), or elsewhere (off the interface thread, decodeFor) and handed in with setDecoded(). The compressed bytes
// stay with the tablet; a change of bytes or of cell size needs a new decoding.
class CTabletPhoto
{
public:
    // Where the photograph of natural size imageSize goes inside cell: scaled to fit, centred,
    // then shrunk by 2 pixels on every side. Empty when nothing is to be drawn.
    static QRect placement(const QRect &cell, const QSize &imageSize);

    // For cached(): an image decoded at any scale will do.
    static constexpr qreal kAnyScale = 0;

    // The image for these bytes in this cell (null when there is none or it does not decode),
    // with the rectangle to draw it in.
    const QImage &image(const QByteArray &bytes, const QRect &cell, QRect *target, qreal scale = 1.0);
    // The same without decoding: false when the cache holds nothing for these bytes, cell and scale.
    bool cached(const QByteArray &bytes, const QRect &cell, const QImage **image, QRect *target,
                qreal scale = 1.0) const;
    // The decoding itself, for any thread: the image at the size drawn (in the painter's format).
    static QImage decodeFor(const QByteArray &bytes, const QRect &cell, QRect *target, qreal scale = 1.0);
    // Keeps an image decoded elsewhere for these bytes, cell and scale.
    void setDecoded(const QByteArray &bytes, const QRect &cell, const QImage &image, const QRect &target,
                    qreal scale = 1.0);

    // Memory held by the decoded image (not the compressed bytes).
    qsizetype cachedBytes() const { return m_image.sizeInBytes(); }
    void clear();

private:
    QByteArray m_source; // a shallow copy: tells whether the tablet's bytes changed
    QRect m_cell;
    QRect m_target;
    qreal m_scale = 1.0;
    QImage m_image;
    bool m_done = false;
};
