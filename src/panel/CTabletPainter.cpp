#include "panel/CTabletPainter.h"

#include "app/CStringTable.h"
#include "panel/CTablet.h"
#include "panel/CTabletPhoto.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QtMath>
#include <cmath>

namespace {

constexpr int kWidthForFonts = 168;

// What must be added above a line so that its capitals start minTopGap pixels below its top.
int topGap(const QFontMetrics &fm, int minTopGap)
{
    const int above = fm.ascent() - qCeil(fm.capHeight());
    return qMax(0, minTopGap - above);
}

// The layout has fixed pitches (details lines 12 pixels apart, the name in a 24-pixel strip)
// made for an 8-point Windows font; a larger desktop font is brought down to fit them, and the
// details font so far that a full media number fits beside the photograph. A line's height is
// its line spacing (leading included), so that neighbouring lines never touch.
QFont fitted(QFont f, int maxLineSpacing, const QString &sample = QString(), int maxWidth = 0, int minTopGap = 0)
{
    auto fits = [&](const QFont &font) {
        const QFontMetrics fm(font);
        return fm.lineSpacing() + topGap(fm, minTopGap) <= maxLineSpacing &&
               (maxWidth <= 0 || fm.horizontalAdvance(sample) <= maxWidth);
    };
    if (fits(f))
        return f;
    for (int px = maxLineSpacing; px > 7; --px) {
        f.setPixelSize(px);
        if (fits(f))
            break;
    }
    return f;
}

// The closest details lines are 12 pixels apart; one pixel of them stays free. The first line
// starts on the inner line of the sunken edge, so capitals keep two pixels below a line's top.
constexpr int kDetailsLineSpacing = 11;
constexpr int kDetailsCapGap = 2;

const QColor kWarningYellow(255, 196, 0);

} // namespace

CTabletPainter::Look CTabletPainter::Look::fromPalette(const QPalette &pal, const QFont &guiFont, int iconSize)
{
    Look l;
    l.body = pal.color(QPalette::Button);
    l.selectedBody = pal.color(QPalette::Highlight);
    l.nameText = pal.color(QPalette::ButtonText);
    l.selectedNameText = pal.color(QPalette::HighlightedText);
    l.detailsText = pal.color(QPalette::ToolTipText);
    l.detailsBackground = pal.color(QPalette::ToolTipBase);
    l.light = pal.color(QPalette::Light);
    l.midlight = pal.color(QPalette::Midlight);
    l.dark = pal.color(QPalette::Dark);
    l.shadow = pal.color(QPalette::Shadow);
    const int textWidth = CTabletPainter::detailsTextRect(QSize(kWidthForFonts, 96)).width() - 3;
    l.detailsFont = fitted(guiFont, kDetailsLineSpacing,
                           CStringTable::text(QStringLiteral("tablet.mediaid")) + QStringLiteral("00000000"), textWidth,
                           kDetailsCapGap);
    l.detailsTopGap = topGap(QFontMetrics(l.detailsFont), kDetailsCapGap);
    QFont bold = guiFont;
    bold.setWeight(QFont::Bold);
    l.nameFont = fitted(bold, 16);
    // Two lines in the 18 pixels inside the raised edge of a collapsed tablet.
    l.wrappedNameFont = fitted(bold, 9);
    l.iconSize = iconSize > 0 ? iconSize : 16;
    return l;
}

CTabletPainter::CTabletPainter(const Look &look) : m_look(look) {}

QRect CTabletPainter::detailsArea(const QSize &size)
{
    return QRect(QPoint(5, 25), QPoint(size.width() - 5 - 1, 91 - 1));
}

QRect CTabletPainter::nameRoom(const QSize &size)
{
    constexpr int kLeft = 24, kTop = 5, kHeight = 16, kGapBeforeIcons = 2;
    return QRect(kLeft, kTop, qMax(0, iconPosition(size).x() - kGapBeforeIcons - kLeft), kHeight);
}

QRect CTabletPainter::wrappedNameRoom(const QSize &size)
{
    const QRect one = nameRoom(size);
    return QRect(one.left(), 3, one.width(), 18);
}

