#include "live/CLiveUpdate.h"

#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CDocTemplate.h"
#include "app/CStringTable.h"
#include "db/CDbThread.h"
#include "db/CReferenceData.h"
#include "db/DbLog.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"
#include <QElapsedTimer>
#include <algorithm>
#include <tuple>
#include <utility>

CLiveUpdate::CLiveUpdate(CReferenceData *reference, QObject *parent) : QObject(parent), m_reference(reference)
{
    m_sliceTimer.setSingleShot(true);
    m_sliceTimer.setInterval(0);
    connect(&m_sliceTimer, &QTimer::timeout, this, [this] { continuePass(true); });
    m_hangWatch.setInterval(1000);
    connect(&m_hangWatch, &QTimer::timeout, this, [this] {
        if (m_thread && m_thread->busyForMs() > m_thread->hangLimitMs())
            m_thread->reportHung();
    });
    // A loss shows at once (a hung cycle too); a cycle's end tells whether the data are current.
    connect(this, &CLiveUpdate::connectionStatus, &m_status, [this](bool connected) {
        if (!connected)
            m_status.note(false);
    });
}

CLiveUpdate::~CLiveUpdate()
{
    stop();
    // A thread that could not be joined still runs: it must never be destroyed under it.
    if (m_abandoned)
        (void)m_abandoned.release();
}

void CLiveUpdate::setTemplates(CDocTemplate *panels, const QList<CDocTemplate *> &refreshed)
{
    m_panels = panels;
    m_refreshed.clear();
    for (CDocTemplate *t : refreshed)
        m_refreshed << t;
}

void CLiveUpdate::start(int refreshSeconds, int sleepStepMs)
{
    stop();
    m_thread = std::make_unique<CDbThread>(m_reference, refreshSeconds);
    m_thread->setSleepStepMs(sleepStepMs);
    connect(m_thread.get(), &CDbThread::connectionStatus, this, &CLiveUpdate::connectionStatus, Qt::QueuedConnection);
    connect(m_thread.get(), &CDbThread::cycleFinished, this, &CLiveUpdate::onCycleFinished, Qt::QueuedConnection);
    m_thread->setRunning(true);
    m_thread->start();
    m_hangWatch.start();
}

void CLiveUpdate::stop()
{
    m_hangWatch.stop();
    if (m_thread)
        m_thread->stopAndWait();
}

bool CLiveUpdate::stop(int timeoutMs)
{
    m_hangWatch.stop();
    if (!m_thread || m_thread->stop(timeoutMs))
        return true;
    // The thread is inside a database call that ends at its time-out: leave it the objects it
    // uses (the caller keeps the reference data alive too) and let the process end without it.
    m_abandoned = std::move(m_thread);
    disconnect(m_abandoned.get(), nullptr, this, nullptr);
    return false;
}

void CLiveUpdate::refreshNow()
{
    if (m_thread)
        m_thread->wake();
}

bool CLiveUpdate::isThreadRunning() const
{
    return m_thread && m_thread->isRunning();
}

void CLiveUpdate::requestUpdate(C_ZorvikDoc *doc)
{
    QPointer<C_ZorvikDoc> target(doc);
    const bool all = doc == nullptr;
    QMetaObject::invokeMethod(
        this, [this, target, all] { handleRequest(target, all); }, Qt::QueuedConnection);
}

// One cycle's rows as the pass reads them, and the columns it reads. Taken under DBMutex and
// shared with the cursors, so that a pass may let DBMutex go between its slices and still see
// that one cycle whole.
struct CLiveUpdate::Rows
{
    std::shared_ptr<const CDbTable> last, day, pairs, employees;
    int lastId = -1, lastDate = -1, lastActivity = -1;
    int dayId = -1, dayType = -1;
    int pairsDay = -1, pairsActivity = -1;
    int employeeId = -1;

    static Rows from(CReferenceData &ref)
    {
        Rows r;
        auto take = [&ref](CReferenceData::Cursor c) {
            CDbCursor *cursor = ref.cursor(c);
            return cursor && cursor->isOpen() ? cursor->table() : std::shared_ptr<const CDbTable>();
        };
        r.last = take(CReferenceData::LastRegistrationCursor);
        r.day = take(CReferenceData::CurrentDayCursor);
        r.pairs = take(CReferenceData::IllegalActivityCursor);
        r.employees = take(CReferenceData::EmployeeCursor);
        if (r.last) {
            r.lastId = r.last->columnIndex(u"IDZaposlenog");
            r.lastDate = r.last->columnIndex(u"DatumLastReg");
            r.lastActivity = r.last->columnIndex(u"IDLogickeAktivnosti");
        }
        if (r.day) {
            r.dayId = r.day->columnIndex(u"IDZaposlenog");
            r.dayType = r.day->columnIndex(u"IDDana");
        }
        if (r.pairs) {
            r.pairsDay = r.pairs->columnIndex(u"IDDana");
            r.pairsActivity = r.pairs->columnIndex(u"IDLogickeAktivnosti");
        }
        if (r.employees)
            r.employeeId = r.employees->columnIndex(u"IDZaposlenog");
        return r;
    }
};

