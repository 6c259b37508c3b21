#pragma once

#include <QImage>
#include <QString>

// A QR code as a picture, for a phone's camera to read from the screen.
class CQrCode
{
public:
    // Black modules of moduleSize pixels on white, with the four-module quiet zone readers
    // need; error correction level M, so a glare or a smudge on the screen still reads. A null
    // image when the text does not fit a QR code.
    static QImage image(const QString &text, int moduleSize);
};
