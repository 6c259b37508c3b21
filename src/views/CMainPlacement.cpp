#include "views/CMainPlacement.h"

#include "app/CSettings.h"

#include <QScreen>
#include <QWidget>

void CMainPlacement::restore(QWidget *window, const CSettings *settings)
{
    // Written as "ZVPlacement"; the store compares names without regard to case.
    if (settings) {
        const QByteArray placement = settings->readBytes(QStringLiteral("Settings"), QStringLiteral("ZVPLacement"));
        if (!placement.isEmpty() && window->restoreGeometry(placement)) {
            fitToScreen(window);
            return;
        }
    }
    if (QScreen *screen = window->screen()) {
        const QRect avail = screen->availableGeometry();
        const QSize size = avail.size() * 0.9;
        window->resize(size);
        window->move(avail.center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

void CMainPlacement::store(const QWidget *window, CSettings *settings)
{
    if (settings)
        settings->writeBytes(QStringLiteral("Settings"), QStringLiteral("ZVPlacement"), window->saveGeometry());
}

void CMainPlacement::fitToScreen(QWidget *window)
{
    // A placement stored on a larger or another monitor is brought onto this one, whole.
    QScreen *screen = window->screen();
    if (!screen || window->isMaximized() || window->isFullScreen())
        return;
    const QRect avail = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (avail.contains(frame))
        return;
    const QSize margins = frame.size() - window->size();
    const QSize inner = window->size().boundedTo(avail.size() - margins);
    window->resize(inner);
    const QSize outer = inner + margins;
    window->move(qBound(avail.left(), frame.x(), avail.right() + 1 - outer.width()),
                 qBound(avail.top(), frame.y(), avail.bottom() + 1 - outer.height()));
}
