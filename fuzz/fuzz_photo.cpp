// Photographs come from a database column that other programs write: any bytes must decode
// to an image or to nothing, never crash.
#include "panel/CPhotoDecoder.h"
#include "panel/CTabletPhoto.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QSize natural = CPhotoDecoder::imageSize(bytes);
    // Keep pathological headers from asking for gigabytes: the decoder itself allows them.
    if (natural.isValid() && qint64(natural.width()) * natural.height() > 16 * 1024 * 1024)
        return 0;
    CTabletPhoto photo;
    QRect target;
    const QImage &img = photo.image(bytes, QRect(5, 25, 53, 66), &target);
    if (!img.isNull() && img.size() != target.size())
        __builtin_trap();
    (void)CPhotoDecoder::decode(bytes, QSize(20, 20));
    return 0;
}
