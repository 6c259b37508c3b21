#include "db/CDbThread.h"

#include "db/CConnectionString.h"
#include "db/CDbCommand.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "db/CSqlDialect.h"
#include "db/DbLog.h"
#include "db/RefreshInterval.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

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

bool CDbThread::readFresh(Fresh &fresh, CReferenceData::Cursor c)
{
    // The last read of the same statement tells how many rows and characters to expect.
    const auto previous = m_previous.find(c);
    std::unique_ptr<CDbCursor> cursor =
        m_reference->readFresh(c, m_rowsSeen[c], previous != m_previous.end() ? previous->second : nullptr);
    const bool ok = cursor->isOpen();
    if (ok)
        m_rowsSeen[c] = cursor->recordCount();
    else if (m_cycleError.isEmpty())
        m_cycleError = cursor->lastErrorDescription();
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
        if (m_cycleError.isEmpty())
            m_cycleError = conn.lastErrorDescription();
        return;
    }
    for (auto c : {CReferenceData::DepartmentCursor, CReferenceData::EmployeeCursor, CReferenceData::ActivityCursor,
                   CReferenceData::LastRegistrationCursor}) {
        if (!readFresh(fresh, c)) {
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
    m_cycleError.clear();
    auto failWith = [&](int reconnections) {
        ref.databaseError = true;
        // The status bar learns of it now, not after the reconnections, each of which may wait
        // for its own time-out against a server that hangs.
        reportStatus(false);
        for (int i = 0; i < reconnections && m_running; ++i)
            reconnect(fresh);
        ok = false;
    };
    // Employees are read again after a re-read elsewhere failed, so its last good rows are
    // replaced within a cycle.
    const bool employeesWanted = ref.employeesStale.load();
    if (!readFresh(fresh, CReferenceData::LastRegistrationCursor)) {
        failWith(3);
    } else if (CDbCommand cmd(&ref.connection(), QLatin1String(CSqlDialect::DayTypeProcedure),
                              CDbCommand::StoredProcedure);
               !cmd.execute()) {
        m_cycleError = cmd.lastErrorText().simplified();
        failWith(2);
    } else if (!readFresh(fresh, CReferenceData::CurrentDayCursor)) {
        failWith(1);
    } else if (ref.guestsAvailable && !readFresh(fresh, CReferenceData::GuestCursor)) {
        failWith(1);
    } else if (employeesWanted && !fresh.count(CReferenceData::EmployeeCursor) &&
               !readFresh(fresh, CReferenceData::EmployeeCursor)) {
        failWith(1);
    }
    if (!ref.guestsAvailable)
        fresh[CReferenceData::GuestCursor] = std::make_unique<CDbCursor>(&ref.connection()); // closed: no guests

    const CCycleChanges changes = changesOf(fresh);

    // DBMutex only for the swap: every shared cursor a cycle touched changes in one hold, so
    // a pass sees the whole cycle or none of it. A step that failed keeps the last good rows
    // (the failure is told by DatabaseError and the status bar), never an empty list.
    qCDebug(lcZorvikDb, "DBThread: waiting for the mutex");
    ref.dbMutex.lock();
    qCDebug(lcZorvikDb, "DBThread: took the mutex");
    for (auto &[c, cursor] : fresh) {
        if (!cursor->isOpen() && !(c == CReferenceData::GuestCursor && !ref.guestsAvailable))
            continue;
        if (c == CReferenceData::EmployeeCursor && cursor->isOpen())
            ref.employeesStale = false;
        m_previous[c] = cursor->table();
        ref.cursor(c)->adopt(*cursor);
    }
    ref.pendingChanges.add(changes);
    if (ok)
        ref.databaseError = false;
    qCDebug(lcZorvikDb, "DBThread: releasing the mutex");
    ref.dbMutex.unlock();
    qCDebug(lcZorvikDb, "DBThread: released the mutex");
    logConnection(ok);
    return ok;
}

void CDbThread::logConnection(bool ok)
{
    // Once per change of state, not once per failing cycle.
    const QString cs = m_reference->connectionString();
    if (!ok && !m_lostSince.isValid()) {
        m_lostSince.start();
        const QString error = m_cycleError.isEmpty() ? m_reference->connection().lastErrorDescription() : m_cycleError;
        qCWarning(lcZorvikDb, "Connection lost to %s: %s", qPrintable(CConnectionString::describe(cs)),
                  qPrintable(CConnectionString::hidePasswords(error, cs)));
    } else if (ok && m_lostSince.isValid()) {
        const qint64 seconds = m_lostSince.elapsed() / 1000;
        m_lostSince.invalidate();
        qCInfo(lcZorvikDb, "Connection restored to %s after %s", qPrintable(CConnectionString::describe(cs)),
               qPrintable(QStringLiteral("%1:%2:%3")
                              .arg(seconds / 3600)
                              .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                              .arg(seconds % 60, 2, 10, QLatin1Char('0'))));
    }
}

CCycleChanges CDbThread::changesOf(const Fresh &fresh) const
{
    CCycleChanges changes;
    const auto previous = [this](CReferenceData::Cursor c) {
        const auto it = m_previous.find(c);
        return it == m_previous.end() ? nullptr : it->second.get();
    };
    for (const auto &[c, cursor] : fresh) {
        if (!cursor->isOpen())
            continue;
        switch (c) {
        case CReferenceData::LastRegistrationCursor:
            changes.add(
                CCycleChanges::between(previous(c), cursor->table().get(),
                                       {QStringLiteral("DatumLastReg"), QStringLiteral("IDLogickeAktivnosti")}));
            break;
        case CReferenceData::CurrentDayCursor:
            changes.add(CCycleChanges::between(previous(c), cursor->table().get(), {QStringLiteral("IDDana")}));
            break;
        case CReferenceData::GuestCursor:
            changes.guests = changes.guests || !CCycleChanges::sameRows(previous(c), cursor->table().get());
            break;
        default:
            // Reference data read again (a reconnection): anything may have moved.
            changes.everything = true;
            break;
        }
        if (changes.everything)
            return CCycleChanges::all();
    }
    return changes;
}

namespace {
qint64 monotonicMs()
{
    // Never 0 while running, so that 0 can mean "between cycles".
    static const QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return clock.elapsed() + 1;
}
} // namespace

qint64 CDbThread::busyForMs() const
{
    const qint64 start = m_cycleStartMs.load();
    return start == 0 ? 0 : monotonicMs() - start;
}

qint64 CDbThread::hangLimitMs() const
{
    const qint64 statementMs = qint64(m_reference->connection().commandTimeout()) * 1000;
    return qMin(qMax<qint64>(5000, qint64(m_refreshSeconds) * 1000), qMax<qint64>(5000, statementMs));
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
        const qint64 started = monotonicMs();
        m_cycleStartMs = started;
        cycle();
        const qint64 tookMs = monotonicMs() - started;
        m_cycleStartMs = 0;
        // A cycle longer than the interval means the data on screen are older than the site
        // expects: worth a line, once per slow cycle.
        if (m_refreshSeconds > 0 && tookMs > m_refreshSeconds * 1000LL)
            qCWarning(lcZorvikDb, "A polling cycle took %.1f s, longer than the refresh interval of %d s",
                      double(tookMs) / 1000.0, m_refreshSeconds);
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
        // Back to back still leaves a pause as long as the cycle was, so that polling takes at
        // most half a core and the pass and the lists it sets off get the rest.
        if (steps == 0)
            for (qint64 left = qMin<qint64>(tookMs, m_sleepStepMs); left > 0 && m_running && !m_wake; left -= 50)
                QThread::msleep(ulong(qMin<qint64>(left, 50)));
        if (!m_running)
            break;
    }
    m_reference->connection().releaseThread();
}
