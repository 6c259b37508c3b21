#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>

namespace paneltest {

// A two-colour GIF (Qt reads GIF but cannot write it). Every pixel is its own 9-bit code, and
// a clear code comes often enough that the code table never needs wider codes.
inline QByteArray gif(int w, int h, const QColor &left, const QColor &right)
{
    QByteArray out("GIF89a");
    auto word = [&out](int v) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    };
    word(w);
    word(h);
    out.append(char(0xF7)); // global table of 256 colours
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 256; ++i) {
        const QColor c = i == 0 ? left : i == 1 ? right : QColor(Qt::black);
        out.append(char(c.red()));
        out.append(char(c.green()));
        out.append(char(c.blue()));
    }
    out.append(',');
    word(0);
    word(0);
    word(w);
    word(h);
    out.append(char(0));
    out.append(char(8)); // minimum code size
    QByteArray data;
    quint32 acc = 0;
    int bits = 0;
    auto code = [&](int c) {
        acc |= quint32(c) << bits;
        bits += 9;
        while (bits >= 8) {
            data.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    int sinceClear = 0;
    code(256);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (++sinceClear == 200) {
                code(256);
                sinceClear = 1;
            }
            code(x < w / 2 ? 0 : 1);
        }
    code(257);
    if (bits > 0)
        data.append(char(acc & 0xFF));
    for (int i = 0; i < data.size(); i += 255) {
        const QByteArray block = data.mid(i, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    out.append(';');
    return out;
}

// A photograph as the database would hold it: left half one colour, right half another,
// encoded in the given format ("JPEG", "GIF", "BMP").
inline QByteArray photo(int w, int h, const QColor &left, const QColor &right, const char *format = "JPEG")
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h, left);
    p.fillRect(w / 2, 0, w - w / 2, h, right);
    p.end();
    if (QByteArray(format) == "GIF")
        return gif(w, h, left, right);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format, 95);
    return bytes;
}

// Colours close enough for lossy compression.
inline bool near(const QColor &a, const QColor &b, int tolerance = 24)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// How many pixels of a rectangle have exactly this colour.
inline int countColour(const QImage &img, const QRect &r, const QColor &c)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y).rgb() == c.rgb())
                ++n;
    return n;
}

} // namespace paneltest
