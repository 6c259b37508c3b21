#include "LiveFixture.h"

#include "db/CDbThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMutexLocker>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTimer>

using namespace livetest;
using testsupport::waitFor;

namespace {

class Polling : public LiveFixture
{
protected:
    void SetUp() override
    {
        LiveFixture::SetUp();
        makeDatabase();
        ASSERT_TRUE(openReference());
    }
};

} // namespace

TEST_F(Polling, FirstPassWaitsForTheFirstCycleThenCyclesKeepUpdating)
{
    const QString x = employee(0);
    C_ZorvikDoc *doc = panel({x});
    // Asked for before the thread's first cycle: it runs once that cycle has ended.
    doc->requestUpdate();
    m_live->start(0, 20); // back to back
    ASSERT_TRUE(waitFor([&] { return !doc->tablet(x)->dateText.isEmpty(); }));
    EXPECT_GE(m_live->passCount(), 1);
    const int passes = m_live->passCount();
    ASSERT_TRUE(waitFor([&] { return m_live->passCount() > passes + 2; }));
    sql(QString("update tblLastReg set DatumLastReg = '2026-03-04 10:29:00', IDLogickeAktivnosti = 7 where "
                "IDZaposlenog = %1")
            .arg(x));
    EXPECT_TRUE(waitFor([&] { return doc->tablet(x)->activityId == "7"; }));
    EXPECT_EQ(doc->tablet(x)->timeText, "10:29");
}

TEST_F(Polling, WithoutAThreadAPassRunsAtOnce)
{
    const QString x = employee(0);
    C_ZorvikDoc *doc = panel({x});
    CDbThread(m_ref.get(), 60).cycle();
    doc->requestUpdate();
    EXPECT_TRUE(waitFor([&] { return m_live->passCount() == 1; }, 2000));
    EXPECT_FALSE(doc->tablet(x)->dateText.isEmpty());
}

TEST_F(Polling, LostDatabaseSetsTheErrorKeepsTabletsAndRecovers)
{
    const QString x = employee(0);
    C_ZorvikDoc *doc = panel({x});
    QSignalSpy status(m_live.get(), &CLiveUpdate::connectionStatus);
    m_live->start(1, 20); // one-second interval, sleeping in 20 ms steps
    ASSERT_TRUE(waitFor([&] { return m_live->passCount() >= 1; }));
    const QString shown = doc->tablet(x)->timeText;
    ASSERT_FALSE(shown.isEmpty());

    ASSERT_TRUE(QFile::rename(m_path, m_path + ".away"));
    ASSERT_TRUE(waitFor([&] { return m_ref->databaseError.load(); }, 10000));
    ASSERT_TRUE(waitFor([&] { return !status.isEmpty() && !status.last().at(0).toBool(); }, 5000));
    const int passes = m_live->passCount();
    testsupport::waitFor([] { return false; }, 2500); // two more failing cycles
    EXPECT_EQ(m_live->passCount(), passes);           // no update while the database is away
    EXPECT_EQ(doc->tablet(x)->timeText, shown);
    EXPECT_EQ(doc->tabletCount(), 1);

    ASSERT_TRUE(QFile::rename(m_path + ".away", m_path));
    sql(QString("update tblLastReg set DatumLastReg = '2026-03-04 10:11:00', IDLogickeAktivnosti = 6 where "
                "IDZaposlenog = %1")
            .arg(x));
    ASSERT_TRUE(waitFor([&] { return !m_ref->databaseError.load(); }, 10000));
    EXPECT_TRUE(waitFor([&] { return doc->tablet(x)->timeText == "10:11"; }, 10000));
    EXPECT_TRUE(status.last().at(0).toBool());
}

// A failing cycle says "not connected" before it tries its reconnections (each of which may wait
// for a time-out), and with Refresh = 0 a database that is down is not asked in a tight loop.
TEST_F(Polling, AFailureIsReportedAtOnceAndRetriedAfterAPause)
{
    CDbThread thread(m_ref.get(), 0);
    ASSERT_TRUE(thread.cycle());
    ASSERT_TRUE(QFile::rename(m_path, m_path + ".away"));
    int reports = 0;
    bool openWhenReported = false;
    QObject::connect(
        &thread, &CDbThread::connectionStatus, &thread,
        [&](bool connected) {
            ++reports;
            EXPECT_FALSE(connected);
            openWhenReported = m_ref->connection().isOpen();
        },
        Qt::DirectConnection);
    EXPECT_FALSE(thread.cycle());
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(openWhenReported); // before the reconnections closed the connection

    // Back to back on a down database: a pause of one step between cycles, not a spin.
    QSignalSpy cycles(&thread, &CDbThread::cycleFinished);
    thread.setSleepStepMs(100);
    thread.setRunning(true);
    thread.start();
    testsupport::waitFor([] { return false; }, 1000);
    thread.stopAndWait();
    EXPECT_GE(cycles.size(), 2);
    EXPECT_LE(cycles.size(), 12);
    ASSERT_TRUE(QFile::rename(m_path + ".away", m_path));
}

TEST_F(Polling, StopReturnsWithinAboutASecond)
{
    m_live->start(60); // real one-second sleep steps
    ASSERT_TRUE(waitFor([&] { return m_live->passCount() >= 1; }));
    QElapsedTimer t;
    t.start();
    m_live->stop();
    EXPECT_LT(t.elapsed(), 1500);
    EXPECT_FALSE(m_live->isThreadRunning());
}

