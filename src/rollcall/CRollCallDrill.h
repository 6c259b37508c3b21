#pragma once

#include "rollcall/CRollCallModel.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>

// A drill or an evacuation at the assembly point: when it started and ended, and everyone who
// was on the premises at any moment in between, so that someone who drops off the list (a
// departure clocked in the confusion) is still accounted for in the record.
class CRollCallDrill
{
public:
    enum Kind
    {
        None,
        Exercise,
        Evacuation
    };

    Kind kind() const { return m_kind; }
    bool isRunning() const { return m_kind != None && m_end.isNull(); }
    QDateTime start() const { return m_start; }
    QDateTime end() const { return m_end; }

    void begin(Kind kind, const QDateTime &at, const QList<CRollCallModel::Person> &people);
    // Adds whoever is listed now and was not yet; the order of first appearance is kept.
    void notePeople(const QList<CRollCallModel::Person> &people);
    // Stamps the end once; a second call (a record that could not be written, tried again)
    // keeps the first moment.
    void finish(const QDateTime &at);
    // Forgets the event once its record is written.
    void reset();

    const QList<CRollCallModel::Person> &people() const { return m_people; }

    // Who is accounted for, one definition for the window, the phones and the record: everyone
    // on site at the start or who came in since; a ticked person is found, one who is off the
    // list now without a tick has left (clocked out), everybody else is missing. Each part in
    // the order of the drill's people.
    struct Tally
    {
        QList<CRollCallModel::Person> found, missing, left;
        // Those the wardens must account for: found and missing.
        qsizetype expected() const { return found.size() + missing.size(); }
    };
    Tally tally(const QSet<QString> &ticks, const QList<CRollCallModel::Person> &onListNow) const;

private:
    Kind m_kind = None;
    QDateTime m_start;
    QDateTime m_end;
    QList<CRollCallModel::Person> m_people;
    QHash<QString, int> m_index;
};
