#include "db/CDbThread.h"

#include "db/CDbCommand.h"
#include "db/CReferenceData.h"
#include "db/DbLog.h"

CDbThread::CDbThread(CReferenceData *reference, int refreshSeconds, QObject *parent)
    : QThread(parent), m_reference(reference), m_refreshSeconds(refreshSeconds < 0 ? 60 : refreshSeconds)
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
}

void CDbThread::reconnect()
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
        if (!ref.reopen(c)) {
            ref.databaseError = true;
            return;
        }
    }
}

bool CDbThread::cycle()
{
    CReferenceData &ref = *m_reference;
    qCDebug(lcZorvikDb, "DBThread: čekam mutex");
    ref.dbMutex.lock();
    qCDebug(lcZorvikDb, "DBThread: zauzeo mutex");

    bool ok = true;
    auto failWith = [&](int reconnections) {
        ref.databaseError = true;
        for (int i = 0; i < reconnections; ++i)
            reconnect();
        ok = false;
    };
    CDbCursor *last = ref.cursor(CReferenceData::LastRegistrationCursor);
    last->close();
    if (!last->open(ref.queryText(CReferenceData::LastRegistrationCursor))) {
        failWith(3);
    } else if (CDbCommand cmd(&ref.connection(), QStringLiteral("sp_popuni_TekuciRbrUC"), CDbCommand::StoredProcedure);
               !cmd.execute()) {
        failWith(2);
    } else {
        CDbCursor *day = ref.cursor(CReferenceData::CurrentDayCursor);
        day->close();
        if (!day->open(ref.queryText(CReferenceData::CurrentDayCursor))) {
            failWith(1);
        } else {
            CDbCursor *guests = ref.cursor(CReferenceData::GuestCursor);
            guests->close();
            if (ref.guestsAvailable && !guests->open(ref.guestsQuery()))
                failWith(1);
        }
    }
    if (ok)
        ref.databaseError = false;

    qCDebug(lcZorvikDb, "DBThread: oslobadjam mutex");
    ref.dbMutex.unlock();
    qCDebug(lcZorvikDb, "DBThread: oslobodio mutex");
    return ok;
}

void CDbThread::run()
{
    if (!m_running)
        return;
    for (;;) {
        cycle();
        if (firstCyclePending) {
            firstCyclePending = false;
            firstCycleDone = true;
        }
        const bool connected = !m_reference->databaseError;
        // Queued, never blocking: the interface thread may be waiting for this thread to end.
        emit connectionStatus(connected);
        emit cycleFinished(connected);
        for (int i = 0; i < m_refreshSeconds; ++i) {
            if (!m_running)
                break;
            QThread::msleep(m_sleepStepMs);
        }
        if (!m_running)
            break;
        if (m_refreshSeconds == 0)
            QThread::yieldCurrentThread(); // let a waiting update pass take DBMutex
    }
    m_reference->connection().releaseThread();
}