TEST_F(Polling, NegativeRefreshCountsAsSixtySeconds)
{
    m_live->start(-5, 1);
    ASSERT_TRUE(waitFor([&] { return m_live->passCount() >= 1; }));
    // With 60 steps of 1 ms the next cycle comes after about 60 ms, not at once and not never.
    const int passes = m_live->passCount();
    EXPECT_TRUE(waitFor([&] { return m_live->passCount() > passes; }, 5000));
}

TEST_F(Polling, ALockedDatabaseNeverHoldsTheInterfaceThreadOrDbMutexUsers)
{
    CDbConnection::setDefaultTimeouts(0, 1); // a statement gives up after one second
    m_ref->connection().setCommandTimeout(1);
    const QString x = employee(0);
    C_ZorvikDoc *doc = panel({x});
    m_live->start(0, 20);
    ASSERT_TRUE(waitFor([&] { return m_live->passCount() >= 1; }));

    // Another program holds the database's write lock: the day-type procedure of every cycle
    // waits for its busy time-out and fails.
    QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
    locker.setDatabaseName(m_path);
    locker.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
    ASSERT_TRUE(locker.open());
    QSqlQuery q(locker);
    ASSERT_TRUE(q.exec("begin exclusive"));
    ASSERT_TRUE(q.exec("update tblLastReg set IDLogickeAktivnosti = IDLogickeAktivnosti"));

    QElapsedTimer clock;
    clock.start();
    qint64 longestLockWait = 0, longestGap = 0, last = 0;
    while (clock.elapsed() < 3000 || !m_ref->databaseError) {
        QElapsedTimer w;
        w.start();
        {
            QMutexLocker lock(&m_ref->dbMutex);
        }
        longestLockWait = qMax(longestLockWait, w.elapsed());
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        longestGap = qMax(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
        if (clock.elapsed() > 20000)
            break;
    }
    EXPECT_TRUE(m_ref->databaseError);
    EXPECT_LT(longestLockWait, 500);
    EXPECT_LT(longestGap, 1000);
    EXPECT_EQ(doc->tabletCount(), 1);

    q.exec("rollback");
    q = QSqlQuery();
    locker.close();
    locker = QSqlDatabase();
    QSqlDatabase::removeDatabase("locker");
    EXPECT_TRUE(waitFor([&] { return !m_ref->databaseError.load(); }, 20000));
    CDbConnection::setDefaultTimeouts(0, 0);
}

// A server that stops answering shows as not connected within one interval, while the cycle
// still waits for it (the driver gives up only at its time-out); the next cycle that ends shows
// the connection again.
TEST_F(Polling, AServerThatStopsAnsweringShowsWithinOneInterval)
{
    QSignalSpy status(m_live.get(), &CLiveUpdate::connectionStatus);
    m_live->start(1, 20);
    ASSERT_TRUE(waitFor([&] { return m_live->passCount() >= 1; }));
    ASSERT_FALSE(status.isEmpty());
    ASSERT_TRUE(status.last().at(0).toBool());

    // Another program holds the write lock: the day-type procedure waits out its busy time-out.
    QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
    locker.setDatabaseName(m_path);
    ASSERT_TRUE(locker.open());
    {
        QSqlQuery q(locker);
        ASSERT_TRUE(q.exec("begin exclusive"));
        ASSERT_TRUE(q.exec("update tblLastReg set IDLogickeAktivnosti = IDLogickeAktivnosti"));
        QElapsedTimer held;
        held.start();
        EXPECT_TRUE(waitFor([&] { return !status.last().at(0).toBool(); }, 10000));
        EXPECT_LE(held.elapsed(), m_live->thread()->hangLimitMs() + 1500);
        EXPECT_GT(m_live->thread()->busyForMs(), 0) << "shown before the statement gave up";
        q.exec("rollback");
    }
    locker.close();
    locker = QSqlDatabase();
    QSqlDatabase::removeDatabase("locker");
    EXPECT_TRUE(waitFor([&] { return status.last().at(0).toBool(); }, 40000));
}

// Cycles back to back on a large database: the interface thread never waits longer than one
// swap of the cursors, however often the polling thread takes DBMutex.
TEST_F(LiveFixture, BackToBackCyclesOnALargeDatabaseLeaveTheInterfaceThreadResponsive)
{
#ifdef __SANITIZE_THREAD__
    const int employees = 2000; // the thread checker makes building the database slow
#else
    const int employees = 20000;
#endif
    makeDatabase(employees);
    ASSERT_TRUE(openReference());
    QStringList ids;
    for (int i = 0; i < 500; ++i)
        ids << employee(i * (employees / 500));
    panel(ids);
    m_live->start(0, 1);
    ASSERT_TRUE(waitFor([&] { return m_live->passCount() >= 1; }, 30000));
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longestGap = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        longestGap = qMax(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start();
    const int passes = m_live->passCount();
    waitFor([] { return false; }, 3000);
    tick.stop();
    EXPECT_GT(m_live->passCount(), passes + 2); // cycles and passes kept coming
    EXPECT_LT(longestGap, 1000);
}
