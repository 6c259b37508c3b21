#include "reports/CReportDevice.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {

// Keeps converted values far from int overflow whatever a template holds.
constexpr double kLimit = 1.0e7;

int toInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

} // namespace

CReportDevice::CReportDevice(QPainter &painter, int dpi, QPoint physicalOffset)
    : m_painter(painter), m_dpi(dpi > 0 ? dpi : 96), m_offset(physicalOffset)
{
}

int CReportDevice::length(double inches) const
{
    return toInt(inches * m_dpi + 0.5);
}

int CReportDevice::fontPixels(int tenths) const
{
    if (tenths <= 0) {
        const qreal points = QFont().pointSizeF();
        tenths = points > 0 ? int(points * 10 + 0.5) : 100;
    }
    const int px = toInt((m_dpi / 72.0) * (tenths / 10.0) + 0.5);
    return std::clamp(px, 1, 10000);
}

QString CReportDevice::fitted(const QString &text, const QFont &font, const QRect &rect, int flags) const
{
    const QFontMetrics fm(font, m_painter.device());
    const int width = std::max(1, rect.width());
    if (flags & Qt::TextSingleLine)
        return fm.horizontalAdvance(text) <= width ? text : fm.elidedText(text, Qt::ElideRight, width);
    const QRect needed = fm.boundingRect(QRect(rect.topLeft(), QSize(width, 1 << 20)), flags, text);
    if (needed.height() <= rect.height())
        return text;
    // As many wrapped lines as the cell shows, the last one ended with an ellipsis.
    const int lines = std::max(1, rect.height() / std::max(1, fm.lineSpacing()));
    QTextLayout layout(text, font, m_painter.device());
    layout.beginLayout();
    QString out;
    for (int i = 0; i < lines; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (i == lines - 1) {
            out += fm.elidedText(text.mid(line.textStart()).simplified(), Qt::ElideRight, width);
            break;
        }
        out += text.mid(line.textStart(), line.textLength()).trimmed() + u'\n';
    }
    layout.endLayout();
    return out;
}

QPoint CReportDevice::point(double x, double y) const
{
    return QPoint(length(x), length(y)) - m_offset;
}

QRect CReportDevice::rect(double left, double top, double right, double bottom) const
{
    return QRect(point(left, top), point(right, bottom) - QPoint(1, 1));
}

QPen CReportDevice::pen(const CLineStyle &line) const
{
    static const Qt::PenStyle styles[] = {Qt::SolidLine,      Qt::DashLine, Qt::DotLine,  Qt::DashDotLine,
                                          Qt::DashDotDotLine, Qt::NoPen,    Qt::SolidLine};
    const Qt::PenStyle style = line.style >= 0 && line.style <= 6 ? styles[line.style] : Qt::SolidLine;
    QPen p(colour(line.colour), std::clamp(length(line.width), 0, 10000), style);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

QColor CReportDevice::colour(int colourRef)
{
    const unsigned v = static_cast<unsigned>(colourRef);
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

int CReportDevice::textFlags(int format)
{
    int flags = 0;
    if (format & 0x1)
        flags |= Qt::AlignHCenter;
    else if (format & 0x2)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (format & 0x4)
        flags |= Qt::AlignVCenter;
    else if (format & 0x8)
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    // Words always break at the right edge unless the text is one line.
    if (format & 0x20)
        flags |= Qt::TextSingleLine;
    else
        flags |= Qt::TextWordWrap;
    if (format & 0x100)
        flags |= Qt::TextDontClip;
    return flags;
}

QRect CReportDevice::outline(const QRect &r)
{
    // A pen rectangle of Qt covers one pixel more to the right and below than its fill.
    const QRect n = r.normalized();
    return QRect(n.x(), n.y(), std::max(0, n.width() - 1), std::max(0, n.height() - 1));
}
