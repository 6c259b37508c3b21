#pragma once

#include <QByteArray>
#include <QIconEngine>

// An icon drawn from SVG at whatever size and pixel ratio it is asked for, so that it is sharp
// on a 2x screen. The outline ink of the program's pictures (#283040) is drawn in the text
// colour of the application's palette, so that the pictures stay visible on a dark theme.
class CSvgIconEngine : public QIconEngine
{
public:
    // followPalette: whether the ink colour follows the palette (not for the program's icon).
    CSvgIconEngine(const QByteArray &svg, bool followPalette);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QIconEngine *clone() const override;
    QString key() const override;
    // The picture as drawn now: the ink replaced by the palette's text colour.
    QByteArray currentSvg() const;

    static constexpr const char *kInk = "#283040";

private:
    // The picture at device pixels, shown at scale.
    QPixmap render(const QSize &device, QIcon::Mode mode, qreal scale) const;

    QByteArray m_svg;
    bool m_followPalette;
};
