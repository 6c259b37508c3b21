#include "DemoDbTestUtil.h"
#include "TestSupport.h"

#include "app/CClock.h"
#include "demo/CClockingSimulator.h"

#include <QFile>

using namespace demodbtest;

namespace {

class Simulator : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_path = m_dir.file(QStringLiteral("sim.sqlite"));
        CDemoDatabase::DemoOptions o = options(m_built);
        o.employees = 40;
        o.historyDays = 7;
        o.photographs = false;
        ASSERT_TRUE(build(m_path, o));
        CClock::setFixed(m_later);
    }
    void TearDown() override { CClock::reset(); }

    // The newest registration with its employee: "employee|time|activity".
    static QString newest(const Connection &c)
    {
        return c.value(QStringLiteral(
            "select h.IDZaposlenog, r.TerminalskoVremeRegistracije, r.IDLogickeAktivnosti from tblReg r join "
            "viewMediaIDHist h on substr(h.IDNo, 7, 8) = r.IDNo where r.IDReg = (select max(IDReg) from tblReg)"));
    }
    static bool forbiddenToday(const Connection &c, const QString &employee, const QString &activity)
    {
        return c.count(QStringLiteral("select count(*) from view_TekuciRadniDan d join tblNedozvoljeneAktivnosti n on "
                                      "n.IDDana = d.IDDana where d.IDZaposlenog = %1 and n.IDLogickeAktivnosti = %2")
                           .arg(employee, activity)) == 1;
    }

    testsupport::TempDir m_dir;
    QString m_path;
    // A Wednesday; the simulator clocks a few minutes after the build.
    const QDateTime m_built{QDate(2026, 3, 4), QTime(10, 30, 15)};
    const QDateTime m_later{QDate(2026, 3, 4), QTime(10, 41, 7)};
};

} // namespace

TEST_F(Simulator, StepAddsOneClockingAndUpdatesTheLastRegistration)
{
    CClockingSimulator sim(m_path);
    sim.setSeed(7);
    sim.setIllegalProbability(0);
    sim.setGuestProbability(0);
    Connection c(m_path);
    const int before = c.count(QStringLiteral("select count(*) from tblReg"));
    const QStringList lastBefore = c.rows(QStringLiteral("select * from tblLastReg order by IDZaposlenog"));

    QString clockedEmployee;
    QObject::connect(&sim, &CClockingSimulator::clocked, &sim,
                     [&](const QString &employee, const QString &, bool) { clockedEmployee = employee; });
    ASSERT_TRUE(sim.step()) << sim.lastError().toStdString();

    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblReg")), before + 1);
    const QStringList reg = newest(c).split(QLatin1Char('|'));
    ASSERT_EQ(reg.size(), 3);
    EXPECT_EQ(reg[0], clockedEmployee);
    EXPECT_EQ(reg[1], QStringLiteral("2026-03-04 10:41:07"));
    EXPECT_EQ(c.value(QStringLiteral("select DatumLastReg || '|' || IDLogickeAktivnosti from tblLastReg where "
                                     "IDZaposlenog = %1")
                          .arg(reg[0])),
              reg[1] + QLatin1Char('|') + reg[2]);
    // Every other employee's last registration is untouched.
    const QStringList lastAfter = c.rows(QStringLiteral("select * from tblLastReg order by IDZaposlenog"));
    int changed = 0;
    for (const QString &row : lastAfter)
        if (!lastBefore.contains(row))
            ++changed;
    EXPECT_EQ(changed, 1);
    EXPECT_GE(lastAfter.size(), lastBefore.size());
    EXPECT_LE(lastAfter.size(), lastBefore.size() + 1);
}

TEST_F(Simulator, AnEmployeeWithoutALastRegistrationGetsOne)
{
    Connection c(m_path);
    // Leave a single employee who never clocked.
    c.exec(QStringLiteral("delete from tblMediaID where IDZaposlenog not in (select min(IDZaposlenog) from "
                          "tblZaposleni where IDZaposlenog not in (select IDZaposlenog from tblLastReg))"));
    ASSERT_EQ(c.count(QStringLiteral("select count(*) from viewMediaIDActive")), 1);
    CClockingSimulator sim(m_path);
    sim.setIllegalProbability(0);
    ASSERT_TRUE(sim.step()) << sim.lastError().toStdString();
    EXPECT_EQ(c.value(QStringLiteral("select l.DatumLastReg || '|' || l.IDLogickeAktivnosti from tblLastReg l join "
                                     "viewMediaIDActive m on m.IDZaposlenog = l.IDZaposlenog")),
              QStringLiteral("2026-03-04 10:41:07|%1").arg(CDemoDatabase::Arrival));
}

