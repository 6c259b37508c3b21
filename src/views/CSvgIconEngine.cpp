#include "views/CSvgIconEngine.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

CSvgIconEngine::CSvgIconEngine(const QByteArray &svg, bool followPalette) : m_svg(svg), m_followPalette(followPalette)
{
}

QByteArray CSvgIconEngine::currentSvg() const
{
    if (!m_followPalette || !qApp)
        return m_svg;
    const QColor text = QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
    // On a light theme the pictures keep their own dark ink; on a dark one the ink turns light.
    if (text.lightness() < 128)
        return m_svg;
    return QByteArray(m_svg).replace(kInk, text.name().toLatin1());
}

void CSvgIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(rect, scaledPixmap((QSizeF(rect.size()) * scale).toSize(), mode, state, scale));
}

QPixmap CSvgIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

// size is in device pixels already, as QIcon asks for it; scale is the ratio it is shown at.
QPixmap CSvgIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale)
{
    const QSize device = size;
    QPixmap pm(device);
    pm.fill(Qt::transparent);
    {
        QSvgRenderer renderer(currentSvg());
        QPainter p(&pm);
        renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(device)));
    }
    pm.setDevicePixelRatio(scale);
    if (mode == QIcon::Disabled || mode == QIcon::Selected) {
        if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
            QStyleOption opt;
            opt.palette = QApplication::palette();
            const QPixmap generated = QApplication::style()->generatedIconPixmap(mode, pm, &opt);
            if (!generated.isNull())
                return generated;
        }
    }
    return pm;
}

QIconEngine *CSvgIconEngine::clone() const
{
    return new CSvgIconEngine(m_svg, m_followPalette);
}

QString CSvgIconEngine::key() const
{
    return QStringLiteral("zorvik-svg");
}
