#include "db/CDbThread.h"

#include "db/CDbCommand.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "db/CSqlDialect.h"
#include "db/DbLog.h"
#include "db/RefreshInterval.h"

#include <QDeadlineTimer>

CDbThread::CDbThread(CReferenceData *reference, int refreshSeconds, QObject *parent)
    : QThread(parent), m_reference(reference), m_refreshSeconds(RefreshInterval::seconds(refreshSeconds))
{
    setObjectName(QStringLiteral("DBThread"));
}

CDbThread::~CDbThread()
{
    stopAndWait();
}

void CDbThread::stopAndWait()
{
    m_running = 0;
    if (isRunning())
        wait();
    joined();
}

bool CDbThread::stop(int timeoutMs)
{
    m_running = 0;
    // A statement in flight would otherwise keep the thread until its time-out.
    m_reference->connection().cancelStatements(this);
    if (isRunning() && !wait(QDeadlineTimer(timeoutMs)))
        return false;
    joined();
    return true;
}

void CDbThread::joined()
{
    // The join already orders the thread's last writes before whatever follows; passing
    // through DBMutex once says so in a form the thread checker can follow too.
    m_reference->dbMutex.lock();
    m_reference->dbMutex.unlock();
}

bool CDbThread::readFresh(Fresh &fresh, CReferenceData::Cursor c, const QString &query)
{
    auto cursor = std::make_unique<CDbCursor>(&m_reference->connection());
    // The last read of the same statement tells how many rows to expect.
    cursor->setSizeHint(m_rowsSeen[c]);
    const bool ok = cursor->open(query);
    if (ok)
        m_rowsSeen[c] = cursor->recordCount();
    // The update pass filters the live cursors by employee: index them here, not in the pass.
    if (ok && (c == CReferenceData::LastRegistrationCursor || c == CReferenceData::CurrentDayCursor ||
               c == CReferenceData::EmployeeCursor))
        cursor->prepareFilter(QStringLiteral("IDZaposlenog"));
    fresh[c] = std::move(cursor);
    return ok;
}

void CDbThread::reconnect(Fresh &fresh)
{
    CReferenceData &ref = *m_reference;
    CDbConnection &conn = ref.connection();
    conn.close();
    if (!conn.open(ref.connectionString())) {
        ref.databaseError = true;
        return;
    }
    for (auto c : {CReferenceData::DepartmentCursor, CReferenceData::EmployeeCursor, CReferenceData::ActivityCursor,
                   CReferenceData::LastRegistrationCursor}) {
        if (!readFresh(fresh, c, ref.queryText(c))) {
            ref.databaseError = true;
            return;
        }
    }
}

bool CDbThread::cycle()
{
    CReferenceData &ref = *m_reference;
    // Everything that crosses the network happens here, into cursors of this thread's own,
    // without DBMutex: a slow or hung server never holds the interface thread.
    Fresh fresh;
    bool ok = true;
    auto failWith = [&](int reconnections) {
        ref.databaseError = true;
        // The status bar learns of it now, not after the reconnections, each of which may wait
        // for its own time-out against a server that hangs.
        reportStatus(false);
        for (int i = 0; i < reconnections && m_running; ++i)
            reconnect(fresh);
        ok = false;
    };
    if (!readFresh(fresh, CReferenceData::LastRegistrationCursor,
                   ref.queryText(CReferenceData::LastRegistrationCursor))) {
        failWith(3);
    } else if (CDbCommand cmd(&ref.connection(), QLatin1String(CSqlDialect::DayTypeProcedure),
                              CDbCommand::StoredProcedure);
               !cmd.execute()) {
        failWith(2);
    } else if (!readFresh(fresh, CReferenceData::CurrentDayCursor, ref.queryText(CReferenceData::CurrentDayCursor))) {
        failWith(1);
    } else if (ref.guestsAvailable) {
        if (!readFresh(fresh, CReferenceData::GuestCursor, ref.guestsQuery()))
            failWith(1);
    } else {
        fresh[CReferenceData::GuestCursor] = std::make_unique<CDbCursor>(&ref.connection()); // closed
    }

    // DBMutex only for the swap: every shared cursor a cycle touched changes in one hold, so
    // a pass sees the whole cycle or none of it. A step that failed leaves its cursor closed.
    qCDebug(lcZorvikDb, "DBThread: čekam mutex");
    ref.dbMutex.lock();
    qCDebug(lcZorvikDb, "DBThread: zauzeo mutex");
    for (auto &[c, cursor] : fresh)
        ref.cursor(c)->adopt(*cursor);
    if (ok)
        ref.databaseError = false;
    qCDebug(lcZorvikDb, "DBThread: oslobadjam mutex");
    ref.dbMutex.unlock();
    qCDebug(lcZorvikDb, "DBThread: oslobodio mutex");
    return ok;
}

void CDbThread::reportStatus(bool connected)
{
    // Queued, never blocking: the interface thread may be waiting for this thread to end.
    // The icon only changes with the state; a request per back-to-back cycle would flood
    // the interface thread's queue.
    if (int(connected) != m_lastStatus.exchange(int(connected)))
        emit connectionStatus(connected);
}

void CDbThread::run()
{
    if (!m_running)
        return;
    CDbWorker::yieldToInterface();
    for (;;) {
        m_wake = false;
        cycle();
        if (firstCyclePending) {
            firstCyclePending = false;
            firstCycleDone = true;
        }
        const bool connected = !m_reference->databaseError;
        reportStatus(connected);
        // One pass waiting is enough: it reads the newest data when it runs. Back-to-back
        // cycles must not pile passes up in the interface thread's queue.
        if (!connected || !m_passQueued.exchange(true))
            emit cycleFinished(connected);
        // Back to back only while the database answers: a server that is down is asked again
        // after a step at least, not in a loop that takes a whole core.
        const int steps = connected ? m_refreshSeconds : qMax(m_refreshSeconds, 1);
        for (int i = 0; i < steps; ++i) {
            if (!m_running || m_wake.exchange(false))
                break;
            QThread::msleep(m_sleepStepMs);
        }
        if (!m_running)
            break;
    }
    m_reference->connection().releaseThread();
}
