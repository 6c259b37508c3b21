#include "rollcall/COnSiteList.h"

#include "app/CClock.h"
#include "app/CMemoryTrim.h"
#include "app/CNameOrder.h"
#include "app/CStringTable.h"
#include "app/CTextPool.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "live/CLiveStatus.h"
#include "rollcall/COnSiteActivities.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QTimer>
#include <QVarLengthArray>
#include <initializer_list>
#include <utility>

COnSiteList::Snapshot COnSiteList::snapshot(CReferenceData &ref, const QSet<QString> &onSite, const QDateTime &now)
{
    Snapshot s;
    s.asOf = now;
    s.today = now.date();
    s.onSite = onSite;
    // Live only when every input is current: a failing cycle or a failed re-read of the
    // employees keeps the last good rows, and the list made from them is not today's.
    CDbCursor *last = ref.cursor(CReferenceData::LastRegistrationCursor);
    CDbCursor *employees = ref.cursor(CReferenceData::EmployeeCursor);
    s.live = CLiveStatus::isCurrent(ref) && last && last->isOpen() && employees && employees->isOpen();
    if (last && last->isOpen())
        s.lastRegistrations = last->table();
    if (employees && employees->isOpen())
        s.employees = employees->table();
    if (ref.guestsAvailable)
        s.guests = CGuestsModel::readCursor(ref.cursor(CReferenceData::GuestCursor));
    s.departments = ref.departmentMap;
    s.activities = ref.activityMap;
    s.guestsGroup = S(1071);
    return s;
}

// Per employee: what its rows add to the list, so that they can be taken out again.
struct COnSiteList::State
{
    // Kept for every employee of a large site: numbers of texts rather than texts, and no
    // allocation of its own for the usual one clocking and one department.
    struct Entry
    {
        QVarLengthArray<quint32, 2> texts; // today's clockings by activity, then a department
                                           // per listed row when here (numbers in State::texts)
        quint8 activities = 0;             // how many of texts are activities
        bool listed = false;               // has rows in people or notYetIn
        void addActivity(quint32 text)
        {
            texts.insert(activities, text);
            ++activities;
        }
    };
    Result result;
    // The lists before the last change: the windows let go of them after it, and they are freed
    // on the thread that makes lists, not on the interface thread.
    QList<CRollCallModel::Person> retiredPeople, retiredNotYetIn;
    QHash<QString, Entry> entries; // by the people's key ("E" and the ID)
    // The activities and departments entries name, each kept once.
    QStringList texts;
    QHash<QString, quint32> textNumbers;
    quint32 number(const QString &text)
    {
        const auto it = textNumbers.constFind(text);
        if (it != textNumbers.cend())
            return *it;
        texts << text;
        return textNumbers.insert(text, quint32(texts.size() - 1)).value();
    }
    QMap<QString, int> perDepartment;
    std::weak_ptr<const CDbTable> employees;
    QDate today;
    QSet<QString> onSite;
    bool people = false;
};

