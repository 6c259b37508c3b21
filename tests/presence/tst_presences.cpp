#include "PresenceTestDb.h"
#include "app/CStringTable.h"
#include "app/CTextMatch.h"
#include "db/CCycleChanges.h"
#include "db/CReferenceData.h"
#include "views/CPresencesModel.h"
#include "views/C_ZorvikDocPresences.h"

#include <QMutexLocker>
#include <QSet>
#include <QTime>
#include <random>

using presencetest::PresenceDb;

namespace {

class PresencesView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.ok());
        // Every employee arrived this morning, a minute apart; the first three are on a break.
        employees = db.rows("select IDZaposlenog from tblZaposleni order by IDZaposlenog");
        ASSERT_GE(employees.size(), 10);
        for (int i = 0; i < employees.size(); ++i)
            db.exec(QStringLiteral("insert or replace into tblLastReg (IDZaposlenog, DatumLastReg, "
                                   "IDLogickeAktivnosti) values (%1, '2026-03-04 %2:%3:00', %4)")
                        .arg(employees.at(i))
                        .arg(7 + i / 60, 2, 10, QLatin1Char('0'))
                        .arg(i % 60, 2, 10, QLatin1Char('0'))
                        .arg(i < 3 ? CDemoDatabase::Break : CDemoDatabase::Arrival));
    }

    // The media number the grid shows for an employee, as the database computes it.
    QString mediaOf(const QString &employee)
    {
        return db.value(QStringLiteral("select substr(upper(IDNo), 7, 8) from tblMediaID where IDZaposlenog = %1 "
                                       "and VaziDo is null")
                            .arg(employee));
    }
    // Media numbers of the employees with an active medium and a last registration, newest first.
    QStringList expectedMedia(const QString &where = QString())
    {
        return db.rows(QStringLiteral("select substr(upper(m.IDNo), 7, 8) from tblLastReg r join tblMediaID m on "
                                      "m.IDZaposlenog = r.IDZaposlenog and m.VaziDo is null %1 order by "
                                      "r.DatumLastReg desc")
                           .arg(where));
    }
    static QStringList column(const C_ZorvikDocPresences &doc, int c)
    {
        QStringList out;
        for (const CPresencesModel::Row &r : doc.model()->rows())
            out << r[c];
        return out;
    }
    int entryOf(const C_ZorvikDocPresences &doc, const QString &description)
    {
        for (int i = 0; i < doc.activities().size(); ++i)
            if (doc.activities().at(i).description == description)
                return i + 1;
        return -1;
    }

    PresenceDb db;
    QStringList employees;
};

} // namespace

TEST_F(PresencesView, ActivitiesComeInTheCursorOrderWithoutCalendarOnes)
{
    C_ZorvikDocPresences doc;
    EXPECT_EQ(doc.title(), S(1073));
    doc.loadActivities();
    QStringList descriptions;
    for (const auto &a : doc.activities())
        descriptions << a.description;
    EXPECT_EQ(descriptions,
              db.rows("select OpisLogAkt from LogickaAktivnost where Kalendarska = 0 order by OpisLogAkt"));
    EXPECT_FALSE(descriptions.contains("Annual leave"));
}

TEST_F(PresencesView, ChoosingAnActivityShowsOnlyItsEmployeesAndAllShowsEveryoneAgain)
{
    C_ZorvikDocPresences doc;
    doc.loadActivities();
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    EXPECT_EQ(column(doc, CPresencesModel::MediaColumn), expectedMedia());

    const int breakEntry = entryOf(doc, "Break");
    ASSERT_GT(breakEntry, 0);
    doc.setSelection(breakEntry);
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    EXPECT_EQ(column(doc, CPresencesModel::MediaColumn),
              expectedMedia(QStringLiteral("where r.IDLogickeAktivnosti = %1").arg(CDemoDatabase::Break)));
    EXPECT_EQ(doc.model()->rowCount(), 3);
    for (const QString &activity : column(doc, CPresencesModel::ActivityColumn))
        EXPECT_EQ(activity, "Break");

    doc.setSelection(0);
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    EXPECT_EQ(column(doc, CPresencesModel::MediaColumn), expectedMedia());
}

