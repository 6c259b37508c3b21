#include "views/CIconSet.h"

#include "app/CStringTable.h"
#include "views/CommandIds.h"

#include "views/CSvgIconEngine.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

using namespace Command;

QPixmap blank(int w = CIconSet::kIconSize, int h = CIconSet::kIconSize)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
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

struct CommandPicture
{
    int id;
    const char *file;  // the program's own picture, in :/icons
    const char *theme; // the desktop theme's name for it, or none
};

// The desktop's icon theme names the common commands; the program's own pictures stand in
// where it has none, and for the commands that are the program's alone.
const CommandPicture kPictures[] = {
    {FileNew, "document-new", "document-new"},
    {FileOpen, "document-open", "document-open"},
    {FileSave, "document-save", "document-save"},
    {FilePrint, "document-print", "document-print"},
    {AppAbout, "help-about", "help-about"},
    {DatabaseServer, "server-database", "network-server-database"},
    {Colours, "colours", nullptr},
    {Employees, "employees", nullptr},
    {ArrangeHorizontally, "arrange-horizontally", nullptr},
    {ArrangeVertically, "arrange-vertically", nullptr},
    {ExpandAll, "expand-all", nullptr},
    {CollapseAll, "collapse-all", nullptr},
    {RollCall, "roll-call", nullptr},
    {ExportCsv, "export-csv", nullptr},
    {ClearTicks, "clear-ticks", nullptr},
    {ExportPdf, "export-pdf", nullptr},
    {RefreshNow, "view-refresh", "view-refresh"},
    {FullScreen, "view-fullscreen", "view-fullscreen"},
};

const CommandPicture *pictureOf(int commandId)
{
    for (const CommandPicture &c : kPictures)
        if (c.id == commandId)
            return &c;
    return nullptr;
}

QIcon svgIcon(const QString &resource, bool followPalette)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return QIcon();
    return QIcon(new CSvgIconEngine(file.readAll(), followPalette));
}

} // namespace

bool CIconSet::hasCommandIcon(int commandId)
{
    return pictureOf(commandId) != nullptr;
}

QIcon CIconSet::commandIcon(int commandId)
{
    const CommandPicture *c = pictureOf(commandId);
    if (!c)
        return QIcon();
    const QIcon own = svgIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(c->file)), true);
    return c->theme ? QIcon::fromTheme(QLatin1String(c->theme), own) : own;
}

QIcon CIconSet::ownCommandIcon(int commandId)
{
    const CommandPicture *c = pictureOf(commandId);
    return c ? svgIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(c->file)), true) : QIcon();
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
    // The same picture the installation puts in the desktop's icon theme.
    return svgIcon(QStringLiteral(":/desktop/zorvik.svg"), false);
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
