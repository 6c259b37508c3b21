#include "panel/CTabletIndex.h"

#include "panel/CTablet.h"

#include <QSet>
#include <QStringList>
#include <algorithm>

namespace {
bool before(const CTablet *t, QStringView id)
{
    return QStringView(t->employeeId) < id;
}

bool byId(const CTablet *a, const CTablet *b)
{
    return a->employeeId < b->employeeId;
}
} // namespace

CTablet *CTabletIndex::find(QStringView employeeId) const
{
    const auto it = lowerBound(employeeId);
    return it != m_tablets.end() && QStringView((*it)->employeeId) == employeeId ? *it : nullptr;
}

CTabletIndex::const_iterator CTabletIndex::lowerBound(QStringView employeeId) const
{
    return std::lower_bound(m_tablets.begin(), m_tablets.end(), employeeId, before);
}

bool CTabletIndex::insert(CTablet *t)
{
    // Files written by the program list tablets in this order: those go to the end.
    if (m_tablets.empty() || byId(m_tablets.back(), t)) {
        m_tablets.push_back(t);
        return true;
    }
    const auto it = lowerBound(t->employeeId);
    if (it != m_tablets.end() && (*it)->employeeId == t->employeeId)
        return false;
    m_tablets.insert(it, t);
    return true;
}

std::vector<CTablet *> CTabletIndex::insertMany(std::vector<CTablet *> &tablets)
{
    std::vector<CTablet *> refused;
    std::vector<CTablet *> sorted = tablets;
    // Stable: of two with one employee the earlier comes first and stays.
    std::stable_sort(sorted.begin(), sorted.end(), byId);
    QSet<const CTablet *> out;
    const CTablet *previous = nullptr;
    std::vector<CTablet *> kept;
    kept.reserve(sorted.size());
    for (CTablet *t : sorted) {
        if ((previous && previous->employeeId == t->employeeId) || contains(t->employeeId)) {
            out.insert(t);
            continue;
        }
        kept.push_back(t);
        previous = t;
    }
    if (!out.isEmpty()) {
        for (CTablet *t : tablets)
            if (out.contains(t))
                refused.push_back(t);
        std::erase_if(tablets, [&out](const CTablet *t) { return out.contains(t); });
    }
    const auto middle = m_tablets.insert(m_tablets.end(), kept.begin(), kept.end());
    std::inplace_merge(m_tablets.begin(), middle, m_tablets.end(), byId);
    return refused;
}

std::vector<CTablet *> CTabletIndex::take(const QStringList &employeeIds)
{
    std::vector<CTablet *> taken;
    if (employeeIds.size() == 1) {
        const auto it = lowerBound(employeeIds.first());
        if (it != m_tablets.end() && (*it)->employeeId == employeeIds.first()) {
            taken.push_back(*it);
            m_tablets.erase(it);
        }
        return taken;
    }
    const QSet<QString> gone(employeeIds.begin(), employeeIds.end());
    std::erase_if(m_tablets, [&](CTablet *t) {
        if (!gone.contains(t->employeeId))
            return false;
        taken.push_back(t);
        return true;
    });
    return taken;
}

std::vector<CTablet *> CTabletIndex::takeAll()
{
    return std::exchange(m_tablets, {});
}