// A pass in progress: the rows it reads, the panels it walks and where it stopped.
struct CLiveUpdate::Pass
{
    Rows rows;
    CDateTime now;
    QList<QPointer<C_ZorvikDoc>> docs;
    bool whole = true; // every tablet; otherwise only those of keys
    QStringList keys;  // the employees to look at, in ascending order
    qsizetype doc = 0;
    bool resume = false; // within docs[doc], from key (whole) or keys[next] on
    QString key;
    qsizetype next = 0;
    QStringList gone; // employees of docs[doc] no longer in the employee table
    qsizetype visited = 0;
};

void CLiveUpdate::handleRequest(QPointer<C_ZorvikDoc> doc, bool all)
{
    if (!all && !doc)
        return; // the panel closed meanwhile
    const bool firstCycleRunning = isThreadRunning() && !m_thread->firstCycleDone;
    if (firstCycleRunning || m_pass) {
        if (all)
            m_pendingAll = m_pendingWhole = true;
        else if (!m_pending.contains(doc))
            m_pending << doc;
        return;
    }
    m_waitForFirstCycle = false;
    startPass(all ? Scope::Whole : Scope::One, all ? nullptr : doc.data(), true);
}

void CLiveUpdate::onCycleFinished(bool ok)
{
    if (m_thread)
        m_thread->passTaken();
    m_status.note(ok && !m_reference->employeesStale);
    if (ok) {
        // The cycle's own update covers every panel.
        m_pending.clear();
        if (m_pass) {
            m_pendingAll = true;
            return;
        }
        m_pendingAll = false;
        m_waitForFirstCycle = false;
        startPass(std::exchange(m_pendingWhole, false) ? Scope::Whole : Scope::Changed, nullptr, true);
        return;
    }
    runPending();
}

void CLiveUpdate::runPending()
{
    if (m_pass)
        return;
    if (m_pendingAll) {
        m_pendingAll = false;
        m_pending.clear();
        startPass(std::exchange(m_pendingWhole, false) ? Scope::Whole : Scope::Changed, nullptr, true);
        return;
    }
    while (!m_pending.isEmpty()) {
        const QPointer<C_ZorvikDoc> d = m_pending.takeFirst();
        if (d) {
            startPass(Scope::One, d, true);
            return;
        }
    }
}

bool CLiveUpdate::OnMsgUpdateDocs(C_ZorvikDoc *only)
{
    m_waitForFirstCycle = false;
    // A pass in slices still running is finished first, so that passes never overlap.
    while (m_pass)
        continuePass(false);
    startPass(only ? Scope::One : Scope::Whole, only, false);
    return true;
}

void CLiveUpdate::passOverChanges()
{
    m_waitForFirstCycle = false;
    while (m_pass)
        continuePass(false);
    startPass(Scope::Changed, nullptr, false);
}

QStringList CLiveUpdate::keysToVisit(const CCycleChanges &changes, const CDateTime &now)
{
    QSet<QString> keys = changes.employees;
    // Clockings that have turned a day old since they were shown.
    const double today = now.isValid() ? now.days() : 0.0;
    auto due = m_staleDue.begin();
    for (; due != m_staleDue.end() && due->first <= today; ++due)
        keys.insert(due->second);
    m_staleDue.erase(m_staleDue.begin(), due);
    QStringList sorted(keys.begin(), keys.end());
    std::sort(sorted.begin(), sorted.end(), ByteWiseLess());
    return sorted;
}

void CLiveUpdate::noteStaleDue(const CTablet *t)
{
    // Stale from the moment the span, rounded to the second, reaches a whole day.
    if (!t->isStale() && t->shownMoment().isValid())
        m_staleDue.emplace(t->shownMoment().days() + 1.0 - CDateTime::kHalfSecond, t->employeeId);
}

