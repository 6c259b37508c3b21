#include "LiveFixture.h"

#include <QSignalSpy>

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "db/CDbThread.h"
#include "panel/CPhotoLoader.h"

#include <QCoreApplication>
#include <QTimer>

using namespace livetest;

namespace {

QString stamp(const QDateTime &t)
{
    return t.toString("yyyy-MM-dd HH:mm:ss");
}

class UpdatePass : public LiveFixture
{
protected:
    void SetUp() override
    {
        LiveFixture::SetUp();
        makeDatabase();
        ASSERT_TRUE(openReference());
    }
    void clock(const QString &id, const QDateTime &when, int activity)
    {
        sql(QString("insert or replace into tblLastReg (IDZaposlenog, DatumLastReg, IDLogickeAktivnosti) values "
                    "(%1, '%2', %3)")
                .arg(id, stamp(when))
                .arg(activity));
    }
    // An activity that today's day type of the employee does not allow.
    int forbiddenToday(const QString &id)
    {
        return value(QString("select n.IDLogickeAktivnosti from tblNedozvoljeneAktivnosti n join "
                             "view_TekuciRadniDan d on d.IDDana = n.IDDana where d.IDZaposlenog = %1 order by 1")
                         .arg(id))
            .toInt();
    }
    int allowedToday(const QString &id)
    {
        return value(
                   QString("select IDLogickeAktivnosti from LogickaAktivnost where Kalendarska = 0 and "
                           "IDLogickeAktivnosti not in (select n.IDLogickeAktivnosti from tblNedozvoljeneAktivnosti "
                           "n join view_TekuciRadniDan d on d.IDDana = n.IDDana where d.IDZaposlenog = %1) order by 1")
                       .arg(id))
            .toInt();
    }
};

} // namespace

TEST_F(UpdatePass, FillsTheTabletFromTheLastRegistration)
{
    const QString x = employee(0);
    C_ZorvikDoc *doc = panel({x});
    clock(x, testNow().addSecs(-3600), 3);
    ASSERT_TRUE(cycleAndPass());
    CTablet *t = doc->tablet(x);
    EXPECT_EQ(t->dateText, "2026-03-04");
    EXPECT_EQ(t->timeText, "09:30");
    EXPECT_EQ(t->activityId, "3");
    EXPECT_EQ(t->activityDescription, m_ref->activityMap.at("3"));
    EXPECT_FALSE(t->isStale());
    EXPECT_FALSE(doc->isModified());
}

TEST_F(UpdatePass, RepaintIsAskedForOnlyWhenWhatATabletShowsChanged)
{
    const QString x = employee(0), y = employee(1);
    C_ZorvikDoc *doc = panel({x, y});
    clock(x, testNow().addSecs(-3600), 3);
    clock(y, testNow().addSecs(-1800), 3);
    ASSERT_TRUE(cycleAndPass());
    QHash<const CTablet *, int> changed;
    QObject::connect(doc, &C_ZorvikDoc::tabletChanged, doc, [&changed](CTablet *t) { ++changed[t]; });
    ASSERT_TRUE(cycleAndPass()); // the same data again
    EXPECT_TRUE(changed.isEmpty());
    clock(x, testNow().addSecs(-3600), 4); // another activity at the same moment
    ASSERT_TRUE(cycleAndPass());
    EXPECT_GE(changed.value(doc->tablet(x)), 1); // its texts, and its size when Expand Latest enlarges it
    EXPECT_EQ(changed.value(doc->tablet(y)), 0);
}

