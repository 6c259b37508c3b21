#include "rollcall/COnSiteList.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "live/CLiveStatus.h"
#include "rollcall/COnSiteActivities.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QTimer>

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

COnSiteList::Result COnSiteList::make(const Snapshot &s, const QList<CRollCallModel::Person> *previous)
{
    Result r;
    r.live = s.live;
    r.asOf = s.asOf;
    if (!s.live)
        return r;
    // Today's bounds once: a moment belongs to today when, rounded to the second, its date is
    // today's (no time-zone look-up per row).
    const double start =
        CDateTime::fromParts(s.today.year(), s.today.month(), s.today.day()).days() - CDateTime::kHalfSecond;
    const double end = start + 1.0;
    struct Clocking
    {
        CDateTime moment;
        QString activity;
    };
    // Employees clocked in today with an on-site activity, by key; today's clockings by activity;
    // who has clocked today at all; and when the others last clocked.
    QHash<QString, Clocking> here;
    QSet<QString> clockedToday;
    QHash<QString, CDateTime> earlier;
    if (const CDbTable *t = s.lastRegistrations.get()) {
        const int idColumn = t->columnIndex(u"IDZaposlenog"), dateColumn = t->columnIndex(u"DatumLastReg"),
                  activityColumn = t->columnIndex(u"IDLogickeAktivnosti");
        if (idColumn >= 0 && dateColumn >= 0 && activityColumn >= 0) {
            here.reserve(t->rowCount());
            QString id, activity;
            for (int row = 0; row < t->rowCount(); ++row) {
                CDateTime moment = CDateTime::null();
                if (!t->dateTime(row, dateColumn, moment) || !moment.isValid())
                    continue;
                t->text(row, idColumn, id);
                if (moment.days() < start) {
                    earlier.insert(id, moment);
                    continue;
                }
                clockedToday.insert(id);
                if (moment.days() >= end)
                    continue;
                t->text(row, activityColumn, activity);
                ++r.perActivity[activity];
                if (s.onSite.contains(activity))
                    here.insert(id, {moment, activity});
            }
        }
    }
    // One walk over the employees: who is here (counted, and listed while a window shows the
    // list), and who has not clocked at all today.
    QMap<QString, int> perDepartment;
    const QString dateFormat = S(1055); // the language's, as on the tablets
    if (const CDbTable *e = s.employees.get()) {
        const int idColumn = e->columnIndex(u"IDZaposlenog"), lastColumn = e->columnIndex(u"Prezime"),
                  firstColumn = e->columnIndex(u"Ime"), departmentColumn = e->columnIndex(u"IDSektora");
        QString id, lastName, firstName, department;
        for (int row = 0; idColumn >= 0 && row < e->rowCount(); ++row) {
            e->text(row, idColumn, id);
            const auto l = here.constFind(id);
            const bool isHere = l != here.cend();
            if (!isHere && clockedToday.contains(id))
                continue;
            if (lastColumn >= 0)
                e->text(row, lastColumn, lastName);
            if (firstColumn >= 0)
                e->text(row, firstColumn, firstName);
            if (departmentColumn >= 0)
                e->text(row, departmentColumn, department);
            const auto dep = s.departments.find(department);
            const QString &departmentName = dep == s.departments.end() ? department : dep->second;
            if (isHere) {
                ++perDepartment[departmentName];
                ++r.employees;
                if (!s.people)
                    continue;
            }
            CRollCallModel::Person p;
            p.key = u'E' + id;
            p.name = (lastName + u' ' + firstName).trimmed();
            p.department = departmentName;
            if (isHere) {
                p.time = l->moment.format(QStringLiteral("%H:%M"));
                const auto act = s.activities.find(l->activity);
                p.detail = act == s.activities.end() ? l->activity : act->second;
                r.people << p;
                continue;
            }
            // Not yet in: the date of the last clocking, if there is one.
            if (const auto last = earlier.constFind(id); last != earlier.cend())
                p.time = last->format(dateFormat);
            r.notYetIn << p;
        }
        CRollCallModel::sortPeople(r.notYetIn);
    }
    r.guests = int(s.guests.size());
    r.hasPeople = s.people;
    // Guest rows: entry, company, guest, reason, host.
    for (const CGuestsModel::Row &g : s.guests) {
        if (!s.people)
            break;
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
        r.people << p;
    }
    CRollCallModel::sortPeople(r.people);
    QStringList lines;
    for (auto it = perDepartment.cbegin(); it != perDepartment.cend(); ++it)
        lines << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
    r.departmentsText = lines.join(u'\n');
    r.changed = !s.people || !previous || *previous != r.people;
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
    m_changes = CCycleChanges();
    m_lastOnSite = onSite;
    m_lastDay = now.date();
    auto snap = std::make_shared<Snapshot>(snapshot(*m_reference, onSite, now));
    m_reference->dbMutex.unlock();
    snap->people = m_listeners > 0;
    if (!m_worker)
        m_worker = new CDbWorker(nullptr, this);
    auto result = std::make_shared<Result>();
    // The previous list goes along (shared, not copied) to tell whether this one changed.
    const QList<CRollCallModel::Person> previous = m_latest.people;
    const bool hadResult = m_hasResult && m_latest.hasPeople;
    m_worker->run([snap, result, previous, hadResult] { *result = make(*snap, hadResult ? &previous : nullptr); },
                  [this, result] {
                      m_running = false;
                      // An outage keeps the last list; its news still goes out.
                      if (result->live) {
                          result->serial = ++m_serial;
                          m_latest = *result;
                          m_hasResult = true;
                      }
                      emit ready(*result);
                      if (std::exchange(m_again, false))
                          start();
                  });
}
