#include "db/CLiveUpdate.h"

#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CDocTemplate.h"
#include "app/CStringTable.h"
#include "db/CDbThread.h"
#include "db/CReferenceData.h"
#include "db/DbLog.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"
#include <tuple>

namespace {

QString quoted(const QString &key)
{
    QString k = key;
    return k.replace(u'\'', QLatin1String("''"));
}

} // namespace

CLiveUpdate::CLiveUpdate(CReferenceData *reference, QObject *parent) : QObject(parent), m_reference(reference) {}

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
    m_thread = std::make_unique<CDbThread>(m_reference, refreshSeconds < 0 ? 60 : refreshSeconds);
    m_thread->setSleepStepMs(sleepStepMs);
    connect(m_thread.get(), &CDbThread::connectionStatus, this, &CLiveUpdate::connectionStatus, Qt::QueuedConnection);
    connect(m_thread.get(), &CDbThread::cycleFinished, this, &CLiveUpdate::onCycleFinished, Qt::QueuedConnection);
    m_thread->setRunning(true);
    m_thread->start();
}

void CLiveUpdate::stop()
{
    if (m_thread)
        m_thread->stopAndWait();
}

bool CLiveUpdate::stop(int timeoutMs)
{
    if (!m_thread || m_thread->stop(timeoutMs))
        return true;
    // The thread is inside a database call that ends at its time-out: leave it the objects it
    // uses (the caller keeps the reference data alive too) and let the process end without it.
    m_abandoned = std::move(m_thread);
    disconnect(m_abandoned.get(), nullptr, this, nullptr);
    return false;
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

void CLiveUpdate::handleRequest(QPointer<C_ZorvikDoc> doc, bool all)
{
    if (!all && !doc)
        return; // the panel closed meanwhile
    const bool firstCycleRunning = isThreadRunning() && !m_thread->firstCycleDone;
    if (firstCycleRunning || !OnMsgUpdateDocs(all ? nullptr : doc.data())) {
        if (all)
            m_pendingAll = true;
        else if (!m_pending.contains(doc))
            m_pending << doc;
    }
}

void CLiveUpdate::onCycleFinished(bool ok)
{
    if (m_thread)
        m_thread->passTaken();
    if (ok) {
        // The cycle's own update covers every panel.
        m_pendingAll = false;
        m_pending.clear();
        if (!OnMsgUpdateDocs(nullptr))
            m_pendingAll = true;
        return;
    }
    runPending();
}

void CLiveUpdate::runPending()
{
    if (m_pendingAll) {
        m_pendingAll = false;
        m_pending.clear();
        if (!OnMsgUpdateDocs(nullptr))
            m_pendingAll = true;
        return;
    }
    const QList<QPointer<C_ZorvikDoc>> pending = std::exchange(m_pending, {});
    for (const QPointer<C_ZorvikDoc> &d : pending)
        if (d && !OnMsgUpdateDocs(d))
            m_pending << d;
}

bool CLiveUpdate::OnMsgUpdateDocs(C_ZorvikDoc *only)
{
    m_waitForFirstCycle = false;
    qCDebug(lcZorvikDb, "OnMsgUpdateDocs: čekam mutex");
    // The polling thread holds DBMutex only to swap a cycle's data in, and waiters are served
    // in turn: this waits for one swap at most.
    m_reference->dbMutex.lock();
    qCDebug(lcZorvikDb, "OnMsgUpdateDocs: dobio mutex");

    const CDateTime now = CDateTime::fromLocal(CClock::now(), false);
    if (m_panels) {
        const QList<CDocument *> docs = m_panels->documents();
        for (CDocument *d : docs) {
            auto *doc = qobject_cast<C_ZorvikDoc *>(d);
            if (!doc || (only && doc != only))
                continue;
            doc->checkEmployees(m_reference->cursor(CReferenceData::EmployeeCursor));
            // A tablet update never adds or removes tablets, so the map can be walked as it is.
            for (const auto &entry : doc->tablets())
                if (updateTablet(doc, entry.second, now))
                    entry.second->invalidateAll();
        }
    }
    for (const QPointer<CDocTemplate> &t : std::as_const(m_refreshed)) {
        if (!t)
            continue;
        const QList<CDocument *> docs = t->documents();
        for (CDocument *d : docs)
            d->onUpdatePass();
    }
    m_reference->dbMutex.unlock();
    qCDebug(lcZorvikDb, "OnMsgUpdateDocs: osloboido mutex");
    ++m_passCount;
    emit passFinished();
    return true;
}

bool CLiveUpdate::updateTablet(C_ZorvikDoc *doc, CTablet *t, const CDateTime &now)
{
    // What the tablet shows; a repaint is asked for only when a pass changed it (a resize
    // asks for its own).
    const auto shown = [t] {
        return std::make_tuple(t->dateText, t->timeText, t->activityId, t->activityDescription, t->isStale(),
                               t->isIllegal());
    };
    const auto before = shown();
    CReferenceData &ref = *m_reference;
    CDbCursor *last = ref.cursor(CReferenceData::LastRegistrationCursor);
    const QString key = quoted(t->employeeId);
    last->setFilter(QStringLiteral("IDZaposlenog = '%1'").arg(key));
    if (last->recordCount() == 1) {
        CDateTime d;
        last->getFieldDateTime(QStringLiteral("DatumLastReg"), d);
        t->dateText = d.format(S(1055));
        t->setStale(CDateTime::wholeDaysBetween(now, d) >= 1);
        t->timeText = d.format(QStringLiteral("%H:%M"));
        QString activity;
        last->getFieldText(QStringLiteral("IDLogickeAktivnosti"), activity);

        CAppContext *ctx = CAppContext::current();
        const bool expandLatest = ctx ? ctx->expandLatest.load() != 0 : true;
        if (expandLatest) {
            const bool unchanged = activity == t->activityId && d.sameMoment(t->rememberedMoment);
            if (!unchanged) {
                if (t->rememberedMoment.sameMoment(t->initialMoment)) {
                    // The first registration a tablet sees never enlarges it.
                    t->rememberedMoment = d;
                } else {
                    CTablet *latest = doc->latestTablet();
                    if (latest && latest != t && !latest->isExpanded())
                        latest->setExpandedSize(false);
                    if (!t->isExpanded()) {
                        t->setExpandedSize(true);
                        doc->setLatestTablet(t);
                    }
                    t->rememberedMoment = d;
                }
            }
        }
        t->activityId = activity;
        const auto it = ref.activityMap.find(activity);
        t->activityDescription = it == ref.activityMap.end() ? QString() : it->second;

        bool illegal = false;
        if (d.dayKey() == now.dayKey()) { // a clocking of today
            CDbCursor *day = ref.cursor(CReferenceData::CurrentDayCursor);
            day->setFilter(QStringLiteral("IDZaposlenog = '%1'").arg(key));
            if (day->recordCount() != 0) {
                QString dayType;
                day->getFieldText(QStringLiteral("IDDana"), dayType);
                if (!dayType.isEmpty()) {
                    CDbCursor *pairs = ref.cursor(CReferenceData::IllegalActivityCursor);
                    pairs->setFilter(QStringLiteral("IDDana = '%1' and IDLogickeAktivnosti='%2'")
                                         .arg(quoted(dayType), quoted(activity)));
                    illegal = pairs->recordCount() == 1;
                    pairs->setFilter(QString());
                }
            }
            day->setFilter(QString());
        }
        t->setIllegal(illegal);
    }
    last->setFilter(QString());
    return shown() != before;
}