TEST_F(PresencesView, ANewClockingKeepsOneRowInPlaceWithTheNewValues)
{
    C_ZorvikDocPresences doc;
    doc.loadActivities();
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    const QList<CPresencesModel::Row> before = doc.model()->rows();
    const QString media = mediaOf(employees.at(5));
    const int at = int(column(doc, CPresencesModel::MediaColumn).indexOf(media));
    ASSERT_GE(at, 0);
    int changedSignals = 0, inserted = 0, removed = 0;
    QObject::connect(doc.model(), &QAbstractItemModel::dataChanged, doc.model(),
                     [&](const QModelIndex &tl, const QModelIndex &br) {
                         ++changedSignals;
                         EXPECT_EQ(tl.row(), at);
                         EXPECT_EQ(br.row(), at);
                     });
    QObject::connect(doc.model(), &QAbstractItemModel::rowsInserted, doc.model(), [&] { ++inserted; });
    QObject::connect(doc.model(), &QAbstractItemModel::rowsRemoved, doc.model(), [&] { ++removed; });

    db.exec(QStringLiteral("update tblLastReg set DatumLastReg = '2026-03-04 12:00:00', IDLogickeAktivnosti = %1 "
                           "where IDZaposlenog = %2")
                .arg(CDemoDatabase::Doctor)
                .arg(employees.at(5)));
    ASSERT_TRUE(doc.refresh() && doc.waitForQuery());
    ASSERT_EQ(doc.model()->rowCount(), before.size());
    EXPECT_EQ(column(doc, CPresencesModel::MediaColumn).count(media), 1);
    const CPresencesModel::Row &row = doc.model()->rows().at(at);
    EXPECT_EQ(row[CPresencesModel::DateTimeColumn], "2026-03-04 12:00:00");
    EXPECT_EQ(row[CPresencesModel::ActivityColumn], "Doctor");
    EXPECT_EQ(row[CPresencesModel::LastNameColumn], before.at(at)[CPresencesModel::LastNameColumn]);
    for (int i = 0; i < before.size(); ++i) {
        if (i != at) {
            EXPECT_EQ(doc.model()->rows().at(i), before.at(i)) << i;
        }
    }
    EXPECT_EQ(changedSignals, 1);
    EXPECT_EQ(inserted, 0);
    EXPECT_EQ(removed, 0);

    // Only a full rebuild brings the newest clocking to the top.
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    EXPECT_EQ(doc.model()->rows().first()[CPresencesModel::MediaColumn], media);
}

TEST_F(PresencesView, TwoEmployeesLeavingTheResultBothDisappearAndNewOnesGoToTheBottom)
{
    C_ZorvikDocPresences doc;
    doc.loadActivities();
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    QStringList media = column(doc, CPresencesModel::MediaColumn);
    const QString gone1 = mediaOf(employees.at(2)), gone2 = mediaOf(employees.at(8));
    db.exec(QStringLiteral("delete from tblLastReg where IDZaposlenog = %1").arg(employees.at(2)));
    // A medium given back leaves the join too.
    db.exec(QStringLiteral("update tblMediaID set VaziDo = '2026-03-04 09:00:00' where IDZaposlenog = %1")
                .arg(employees.at(8)));
    ASSERT_TRUE(doc.refresh() && doc.waitForQuery());
    media.removeAll(gone1);
    media.removeAll(gone2);
    EXPECT_EQ(column(doc, CPresencesModel::MediaColumn), media);

    // The employee comes back with a new card: a new row at the bottom, though the clocking is the newest.
    db.exec(QStringLiteral("insert into tblMediaID (IDZaposlenog, IDNo, VaziOd, VaziDo) values (%1, "
                           "'abCDef98765432zz', '2026-03-04 09:00:00', null)")
                .arg(employees.at(8)));
    db.exec(QStringLiteral("update tblLastReg set DatumLastReg = '2026-03-04 13:00:00' where IDZaposlenog = %1")
                .arg(employees.at(8)));
    ASSERT_TRUE(doc.refresh() && doc.waitForQuery());
    EXPECT_EQ(doc.model()->rows().last()[CPresencesModel::MediaColumn], "98765432");
    EXPECT_EQ(doc.model()->rowCount(), media.size() + 1);
}

