#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Decodes photographs and background images: JPEG with libjpeg itself (using its scaled
// decoding so that a large photograph is never decoded at full size for a small cell), GIF
// and BMP with QImage. Photographs come from the database without a name, so their format
// is recognised from the content; background images are chosen by the file's ending. A picture
// whose header declares more than kMaxSide pixels a side or kMaxPixels in all is refused as
// unloadable before any pixel memory is taken: a few hundred bytes could otherwise ask for
// gigabytes; a JPEG that needs more than kMaxJpegMemory to decode is refused as well.
// Safe to use on any thread.
class CPhotoDecoder
{
public:
    enum class Format
    {
        Unknown,
        Jpeg,
        Gif,
        Bmp
    };

    static constexpr int kMaxSide = 8000;
    static constexpr qint64 kMaxPixels = 40'000'000;
    // The most memory libjpeg may use while decoding, the picture itself not counted: enough for
    // a progressive JPEG of ten megapixels (more with the usual colour subsampling) and for a
    // baseline one of any size within the cap.
    static constexpr long kMaxJpegMemory = 64L * 1024 * 1024;
    static bool withinCap(const QSize &declared);

    static Format formatOf(const QByteArray &bytes);
    // Natural size from the header alone; invalid when the bytes are not a known image or the
    // size is over the cap.
    static QSize imageSize(const QByteArray &bytes);
    // Decodes the image; a JPEG is decoded at the smallest libjpeg scale (n/8) whose result is
    // at least atLeast in both directions (full size when atLeast is empty). Null on failure.
    static QImage decode(const QByteArray &bytes, const QSize &atLeast = QSize());
    static QImage decodeJpeg(const QByteArray &bytes, const QSize &atLeast = QSize());
    // Reads a file as an image of the given format (no guessing); null when it cannot.
    static QImage loadFile(const QString &path, Format format);

    // The numerator n of the libjpeg scale n/8 chosen for an image of natural size decoded for
    // a target of size atLeast: the smallest n whose output (rounded up, as libjpeg does) is
    // not smaller than the target; 8 when none is.
    static int jpegScaleNumerator(const QSize &natural, const QSize &atLeast);
};
