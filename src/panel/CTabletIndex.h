#pragma once

#include <QString>
#include <QStringView>
#include <vector>

class CTablet;

// A panel's tablets by employee identifier, ordered byte-wise (as the panel file and the update
// pass expect): one pointer per tablet in a sorted array, where a tree would cost a node of its
// own per tablet of a site's large panels. A single tablet goes in at its place; many at once are
// sorted once and merged in, and many leave in one sweep, so loading or editing a panel of 50,000
// tablets moves the array a few times, not once per tablet.
class CTabletIndex
{
public:
    using const_iterator = std::vector<CTablet *>::const_iterator;

    const_iterator begin() const { return m_tablets.begin(); }
    const_iterator end() const { return m_tablets.end(); }
    qsizetype size() const { return qsizetype(m_tablets.size()); }
    bool empty() const { return m_tablets.empty(); }
    bool contains(QStringView employeeId) const { return find(employeeId) != nullptr; }

    CTablet *find(QStringView employeeId) const;
    // The first tablet whose identifier is not before the one given.
    const_iterator lowerBound(QStringView employeeId) const;

    // False (and nothing added) when the employee has a tablet already.
    bool insert(CTablet *t);
    // Many tablets at once; of two with one employee, or one whose employee has a tablet already,
    // the later is refused. Returns the refused ones (the caller's to delete), the rest in order.
    std::vector<CTablet *> insertMany(std::vector<CTablet *> &tablets);
    // Takes out the tablets whose identifiers are given (unknown ones are ignored), in the index's
    // order.
    std::vector<CTablet *> take(const QStringList &employeeIds);
    // Takes out every tablet.
    std::vector<CTablet *> takeAll();

private:
    std::vector<CTablet *> m_tablets;
};