// A whole read that finds an employee on a new card, then passes that ask for that employee
// alone: the row of the new card is the one changed in place, and the one removed when the
// employee leaves.
TEST_F(PresencesView, PartialReadsAfterACardChangeFindTheRowOfTheNewCard)
{
    C_ZorvikDocPresences doc;
    doc.loadActivities();
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    const QString employee = employees.at(4), oldCard = mediaOf(employee);
    db.exec(
        QStringLiteral("update tblMediaID set VaziDo = '2026-03-04 09:00:00' where IDZaposlenog = %1").arg(employee));
    db.exec(QStringLiteral("insert into tblMediaID (IDZaposlenog, IDNo, VaziOd, VaziDo) values (%1, "
                           "'abCDef12344321zz', '2026-03-04 09:00:00', null)")
                .arg(employee));
    ASSERT_TRUE(doc.refresh() && doc.waitForQuery());
    const int rows = doc.model()->rowCount();
    ASSERT_EQ(column(doc, CPresencesModel::MediaColumn).count("12344321"), 1);
    const auto pass = [&] {
        CCycleChanges changes;
        changes.employees.insert(employee);
        {
            QMutexLocker lock(&db.reference().dbMutex);
            doc.onUpdatePass(changes);
        }
        return doc.waitForQuery();
    };

    db.exec(QStringLiteral("update tblLastReg set DatumLastReg = '2026-03-04 14:00:00' where IDZaposlenog = %1")
                .arg(employee));
    ASSERT_TRUE(pass());
    QStringList media = column(doc, CPresencesModel::MediaColumn);
    EXPECT_EQ(doc.model()->rowCount(), rows);
    EXPECT_FALSE(media.contains(oldCard));
    ASSERT_EQ(media.count("12344321"), 1);
    EXPECT_EQ(doc.model()->rows().at(media.indexOf("12344321"))[CPresencesModel::DateTimeColumn],
              "2026-03-04 14:00:00");

    db.exec(QStringLiteral("delete from tblLastReg where IDZaposlenog = %1").arg(employee));
    ASSERT_TRUE(pass());
    media = column(doc, CPresencesModel::MediaColumn);
    EXPECT_EQ(doc.model()->rowCount(), rows - 1);
    EXPECT_FALSE(media.contains("12344321"));
}

TEST_F(PresencesView, AnEmptyResultClearsTheGrid)
{
    C_ZorvikDocPresences doc;
    doc.loadActivities();
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    ASSERT_GT(doc.model()->rowCount(), 0);
    db.exec("delete from tblLastReg");
    ASSERT_TRUE(doc.refresh() && doc.waitForQuery());
    EXPECT_EQ(doc.model()->rowCount(), 0);
}

TEST_F(PresencesView, AFailedQueryLeavesTheRowsForRefreshAndRebuild)
{
    C_ZorvikDocPresences doc;
    doc.loadActivities();
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    const QList<CPresencesModel::Row> before = doc.model()->rows();
    ASSERT_FALSE(before.isEmpty());
    db.exec("drop view viewMediaIDActive");
    EXPECT_FALSE(doc.refresh() && doc.waitForQuery());
    EXPECT_FALSE(doc.lastError().isEmpty());
    EXPECT_EQ(doc.model()->rows(), before);
    // The timer's rebuild does not empty the grid before a query that cannot run.
    EXPECT_FALSE(doc.rebuild() && doc.waitForQuery());
    EXPECT_EQ(doc.model()->rows(), before);
}

TEST_F(PresencesView, AnActivityWithoutDescriptionShowsAnEmptyColumn)
{
    db.exec(QStringLiteral("update tblLastReg set IDLogickeAktivnosti = %1, DatumLastReg = '2026-03-04 23:00:00' "
                           "where IDZaposlenog = %2")
                .arg(CDemoDatabase::AnnualLeave)
                .arg(employees.at(0)));
    C_ZorvikDocPresences doc;
    doc.loadActivities();
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    ASSERT_GT(doc.model()->rowCount(), 0);
    EXPECT_EQ(doc.model()->rows().first()[CPresencesModel::MediaColumn], mediaOf(employees.at(0)));
    EXPECT_EQ(doc.model()->rows().first()[CPresencesModel::ActivityColumn], QString());
}

TEST_F(PresencesView, AQuoteInAnActivityIdentifierCannotChangeTheStatement)
{
    C_ZorvikDocPresences doc;
    doc.setActivities({{QStringLiteral("4' or '1'='1"), QStringLiteral("Odd")}});
    doc.setSelection(1);
    EXPECT_TRUE(doc.queryText().contains("tblLastReg.IDLogickeAktivnosti = '4'' or ''1''=''1' order by"));
    ASSERT_TRUE(doc.rebuild() && doc.waitForQuery());
    EXPECT_EQ(doc.model()->rowCount(), 0);
}

