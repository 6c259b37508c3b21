#include "panel/CPanelAccessible.h"

#include "app/CAppContext.h"
#include "app/CStringTable.h"
#include "panel/CTablet.h"
#include "panel/C_PanelCanvas.h"

namespace {

QAccessibleInterface *makeInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("C_PanelCanvas"))
        if (auto *canvas = qobject_cast<C_PanelCanvas *>(object))
            return new CPanelAccessible(canvas);
    return nullptr;
}

} // namespace

CPanelAccessible::CPanelAccessible(C_PanelCanvas *canvas) : QAccessibleWidget(canvas, QAccessible::List) {}

void CPanelAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

C_PanelCanvas *CPanelAccessible::canvas() const
{
    return static_cast<C_PanelCanvas *>(widget());
}

int CPanelAccessible::childCount() const
{
    return int(canvas()->readingOrder().size());
}

QAccessibleInterface *CPanelAccessible::child(int index) const
{
    const QList<CTablet *> &order = canvas()->readingOrder();
    return index >= 0 && index < order.size() ? canvas()->tabletInterface(order.at(index)) : nullptr;
}

int CPanelAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *item = dynamic_cast<const CTabletAccessible *>(child);
    return item ? int(canvas()->readingOrder().indexOf(item->tablet())) : -1;
}

QAccessibleInterface *CPanelAccessible::childAt(int x, int y) const
{
    CTablet *t = canvas()->tabletAt(canvas()->mapFromGlobal(QPoint(x, y)));
    return t ? canvas()->tabletInterface(t) : nullptr;
}

QAccessibleInterface *CPanelAccessible::focusChild() const
{
    CTablet *t = canvas()->currentTablet();
    return t && canvas()->hasFocus() ? canvas()->tabletInterface(t) : nullptr;
}

CTabletAccessible::CTabletAccessible(C_PanelCanvas *canvas, CTablet *tablet) : m_canvas(canvas), m_tablet(tablet) {}

bool CTabletAccessible::isValid() const
{
    return m_canvas && m_canvas->item(m_tablet);
}

QWindow *CTabletAccessible::window() const
{
    return m_canvas ? m_canvas->window()->windowHandle() : nullptr;
}

QAccessibleInterface *CTabletAccessible::parent() const
{
    return m_canvas ? QAccessible::queryAccessibleInterface(m_canvas) : nullptr;
}

QString CTabletAccessible::text(QAccessible::Text t) const
{
    if (!isValid() || t != QAccessible::Name)
        return QString();
    // What the tablet shows, in words; every part is plain text from the database.
    CAppContext *app = CAppContext::current();
    QStringList parts{m_tablet->displayName(app ? int(app->nameFormat) : 0)};
    if (!m_tablet->activityDescription.isEmpty())
        parts << m_tablet->activityDescription;
    if (!m_tablet->timeText.isEmpty())
        parts << m_tablet->timeText;
    if (m_tablet->isIllegal())
        parts << CStringTable::text(QStringLiteral("a11y.notAllowed"));
    if (m_tablet->isStale())
        parts << CStringTable::text(QStringLiteral("a11y.dayOld"));
    return parts.join(QStringLiteral(", "));
}

QRect CTabletAccessible::rect() const
{
    if (!isValid())
        return QRect();
    const QRect r = m_canvas->toCanvas(m_tablet->geometry());
    return QRect(m_canvas->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State CTabletAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.focusable = true;
    s.selectable = true;
    s.multiSelectable = true;
    s.expandable = true;
    s.selected = m_tablet->isSelected();
    s.expanded = m_tablet->isExpanded();
    s.collapsed = !m_tablet->isExpanded();
    s.focused = m_canvas->hasFocus() && m_canvas->currentTablet() == m_tablet;
    s.offscreen = !m_canvas->visibleRegion().intersects(m_canvas->toCanvas(m_tablet->geometry()));
    return s;
}