namespace {

// Today's bounds: a moment belongs to today when, rounded to the second, its date is today's (no
// time-zone look-up per row).
std::pair<double, double> dayBounds(const QDate &today)
{
    const double start = CDateTime::fromParts(today.year(), today.month(), today.day()).days() - CDateTime::kHalfSecond;
    return {start, start + 1.0};
}

struct Columns
{
    int id = -1, date = -1, activity = -1;                     // last registrations
    int employee = -1, last = -1, first = -1, department = -1; // employees
    explicit Columns(const COnSiteList::Snapshot &s)
    {
        if (const CDbTable *t = s.lastRegistrations.get()) {
            id = t->columnIndex(u"IDZaposlenog");
            date = t->columnIndex(u"DatumLastReg");
            activity = t->columnIndex(u"IDLogickeAktivnosti");
        }
        if (const CDbTable *e = s.employees.get()) {
            employee = e->columnIndex(u"IDZaposlenog");
            last = e->columnIndex(u"Prezime");
            first = e->columnIndex(u"Ime");
            department = e->columnIndex(u"IDSektora");
        }
    }
    bool clockings() const { return id >= 0 && date >= 0 && activity >= 0; }
};

// The order of sortPeople for one person put into a sorted list: employees by department and
// name, then guests by name; namesakes in the order of the employee rows.
bool before(const CRollCallModel::Person &a, const CRollCallModel::Person &b, const CDbTable *employees, int idColumn)
{
    if (a.guest != b.guest)
        return !a.guest;
    if (!a.guest)
        if (const int c = CNameOrder::compare(a.department, b.department); c != 0)
            return c < 0;
    if (const int c = CNameOrder::compare(a.name, b.name); c != 0)
        return c < 0;
    if (a.guest || !employees || idColumn < 0)
        return false;
    return employees->firstEqual(idColumn, QStringView(a.key).mid(1)) <
           employees->firstEqual(idColumn, QStringView(b.key).mid(1));
}

// Ascending rows of a key.
QList<int> rowsOf(const CDbTable *t, int column, const QString &key)
{
    QList<int> rows;
    for (int r = t ? t->firstEqual(column, key) : -1; r >= 0; r = t->nextEqual(column, r))
        rows.append(r);
    std::sort(rows.begin(), rows.end());
    return rows;
}

// One employee's last clocking of today with an on-site activity, when there is one.
struct Here
{
    CDateTime moment;
    QString activity;
};

// The times and dates of a list of any size are a few thousand distinct texts, each kept once (the
// lists are made on a worker: one pool for each thread).
QString sharedText(const QString &text)
{
    thread_local CTextPool texts;
    return texts.shared(text);
}

// Texts joined at their exact size: growing one by appending leaves spare room in each of
// tens of thousands of rows.
QString joined(std::initializer_list<QStringView> parts)
{
    qsizetype size = 0;
    for (QStringView part : parts)
        size += part.size();
    QString out;
    out.reserve(size);
    for (QStringView part : parts)
        out.append(part);
    out.squeeze();
    return out;
}

QString keyOf(const QString &id)
{
    return joined({u"E", id});
}

// Namesakes too (a pool apart, so that the many names do not push the few times out).
QString sharedName(const QString &name)
{
    thread_local CTextPool names;
    return names.shared(name);
}

// One row of the employees table as the lists show it, the same for a whole list and for a change:
// when here, counted by its department and listed among the people (while a window shows them);
// else listed in "Not yet in" with the date of an earlier clocking, if any.
void addEmployeeRow(const COnSiteList::Snapshot &s, const Columns &c, const CDbTable *e, int row, const QString &key,
                    const Here *here, const CDateTime *earlier, const QString &dateFormat, COnSiteList::State &state,
                    COnSiteList::State::Entry &entry, int &employees, QList<CRollCallModel::Person> &people,
                    QList<CRollCallModel::Person> &notYetIn)
{
    QString lastName, firstName, department;
    if (c.last >= 0)
        e->text(row, c.last, lastName);
    if (c.first >= 0)
        e->text(row, c.first, firstName);
    if (c.department >= 0)
        e->text(row, c.department, department);
    const auto dep = s.departments.find(department);
    const QString &departmentName = dep == s.departments.end() ? department : dep->second;
    if (here) {
        ++state.perDepartment[departmentName];
        entry.texts.append(state.number(departmentName));
        ++employees;
        if (!s.people)
            return;
    }
    CRollCallModel::Person p;
    p.key = key;
    p.name = sharedName(joined({lastName, u" ", firstName}).trimmed());
    p.department = departmentName;
    if (here) {
        p.time = sharedText(here->moment.format(QStringLiteral("%H:%M")));
        const auto act = s.activities.find(here->activity);
        p.detail = act == s.activities.end() ? here->activity : act->second;
        people << p;
        return;
    }
    if (earlier)
        p.time = sharedText(earlier->format(dateFormat));
    notYetIn << p;
}

} // namespace

COnSiteList::Result COnSiteList::make(const Snapshot &s, const QList<CRollCallModel::Person> *previous)
{
    State state;
    Result r = make(s, state);
    r.changed = !s.people || !previous || *previous != r.people;
    return r;
}

