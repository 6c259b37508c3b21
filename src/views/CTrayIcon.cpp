#include "views/CTrayIcon.h"

#include "app/CStringTable.h"
#include "views/CIconSet.h"

#include <QPainter>
#include <QSystemTrayIcon>
#include <QWidget>

CTrayIcon::CTrayIcon(QWidget *mainWindow, QObject *parent) : QObject(parent), m_mainWindow(mainWindow)
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(this);
        m_tray->setObjectName(QStringLiteral("trayIcon"));
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
                return;
            if (QWidget *w = m_mainWindow) {
                if (w->isMinimized())
                    w->showNormal();
                w->show();
                w->raise();
                w->activateWindow();
            }
        });
    }
    update();
    if (m_tray)
        m_tray->show();
}

CTrayIcon::~CTrayIcon() = default;

void CTrayIcon::setHeadCount(int onSite, int guests)
{
    m_onSite = onSite;
    m_guests = guests;
    update();
}

void CTrayIcon::setOpenWarnings(int count)
{
    m_warnings = count;
    update();
}

QString CTrayIcon::toolTip() const
{
    QStringList lines{QStringLiteral("Zorvik")};
    if (m_onSite >= 0)
        lines << CStringTable::text(QStringLiteral("headcount.text")).arg(m_onSite).arg(m_guests);
    if (m_warnings > 0)
        lines << CStringTable::text(QStringLiteral("warning.openCount")).arg(m_warnings);
    return lines.join(u'\n');
}

QIcon CTrayIcon::icon() const
{
    return badged(CIconSet::applicationIcon(), m_warnings);
}

bool CTrayIcon::isShown() const
{
    return m_tray && m_tray->isVisible();
}

QIcon CTrayIcon::badged(const QIcon &base, int count)
{
    if (count <= 0)
        return base;
    QIcon out;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        QPixmap pm = base.pixmap(side, side);
        if (pm.isNull()) {
            pm = QPixmap(side, side);
            pm.fill(Qt::transparent);
        }
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal d = side * 0.62;
        const QRectF disc(side - d, side - d, d, d);
        p.setPen(QPen(Qt::white, qMax(1.0, side / 16.0)));
        p.setBrush(QColor(0xd0, 0x10, 0x10));
        p.drawEllipse(disc);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(qMax(6, int(d * 0.62)));
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(disc, Qt::AlignCenter, count > 9 ? QStringLiteral("9+") : QString::number(count));
        p.end();
        out.addPixmap(pm);
    }
    return out;
}

void CTrayIcon::update()
{
    if (!m_tray)
        return;
    m_tray->setIcon(icon());
    m_tray->setToolTip(toolTip());
}