void CLiveUpdate::startPass(Scope scope, C_ZorvikDoc *only, bool sliced)
{
    QElapsedTimer started;
    started.start();
    auto pass = std::make_unique<Pass>();
    qCDebug(lcZorvikDb, "OnMsgUpdateDocs: waiting for the mutex");
    // The polling thread holds DBMutex only to swap a cycle's data in, and waiters are served
    // in turn: this waits for one swap at most.
    m_reference->dbMutex.lock();
    qCDebug(lcZorvikDb, "OnMsgUpdateDocs: took the mutex");
    pass->rows = Rows::from(*m_reference);
    pass->now = CDateTime::fromLocal(CClock::now(), false);
    if (m_panels) {
        const QList<CDocument *> docs = m_panels->documents();
        for (CDocument *d : docs)
            if (auto *doc = qobject_cast<C_ZorvikDoc *>(d); doc && (scope != Scope::One || doc == only))
                pass->docs << doc;
    }
    CCycleChanges changes;
    if (scope != Scope::One) {
        // A pass over every panel takes what the cycles changed. Other readers of the employees
        // (the new-panel dialog) and the forbidden pairs swap in rows of their own; a new day
        // changes what "today" and "a day old" mean; Expand Latest switched changes what a new
        // clocking does: each of these makes the pass a whole one.
        changes = std::exchange(m_reference->pendingChanges, CCycleChanges());
        CAppContext *ctx = CAppContext::current();
        const int expandLatest = ctx ? ctx->expandLatest.load() : 1;
        if (scope == Scope::Whole || m_seenEmployees.lock() != pass->rows.employees ||
            m_seenPairs.lock() != pass->rows.pairs || pass->now.dayKey() != m_seenDay ||
            expandLatest != m_seenExpandLatest)
            changes = CCycleChanges::all();
        m_seenEmployees = pass->rows.employees;
        m_seenPairs = pass->rows.pairs;
        m_seenDay = pass->now.dayKey();
        m_seenExpandLatest = expandLatest;
        pass->whole = changes.everything;
        if (pass->whole)
            m_staleDue.clear(); // every tablet notes its own again
        else
            pass->keys = keysToVisit(changes, pass->now);
        // The lists read their cursors now, from the same cycle as the tablets, and only when
        // something they show changed.
        if (!changes.isEmpty()) {
            for (const QPointer<CDocTemplate> &t : std::as_const(m_refreshed)) {
                if (!t)
                    continue;
                const QList<CDocument *> docs = t->documents();
                for (CDocument *d : docs)
                    d->onUpdatePass(changes);
            }
        }
    }
    m_reference->dbMutex.unlock();
    qCDebug(lcZorvikDb, "OnMsgUpdateDocs: released the mutex");
    m_lastChanges = std::move(changes);
    m_pass = std::move(pass);
    m_startNs = started.nsecsElapsed(); // the first slice's share
    continuePass(sliced);
}

void CLiveUpdate::continuePass(bool sliced)
{
    if (!m_pass)
        return;
    // A large panel is walked in slices with the event loop between them, so that the window
    // never waits long for its turn; the rows stay those of the one cycle taken at the start.
    QElapsedTimer clock;
    clock.start();
    Pass &p = *m_pass;
    int sinceCheck = 0;
    // True when the slice's time is up; the caller notes where to go on.
    const auto timeUp = [&] {
        if (!sliced || ++sinceCheck < m_sliceCheck)
            return false;
        sinceCheck = 0;
        return clock.elapsed() >= m_sliceMs;
    };
    const qint64 before = std::exchange(m_startNs, 0);
    const auto later = [this, &clock, before] {
        m_longestSliceNs = qMax(m_longestSliceNs, before + clock.nsecsElapsed());
        // A timer, not a posted call: timers and painting get their turn before the next slice.
        m_sliceTimer.start();
    };
    while (p.doc < p.docs.size()) {
        C_ZorvikDoc *doc = p.docs.at(p.doc);
        if (!doc) {
            ++p.doc;
            p.resume = false;
            p.next = 0;
            p.gone.clear();
            continue;
        }
        const CTabletIndex &tablets = doc->tablets();
        if (p.whole) {
            auto it = p.resume ? tablets.lowerBound(p.key) : tablets.begin();
            // A closed employee cursor knows no employees at all: it never empties a panel.
            const CDbTable *employees = p.rows.employeeId >= 0 ? p.rows.employees.get() : nullptr;
            for (; it != tablets.end(); ++it) {
                CTablet *t = *it;
                if (timeUp()) {
                    p.resume = true;
                    p.key = t->employeeId;
                    later();
                    return;
                }
                ++p.visited;
                if (employees && employees->firstEqual(p.rows.employeeId, t->employeeId) < 0) {
                    p.gone << t->employeeId;
                    continue;
                }
                if (updateTablet(doc, t, p.now, p.rows))
                    t->invalidateAll();
                noteStaleDue(t);
            }
            if (!p.gone.isEmpty()) {
                doc->removeTablets(p.gone);
                doc->setModified(true);
            }
        } else {
            // Only the employees that changed: the others show what they showed.
            for (; p.next < p.keys.size(); ++p.next) {
                if (timeUp()) {
                    later();
                    return;
                }
                CTablet *t = tablets.find(p.keys.at(p.next));
                if (!t)
                    continue;
                ++p.visited;
                if (updateTablet(doc, t, p.now, p.rows))
                    t->invalidateAll();
                noteStaleDue(t);
            }
        }
        p.gone.clear();
        p.resume = false;
        p.next = 0;
        ++p.doc;
    }
    m_lastPassTablets = p.visited;
    if (sliced)
        m_longestSliceNs = qMax(m_longestSliceNs, before + clock.nsecsElapsed());
    m_pass.reset();
    ++m_passCount;
    emit passFinished();
    if (sliced)
        runPending();
}