TEST_F(Simulator, ForbiddenClockingsOnlyWhenAsked)
{
    Connection c(m_path);
    CClockingSimulator sim(m_path);
    sim.setSeed(11);
    sim.setGuestProbability(0);
    sim.setIllegalProbability(0);
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(sim.step()) << sim.lastError().toStdString();
        const QStringList reg = newest(c).split(QLatin1Char('|'));
        EXPECT_FALSE(forbiddenToday(c, reg[0], reg[2])) << reg.join(QLatin1Char(' ')).toStdString();
    }

    sim.setIllegalProbability(1);
    int forbiddenSignals = 0;
    QObject::connect(&sim, &CClockingSimulator::clocked, &sim,
                     [&](const QString &, const QString &, bool forbidden) { forbiddenSignals += forbidden ? 1 : 0; });
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(sim.step()) << sim.lastError().toStdString();
        const QStringList reg = newest(c).split(QLatin1Char('|'));
        EXPECT_TRUE(forbiddenToday(c, reg[0], reg[2])) << reg.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_EQ(forbiddenSignals, 5);

    // Left as the demo runs it: illegal clockings are rare, one every few minutes.
    CClockingSimulator demo(m_path);
    demo.setSeed(5);
    int forbidden = 0;
    QObject::connect(&demo, &CClockingSimulator::clocked, &demo,
                     [&](const QString &, const QString &, bool f) { forbidden += f ? 1 : 0; });
    const int steps = 450; // half an hour of the demo
    for (int i = 0; i < steps; ++i)
        ASSERT_TRUE(demo.step()) << demo.lastError().toStdString();
    ASSERT_GT(forbidden, 0);
    const double minutesBetween = steps * demo.interval() / 60000.0 / forbidden;
    EXPECT_GE(minutesBetween, 1.5);
    EXPECT_LE(minutesBetween, 10.0);
}

TEST_F(Simulator, ForbiddenOnASundayToo)
{
    Connection c(m_path);
    c.exec(QStringLiteral("update zv_fixed_date set Datum = '2026-03-08'"));
    CClockingSimulator sim(m_path);
    sim.setSeed(3);
    sim.setIllegalProbability(0.5);
    sim.setGuestProbability(0);
    // Within a bounded number of steps a forbidden clocking appears.
    bool seen = false;
    for (int i = 0; i < 40 && !seen; ++i) {
        ASSERT_TRUE(sim.step());
        const QStringList reg = newest(c).split(QLatin1Char('|'));
        seen = forbiddenToday(c, reg[0], reg[2]);
    }
    EXPECT_TRUE(seen);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from view_TekuciRadniDan where Datum <> '2026-03-08'")), 0);
}

TEST_F(Simulator, GuestsArriveAndLeave)
{
    Connection c(m_path);
    const QStringList before = c.rows(QStringLiteral("select IDEvent, [Exit] from tblPartnerEvent order by IDEvent"));
    const int inside = c.count(QStringLiteral("select count(*) from tblPartnerEvent where [Exit] is null"));
    CClockingSimulator sim(m_path);
    sim.setSeed(5);
    sim.setIllegalProbability(0);
    sim.setGuestProbability(1);
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(sim.step()) << sim.lastError().toStdString();

    const int arrived = c.count(QStringLiteral("select count(*) from tblPartnerEvent where Enter = '2026-03-04 "
                                               "10:41:07'"));
    const int left = c.count(QStringLiteral("select count(*) from tblPartnerEvent where [Exit] = '2026-03-04 "
                                            "10:41:07'"));
    EXPECT_GT(arrived, 0);
    EXPECT_GT(left, 0);
    EXPECT_EQ(arrived + left, 30);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblPartnerEvent where [Exit] is null")),
              inside + arrived - left);
    // Visitors already gone stay as they were.
    for (const QString &row : before) {
        if (!row.endsWith(QStringLiteral("<null>"))) {
            EXPECT_EQ(c.value(QStringLiteral("select IDEvent, [Exit] from tblPartnerEvent where IDEvent = %1")
                                  .arg(row.section(QLatin1Char('|'), 0, 0))),
                      row);
        }
    }
    // New visitors show in the guests list with a host.
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from ViewPartnerEvents where Enter = '2026-03-04 10:41:07' and "
                                     "(LastName is null or PartnerFullName is null or GuestName = '')")),
              0);
}

TEST_F(Simulator, ABusyOrMissingDatabaseFailsTheStepOnly)
{
    CClockingSimulator sim(m_path);
    sim.setBusyTimeout(100);
    sim.setGuestProbability(0);
    Connection c(m_path);
    const int before = c.count(QStringLiteral("select count(*) from tblReg"));
    {
        Connection locker(m_path);
        ASSERT_TRUE(locker.exec(QStringLiteral("begin exclusive")));
        EXPECT_FALSE(sim.step());
        EXPECT_FALSE(sim.lastError().isEmpty());
        locker.exec(QStringLiteral("rollback"));
    }
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblReg")), before);
    EXPECT_TRUE(sim.step()) << sim.lastError().toStdString();
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblReg")), before + 1);

    const QString missing = m_dir.file(QStringLiteral("gone.sqlite"));
    CClockingSimulator lost(missing);
    EXPECT_FALSE(lost.step());
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(Simulator, TimerClocksUntilStopped)
{
    CClockingSimulator sim(m_path);
    sim.setInterval(20);
    Connection c(m_path);
    const int before = c.count(QStringLiteral("select count(*) from tblReg"));
    sim.start();
    EXPECT_TRUE(sim.isRunning());
    EXPECT_TRUE(
        testsupport::waitFor([&] { return c.count(QStringLiteral("select count(*) from tblReg")) >= before + 3; }));
    sim.stop();
    EXPECT_FALSE(sim.isRunning());
    const int stopped = c.count(QStringLiteral("select count(*) from tblReg"));
    testsupport::waitFor([] { return false; }, 100);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblReg")), stopped);
}