TEST_F(UpdatePass, StaleFromExactlyOneWholeDay)
{
    const QString x = employee(0);
    C_ZorvikDoc *doc = panel({x});
    const QDateTime when = testNow().addDays(-1);
    clock(x, when, 1);
    CDbThread(m_ref.get(), 60).cycle();
    CTablet *t = doc->tablet(x);
    const CDateTime d = CDateTime::fromLocal(when);
    auto runAt = [&](double secondsLater) {
        m_ref->dbMutex.lock();
        m_live->updateTablet(doc, t, CDateTime(d.days() + secondsLater / 86400.0));
        m_ref->dbMutex.unlock();
        return t->isStale();
    };
    EXPECT_TRUE(runAt(86400.0));
    EXPECT_FALSE(runAt(86399.4));
    EXPECT_TRUE(runAt(86399.6)); // rounds to a whole day
    EXPECT_FALSE(runAt(3600.0 * 8));
    // Yesterday 23:59 seen today at 08:00 is less than a whole day old.
    clock(x, QDateTime(QDate(2026, 3, 3), QTime(23, 59)), 1);
    CDbThread(m_ref.get(), 60).cycle();
    m_ref->dbMutex.lock();
    m_live->updateTablet(doc, t, CDateTime::fromParts(2026, 3, 4, 8, 0, 0));
    m_ref->dbMutex.unlock();
    EXPECT_FALSE(t->isStale());
}

TEST_F(UpdatePass, ExpandLatestEnlargesTheNewestClockingOnly)
{
    const QString x = employee(0), y = employee(1);
    C_ZorvikDoc *doc = panel({x, y});
    CTablet *tx = doc->tablet(x);
    CTablet *ty = doc->tablet(y);
    clock(x, testNow().addSecs(-600), 1);
    clock(y, testNow().addSecs(-500), 1);
    ASSERT_TRUE(cycleAndPass());
    // The first registration a tablet sees never enlarges it.
    EXPECT_EQ(tx->geometry().height(), 24);
    EXPECT_EQ(ty->geometry().height(), 24);
    EXPECT_EQ(doc->latestTablet(), nullptr);

    // The same data again changes nothing.
    ASSERT_TRUE(cycleAndPass());
    EXPECT_EQ(doc->latestTablet(), nullptr);

    clock(y, testNow().addSecs(-60), 2);
    ASSERT_TRUE(cycleAndPass());
    EXPECT_EQ(ty->geometry().height(), 96);
    EXPECT_EQ(doc->latestTablet(), ty);

    clock(x, testNow().addSecs(-30), 2);
    ASSERT_TRUE(cycleAndPass());
    EXPECT_EQ(tx->geometry().height(), 96);
    EXPECT_EQ(ty->geometry().height(), 24);
    EXPECT_EQ(doc->latestTablet(), tx);
    EXPECT_FALSE(tx->isExpanded()); // a temporary enlargement leaves the flag clear

    // A tablet the user expanded keeps its size; the latest one still shrinks.
    ty->setExpanded(true);
    ty->setExpandedSize(true);
    clock(y, testNow().addSecs(-10), 1);
    ASSERT_TRUE(cycleAndPass());
    EXPECT_EQ(tx->geometry().height(), 24);
    EXPECT_EQ(ty->geometry().height(), 96);
    EXPECT_EQ(doc->latestTablet(), tx); // not replaced by a user-expanded tablet
    EXPECT_FALSE(doc->isModified());
}

TEST_F(UpdatePass, ExpandLatestOffEnlargesNothing)
{
    m_context->expandLatest = 0;
    const QString x = employee(0);
    C_ZorvikDoc *doc = panel({x});
    clock(x, testNow().addSecs(-600), 1);
    ASSERT_TRUE(cycleAndPass());
    clock(x, testNow().addSecs(-60), 2);
    ASSERT_TRUE(cycleAndPass());
    EXPECT_EQ(doc->tablet(x)->geometry().height(), 24);
    EXPECT_EQ(doc->tablet(x)->activityId, "2");
}