COnSiteList::Result COnSiteList::make(const Snapshot &s, State &state)
{
    state = State();
    state.today = s.today;
    state.onSite = s.onSite;
    state.people = s.people;
    state.employees = s.employees;
    Result &r = state.result;
    r.live = s.live;
    r.asOf = s.asOf;
    if (!s.live)
        return r;
    const auto [start, end] = dayBounds(s.today);
    const Columns c(s);
    // Per employee in the clockings: whether clocked in today with an on-site activity (and when,
    // with what), today's clockings by activity, whether clocked today at all, and when it last
    // clocked before today.
    struct Seen
    {
        CDateTime hereMoment, earlier;
        quint32 hereActivity = 0;
        bool isHere = false, clockedToday = false, hasEarlier = false, taken = false;
        QVarLengthArray<quint32, 2> activities;
    };
    QHash<QString, Seen> seen;
    if (const CDbTable *t = s.lastRegistrations.get(); t && c.clockings()) {
        seen.reserve(t->rowCount());
        QString id, activity;
        for (int row = 0; row < t->rowCount(); ++row) {
            CDateTime moment = CDateTime::null();
            if (!t->dateTime(row, c.date, moment) || !moment.isValid())
                continue;
            t->text(row, c.id, id);
            Seen &e = seen[id];
            if (moment.days() < start) {
                e.earlier = moment;
                e.hasEarlier = true;
                continue;
            }
            e.clockedToday = true;
            if (moment.days() >= end)
                continue;
            t->text(row, c.activity, activity);
            ++r.perActivity[activity];
            const quint32 number = state.number(activity);
            e.activities.append(number);
            if (s.onSite.contains(activity)) {
                e.isHere = true;
                e.hereMoment = moment;
                e.hereActivity = number;
            }
        }
    }
    // What an employee's clockings added, kept with it.
    const auto entryOf = [&state](const QString &key, Seen *e) -> State::Entry & {
        State::Entry &entry = state.entries[key];
        if (e && !std::exchange(e->taken, true))
            for (quint32 a : std::as_const(e->activities))
                entry.addActivity(a);
        return entry;
    };
    // One walk over the employees: who is here (counted, and listed while a window shows the
    // list), and who has not clocked at all today.
    const QString dateFormat = S(1055); // the language's, as on the tablets
    if (const CDbTable *e = s.employees.get()) {
        QString id;
        for (int row = 0; c.employee >= 0 && row < e->rowCount(); ++row) {
            e->text(row, c.employee, id);
            const auto l = seen.find(id);
            Seen *known = l == seen.end() ? nullptr : &*l;
            const bool isHere = known && known->isHere;
            const QString key = keyOf(id);
            State::Entry &entry = entryOf(key, known);
            if (!isHere && known && known->clockedToday)
                continue;
            entry.listed = true;
            const Here now = isHere ? Here{known->hereMoment, state.texts.at(known->hereActivity)} : Here{};
            addEmployeeRow(s, c, e, row, key, isHere ? &now : nullptr,
                           known && known->hasEarlier ? &known->earlier : nullptr, dateFormat, state, entry,
                           r.employees, r.people, r.notYetIn);
        }
        CRollCallModel::sortPeople(r.notYetIn);
    }
    // Clockings of IDs the employees table does not have count by activity all the same.
    for (auto it = seen.begin(); it != seen.end(); ++it)
        if (!it->taken && !it->activities.isEmpty())
            entryOf(keyOf(it.key()), &*it);
    seen = {};
    r.guests = int(s.guests.size());
    r.hasPeople = s.people;
    if (s.people)
        r.people << guestPeople(s);
    CRollCallModel::sortPeople(r.people);
    QStringList lines;
    for (auto it = state.perDepartment.cbegin(); it != state.perDepartment.cend(); ++it)
        lines << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
    r.departmentsText = lines.join(u'\n');
    return r;
}

QList<CRollCallModel::Person> COnSiteList::guestPeople(const Snapshot &s)
{
    // Guest rows: entry, company, guest, reason, host.
    QList<CRollCallModel::Person> out;
    for (const CGuestsModel::Row &g : s.guests) {
        CRollCallModel::Person p;
        p.guest = true;
        p.key = u'G' + g[2] + u'|' + g[0];
        p.name = g[2];
        p.department = s.guestsGroup;
        p.time = g[0].section(u' ', 1, 1).left(5);
        if (p.time.isEmpty())
            p.time = g[0];
        p.detail = g[4];
        p.company = g[1];
        out << p;
    }
    return out;
}

