#include "reports/CReportItem.h"

#include "app/CClock.h"
#include "reports/CReportDevice.h"

#include <QBrush>
#include <QFont>
#include <QPainter>

CReportItem::~CReportItem() = default;

QString CReportItem::ExpandVariables(int page, const QString &text)
{
    if (!text.contains(QLatin1String("[%")))
        return text;
    QString out = text;
    out.replace(QLatin1String("[%page%]"), QString::number(page));
    if (out.contains(QLatin1String("[%date%]")) || out.contains(QLatin1String("[%time%]"))) {
        // strftime "%x" and "%X" in the C locale, whatever locale the program runs in.
        const QDateTime now = CClock::now();
        out.replace(QLatin1String("[%date%]"), now.toString(QStringLiteral("MM/dd/yy")));
        out.replace(QLatin1String("[%time%]"), now.toString(QStringLiteral("HH:mm:ss")));
    }
    return out;
}

bool CReportItem::takeMarker(QString &text, const QString &marker)
{
    if (!text.contains(marker))
        return false;
    text.remove(marker);
    return true;
}

QString CReportItem::literal(const QString &text)
{
    if (!text.contains(u'%') && !text.contains(u'|'))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'%')
            out += QLatin1String("%%");
        else if (c == u'|')
            out += QLatin1String("%!");
        else
            out += c;
    }
    return out;
}

QString CReportItem::shown(const QString &text)
{
    if (!text.contains(u'%'))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (text.at(i) == u'%' && (next == u'%' || next == u'!')) {
            out += next == u'%' ? u'%' : u'|';
            ++i;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

void CReportItem::drawShape(CReportDevice &device, bool ellipse) const
{
    QPainter &p = device.painter();
    QRect r = device.rect(left, top, right, bottom);
    if (frame.on) {
        const QPen pen = device.pen(frame);
        p.setPen(pen);
        // Inside-frame lines keep the whole pen within the rectangle.
        if (frame.style == 6 && pen.width() > 1) {
            const int half = pen.width() / 2;
            r.adjust(half, half, -half, -half);
        }
    } else {
        p.setPen(Qt::NoPen);
    }
    p.setBrush(fillOn ? QBrush(CReportDevice::colour(fillColour)) : QBrush(Qt::NoBrush));
    const QRect shape = frame.on ? CReportDevice::outline(r) : r.normalized();
    if (ellipse)
        p.drawEllipse(shape);
    else
        p.drawRect(shape);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::white);
}

void CReportItem::drawText(int page, CReportDevice &device, const QString &content, bool forceBold, bool forceItalic,
                           bool hasLiterals) const
{
    QPainter &p = device.painter();
    QFont font(fontFace);
    font.setPixelSize(device.fontPixels(fontSize));
    font.setWeight(bold || forceBold ? QFont::Bold : QFont::Normal);
    font.setItalic(italic || forceItalic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    const QPen saved = p.pen();
    p.setFont(font);
    p.setPen(CReportDevice::colour(textColour));
    p.setBackgroundMode(Qt::TransparentMode);
    const QString expanded = ExpandVariables(page, content);
    p.drawText(device.rect(left, top, right, bottom).normalized(), CReportDevice::textFlags(textFormat),
               hasLiterals ? shown(expanded) : expanded);
    p.setPen(saved);
    p.setFont(QFont());
}
