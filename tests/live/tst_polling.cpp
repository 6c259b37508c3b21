#include "LiveFixture.h"

#include "db/CDbThread.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>

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