CTabletPainter::NameLines CTabletPainter::nameLines(const QString &name, const QSize &size, bool wrap,
                                                    int roomRight) const
{
    QRect room = nameRoom(size);
    const QFontMetrics normal(m_look.nameFont);
    // What fits is what the ellipsis would leave whole (its measure, not the advance's).
    const auto fits = [](const QFontMetrics &fm, const QString &text, int width) {
        return fm.elidedText(text, Qt::ElideRight, width) == text;
    };
    const QString oneLine = normal.elidedText(name, Qt::ElideRight, room.width());
    if (oneLine == name || !wrap)
        return {m_look.nameFont, {oneLine}};
    // A name that wraps may also take the room of icons the tablet does not show.
    if (roomRight > room.right())
        room.setRight(roomRight);
    // A little smaller on its one line (down to four fifths) reads better than two lines.
    QFont smaller = m_look.nameFont;
    const int pixels = QFontInfo(m_look.nameFont).pixelSize();
    for (int px = pixels - 1; px * 5 >= pixels * 4; --px) {
        smaller.setPixelSize(px);
        if (fits(QFontMetrics(smaller), name, room.width()))
            return {smaller, {name}};
    }
    // Two lines, broken between words or after a hyphen (double surnames): as many parts on the
    // first line as it holds, at least one.
    const QFontMetrics small(m_look.wrappedNameFont);
    QStringList parts;
    for (const QString &word : name.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList pieces = word.split(u'-');
        for (qsizetype i = 0; i < pieces.size(); ++i)
            parts << pieces[i] + (i + 1 < pieces.size() ? QStringLiteral("-") : QStringLiteral(" "));
    }
    QString first;
    qsizetype used = 0;
    for (; used < parts.size(); ++used) {
        const QString tried = first + parts[used];
        if (!first.isEmpty() && !fits(small, tried.trimmed(), room.width()))
            break;
        first = tried;
    }
    first = first.trimmed();
    const QString second = parts.mid(used).join(QString()).trimmed();
    NameLines out{m_look.wrappedNameFont, {small.elidedText(first, Qt::ElideRight, room.width())}};
    if (!second.isEmpty())
        out.lines << small.elidedText(second, Qt::ElideRight, room.width());
    return out;
}

void CTabletPainter::drawName(QPainter &p, const QString &name, const QSize &size, bool wrap, int roomRight) const
{
    const NameLines laid = nameLines(name, size, wrap, roomRight);
    const QFontMetrics fm(laid.font);
    p.save();
    p.setFont(laid.font);
    if (laid.lines.size() == 1) {
        // On the name's own line, as every other tablet's name (a wrapping one as far right as
        // it was laid out for).
        QRect room = nameRoom(size);
        if (wrap)
            room.setRight(qMax(room.right(), roomRight));
        p.setClipRect(room, Qt::IntersectClip);
        p.drawText(QPoint(room.left(), room.top() + QFontMetrics(m_look.nameFont).ascent()), laid.lines[0]);
    } else {
        QRect room = wrappedNameRoom(size);
        room.setRight(qMax(room.right(), roomRight));
        p.setClipRect(room, Qt::IntersectClip);
        const int pitch = room.height() / 2;
        for (int i = 0; i < laid.lines.size(); ++i)
            p.drawText(QPoint(room.left(), room.top() + i * pitch + (pitch - fm.height()) / 2 + fm.ascent()),
                       laid.lines[i]);
    }
    p.restore();
}

QRect CTabletPainter::photoCell(const QSize &size)
{
    const QRect d = detailsArea(size);
    const int right = d.left() + d.width() - 2 * d.width() / 3; // exclusive
    return QRect(d.left(), d.top(), right - d.left(), d.height());
}

QRect CTabletPainter::detailsTextRect(const QSize &size)
{
    const QRect d = detailsArea(size);
    const int left = d.left() + d.width() / 3;
    // Top down by one, right and bottom in by one.
    return QRect(QPoint(left, d.top() + 1), QPoint(d.right() - 1, d.bottom() - 1));
}