bool CLiveUpdate::updateTablet(C_ZorvikDoc *doc, CTablet *t, const CDateTime &now)
{
    return updateTablet(doc, t, now, Rows::from(*m_reference));
}

bool CLiveUpdate::updateTablet(C_ZorvikDoc *doc, CTablet *t, const CDateTime &now, const Rows &rows)
{
    // What the tablet shows; a repaint is asked for only when a pass changed it (a resize
    // asks for its own).
    const auto shown = [t] {
        return std::make_tuple(t->dateText, t->timeText, t->activityId, t->activityDescription, t->isStale(),
                               t->isIllegal());
    };
    const auto before = shown();
    CReferenceData &ref = *m_reference;
    // The filter "IDZaposlenog = '%s'" on the last registrations: exactly one row or nothing
    // changes.
    const QString &key = t->employeeId;
    const CDbTable *last = rows.lastId >= 0 ? rows.last.get() : nullptr;
    const int row = last ? last->firstEqual(rows.lastId, key) : -1;
    if (row < 0 || last->nextEqual(rows.lastId, row) >= 0)
        return false;
    CDateTime d;
    if (rows.lastDate >= 0)
        last->dateTime(row, rows.lastDate, d);
    // The texts are made again only for another moment.
    if (!(d.status() == t->shownMoment().status() && d.days() == t->shownMoment().days()) || t->dateText.isNull()) {
        // Tablets clocked on the same day (or at the same minute of any day) share one text.
        t->dateText = m_texts.shared(d.format(S(1055)));
        t->timeText = m_texts.shared(d.format(QStringLiteral("%H:%M")));
        t->setShownMoment(d);
    }
    t->setStale(CDateTime::wholeDaysBetween(now, d) >= 1);
    QString activity = t->activityId;
    if (rows.lastActivity < 0)
        activity.clear();
    else if (!last->textEquals(row, rows.lastActivity, activity))
        last->text(row, rows.lastActivity, activity);

    CAppContext *ctx = CAppContext::current();
    const bool expandLatest = ctx ? ctx->expandLatest.load() != 0 : true;
    if (expandLatest) {
        const bool unchanged = activity == t->activityId && d.sameMoment(t->rememberedMoment());
        if (!unchanged) {
            if (t->rememberedMoment().sameMoment(t->initialMoment)) {
                // The first registration a tablet sees never enlarges it.
                t->setRememberedMoment(d);
            } else {
                CTablet *latest = doc->latestTablet();
                if (latest && latest != t && !latest->isExpanded())
                    latest->setExpandedSize(false);
                if (!t->isExpanded()) {
                    t->setExpandedSize(true);
                    doc->setLatestTablet(t);
                }
                t->setRememberedMoment(d);
            }
        }
    }
    const auto it = ref.activityMap.find(activity);
    // The map's own texts, shared by every tablet with the activity.
    t->activityId = it == ref.activityMap.end() ? activity : it->first;
    t->activityDescription = it == ref.activityMap.end() ? QString() : it->second;

    // A clocking of today against the day type's forbidden activities: the filters
    // "IDZaposlenog = '%s'" on today's day types and "IDDana = '%s' and IDLogickeAktivnosti='%s'"
    // on the forbidden pairs.
    bool illegal = false;
    const CDbTable *day = rows.dayId >= 0 ? rows.day.get() : nullptr;
    if (day && d.dayKey() == now.dayKey()) {
        const int dayRow = day->firstEqual(rows.dayId, key);
        QString dayType;
        if (dayRow >= 0 && rows.dayType >= 0)
            day->text(dayRow, rows.dayType, dayType);
        const CDbTable *pairs = rows.pairsDay >= 0 && rows.pairsActivity >= 0 ? rows.pairs.get() : nullptr;
        if (!dayType.isEmpty() && pairs) {
            int matches = 0;
            for (int r = pairs->firstEqual(rows.pairsDay, dayType); r >= 0; r = pairs->nextEqual(rows.pairsDay, r))
                if (pairs->textEquals(r, rows.pairsActivity, activity))
                    ++matches;
            illegal = matches == 1;
        }
    }
    t->setIllegal(illegal);
    return shown() != before;
}
