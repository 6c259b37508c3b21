#include "views/CIconSet.h"

#include "app/CStringTable.h"
#include "views/CommandIds.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

using namespace Command;

const QColor kInk(40, 48, 64);

QPixmap blank(int w = CIconSet::kIconSize, int h = CIconSet::kIconSize)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

void drawPage(QPainter &p)
{
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(9.5, 1.5);
    page.lineTo(12.5, 4.5);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawPolyline(QPolygonF({QPointF(9.5, 1.5), QPointF(9.5, 4.5), QPointF(12.5, 4.5)}));
    p.setPen(QPen(QColor(150, 160, 180), 1));
    for (int y = 7; y <= 12; y += 2)
        p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
}

void drawFolder(QPainter &p)
{
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(238, 190, 70));
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
    p.drawRect(QRectF(1.5, 3.0, 5, 1.5));
    p.setBrush(QColor(252, 218, 120));
    QPolygonF flap({QPointF(3.5, 7.5), QPointF(15.0, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)});
    p.drawPolygon(flap);
}

void drawDisk(QPainter &p)
{
    p.setPen(QPen(QColor(20, 50, 110), 1));
    p.setBrush(QColor(50, 100, 190));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
    p.fillRect(QRectF(9, 2.5, 2, 3), QColor(50, 100, 190));
}

void drawDatabase(QPainter &p)
{
    p.setPen(QPen(QColor(60, 70, 90), 1));
    p.setBrush(QColor(170, 185, 210));
    p.drawRect(QRectF(2.5, 3.5, 11, 9));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(2.5, 10.0, 11, 5));
    p.setPen(QPen(QColor(60, 70, 90), 1));
    p.drawArc(QRectF(2.5, 10.0, 11, 5), 180 * 16, 180 * 16);
    p.setBrush(QColor(215, 225, 240));
    p.drawEllipse(QRectF(2.5, 1.0, 11, 5));
    p.drawArc(QRectF(2.5, 5.5, 11, 5), 180 * 16, 180 * 16);
    p.drawLine(QPointF(2.5, 3.5), QPointF(2.5, 12.5));
    p.drawLine(QPointF(13.5, 3.5), QPointF(13.5, 12.5));
}

void drawColours(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(245, 235, 215));
    p.drawEllipse(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    const QColor dots[] = {QColor(220, 40, 40), QColor(40, 160, 60), QColor(40, 90, 220), QColor(240, 200, 30)};
    const QPointF at[] = {QPointF(5, 6), QPointF(9, 5), QPointF(11.5, 8.5), QPointF(5.5, 10)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(dots[i]);
        p.drawEllipse(at[i], 1.6, 1.6);
    }
}

void drawPerson(QPainter &p)
{
    p.setPen(QPen(QColor(30, 80, 60), 1));
    p.setBrush(QColor(90, 170, 120));
    p.drawEllipse(QRectF(5.0, 1.5, 6, 6));
    QPainterPath body;
    body.moveTo(2.5, 14.5);
    body.cubicTo(2.5, 9.0, 13.5, 9.0, 13.5, 14.5);
    body.closeSubpath();
    p.drawPath(body);
}

void drawTablets(QPainter &p, bool horizontal)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(255, 255, 255));
    for (int i = 0; i < 3; ++i) {
        const QRectF r = horizontal ? QRectF(1.5 + 5 * i, 5.5, 3, 5) : QRectF(3.5, 1.5 + 5 * i, 9, 3);
        p.drawRect(r);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 160, 60));
    for (int i = 0; i < 3; ++i)
        p.drawRect(horizontal ? QRectF(2.5 + 5 * i, 6.5, 1, 1) : QRectF(4.5, 2.5 + 5 * i, 1, 1));
}

void drawExpand(QPainter &p, bool expand)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 13, expand ? 13 : 5));
    p.setPen(QPen(expand ? QColor(40, 130, 60) : QColor(180, 50, 40), 2));
    const qreal cy = expand ? 8 : 4;
    p.drawLine(QPointF(5, cy), QPointF(11, cy));
    if (expand)
        p.drawLine(QPointF(8, cy - 3), QPointF(8, cy + 3));
    else {
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(8, 9), QPointF(8, 14));
        p.drawLine(QPointF(5.5, 11.5), QPointF(8, 9));
        p.drawLine(QPointF(10.5, 11.5), QPointF(8, 9));
    }
}

void drawPrinter(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(170, 175, 185));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.fillRect(QRectF(12, 8, 1.5, 1.5), QColor(40, 180, 60));
}

void drawAbout(QPainter &p)
{
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(60, 120, 210));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7, 3.5, 2, 2));
    p.drawRect(QRectF(7, 6.5, 2, 6));
}

} // namespace

bool CIconSet::hasCommandIcon(int commandId)
{
    switch (commandId) {
    case FileNew:
    case FileOpen:
    case FileSave:
    case DatabaseServer:
    case Colours:
    case Employees:
    case ArrangeHorizontally:
    case ArrangeVertically:
    case ExpandAll:
    case CollapseAll:
    case FilePrint:
    case AppAbout:
        return true;
    default:
        return false;
    }
}

