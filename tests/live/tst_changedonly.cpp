// A pass that looks only at what the polling cycles changed must leave every window exactly as a
// pass over everything would: a large site driven through many cycles of random clockings,
// departments moved, employees added and removed, and a new day.
#include "LiveFixture.h"

#include "app/CClock.h"
#include "db/CDbThread.h"
#include "rollcall/COnSiteActivities.h"
#include "rollcall/COnSiteList.h"
#include "views/CPresencesModel.h"
#include "views/C_ZorvikDocPresences.h"

#include <QMutexLocker>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>

using namespace livetest;

namespace {

class ChangedOnly : public LiveFixture
{
protected:
    void SetUp() override
    {
        LiveFixture::SetUp();
        makeDatabase(1500);
        ASSERT_TRUE(openReference());
        // The same panels again, kept by passes over everything.
        m_wholePanels = std::make_unique<CDocTemplate>(CDocTemplate::Panels, 1029);
        m_whole = std::make_unique<CLiveUpdate>(m_ref.get());
        m_whole->setTemplates(m_wholePanels.get(), {});
    }
    void TearDown() override
    {
        qDeleteAll(m_wholeDocs);
        m_whole.reset();
        LiveFixture::TearDown();
    }
    std::pair<C_ZorvikDoc *, C_ZorvikDoc *> panelPair(const QStringList &ids)
    {
        C_ZorvikDoc *changed = panel(ids);
        auto *whole = new C_ZorvikDoc;
        m_wholePanels->addDocument(whole);
        m_wholeDocs << whole;
        for (CTablet *t : changed->tablets())
            whole->addTablet(t->lastName, t->firstName, t->mediaNumber, t->employeeId, t->geometry());
        return {changed, whole};
    }
    // Swaps in the employees read again, as the new-panel dialog does.
    void rereadEmployees()
    {
        auto fresh = m_ref->readFresh(CReferenceData::EmployeeCursor);
        ASSERT_TRUE(fresh->isOpen());
        QMutexLocker lock(&m_ref->dbMutex);
        m_ref->cursor(CReferenceData::EmployeeCursor)->adopt(*fresh);
    }
    static QString shown(const C_ZorvikDoc *doc)
    {
        QString out;
        for (CTablet *t : doc->tablets())
            out += QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9\n")
                       .arg(t->employeeId, t->dateText, t->timeText, t->activityId, t->activityDescription)
                       .arg(t->isStale())
                       .arg(t->isIllegal())
                       .arg(t->geometry().height())
                       .arg(doc->latestTablet() == t);
        return out;
    }
    static QStringList rowsOf(const C_ZorvikDocPresences &doc)
    {
        QStringList out;
        for (const CPresencesModel::Row &r : doc.model()->rows())
            out << QStringList(r.begin(), r.end()).join(u'|');
        out.sort();
        return out;
    }

    std::unique_ptr<CDocTemplate> m_wholePanels;
    std::unique_ptr<CLiveUpdate> m_whole;
    QList<C_ZorvikDoc *> m_wholeDocs;
};

} // namespace