TEST(PresenceTimer, IntervalFollowsTheRefreshSetting)
{
    EXPECT_EQ(C_ZorvikDocPresences::timerIntervalMs(60), 60000);
    EXPECT_EQ(C_ZorvikDocPresences::timerIntervalMs(5), 5000);
    EXPECT_EQ(C_ZorvikDocPresences::timerIntervalMs(-3), 60000);
    EXPECT_EQ(C_ZorvikDocPresences::timerIntervalMs(0), 10);
    EXPECT_EQ(C_ZorvikDocPresences::timerIntervalMs(std::numeric_limits<int>::max()), std::numeric_limits<int>::max());
}

TEST(PresencesOrder, ChangedRowsGoToTheirPlacesAndTheSelectionFollowsItsRow)
{
    // Twenty rows, newest first; three of them clock again (to the top, the middle and the
    // bottom's neighbour), one is searched for (its search text made) and one is selected.
    CPresencesModel model;
    QList<CPresencesModel::Row> rows;
    for (int i = 0; i < 20; ++i)
        rows.append({QStringLiteral("2026-03-04 10:%1:00").arg(59 - i, 2, 10, QLatin1Char('0')), QStringLiteral("Last"),
                     QStringLiteral("First%1").arg(i), QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')),
                     QString()});
    model.replace(rows);
    const QPersistentModelIndex selected = model.index(12, CPresencesModel::MediaColumn);
    EXPECT_FALSE(model.index(17, 0).data(CTextMatch::SearchRole).toString().isEmpty());
    QList<CPresencesModel::Row> changed = rows;
    changed[15][CPresencesModel::DateTimeColumn] = QStringLiteral("2026-03-04 11:00:00");
    changed[3][CPresencesModel::DateTimeColumn] = QStringLiteral("2026-03-04 10:49:30");
    changed[17][CPresencesModel::DateTimeColumn] = QStringLiteral("2026-03-04 10:40:30");
    model.merge(changed);
    EXPECT_TRUE(model.isOutOfOrder());
    model.sortNewestFirst();
    EXPECT_FALSE(model.isOutOfOrder());
    const auto expect = [&](QList<CPresencesModel::Row> expected) {
        std::stable_sort(expected.begin(), expected.end(), [](const auto &a, const auto &b) { return a[0] > b[0]; });
        EXPECT_EQ(model.rows(), expected);
        EXPECT_EQ(selected.data().toString(), rows.at(12)[CPresencesModel::MediaColumn]);
        for (int r = 0; r < model.rowCount(); ++r)
            EXPECT_EQ(model.index(r, 0).data(CTextMatch::SearchRole).toString(),
                      CTextMatch::searchText(QStringList(expected.at(r).begin(), expected.at(r).end())))
                << r;
    };
    expect(changed);
    // Then two rows far down clock the newest of all: they come to the top and the rows above
    // them slide down in place.
    changed = model.rows();
    changed[16][CPresencesModel::DateTimeColumn] = QStringLiteral("2026-03-04 11:02:00");
    changed[18][CPresencesModel::DateTimeColumn] = QStringLiteral("2026-03-04 11:01:00");
    model.merge(changed);
    model.sortNewestFirst();
    expect(changed);
    // Rounds of a few rows clocking at random moments, up and down the list (moments of their own:
    // among equal ones the order is the model's choice).
    std::mt19937 random(35);
    QSet<QString> moments;
    for (const CPresencesModel::Row &row : model.rows())
        moments.insert(row[CPresencesModel::DateTimeColumn]);
    for (int round = 0; round < 300; ++round) {
        changed = model.rows();
        for (int k = 1 + int(random() % 8); k > 0; --k) {
            const QString moment = QTime(0, 0).addSecs(int(random() % 86400)).toString(u"'2026-03-04 'HH:mm:ss");
            if (!moments.contains(moment)) {
                moments.insert(moment);
                changed[int(random() % changed.size())][CPresencesModel::DateTimeColumn] = moment;
            }
        }
        model.merge(changed);
        model.sortNewestFirst();
        ASSERT_NO_FATAL_FAILURE(expect(changed)) << round;
    }
}
