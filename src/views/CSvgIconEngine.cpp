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

void CSvgIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State)
{
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(rect, render((QSizeF(rect.size()) * scale).toSize(), mode, scale));
}

QPixmap CSvgIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State)
{
    return render(size, mode, 1.0);
}

QPixmap CSvgIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale)
{
    // Qt 6.8 asks in logical pixels, earlier releases in device pixels.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    return render((QSizeF(size) * scale).toSize(), mode, scale);
#else
    return render(size, mode, scale);
#endif
}

QPixmap CSvgIconEngine::render(const QSize &device, QIcon::Mode mode, qreal scale) const
{
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
