#include "panel/CPhotoDecoder.h"

#include "panel/CJpegError.h"
#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

const char *qtFormat(CPhotoDecoder::Format f)
{
    switch (f) {
    case CPhotoDecoder::Format::Gif:
        return "GIF";
    case CPhotoDecoder::Format::Bmp:
        return "BMP";
    case CPhotoDecoder::Format::Jpeg:
        return "JPEG";
    default:
        return nullptr;
    }
}

int ceilDiv(long long a, long long b)
{
    return int((a + b - 1) / b);
}

// Everything that must survive a longjmp lives in plain C data set up before setjmp.
struct JpegJob
{
    jpeg_decompress_struct cinfo;
    CJpegError err;
};

// Reads the header and, when wanted, the pixels. Kept free of C++ objects with destructors
// between setjmp and the end, because libjpeg reports errors with longjmp.
bool runJpeg(JpegJob &job, const QByteArray &bytes, const QSize &atLeast, bool headerOnly, QSize *natural, QImage *out)
{
    job.cinfo.err = job.err.install(true);
    jpeg_create_decompress(&job.cinfo);
    // libjpeg's own working memory, apart from the picture: a progressive JPEG keeps every
    // coefficient of the whole image, whatever scale is decoded, so a few hundred bytes that
    // declare a large progressive picture would take hundreds of megabytes. Over the bound
    // libjpeg stops with an error (it has no disk to spill to), and the picture is unloadable.
    job.cinfo.mem->max_memory_to_use = CPhotoDecoder::kMaxJpegMemory;
    if (setjmp(job.err.jump)) {
        jpeg_destroy_decompress(&job.cinfo);
        return false;
    }
    jpeg_mem_src(&job.cinfo, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&job.cinfo, TRUE);
    if (job.cinfo.image_width > JDIMENSION(CPhotoDecoder::kMaxSide) ||
        job.cinfo.image_height > JDIMENSION(CPhotoDecoder::kMaxSide) ||
        !CPhotoDecoder::withinCap(QSize(int(job.cinfo.image_width), int(job.cinfo.image_height)))) {
        jpeg_destroy_decompress(&job.cinfo);
        return false;
    }
    if (natural)
        *natural = QSize(int(job.cinfo.image_width), int(job.cinfo.image_height));
    if (headerOnly) {
        jpeg_destroy_decompress(&job.cinfo);
        return true;
    }
    const bool cmyk = job.cinfo.jpeg_color_space == JCS_CMYK || job.cinfo.jpeg_color_space == JCS_YCCK;
    job.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    job.cinfo.scale_num =
        CPhotoDecoder::jpegScaleNumerator(QSize(int(job.cinfo.image_width), int(job.cinfo.image_height)), atLeast);
    job.cinfo.scale_denom = 8;
    job.cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&job.cinfo);
    const int w = int(job.cinfo.output_width);
    const int h = int(job.cinfo.output_height);
    // QImage's allocation cannot longjmp; a null image here is a failure reported below.
    *out = QImage(w, h, QImage::Format_RGB32);
    if (out->isNull()) {
        jpeg_destroy_decompress(&job.cinfo);
        return false;
    }
    while (job.cinfo.output_scanline < job.cinfo.output_height) {
        uchar *line = out->scanLine(int(job.cinfo.output_scanline));
        JSAMPROW row = line;
        jpeg_read_scanlines(&job.cinfo, &row, 1);
        if (cmyk) {
            // Adobe writes inverted CMYK; 4 bytes per pixel, converted in place.
            for (int x = 0; x < w; ++x) {
                uchar *p = line + 4 * x;
                const int c = p[0], m = p[1], y = p[2], k = p[3];
                const QRgb rgb = qRgb(c * k / 255, m * k / 255, y * k / 255);
                *reinterpret_cast<QRgb *>(p) = rgb;
            }
        }
    }
    jpeg_finish_decompress(&job.cinfo);
    jpeg_destroy_decompress(&job.cinfo);
    return true;
}

// GIF and BMP through Qt, the declared size checked before the pixels are read.
QImage readQt(const QByteArray &bytes, CPhotoDecoder::Format f)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf, qtFormat(f));
    if (!CPhotoDecoder::withinCap(reader.size()))
        return QImage();
    return reader.read();
}

} // namespace

bool CPhotoDecoder::withinCap(const QSize &declared)
{
    return declared.isValid() && declared.width() <= kMaxSide && declared.height() <= kMaxSide &&
           qint64(declared.width()) * declared.height() <= kMaxPixels;
}

CPhotoDecoder::Format CPhotoDecoder::formatOf(const QByteArray &bytes)
{
    if (bytes.size() >= 3 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8 && uchar(bytes[2]) == 0xFF)
        return Format::Jpeg;
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return Format::Gif;
    if (bytes.size() >= 14 && bytes.startsWith("BM"))
        return Format::Bmp;
    return Format::Unknown;
}

int CPhotoDecoder::jpegScaleNumerator(const QSize &natural, const QSize &atLeast)
{
    if (atLeast.isEmpty() || natural.isEmpty())
        return 8;
    for (int n = 1; n < 8; ++n) {
        if (ceilDiv(qint64(natural.width()) * n, 8) >= atLeast.width() &&
            ceilDiv(qint64(natural.height()) * n, 8) >= atLeast.height())
            return n;
    }
    return 8;
}

QSize CPhotoDecoder::imageSize(const QByteArray &bytes)
{
    const Format f = formatOf(bytes);
    if (f == Format::Jpeg) {
        JpegJob job;
        QSize s;
        return runJpeg(job, bytes, QSize(), true, &s, nullptr) ? s : QSize();
    }
    if (f == Format::Unknown)
        return QSize();
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf, qtFormat(f));
    const QSize size = reader.size();
    return withinCap(size) ? size : QSize();
}

QImage CPhotoDecoder::decodeJpeg(const QByteArray &bytes, const QSize &atLeast)
{
    JpegJob job;
    QImage img;
    if (!runJpeg(job, bytes, atLeast, false, nullptr, &img))
        return QImage();
    return img;
}

QImage CPhotoDecoder::decode(const QByteArray &bytes, const QSize &atLeast)
{
    const Format f = formatOf(bytes);
    if (f == Format::Jpeg)
        return decodeJpeg(bytes, atLeast);
    if (f == Format::Unknown)
        return QImage();
    return readQt(bytes, f);
}

QImage CPhotoDecoder::loadFile(const QString &path, Format format)
{
    if (format == Format::Unknown)
        return QImage();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QImage();
    const QByteArray bytes = f.readAll();
    if (format == Format::Jpeg)
        return decodeJpeg(bytes);
    return readQt(bytes, format);
}
