#include "views/CTrayIcon.h"

#include "app/CStringTable.h"
#include "dialogs/CWarningCenter.h"
#include "live/CLiveStatus.h"
#include "views/CIconSet.h"
#include "views/CStatusPanes.h"
#include "views/CommandIds.h"

#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {
// A menu text of the main window's (without its key, which the tray menu does not have).
QString menuText(int commandId)
{
    return CStringTable::text(QStringLiteral("menu.%1").arg(commandId)).section(u'\t', 0, 0);
}
} // namespace

CTrayIcon::CTrayIcon(QWidget *mainWindow, QObject *parent) : QObject(parent), m_mainWindow(mainWindow)
{
    // The menu exists without a tray too (its commands are the same); the tray shows it.
    m_menu = new QMenu(mainWindow);
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    QAction *show =
        m_menu->addAction(CStringTable::text(QStringLiteral("tray.show")), this, &CTrayIcon::showMainWindow);
    show->setObjectName(QStringLiteral("trayShow"));
    m_showWarnings = m_menu->addAction(QString(), this, &CTrayIcon::showOldestWarning);
    m_showWarnings->setObjectName(QStringLiteral("trayWarnings"));
    QAction *rollCall = m_menu->addAction(menuText(Command::RollCall), this, [this] {
        showMainWindow();
        emit rollCallRequested();
    });
    rollCall->setObjectName(QStringLiteral("trayRollCall"));
    m_menu->addSeparator();
    QAction *quit = m_menu->addAction(menuText(Command::AppExit), this, [this] {
        // Through the main window's own close: modified panels are offered for saving.
        if (QWidget *w = m_mainWindow) {
            showMainWindow();
            w->close();
        }
    });
    quit->setObjectName(QStringLiteral("trayQuit"));

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(this);
        m_tray->setObjectName(QStringLiteral("trayIcon"));
        m_tray->setContextMenu(m_menu);
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                activate();
        });
    }
    update();
    if (m_tray)
        m_tray->show();
}

CTrayIcon::~CTrayIcon()
{
    delete m_menu;
}

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

void CTrayIcon::setWarnings(CWarningCenter *warnings)
{
    if (m_warningCenter)
        disconnect(m_warningCenter, nullptr, this, nullptr);
    m_warningCenter = warnings;
    if (warnings) {
        connect(warnings, &CWarningCenter::openWarningsChanged, this, &CTrayIcon::setOpenWarnings);
        setOpenWarnings(warnings->openWarnings());
    }
}

void CTrayIcon::setLiveStatus(CLiveStatus *status)
{
    if (m_status)
        disconnect(m_status, nullptr, this, nullptr);
    m_status = status;
    if (status)
        connect(status, &CLiveStatus::changed, this, &CTrayIcon::update);
    update();
}

void CTrayIcon::activate()
{
    // A warning is what the guard must see first.
    if (m_warningCenter && m_warningCenter->openWarnings() > 0)
        showOldestWarning();
    else
        showMainWindow();
}

void CTrayIcon::showMainWindow()
{
    if (QWidget *w = m_mainWindow) {
        if (w->isMinimized())
            w->showNormal();
        w->show();
        w->raise();
        w->activateWindow();
    }
}

void CTrayIcon::showOldestWarning()
{
    if (m_warningCenter)
        m_warningCenter->showOldest();
}

QString CTrayIcon::toolTip() const
{
    // Only the program's own texts and numbers: some trays read a tooltip as markup.
    QStringList lines{QStringLiteral("Zorvik")};
    if (m_onSite >= 0)
        lines << CStatusPanes::headCountText(m_onSite, m_guests, m_status);
    if (m_warnings > 0)
        lines << CStringTable::text(QStringLiteral("warning.openCount")).arg(m_warnings);
    if (m_status && !m_status->isCurrent())
        lines << m_status->staleText();
    return lines.join(u'\n');
}

QIcon CTrayIcon::icon() const
{
    return badged(CIconSet::applicationIcon(), m_warnings, m_status && !m_status->isCurrent());
}

bool CTrayIcon::isShown() const
{
    return m_tray && m_tray->isVisible();
}

QIcon CTrayIcon::badged(const QIcon &base, int count, bool stale)
{
    if (count <= 0 && !stale)
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
        if (stale) {
            // The status bar's drum with its red cross, at the top-left corner.
            const qreal d = side * 0.62;
            p.drawPixmap(QRectF(0, 0, d, d), CIconSet::statusIcon(false), QRectF(0, 0, 16, 16));
        }
        if (count > 0) {
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
        }
        p.end();
        out.addPixmap(pm);
    }
    return out;
}

void CTrayIcon::update()
{
    m_showWarnings->setText(CStringTable::text(QStringLiteral("tray.warnings")).arg(m_warnings));
    m_showWarnings->setEnabled(m_warnings > 0);
    if (!m_tray)
        return;
    m_tray->setIcon(icon());
    m_tray->setToolTip(toolTip());
}