COnSiteList::Result COnSiteList::update(const Snapshot &s, State &state, const QSet<QString> &employees, bool guests)
{
    {
        // Rows are looked up by employee only through indexes made before the rows were shared
        // (one made here could race with the update pass): without them the list is made anew.
        const Columns c(s);
        const CDbTable *t = s.lastRegistrations.get(), *e = s.employees.get();
        if ((t && c.id >= 0 && !t->hasIndex(c.id)) || (e && c.employee >= 0 && !e->hasIndex(c.employee)))
            return make(s, state);
    }
    Result &r = state.result;
    state.retiredPeople = r.people;
    state.retiredNotYetIn = r.notYetIn;
    r.asOf = s.asOf;
    r.incremental = true;
    r.peopleDelta = {};
    r.notYetInDelta = {};
    const auto [start, end] = dayBounds(s.today);
    const Columns c(s);
    const CDbTable *t = c.clockings() ? s.lastRegistrations.get() : nullptr;
    const CDbTable *e = c.employee >= 0 ? s.employees.get() : nullptr;
    QSet<QString> inserted;
    const auto drop = [](QList<CRollCallModel::Person> &list, const QString &key, CRollCallModel::Delta &delta) {
        const qsizetype before = list.size();
        list.removeIf([&key](const CRollCallModel::Person &p) { return p.key == key; });
        if (list.size() != before)
            delta.removed << key;
    };
    const auto put = [&](QList<CRollCallModel::Person> &list, const CRollCallModel::Person &p) {
        const auto at = std::upper_bound(list.begin(), list.end(), p,
                                         [&](const auto &a, const auto &b) { return before(a, b, e, c.employee); });
        list.insert(at, p);
        inserted.insert(p.key);
    };
    const QString dateFormat = S(1055);
    for (const QString &id : employees) {
        // What the employee added to the list before goes.
        const QString key = keyOf(id);
        State::Entry &entry = state.entries[key];
        for (qsizetype i = 0; i < entry.texts.size(); ++i) {
            const QString &text = state.texts.at(entry.texts.at(i));
            if (i < entry.activities) {
                if (--r.perActivity[text] <= 0)
                    r.perActivity.remove(text);
                continue;
            }
            --r.employees;
            if (--state.perDepartment[text] <= 0)
                state.perDepartment.remove(text);
        }
        const bool wasListed = entry.listed;
        entry = State::Entry();
        QList<CRollCallModel::Person> toPeople, toNotYetIn;
        // What it adds now, as make() would have it: the last row of each kind counts.
        bool isHere = false, clockedToday = false, hasEarlier = false;
        CDateTime hereMoment, earlierMoment;
        QString hereActivity, activity;
        for (int row : rowsOf(t, c.id, id)) {
            CDateTime moment = CDateTime::null();
            if (!t->dateTime(row, c.date, moment) || !moment.isValid())
                continue;
            if (moment.days() < start) {
                earlierMoment = moment;
                hasEarlier = true;
                continue;
            }
            clockedToday = true;
            if (moment.days() >= end)
                continue;
            t->text(row, c.activity, activity);
            ++r.perActivity[activity];
            entry.addActivity(state.number(activity));
            if (s.onSite.contains(activity)) {
                isHere = true;
                hereMoment = moment;
                hereActivity = activity;
            }
        }
        const Here now{hereMoment, hereActivity};
        for (int row : (!isHere && clockedToday) ? QList<int>() : rowsOf(e, c.employee, id)) {
            entry.listed = true;
            addEmployeeRow(s, c, e, row, key, isHere ? &now : nullptr, hasEarlier ? &earlierMoment : nullptr,
                           dateFormat, state, entry, r.employees, toPeople, toNotYetIn);
        }
        // The rows change only where they show something else.
        const auto rowsWith = [&key, wasListed](const QList<CRollCallModel::Person> &list) {
            QList<CRollCallModel::Person> out;
            for (qsizetype i = 0; wasListed && i < list.size(); ++i)
                if (list.at(i).key == key)
                    out << list.at(i);
            return out;
        };
        if (rowsWith(r.people) == toPeople && rowsWith(r.notYetIn) == toNotYetIn)
            continue;
        drop(r.people, key, r.peopleDelta);
        drop(r.notYetIn, key, r.notYetInDelta);
        for (const CRollCallModel::Person &p : std::as_const(toPeople))
            put(r.people, p);
        for (const CRollCallModel::Person &p : std::as_const(toNotYetIn))
            put(r.notYetIn, p);
    }
    r.guests = int(s.guests.size());
    if (guests && s.people) {
        // Guests come last; they are few, and listed again whole.
        for (const CRollCallModel::Person &p : std::as_const(r.people))
            if (p.guest && !r.peopleDelta.removed.contains(p.key))
                r.peopleDelta.removed << p.key;
        r.people.removeIf([](const CRollCallModel::Person &p) { return p.guest; });
        QList<CRollCallModel::Person> visitors = guestPeople(s);
        CRollCallModel::sortPeople(visitors);
        for (const CRollCallModel::Person &p : std::as_const(visitors))
            inserted.insert(p.key);
        r.people << visitors;
    }
    // Where the rows that went stood in the old lists, and where those that came stand in the new.
    const auto places = [&inserted](const QList<CRollCallModel::Person> &before,
                                    const QList<CRollCallModel::Person> &after, CRollCallModel::Delta &delta) {
        const QSet<QString> removed(delta.removed.begin(), delta.removed.end());
        for (int i = 0; i < before.size() && !removed.isEmpty(); ++i)
            if (removed.contains(before.at(i).key))
                delta.removedAt.append(i);
        for (int i = 0; i < after.size() && !inserted.isEmpty(); ++i)
            if (inserted.contains(after.at(i).key))
                delta.inserted.append({i, after.at(i)});
    };
    places(state.retiredPeople, r.people, r.peopleDelta);
    places(state.retiredNotYetIn, r.notYetIn, r.notYetInDelta);
    QStringList lines;
    for (auto it = state.perDepartment.cbegin(); it != state.perDepartment.cend(); ++it)
        lines << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
    r.departmentsText = lines.join(u'\n');
    r.changed = !r.peopleDelta.isEmpty();
    return r;
}

