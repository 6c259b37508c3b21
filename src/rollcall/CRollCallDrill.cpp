#include "rollcall/CRollCallDrill.h"

void CRollCallDrill::begin(Kind kind, const QDateTime &at, const QList<CRollCallModel::Person> &people)
{
    reset();
    m_kind = kind;
    m_start = at;
    notePeople(people);
}

void CRollCallDrill::notePeople(const QList<CRollCallModel::Person> &people)
{
    if (!isRunning())
        return;
    for (const CRollCallModel::Person &p : people) {
        const auto it = m_index.constFind(p.key);
        if (it == m_index.cend()) {
            m_index.insert(p.key, int(m_people.size()));
            m_people << p;
        } else {
            m_people[*it] = p; // the latest clocking and names
        }
    }
}

void CRollCallDrill::finish(const QDateTime &at)
{
    if (m_kind != None && m_end.isNull())
        m_end = at;
}

void CRollCallDrill::reset()
{
    m_kind = None;
    m_start = m_end = QDateTime();
    m_people.clear();
    m_index.clear();
}

CRollCallDrill::Tally CRollCallDrill::tally(const QSet<QString> &ticks,
                                            const QList<CRollCallModel::Person> &onListNow) const
{
    QSet<QString> listed;
    listed.reserve(onListNow.size());
    for (const CRollCallModel::Person &p : onListNow)
        listed.insert(p.key);
    Tally t;
    for (const CRollCallModel::Person &p : m_people) {
        if (ticks.contains(p.key))
            t.found << p;
        else if (!listed.contains(p.key))
            t.left << p;
        else
            t.missing << p;
    }
    return t;
}
