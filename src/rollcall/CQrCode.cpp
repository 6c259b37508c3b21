#include "rollcall/CQrCode.h"

#include <QPainter>
#include <qrencode.h>

QImage CQrCode::image(const QString &text, int moduleSize)
{
    const QByteArray utf8 = text.toUtf8();
    QRcode *code = QRcode_encodeString8bit(utf8.constData(), 0, QR_ECLEVEL_M);
    if (!code)
        return {};
    constexpr int kQuiet = 4;
    const int modules = code->width + 2 * kQuiet;
    QImage out(modules * moduleSize, modules * moduleSize, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1) // bit 0: a dark module
                p.fillRect((x + kQuiet) * moduleSize, (y + kQuiet) * moduleSize, moduleSize, moduleSize, Qt::black);
    p.end();
    QRcode_free(code);
    return out;
}
