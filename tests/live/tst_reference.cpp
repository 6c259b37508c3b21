#include "LiveFixture.h"
#include "app/CStringTable.h"

#include "db/CDbCommand.h"

using namespace livetest;

TEST_F(LiveFixture, ReferenceDataOpensAndBuildsOrderedMaps)
{
    makeDatabase();
    int message = -1;
    ASSERT_TRUE(openReference(&message));
    EXPECT_EQ(message, 0);
    EXPECT_FALSE(m_ref->databaseError);
    EXPECT_TRUE(m_ref->guestsAvailable);
    for (int c = 0; c < CReferenceData::CursorCount; ++c) {
        const bool shouldBeOpen = c != CReferenceData::CurrentDayCursor; // opened by the first cycle
        EXPECT_EQ(m_ref->cursor(CReferenceData::Cursor(c))->isOpen(), shouldBeOpen) << c;
    }
    EXPECT_EQ(m_ref->cursor(CReferenceData::EmployeeCursor)->recordCount(), 30);

    // Keys in byte order: "10" before "2"; calendar activities are left out.
    QStringList keys;
    for (const auto &e : m_ref->activityMap)
        keys << e.first;
    EXPECT_EQ(keys, (QStringList{"1", "10", "11", "12", "2", "3", "4", "5", "6", "7", "8", "9"}));
    EXPECT_EQ(m_ref->activityMap.at("3"),
              value("select OpisLogAkt from LogickaAktivnost where IDLogickeAktivnosti = 3"));
    ASSERT_EQ(m_ref->activityColourMap.size(), m_ref->activityMap.size());
    for (const auto &e : m_ref->activityColourMap)
        EXPECT_EQ(e.second, kColourWhite);
    EXPECT_EQ(int(m_ref->departmentMap.size()), value("select count(*) from Sektor").toInt());
}

TEST_F(LiveFixture, FirstOfTwoEqualKeysWins)
{
    makeDatabase();
    sql("drop view viewMediaIDHist");
    sql("drop table Sektor");
    sql("create table Sektor (IDSektora integer, NazivSektora text)");
    sql("insert into Sektor values (5, 'Zeta'), (5, 'Alpha'), (9, 'Nine'), (10, 'Ten')");
    ASSERT_TRUE(openReference());
    ASSERT_EQ(m_ref->departmentMap.size(), 3u);
    EXPECT_EQ(m_ref->departmentMap.at("5"), "Alpha"); // first in NazivSektora order
    EXPECT_EQ(m_ref->departmentMap.begin()->first, "10");
}

TEST_F(LiveFixture, MissingIllegalPairsTableStopsWithMessage1091)
{
    makeDatabase();
    sql("drop table tblNedozvoljeneAktivnosti");
    int message = 0;
    EXPECT_FALSE(openReference(&message));
    EXPECT_EQ(message, 1091);
    EXPECT_TRUE(m_ref->databaseError);
    // The earlier cursors stay open; the maps are not built.
    EXPECT_TRUE(m_ref->cursor(CReferenceData::LastRegistrationCursor)->isOpen());
    EXPECT_TRUE(m_ref->activityMap.empty());
}

TEST_F(LiveFixture, MissingGuestsViewOnlyDisablesGuests)
{
    makeDatabase();
    sql("drop view ViewPartnerEvents");
    int message = -1;
    EXPECT_TRUE(openReference(&message));
    EXPECT_EQ(message, 0);
    EXPECT_FALSE(m_ref->databaseError);
    EXPECT_FALSE(m_ref->guestsAvailable);
    // The polling cycle runs without the guests query.
    EXPECT_TRUE(cycleAndPass());
}

TEST_F(LiveFixture, EachOpeningStepHasItsMessage)
{
    makeDatabase();
    const struct
    {
        const char *breakIt;
        int message;
    } cases[] = {
        // Broken from the last step backwards, so that each case fails at its own step.
        {"drop table tblLastReg", 1038},
        {"drop table tblLogActGroupDet", 1087},
        {"drop table LogickaAktivnost", 1037},
        {"drop view viewPhoto", 1036},
    };
    for (const auto &c : cases) {
        sql(c.breakIt);
        CReferenceData ref;
        int message = 0;
        EXPECT_FALSE(ref.open("Provider=SQLite;Data Source=" + m_path, &message)) << c.breakIt;
        EXPECT_EQ(message, c.message) << c.breakIt;
        EXPECT_TRUE(ref.databaseError);
    }
    CReferenceData missing;
    int message = 0;
    EXPECT_FALSE(missing.open("Provider=SQLite;Data Source=" + m_dir.file("nothing.sqlite"), &message));
    EXPECT_EQ(message, 1034);
}

