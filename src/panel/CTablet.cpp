#include "panel/CTablet.h"

#include "panel/CPanelGeometry.h"
#include <QCoreApplication>
#include <QMetaObject>

namespace {
CTablet::WarningHandler &handler()
{
    static CTablet::WarningHandler h;
    return h;
}
} // namespace

const CDateTime CTablet::initialMoment{};

void CTablet::setGeometry(const QRect &r)
{
    if (r == m_geometry)
        return;
    const QRect old = m_geometry;
    m_geometry = r;
    if (m_listener)
        m_listener->tabletMoved(this, old);
}

void CTablet::raise()
{
    if (m_listener)
        m_listener->tabletWentUp(this);
}

void CTablet::lower()
{
    if (m_listener)
        m_listener->tabletWentDown(this);
}

void CTablet::invalidateAll()
{
    if (m_listener)
        m_listener->tabletRedraw(this);
}

void CTablet::moveTo(const QPoint &topLeft)
{
    setGeometry(QRect(topLeft, m_geometry.size()));
}

void CTablet::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    invalidateAll();
}

void CTablet::setExpandedSize(bool big)
{
    raise();
    setGeometry(
        QRect(m_geometry.topLeft(), QSize(CPanelGeometry::kTabletWidth,
                                          big ? CPanelGeometry::kExpandedHeight : CPanelGeometry::kCollapsedHeight)));
    invalidateAll();
}

void CTablet::setIllegal(bool illegal)
{
    if (illegal && (dateText + timeText != warnedDate() + warnedTime() || activityDescription != warnedActivity())) {
        m_warned = std::make_shared<const Warned>(Warned{dateText, timeText, activityDescription});
        // After the update pass: the warning window never opens inside it.
        if (QCoreApplication *app = QCoreApplication::instance()) {
            CTablet seen(*this);
            seen.m_listener = nullptr;
            seen.m_illegal = true;
            QMetaObject::invokeMethod(
                app,
                [seen] {
                    if (handler())
                        handler()(seen);
                },
                Qt::QueuedConnection);
        }
    }
    m_illegal = illegal;
}

void CTablet::setWarningHandler(WarningHandler h)
{
    handler() = std::move(h);
}

QString CTablet::displayName(int nameFormat) const
{
    return nameFormat == 0 ? lastName + u' ' + firstName : firstName + u' ' + lastName;
}