TEST_F(ChangedOnly, EveryWindowAsAPassOverEverythingWouldShowIt)
{
    QRandomGenerator rng(35);
    const QStringList onSite{QStringLiteral("1"), QStringLiteral("3")};
    COnSiteActivities::write(*m_settings, QSet<QString>(onSite.begin(), onSite.end()));
    // The first third of the site, every other employee, and everyone.
    QList<std::pair<C_ZorvikDoc *, C_ZorvikDoc *>> panels;
    panels << panelPair(m_employees.mid(0, 500));
    panels << panelPair(m_employees.filter(QRegularExpression(QStringLiteral("[02468]$"))));
    panels << panelPair(m_employees);
    C_ZorvikDocPresences presences;
    COnSiteList onSiteList(m_ref.get(), m_settings.get());
    onSiteList.addListener();
    CDbThread thread(m_ref.get(), 0);
    QDateTime now = testNow();
    int nextEmployee = 900000;
    qsizetype lookedAt = 0, wholePasses = 0, listsInPlace = 0;
    // The lists as a window shows them, following each list's changes where it tells them.
    CRollCallModel shownPeople;
    QList<CRollCallModel::Person> shownNotYetIn;
    quint64 shownSerial = 0;
    struct Quiet
    {
        void beginRemove(int) {}
        void endRemove() {}
        void beginInsert(int) {}
        void endInsert() {}
    };
    for (int cycle = 0; cycle < 40; ++cycle) {
        SCOPED_TRACE(cycle);
        // Time goes on: 37 minutes a cycle, and a new day (with its own day types) at cycle 25.
        const QDate before = now.date();
        now = now.addSecs(37 * 60);
        if (cycle == 25) {
            now = QDateTime(now.date().addDays(1), QTime(7, 0));
            sql(QStringLiteral("update zv_fixed_date set Datum = '%1'").arg(now.date().toString(Qt::ISODate)));
        }
        CClock::setFixed(now);
        const int clockings = int(rng.bounded(25));
        for (int i = 0; i < clockings; ++i) {
            const QString id = m_employees.at(int(rng.bounded(int(m_employees.size()))));
            // Some a whole day ago to the minute, so that they turn stale between cycles.
            const QDateTime when = rng.bounded(4) == 0 ? now.addDays(-1).addSecs(60 * int(rng.bounded(90)))
                                                       : now.addSecs(-int(rng.bounded(3 * 3600)));
            sql(QStringLiteral("insert or replace into tblLastReg (IDZaposlenog, DatumLastReg, IDLogickeAktivnosti) "
                               "values (%1, '%2', %3)")
                    .arg(id, when.toString("yyyy-MM-dd HH:mm:ss"))
                    .arg(1 + rng.bounded(6)));
        }
        bool reread = false;
        if (cycle % 7 == 3) {
            // A department moved, an employee gone, one new on the panel of everyone.
            sql(QStringLiteral("update tblZaposleni set IDSektora = (select min(IDSektora) from Sektor) where "
                               "IDZaposlenog = %1")
                    .arg(m_employees.at(int(rng.bounded(int(m_employees.size()))))));
            const QString gone = m_employees.takeAt(int(rng.bounded(int(m_employees.size()))));
            sql(QStringLiteral("delete from tblZaposleni where IDZaposlenog = %1").arg(gone));
            sql(QStringLiteral("delete from tblLastReg where IDZaposlenog = %1").arg(gone));
            const QString added = QString::number(nextEmployee++);
            sql(QStringLiteral("insert into tblZaposleni (IDZaposlenog, Prezime, Ime, IDSektora) values (%1, 'Novi', "
                               "'Zaposleni', (select max(IDSektora) from Sektor))")
                    .arg(added));
            sql(QStringLiteral("insert into tblLastReg values (%1, '%2', 1)")
                    .arg(added, now.addSecs(-60).toString("yyyy-MM-dd HH:mm:ss")));
            m_employees << added;
            rereadEmployees();
            reread = true;
            for (const auto &[changed, whole] : panels)
                if (changed == panels.last().first) {
                    changed->addTablet("Novi", "Zaposleni", "", added, QRect(0, 0, 168, 24));
                    whole->addTablet("Novi", "Zaposleni", "", added, QRect(0, 0, 168, 24));
                    m_live->OnMsgUpdateDocs(changed); // as a panel given a tablet asks
                }
        }
        ASSERT_TRUE(thread.cycle());
        m_live->passOverChanges();
        const CCycleChanges changes = m_live->lastChanges();
        m_whole->OnMsgUpdateDocs(nullptr);
        if (cycle > 0 && !reread && now.date() == before) {
            EXPECT_FALSE(changes.everything);
        }
        wholePasses += changes.everything ? 1 : 0;
        lookedAt += m_live->lastPassTablets();

        for (const auto &[changed, whole] : panels)
            ASSERT_EQ(shown(changed), shown(whole));

        // The presences follow the rows that changed as a whole query would show them.
        if (cycle == 0) {
            presences.rebuild();
        } else {
            QMutexLocker lock(&m_ref->dbMutex);
            presences.onUpdatePass(changes);
        }
        ASSERT_TRUE(presences.waitForQuery());
        C_ZorvikDocPresences fromScratch;
        fromScratch.rebuild();
        ASSERT_TRUE(fromScratch.waitForQuery());
        EXPECT_EQ(rowsOf(presences), rowsOf(fromScratch));
        // Put in order without a query, the moments stand as the query orders them.
        presences.reorder();
        const auto moments = [](const C_ZorvikDocPresences &doc) {
            QStringList out;
            for (const CPresencesModel::Row &r : doc.model()->rows())
                out << r[CPresencesModel::DateTimeColumn];
            return out;
        };
        EXPECT_EQ(moments(presences), moments(fromScratch));

        // The list of everyone on site (head count, legend counts, "Not yet in", roll call).
        onSiteList.refresh(changes);
        ASSERT_TRUE(testsupport::waitFor([&] { return !onSiteList.isBusy(); }));
        COnSiteList::Snapshot s;
        {
            QMutexLocker lock(&m_ref->dbMutex);
            s = COnSiteList::snapshot(*m_ref, QSet<QString>(onSite.begin(), onSite.end()), now);
        }
        const COnSiteList::Result expected = COnSiteList::make(s);
        const COnSiteList::Result &got = onSiteList.latest();
        EXPECT_EQ(got.people, expected.people);
        EXPECT_EQ(got.notYetIn, expected.notYetIn);
        EXPECT_EQ(got.perActivity, expected.perActivity);
        EXPECT_EQ(got.employees, expected.employees);
        EXPECT_EQ(got.departmentsText, expected.departmentsText);
        if (got.serial != shownSerial) {
            if (got.incremental && got.serial == shownSerial + 1) {
                ++listsInPlace;
                EXPECT_TRUE(shownPeople.changePeople(got.peopleDelta, got.people.size()));
                EXPECT_TRUE(CRollCallModel::applyDelta(shownNotYetIn, got.notYetInDelta, got.notYetIn.size(), Quiet{}));
            } else {
                shownPeople.setPeople(got.people);
                shownNotYetIn = got.notYetIn;
            }
            shownSerial = got.serial;
        }
        EXPECT_EQ(shownPeople.people(), expected.people);
        QMap<QString, int> departments;
        for (const CRollCallModel::Person &p : expected.people)
            departments[p.department] += p.guest ? 0 : 1;
        departments.removeIf([](const auto &d) { return d.value() == 0; });
        EXPECT_EQ(shownPeople.departmentCounts(), departments);
        EXPECT_EQ(shownPeople.employeeCount(), expected.employees);
        EXPECT_EQ(shownNotYetIn, expected.notYetIn);
    }
    // What was looked at: far fewer tablets than a pass over everything each cycle would.
    EXPECT_LT(wholePasses, 10);
    EXPECT_GT(listsInPlace, 20);
    EXPECT_LT(lookedAt, 40 * (500 + 750 + 1500) / 3);
}
