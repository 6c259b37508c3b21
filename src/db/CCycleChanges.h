#pragma once

#include <QSet>
#include <QString>

class CDbTable;

// What polling cycles changed since the update pass last looked: the employees whose last
// clocking, day type or presence in those lists changed, whether the guests inside changed, or
// everything (the first cycle, a reconnection, reference data read again). Cycles that run while
// a pass waits add theirs up, so that the pass misses nothing.
class CCycleChanges
{
public:
    static CCycleChanges all()
    {
        CCycleChanges c;
        c.everything = true;
        return c;
    }

    bool everything = false;
    bool guests = false;
    QSet<QString> employees;

    bool isEmpty() const { return !everything && !guests && employees.isEmpty(); }
    bool touches(const QString &employeeId) const { return everything || employees.contains(employeeId); }
    void add(const CCycleChanges &other);

    // The employees whose rows differ between two reads of one statement keyed by
    // IDZaposlenog: a row that came, went, or whose compared columns changed. An employee with
    // more than one row in either read counts as changed. Either table missing: everything.
    static CCycleChanges between(const CDbTable *before, const CDbTable *after, const QStringList &columns);
    // Whether two reads have the same rows in the same order (the guests inside).
    static bool sameRows(const CDbTable *before, const CDbTable *after);
};