TEST_F(UpdatePass, IllegalOnlyForTodaysClockingAndWarnedOncePerRegistration)
{
    const QString x = employee(0);
    ASSERT_TRUE(cycleAndPass()); // fills today's day types
    const int forbidden = forbiddenToday(x);
    const int allowed = allowedToday(x);
    ASSERT_GT(forbidden, 0);
    ASSERT_GT(allowed, 0);
    C_ZorvikDoc *doc = panel({x});
    CTablet *t = doc->tablet(x);
    QStringList warnings;
    CTablet::setWarningHandler([&](const CTablet &w) {
        warnings << w.employeeId + "|" + w.warnedDate() + "|" + w.warnedTime() + "|" + w.warnedActivity();
    });

    clock(x, testNow().addDays(-1), forbidden);
    ASSERT_TRUE(cycleAndPass());
    QCoreApplication::processEvents();
    EXPECT_FALSE(t->isIllegal());
    EXPECT_TRUE(warnings.isEmpty());

    clock(x, testNow().addSecs(-120), forbidden);
    ASSERT_TRUE(cycleAndPass());
    EXPECT_TRUE(t->isIllegal());
    EXPECT_TRUE(warnings.isEmpty()); // raised after the pass, not inside it
    QCoreApplication::processEvents();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings[0], x + "|2026-03-04|10:28|" + m_ref->activityMap.at(QString::number(forbidden)));

    ASSERT_TRUE(cycleAndPass());
    QCoreApplication::processEvents();
    EXPECT_EQ(warnings.size(), 1); // the same registration warns once

    clock(x, testNow().addSecs(-60), allowed);
    ASSERT_TRUE(cycleAndPass());
    QCoreApplication::processEvents();
    EXPECT_FALSE(t->isIllegal());

    clock(x, testNow(), forbidden);
    ASSERT_TRUE(cycleAndPass());
    QCoreApplication::processEvents();
    EXPECT_EQ(warnings.size(), 2);
    CTablet::setWarningHandler({});
}

TEST_F(UpdatePass, EmployeeWithoutLastRegistrationKeepsItsTexts)
{
    const QString x = employee(0);
    C_ZorvikDoc *doc = panel({x});
    clock(x, testNow().addSecs(-600), 4);
    ASSERT_TRUE(cycleAndPass());
    CTablet *t = doc->tablet(x);
    const QString date = t->dateText, time = t->timeText;
    sql("delete from tblLastReg where IDZaposlenog = " + x);
    ASSERT_TRUE(cycleAndPass());
    EXPECT_EQ(t->dateText, date);
    EXPECT_EQ(t->timeText, time);
    EXPECT_EQ(t->activityId, "4");
}

TEST_F(UpdatePass, VanishedEmployeesLeaveThePanelWhichThenAsksToBeSaved)
{
    const QString x = employee(0), y = employee(1);
    C_ZorvikDoc *doc = panel({x, y, "it's-no-employee"});
    ASSERT_TRUE(cycleAndPass());
    EXPECT_EQ(doc->tabletCount(), 2);
    EXPECT_TRUE(doc->isModified());
    doc->setModified(false);
    sql("delete from tblZaposleni where IDZaposlenog = " + y);
    // The employee cursor is re-read by a reconnection or a restart, not by every cycle.
    m_ref->reopen(CReferenceData::EmployeeCursor);
    ASSERT_TRUE(cycleAndPass());
    EXPECT_EQ(doc->tabletCount(), 1);
    EXPECT_NE(doc->tablet(x), nullptr);
    EXPECT_TRUE(doc->isModified());
    // The cursor is left unfiltered for its other users.
    EXPECT_EQ(m_ref->cursor(CReferenceData::EmployeeCursor)->recordCount(), 29);
}