void CTabletPainter::drawEdge(QPainter &p, const QRect &r, bool raised) const
{
    // Two lines on each side, like a Windows 3D edge: the outer pair, then the inner pair.
    const QColor outerLit = raised ? m_look.midlight : m_look.dark;
    const QColor outerDark = raised ? m_look.shadow : m_look.light;
    const QColor innerLit = raised ? m_look.light : m_look.shadow;
    const QColor innerDark = raised ? m_look.dark : m_look.midlight;
    auto frame = [&p](const QRect &q, const QColor &topLeft, const QColor &bottomRight) {
        p.setPen(topLeft);
        p.drawLine(q.left(), q.bottom() - 1, q.left(), q.top());
        p.drawLine(q.left(), q.top(), q.right() - 1, q.top());
        p.setPen(bottomRight);
        p.drawLine(q.right(), q.top(), q.right(), q.bottom());
        p.drawLine(q.right(), q.bottom(), q.left(), q.bottom());
    };
    frame(r, outerLit, outerDark);
    frame(r.adjusted(1, 1, -1, -1), innerLit, innerDark);
}

void CTabletPainter::drawExpansionIcon(QPainter &p, const QRect &r, bool selected, const Look &look)
{
    // A chevron pointing up ("shown expanded"), in the colour of the name text.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal s = r.width() / 16.0;
    QPen pen(selected ? look.selectedNameText : look.nameText, 2 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF o = r.topLeft();
    QPainterPath path;
    path.moveTo(o + QPointF(2 * s, 9 * s));
    path.lineTo(o + QPointF(6 * s, 5 * s));
    path.lineTo(o + QPointF(10 * s, 9 * s));
    p.drawPath(path);
    p.restore();
}

void CTabletPainter::drawLegalityIcon(QPainter &p, const QRect &r, bool illegal)
{
    if (!illegal)
        return; // legal: a clear image, so that the expansion icon and long names stay readable
    // A warning triangle: its shape and the black mark read without telling colours apart.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal s = r.width() / 16.0;
    const QPointF o = r.topLeft();
    const QPointF corners[3] = {o + QPointF(8 * s, 1 * s), o + QPointF(15.4 * s, 14.6 * s),
                                o + QPointF(0.6 * s, 14.6 * s)};
    p.setPen(QPen(Qt::black, s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kWarningYellow);
    p.drawPolygon(corners, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(o + QPointF(7.1 * s, 5 * s), QSizeF(1.8 * s, 5.4 * s)), 0.8 * s, 0.8 * s);
    p.drawEllipse(QRectF(o + QPointF(7.1 * s, 11.3 * s), QSizeF(1.8 * s, 1.8 * s)));
    p.restore();
}

void CTabletPainter::drawStaleIcon(QPainter &p, const QRect &r)
{
    // A clock: the last clocking is a day old or more.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal s = r.width() / 14.0;
    const QRectF face = QRectF(r).adjusted(0.6 * s, 0.6 * s, -0.6 * s, -0.6 * s);
    const QColor ink(32, 32, 32);
    p.setPen(QPen(ink, 1.2 * s));
    p.setBrush(Qt::white);
    p.drawEllipse(face);
    const QPointF c = face.center();
    p.setPen(QPen(ink, 1.5 * s, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -4.2 * s));
    p.drawLine(c, c + QPointF(3.2 * s, 0));
    p.restore();
}

qreal CTabletPainter::contrast(const QColor &a, const QColor &b)
{
    auto luminance = [](const QColor &c) {
        auto channel = [](qreal v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const qreal la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QColor CTabletPainter::ringColour(const QColor &body)
{
    return contrast(Qt::black, body) >= 3.0 ? QColor(Qt::black) : QColor(Qt::white);
}

QColor CTabletPainter::dotColour(const CTablet &t, const Context &ctx)
{
    if (ctx.colours) {
        auto it = ctx.colours->find(t.activityId);
        if (it != ctx.colours->end())
            return activityQColor(it->second);
    }
    return Qt::black;
}

void CTabletPainter::paint(QPainter &p, const CTablet &t, const QSize &size, const Context &ctx,
                           CTabletPhoto *photo) const
{
    const int w = size.width();
    const int h = size.height();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);

    // Outline and body.
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(0, 0, w - 1, h - 1);
    const QRect body(1, 1, w - 2, h - 2);
    p.fillRect(body, t.isSelected() ? m_look.selectedBody : m_look.body);
    drawEdge(p, body, true);

    // Activity dot, with a ring two pixels wide that stands out from the body whatever the
    // dot's colour (a pale dot on a pale tablet would vanish otherwise).
    const QColor dot = dotColour(t, ctx);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(ringColour(t.isSelected() ? m_look.selectedBody : m_look.body), 2));
    p.setBrush(dot);
    p.drawEllipse(QRectF(5, 5, 13, 13));
    p.setRenderHint(QPainter::Antialiasing, false);

    // Name.
    QColor nameColour = m_look.nameText;
    if (t.isSelected())
        nameColour = m_look.selectedNameText;
    else if (t.isStale())
        nameColour = QColor(255, 0, 0);
    p.setPen(nameColour);
    p.setBrush(Qt::NoBrush);
    // A long name ends with an ellipsis before the icons (the details show the whole of it), or,
    // where names may wrap, goes on two lines first.
    const int iconsRight = t.isIllegal() || t.isExpanded() ? 0 : t.isStale() ? staleIconRect(size).left() - 2 : w - 6;
    drawName(p, t.displayName(ctx.nameFormat), size, ctx.wrapNames, iconsRight);

    // Icons: the clock of a stale tablet, expansion (only when the user expanded it), legality
    // always, over it.
    if (t.isStale())
        drawStaleIcon(p, staleIconRect(size));
    const QRect icon(iconPosition(size), QSize(m_look.iconSize, m_look.iconSize));
    if (t.isExpanded())
        drawExpansionIcon(p, icon, t.isSelected(), m_look);
    drawLegalityIcon(p, icon, t.isIllegal());

    // Details area: photograph on the left, texts on the right.
    if (h > 25) {
        const QRect cell = photoCell(size);
        p.fillRect(cell, m_look.body);
        if (!t.photograph().isEmpty()) {
            CTabletPhoto once;
            CTabletPhoto *cache = photo ? photo : &once;
            QRect target;
            const QImage *img = nullptr;
            if (ctx.decodePhotos)
                img = &cache->image(t.photograph(), cell, &target, ctx.photoScale);
            else
                cache->cached(t.photograph(), cell, &img, &target, CTabletPhoto::kAnyScale);
            // Decoded for the device's pixels (a zoom, a high-density screen): mapped onto its
            // rectangle pixel for pixel; decoded for another zoom: stretched until redone.
            if (img && !img->isNull() && img->size() == target.size())
                p.drawImage(target.topLeft(), *img);
            else if (img && !img->isNull())
                p.drawImage(QRectF(target), *img);
        }
        const QRect text = detailsTextRect(size);
        p.fillRect(text, m_look.detailsBackground);
        p.setFont(m_look.detailsFont);
        p.setPen(m_look.detailsText);
        const int ascent = QFontMetrics(m_look.detailsFont).ascent();
        // The activity's short name with it: never told by its colour alone.
        QString activity = t.activityDescription;
        if (ctx.codes)
            if (const auto code = ctx.codes->find(t.activityId); code != ctx.codes->end() && !activity.isEmpty())
                activity = code->second + QStringLiteral("  ") + activity;
        const QString lines[5] = {CStringTable::text(QStringLiteral("tablet.empid")) + t.employeeId,
                                  CStringTable::text(QStringLiteral("tablet.mediaid")) + t.mediaNumber, activity,
                                  t.dateText, t.timeText};
        p.save();
        p.setClipRect(text, Qt::IntersectClip);
        for (int i = 0; i < 5; ++i)
            p.drawText(QPoint(text.left() + 2, kDetailLines[i] + m_look.detailsTopGap + ascent), lines[i]);
        p.restore();
        drawEdge(p, detailsArea(size), false);
    }
    p.restore();
}