TEST_F(LiveFixture, EveryLiveAndViewQueryRunsOnTheDemoDatabase)
{
    makeDatabase();
    ASSERT_TRUE(openReference());
    CDbConnection &conn = m_ref->connection();
    CDbCommand proc(&conn, "sp_popuni_TekuciRbrUC", CDbCommand::StoredProcedure);
    ASSERT_TRUE(proc.execute()) << proc.lastErrorText().toStdString();
    ASSERT_TRUE(m_ref->reopen(CReferenceData::CurrentDayCursor));
    EXPECT_EQ(m_ref->cursor(CReferenceData::CurrentDayCursor)->recordCount(), 30);

    // Guests: the column names are the header texts.
    CDbCursor *guests = m_ref->cursor(CReferenceData::GuestCursor);
    ASSERT_GT(guests->recordCount(), 0);
    QString host, enter;
    guests->moveFirst();
    EXPECT_TRUE(guests->getFieldText("Host", host));
    EXPECT_TRUE(host.contains(' '));
    EXPECT_TRUE(guests->getFieldText(S(1069), enter));
    EXPECT_TRUE(CDateTime::looksLikeStoredText(enter));
    // A translated caption with a quote still makes a valid query.
    CStringTable::setOverrides({{QStringLiteral("1069"), QStringLiteral("Heure d'arrivée")}});
    CDbCursor translated(&conn);
    const bool opened = translated.open(CReferenceData::buildGuestsQuery());
    CStringTable::setOverrides({});
    ASSERT_TRUE(opened) << translated.lastErrorText().toStdString();
    EXPECT_TRUE(translated.columnNames().contains(QStringLiteral("Heure d'arrivée")));

    const QString all = "select IDLogickeAktivnosti, DatumLastReg, Prezime, Ime, tblLastReg.IDZaposlenog, "
                        "SUBSTRING(UPPER(viewMediaIDActive.IDNo),7,8) as IDNo from tblLastReg join viewMediaIDActive "
                        "on viewMediaIDActive.IDZaposlenog = tblLastReg.IDZaposlenog order by DatumLastReg desc";
    CDbCursor presences(&conn);
    ASSERT_TRUE(presences.open(all)) << presences.lastErrorText().toStdString();
    EXPECT_GT(presences.recordCount(), 0);
    QString media;
    presences.moveFirst();
    presences.getFieldText("IDNo", media);
    EXPECT_EQ(media.size(), 8);
    EXPECT_EQ(media, media.toUpper());
    const QString one = "select IDLogickeAktivnosti, DatumLastReg, Prezime, Ime, tblLastReg.IDZaposlenog, "
                        "SUBSTRING(UPPER(viewMediaIDActive.IDNo),7,8) as IDNo from tblLastReg join viewMediaIDActive "
                        "on viewMediaIDActive.IDZaposlenog = tblLastReg.IDZaposlenog where "
                        "tblLastReg.IDLogickeAktivnosti = '%1' order by DatumLastReg desc";
    ASSERT_TRUE(presences.open(one.arg("1")));
    for (presences.moveFirst(); !presences.isEOF(); presences.moveNext()) {
        QString a;
        presences.getFieldText("IDLogickeAktivnosti", a);
        EXPECT_EQ(a, "1");
    }

    // The report's scratch table: drop, then select into, on the shared connection.
    ASSERT_TRUE(
        conn.execute("if exists (select * from sysobjects where name = 'tmpLastActTime') drop table tmpLastActTime"));
    ASSERT_TRUE(conn.execute(
        "select t2.IDZaposlenog, t2.Prezime, t2.Ime, max(t3.TerminalskoVremeRegistracije) as LastActTime into "
        "tmpLastActTime from viewMediaIDHist t2 join tblreg t3 on t3.IDNo = left( right( t2.IDNo, 10 ), 8 ) and "
        "t3.TerminalskoVremeRegistracije = ( select max(t4.TerminalskoVremeRegistracije) from tblReg t4 where "
        "t4.IDNo = left( right( t2.IDNo, 10 ), 8 ) and (t2.VaziDo > t4.TerminalskoVremeRegistracije or t2.VaziDo "
        "is null) and t4.TerminalskoVremeRegistracije <= '2026-03-04 10:30:15' and (t4.IDHACT < 4000 or "
        "t4.IDHACT is null) and t4.Nevidljiva = 0 ) group by t2.IDZaposlenog, t2.Prezime, t2.Ime "))
        << conn.lastErrorText().toStdString();
    CDbCursor tmp(&conn);
    ASSERT_TRUE(tmp.open("select * from tmpLastActTime"));
    EXPECT_GT(tmp.recordCount(), 20);
}