QIcon CIconSet::commandIcon(int commandId)
{
    if (!hasCommandIcon(commandId))
        return QIcon();
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (commandId) {
    case FileNew:
        drawPage(p);
        break;
    case FileOpen:
        drawFolder(p);
        break;
    case FileSave:
        drawDisk(p);
        break;
    case DatabaseServer:
        drawDatabase(p);
        break;
    case Colours:
        drawColours(p);
        break;
    case Employees:
        drawPerson(p);
        break;
    case ArrangeHorizontally:
        drawTablets(p, true);
        break;
    case ArrangeVertically:
        drawTablets(p, false);
        break;
    case ExpandAll:
        drawExpand(p, true);
        break;
    case CollapseAll:
        drawExpand(p, false);
        break;
    case FilePrint:
        drawPrinter(p);
        break;
    case AppAbout:
        drawAbout(p);
        break;
    default:
        break;
    }
    p.end();
    return QIcon(pm);
}

QPixmap CIconSet::statusIcon(bool connected)
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A database drum with a green tick or a red cross over it.
    drawDatabase(p);
    const QColor mark = connected ? QColor(30, 150, 50) : QColor(200, 30, 30);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(7, 7, 9, 9));
    p.setBrush(mark);
    p.drawEllipse(QRectF(8, 8, 7.5, 7.5));
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
    if (connected) {
        p.drawPolyline(QPolygonF({QPointF(9.8, 11.8), QPointF(11.2, 13.2), QPointF(13.6, 10.2)}));
    } else {
        p.drawLine(QPointF(10, 10), QPointF(13.5, 13.5));
        p.drawLine(QPointF(13.5, 10), QPointF(10, 13.5));
    }
    return pm;
}

QIcon CIconSet::applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pm = blank(size, size);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        QLinearGradient g(0, 0, 0, 64);
        g.setColorAt(0, QColor(40, 110, 190));
        g.setColorAt(1, QColor(20, 60, 120));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
        // Three tablets, the newest one enlarged.
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(10, 12, 44, 10), 2, 2);
        p.drawRoundedRect(QRectF(10, 26, 44, 26), 2, 2);
        p.setBrush(QColor(60, 190, 90));
        p.drawEllipse(QRectF(13, 14, 6, 6));
        p.setBrush(QColor(240, 170, 40));
        p.drawEllipse(QRectF(13, 29, 6, 6));
        p.setBrush(QColor(200, 210, 225));
        p.drawRect(QRectF(14, 38, 10, 11));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QPixmap CIconSet::splashPixmap(const QString &version)
{
    QPixmap pm(kSplashWidth, kSplashHeight);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, kSplashWidth, kSplashHeight);
    g.setColorAt(0, QColor(30, 80, 150));
    g.setColorAt(1, QColor(10, 30, 70));
    p.fillRect(pm.rect(), g);

    // A few tablets on the right, one of them enlarged, as on a panel.
    const QColor dots[] = {QColor(60, 190, 90), QColor(240, 170, 40), QColor(220, 60, 60), QColor(60, 190, 90)};
    for (int i = 0; i < 4; ++i) {
        const bool big = i == 1;
        const QRectF r(262, 30 + i * 34 + (i > 1 ? 48 : 0), 150, big ? 76 : 24);
        p.setPen(QPen(QColor(255, 255, 255, 90), 1));
        p.setBrush(QColor(255, 255, 255, 235));
        p.drawRoundedRect(r, 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(dots[i]);
        p.drawEllipse(QRectF(r.left() + 6, r.top() + 6, 12, 12));
        p.setBrush(QColor(150, 160, 180));
        p.drawRect(QRectF(r.left() + 26, r.top() + 9, 80 - 14 * (i % 2), 6));
        if (big) {
            p.setBrush(QColor(205, 212, 225));
            p.drawRect(QRectF(r.left() + 6, r.top() + 26, 36, 44));
            p.setBrush(QColor(170, 178, 195));
            for (int l = 0; l < 3; ++l)
                p.drawRect(QRectF(r.left() + 50, r.top() + 30 + l * 13, 70 - l * 12, 5));
        }
    }

    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPixelSize(46);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(28, 60, 230, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zorvik"));
    QFont sub = p.font();
    sub.setPixelSize(15);
    sub.setBold(false);
    p.setFont(sub);
    p.setPen(QColor(210, 225, 245));
    p.drawText(QRectF(30, 120, 230, 44), Qt::AlignLeft | Qt::TextWordWrap,
               CStringTable::text(QStringLiteral("splash.subtitle")));
    sub.setPixelSize(12);
    p.setFont(sub);
    p.drawText(QRectF(30, 222, 230, 20), Qt::AlignLeft | Qt::AlignVCenter,
               CStringTable::text(QStringLiteral("splash.version")).replace(QLatin1String("%s"), version));
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kSplashWidth - 1, kSplashHeight - 1));
    return pm;
}

QPixmap CIconSet::bannerPixmap(int width, int height)
{
    QPixmap pm(width, height);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, width, 0);
    g.setColorAt(0, QColor(30, 80, 150));
    g.setColorAt(1, QColor(10, 30, 70));
    p.fillRect(pm.rect(), g);
    // A row of tablets fading to the right, as on a panel.
    const QColor dots[] = {QColor(60, 190, 90), QColor(240, 170, 40), QColor(220, 60, 60)};
    const int tablet = height / 2;
    for (int i = 0; i < 5; ++i) {
        const QRectF r(width - 5.5 * (tablet + 8) + i * (tablet + 8), (height - tablet) / 2.0, tablet, tablet);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 60 + 35 * i));
        p.drawRoundedRect(r, 3, 3);
        p.setBrush(dots[i % 3]);
        p.drawEllipse(QRectF(r.left() + 4, r.top() + 4, tablet / 3.0, tablet / 3.0));
    }
    p.setPen(Qt::white);
    QFont title = p.font();
    title.setPixelSize(height * 45 / 100);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(16, 0, width / 2.0, height), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zorvik"));
    return pm;
}
