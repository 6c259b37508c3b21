#include "panel/CTablet.h"

#include <QMetaObject>

namespace {
CTablet::WarningHandler &handler()
{
    static CTablet::WarningHandler h;
    return h;
}
} // namespace

CTablet::CTablet(QObject *parent) : QObject(parent) {}

void CTablet::setGeometry(const QRect &r)
{
    if (r == m_geometry)
        return;
    m_geometry = r;
    emit geometryChanged(r);
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
    emit selectionChanged(selected);
    emit changed();
}

void CTablet::setExpandedSize(bool big)
{
    emit raiseRequested();
    setGeometry(QRect(m_geometry.topLeft(), QSize(kWidth, big ? kExpandedHeight : kCollapsedHeight)));
    emit changed();
}

void CTablet::setIllegal(bool illegal)
{
    if (illegal && (dateText + timeText != warnedDate + warnedTime || activityDescription != warnedActivity)) {
        warnedDate = dateText;
        warnedTime = timeText;
        warnedActivity = activityDescription;
        // After the update pass: the warning window never opens inside it.
        QMetaObject::invokeMethod(this, &CTablet::raiseWarning, Qt::QueuedConnection);
    }
    m_illegal = illegal;
}

void CTablet::raiseWarning()
{
    emit warningRaised();
    if (handler())
        handler()(*this);
}

void CTablet::setWarningHandler(WarningHandler h)
{
    handler() = std::move(h);
}

QString CTablet::displayName(int nameFormat) const
{
    return nameFormat == 0 ? lastName + u' ' + firstName : firstName + u' ' + lastName;
}
