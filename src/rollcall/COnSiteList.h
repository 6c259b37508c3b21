#pragma once

#include "db/CCycleChanges.h"
#include "db/CDbTable.h"
#include "db/ReferenceMaps.h"
#include "rollcall/CRollCallModel.h"
#include "views/CGuestsModel.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <memory>

class CDbWorker;
class CReferenceData;
class CSettings;

// Everyone on the premises, made once per update pass for both the status bar's head count and
// the roll-call window. The shared cursors are only looked at under DBMutex long enough to take
// a snapshot (their rows are shared, not copied); the list itself is made from the snapshot on a
// thread of its own and handed back on the thread that owns this object. A pass that ends while
// a list is being made asks for one more list, never for a queue of them.
class COnSiteList : public QObject
{
    Q_OBJECT
public:
    // What the list is made of: the shared cursors' rows as they were, and the maps and texts
    // the list needs.
    struct Snapshot
    {
        bool live = false; // false: the database is failing and the last list should stay (the
                           // rows of the cursors still open are taken all the same)
        std::shared_ptr<const CDbTable> lastRegistrations, employees;
        QList<CGuestsModel::Row> guests;
        TextMap departments, activities;
        QSet<QString> onSite;
        QDate today;
        QString guestsGroup; // the department shown for a guest
        QDateTime asOf;
        bool people = true; // false: the counts alone (no window shows the list)
    };
    struct Result
    {
        bool live = false;
        QDateTime asOf;
        QList<CRollCallModel::Person> people; // employees by department and name, then guests
        int employees = 0;
        int guests = 0;
        QString departmentsText; // "Department: N" a line
        // Employees whose last clocking is today, by its activity (every activity, on site or not).
        QHash<QString, int> perActivity;
        // Employees with no on-site clocking today: last clocked before today, or never; by
        // department and name (the time is the date of the last clocking, if any).
        QList<CRollCallModel::Person> notYetIn;
        bool hasPeople = false; // the people were listed, not only counted
        bool changed = true;    // people differ from the list made before
        quint64 serial = 0;     // counts the lists a source made (0: made on its own)
        // Made from the list before (serial - 1) by the changes of a few employees: how people
        // and notYetIn changed, so that a window shows the change in those rows only.
        bool incremental = false;
        CRollCallModel::Delta peopleDelta, notYetInDelta;
    };
    // What a list is made of per employee, kept with it so that a change of a few employees
    // makes the next list from this one (on the thread that makes lists).
    struct State;

    // Takes the snapshot; the caller holds DBMutex.
    static Snapshot snapshot(CReferenceData &ref, const QSet<QString> &onSite, const QDateTime &now);
    // Makes the list; any thread. previous: the last list, to tell whether this one changed.
    static Result make(const Snapshot &s, const QList<CRollCallModel::Person> *previous = nullptr);
    // The same, keeping in state what the next list is made from.
    static Result make(const Snapshot &s, State &state);
    // The list after the employees given (and the guests, when they changed) changed since the
    // list state holds; the snapshot is of the same day, activities and employees. Any thread.
    static Result update(const Snapshot &s, State &state, const QSet<QString> &employees, bool guests);

    static constexpr int kRetryMs = 5; // DBMutex was busy: the snapshot is tried again this much later

    COnSiteList(CReferenceData *reference, CSettings *settings, QObject *parent = nullptr);
    ~COnSiteList() override;

    // A new list from the shared cursors as they are now (DBMutex is taken for the snapshot).
    // While no window shows the list (no listener), only the counts are made.
    void refresh() { refresh(CCycleChanges::all()); }
    // The same after an update pass that took these changes: when none of them, nor the day,
    // nor the activities that count as on site, nor the need for the people changed, the last
    // list stands and nothing is made.
    void refresh(const CCycleChanges &changes);
    void addListener() { ++m_listeners; }
    void removeListener() { --m_listeners; }
    bool hasResult() const { return m_hasResult; }
    const Result &latest() const { return m_latest; }
    bool isBusy() const { return m_running; }

signals:
    void ready(const COnSiteList::Result &result);

private:
    static QList<CRollCallModel::Person> guestPeople(const Snapshot &s);
    void start();

    CReferenceData *m_reference;
    CSettings *m_settings;
    CDbWorker *m_worker = nullptr;
    bool m_running = false;
    bool m_again = false;
    bool m_hasResult = false;
    int m_listeners = 0;
    quint64 m_serial = 0;
    Result m_latest;
    CCycleChanges m_changes;        // since the last list was started
    std::shared_ptr<State> m_state; // touched by the list-making thread only
    QSet<QString> m_lastOnSite;
    QDate m_lastDay;
};