COnSiteList::COnSiteList(CReferenceData *reference, CSettings *settings, QObject *parent)
    : QObject(parent), m_reference(reference), m_settings(settings)
{
}

COnSiteList::~COnSiteList()
{
    // A list still being made is dropped with the worker.
    delete m_worker;
}

void COnSiteList::refresh(const CCycleChanges &changes)
{
    m_changes.add(changes);
    if (m_running) {
        m_again = true;
        return;
    }
    start();
}

void COnSiteList::start()
{
    if (!m_reference)
        return;
    m_running = true;
    // Never waits for DBMutex: while another holds it (a cycle swapping its data in, or whoever
    // called this from inside its own hold), the snapshot is taken a moment later.
    if (!m_reference->dbMutex.tryLock()) {
        QTimer::singleShot(kRetryMs, this, &COnSiteList::start);
        return;
    }
    const QSet<QString> onSite = m_settings ? COnSiteActivities::read(*m_settings) : QSet<QString>();
    const QDateTime now = CClock::now();
    // Nothing the list is made of changed: it stands as it is.
    if (m_hasResult && m_changes.isEmpty() && onSite == m_lastOnSite && now.date() == m_lastDay &&
        (m_listeners == 0 || m_latest.hasPeople)) {
        m_reference->dbMutex.unlock();
        m_running = false;
        return;
    }
    const CCycleChanges changes = std::exchange(m_changes, CCycleChanges());
    m_lastOnSite = onSite;
    m_lastDay = now.date();
    auto snap = std::make_shared<Snapshot>(snapshot(*m_reference, onSite, now));
    m_reference->dbMutex.unlock();
    snap->people = m_listeners > 0;
    if (!m_worker)
        m_worker = new CDbWorker(nullptr, this);
    auto result = std::make_shared<Result>();
    if (!m_state)
        m_state = std::make_shared<State>();
    // The list state holds is the one made last; a change of a few employees makes the next one
    // from it, anything else makes it anew.
    const bool hadResult = m_hasResult && m_latest.hasPeople;
    m_worker->run(
        [snap, result, hadResult, changes, state = m_state] {
            const bool follows = !changes.everything && state->result.live && snap->live &&
                                 state->today == snap->today && state->onSite == snap->onSite &&
                                 state->people == snap->people && state->employees.lock() == snap->employees;
            if (follows) {
                *result = update(*snap, *state, changes.employees, changes.guests);
                return;
            }
            const QList<CRollCallModel::Person> previous = state->result.people;
            *result = make(*snap, *state);
            result->changed = !snap->people || !hadResult || previous != result->people;
        },
        [this, result] {
            m_running = false;
            // An outage keeps the last list; its news still goes out.
            if (result->live) {
                result->serial = ++m_serial;
                m_latest = *result;
                m_hasResult = true;
            }
            emit ready(*result);
            // A list of everyone made anew leaves its scratch behind on the list's thread.
            if (result->live && !result->incremental)
                CMemoryTrim::afterLargeWork();
            // The windows have taken the change: the lists before it are freed now, on the
            // list's thread, rather than kept until the next change.
            if (result->incremental)
                m_worker->run([state = m_state] {
                    state->retiredPeople = {};
                    state->retiredNotYetIn = {};
                });
            if (std::exchange(m_again, false))
                start();
        });
}