// Photographs stay out of the shared employee cursor; a panel asks for those it shows, and they
// are read and decoded on a thread of their own that never waits for DBMutex.
TEST_F(UpdatePass, PhotographsAreReadOnlyWhenAskedAndWithoutDBMutex)
{
    const QString x = employee(0);
    C_ZorvikDoc *doc = panel({x});
    EXPECT_TRUE(doc->tablet(x)->photograph().isEmpty());
    EXPECT_EQ(m_ref->cursor(CReferenceData::EmployeeCursor)->columnIndex(u"Fotografija"), -1);

    CPhotoLoader loader;
    QHash<QString, CPhotoLoader::Result> got;
    QObject::connect(&loader, &CPhotoLoader::ready, &loader,
                     [&](const CPhotoLoader::Result &r) { got.insert(r.employeeId, r); });
    const QRect cell(5, 25, 53, 66);
    m_ref->dbMutex.lock();
    loader.request(x, {}, cell);
    loader.request("it's-nobody", {}, cell);
    EXPECT_TRUE(testsupport::waitFor([&] { return got.size() == 2; }));
    m_ref->dbMutex.unlock();
    const CPhotoLoader::Result &r = got.value(x);
    EXPECT_TRUE(r.fetched && !r.failed);
    EXPECT_TRUE(r.bytes.startsWith("\xFF\xD8"));
    ASSERT_FALSE(r.image.isNull());
    EXPECT_EQ(r.image.size(), r.target.size()); // decoded at the size drawn
    EXPECT_TRUE(cell.contains(r.target));
    const CPhotoLoader::Result &none = got.value("it's-nobody");
    EXPECT_TRUE(none.bytes.isEmpty() && none.image.isNull() && !none.failed);
    EXPECT_TRUE(loader.isIdle());
}

// The pass of the running program goes in slices with the event loop between them; a cycle that
// swaps new rows in meanwhile does not reach the pass in progress, which fills every tablet from
// the cycle it started with and then runs once more for the new one.
TEST_F(UpdatePass, SlicedPassSeesOneCycleWhole)
{
    const QStringList ids = m_employees.mid(0, 24);
    C_ZorvikDoc *doc = panel(ids + QStringList{"it's-no-employee"});
    for (const QString &id : ids)
        clock(id, testNow().addSecs(-3600), 3);
    CDbThread(m_ref.get(), 60).cycle();
    m_live->setSlices(0, 4);
    const auto filled = [&](const QString &activity) {
        return int(std::count_if(ids.begin(), ids.end(),
                                 [&](const QString &id) { return doc->tablet(id)->activityId == activity; }));
    };
    int passes = 0, afterFirst = -1, whenTheLoopRan = -1;
    QObject::connect(m_live.get(), &CLiveUpdate::passFinished, m_live.get(), [&] {
        if (++passes == 1)
            afterFirst = filled("3");
    });
    // When the first tablet is filled, new rows are swapped in and another pass is asked for.
    bool swapped = false;
    QObject::connect(doc, &C_ZorvikDoc::tabletChanged, doc, [&, first = doc->tablet(ids.first())](CTablet *t) {
        if (t != first || std::exchange(swapped, true))
            return;
        QTimer::singleShot(0, [&] { whenTheLoopRan = filled("3"); });
        for (const QString &id : ids)
            clock(id, testNow().addSecs(-60), 4);
        CDbThread(m_ref.get(), 60).cycle();
        m_live->requestUpdate(nullptr);
    });
    m_live->requestUpdate(nullptr);
    ASSERT_TRUE(testsupport::waitFor([&] { return passes == 2 && !m_live->isPassRunning(); }));
    // The event loop ran in the middle of the pass, and the first pass stayed with its own cycle.
    EXPECT_GT(whenTheLoopRan, 0);
    EXPECT_LT(whenTheLoopRan, ids.size());
    EXPECT_EQ(afterFirst, ids.size());
    EXPECT_EQ(filled("4"), ids.size());
    // A vanished employee's tablet leaves the panel at the end of its walk.
    EXPECT_EQ(doc->tabletCount(), ids.size());
    EXPECT_TRUE(doc->isModified());
}

TEST_F(UpdatePass, PassWithOnlyOnePanel)
{
    const QString x = employee(0);
    C_ZorvikDoc *a = panel({x});
    C_ZorvikDoc *b = panel({x});
    clock(x, testNow().addSecs(-600), 5);
    CDbThread(m_ref.get(), 60).cycle();
    m_live->OnMsgUpdateDocs(b);
    EXPECT_EQ(a->tablet(x)->activityId, "");
    EXPECT_EQ(b->tablet(x)->activityId, "5");
}
