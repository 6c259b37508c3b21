#include "DemoDbTestUtil.h"
#include "TestSupport.h"

#include "config/CColourFile.h"
#include "demo/CDemoSamples.h"
#include "panel/CPanelFile.h"
#include "panel/CPanelGeometry.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>

using namespace demodbtest;

namespace {

// 4 March 2026 is a Wednesday.
const QDateTime Wednesday(QDate(2026, 3, 4), QTime(10, 30, 15));

QString dump(const QString &path)
{
    Connection c(path);
    QString out;
    for (const QString &table :
         c.rows(QStringLiteral("select name from sqlite_master where type = 'table' order by name"))) {
        out += QStringLiteral("== %1\n").arg(table);
        out += c.rows(QStringLiteral("select * from [%1] order by rowid").arg(table)).join(QLatin1Char('\n'));
        out += QLatin1Char('\n');
    }
    return out;
}

// The database built once for the read-only checks of this file.
class DemoDb : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new testsupport::TempDir;
        s_path = s_dir->file(QStringLiteral("demo.sqlite"));
        ASSERT_TRUE(build(s_path, options(Wednesday)));
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static testsupport::TempDir *s_dir;
    static QString s_path;
};
testsupport::TempDir *DemoDb::s_dir = nullptr;
QString DemoDb::s_path;

} // namespace

TEST(DemoDbBuild, SameSeedAndMomentGiveTheSameContentAnotherSeedDiffers)
{
    testsupport::TempDir dir;
    const QString a = dir.file(QStringLiteral("a.sqlite"));
    const QString b = dir.file(QStringLiteral("b.sqlite"));
    const QString c = dir.file(QStringLiteral("c.sqlite"));
    ASSERT_TRUE(build(a, options(Wednesday)));
    ASSERT_TRUE(build(b, options(Wednesday)));
    CDemoDatabase::DemoOptions other = options(Wednesday);
    other.seed = 2;
    ASSERT_TRUE(build(c, other));

    const QString dumpA = dump(a);
    EXPECT_GT(dumpA.size(), 100000);
    EXPECT_EQ(dumpA, dump(b));
    EXPECT_NE(dumpA, dump(c));
}

TEST(DemoDbBuild, ReplacesAnExistingFileAndReportsAFolderThatIsMissing)
{
    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("demo.sqlite"));
    {
        QFile junk(path);
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write("not a database");
    }
    CDemoDatabase::DemoOptions small = options(Wednesday);
    small.employees = 10;
    small.photographs = false;
    ASSERT_TRUE(build(path, small));
    {
        Connection c(path);
        EXPECT_EQ(c.count(QStringLiteral("select count(*) from viewPhoto")), 10);
        EXPECT_EQ(c.value(QStringLiteral("pragma journal_mode")), QStringLiteral("wal"));
    }
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".part")));

    QString error;
    EXPECT_FALSE(CDemoDatabase::build(dir.file(QStringLiteral("missing/demo.sqlite")), small, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(DemoDb, EveryObjectAndColumnTheProgramReadsCanBeSelected)
{
    Connection c(s_path);
    const char *const objects[][2] = {
        {"viewPhoto", "IDZaposlenog, Prezime, Ime, IDNo, Fotografija, IDSektora"},
        {"Sektor", "IDSektora, NazivSektora"},
        {"LogickaAktivnost", "IDLogickeAktivnosti, OpisLogAkt, Kalendarska"},
        {"tblLogActGroup", "ID"},
        {"tblLogActGroupDet", "ID, LogActID"},
        {"tblLastReg", "IDZaposlenog, DatumLastReg, IDLogickeAktivnosti"},
        {"ViewPartnerEvents", "PartnerFullName, GuestName, ReasonDescription, LastName, FirstName, Enter, [Exit]"},
        {"tblNedozvoljeneAktivnosti", "IDDana, IDLogickeAktivnosti"},
        {"view_TekuciRadniDan", "IDZaposlenog, IDDana"},
        {"viewMediaIDActive", "IDZaposlenog, IDNo, Prezime, Ime"},
        {"viewMediaIDHist", "IDZaposlenog, Prezime, Ime, IDNo, VaziDo, IDSektora, NazivSektora"},
        {"tblReg", "IDReg, IDNo, TerminalskoVremeRegistracije, IDLogickeAktivnosti, IDHACT, Nevidljiva"},
        {"tblRadniDan", "IDDana, NazivDana"},
    };
    for (const auto &object : objects) {
        const QString sql = QStringLiteral("select %1 from %2").arg(QLatin1String(object[1]), QLatin1String(object[0]));
        EXPECT_FALSE(c.rows(sql).isEmpty()) << sql.toStdString();
    }
    EXPECT_EQ(c.rows(QStringLiteral("select name from zv_procedure")),
              QStringList{QStringLiteral("sp_popuni_TekuciRbrUC")});
}

TEST_F(DemoDb, ReferenceContent)
{
    Connection c(s_path);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from Sektor")), 8);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from viewPhoto")), 150);
    EXPECT_EQ(c.count(QStringLiteral("select count(distinct IDZaposlenog) from viewPhoto")), 150);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from LogickaAktivnost where Kalendarska = 0")), 12);
    EXPECT_GE(c.count(QStringLiteral("select count(*) from LogickaAktivnost where Kalendarska <> 0")), 2);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblLogActGroup g where exists (select 1 from "
                                     "tblLogActGroupDet d where d.ID = g.ID)")),
              3);
    // An activity in two groups would list a clocking twice in the report by group.
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from (select LogActID from tblLogActGroupDet group by LogActID "
                                     "having count(*) > 1)")),
              0);
    EXPECT_EQ(c.rows(QStringLiteral("select IDDana from tblRadniDan order by IDDana")),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}));
    // Whatever day it is, some activity is forbidden on it.
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblRadniDan d where not exists (select 1 from "
                                     "tblNedozvoljeneAktivnosti n where n.IDDana = d.IDDana)")),
              0);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblNedozvoljeneAktivnosti where IDDana = %1 and "
                                     "IDLogickeAktivnosti = %2")
                          .arg(CDemoDatabase::Holiday)
                          .arg(CDemoDatabase::Arrival)),
              1);
    // Every employee in a department that exists.
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from viewPhoto p left join Sektor s on s.IDSektora = "
                                     "p.IDSektora where s.IDSektora is null")),
              0);
}

TEST_F(DemoDb, PhotographsAreSmallJpegImages)
{
    Connection c(s_path);
    QSqlQuery q(c.db());
    ASSERT_TRUE(q.exec(QStringLiteral("select Ime, Fotografija from viewPhoto")));
    int checked = 0;
    QSet<QByteArray> distinct;
    while (q.next()) {
        const QByteArray jpeg = q.value(1).toByteArray();
        ASSERT_TRUE(jpeg.startsWith("\xFF\xD8")) << q.value(0).toString().toStdString();
        distinct.insert(jpeg);
        if (checked++ < 5) {
            QImage image;
            ASSERT_TRUE(image.loadFromData(jpeg, "JPEG"));
            EXPECT_EQ(image.size(), QSize(96, 120));
            // Initials: some light pixels on the coloured background.
            bool light = false;
            for (int y = 40; y < 80 && !light; ++y)
                for (int x = 20; x < 76 && !light; ++x)
                    light = qGray(image.pixel(x, y)) > 235;
            EXPECT_TRUE(light);
        }
    }
    EXPECT_EQ(checked, 150);
    EXPECT_GT(distinct.size(), 140);
}

TEST_F(DemoDb, LastRegistrationIsTheNewestClockingOverTheMediaHistory)
{
    Connection c(s_path);
    // The newest clocking of every employee over all of the employee's media, tie broken by IDReg.
    const QStringList expected = c.rows(QStringLiteral(
        "select e.IDZaposlenog, (select r.TerminalskoVremeRegistracije || '/' || r.IDLogickeAktivnosti from tblReg r "
        "where r.IDNo in (select substr(h.IDNo, 7, 8) from viewMediaIDHist h where h.IDZaposlenog = e.IDZaposlenog) "
        "order by r.TerminalskoVremeRegistracije desc, r.IDReg desc limit 1) as Newest from viewPhoto e where Newest "
        "is not null order by e.IDZaposlenog"));
    const QStringList actual = c.rows(QStringLiteral(
        "select IDZaposlenog, DatumLastReg || '/' || IDLogickeAktivnosti from tblLastReg order by IDZaposlenog"));
    EXPECT_EQ(actual, expected);
    EXPECT_GT(actual.size(), 120);

    // Some employees never clocked; some changed their media.
    EXPECT_GE(c.count(QStringLiteral("select count(*) from viewPhoto where IDZaposlenog not in (select IDZaposlenog "
                                     "from tblLastReg)")),
              2);
    EXPECT_GE(c.count(QStringLiteral("select count(*) from viewMediaIDHist where VaziDo is not null")), 5);
    // An expired medium was only used before it expired, the new one only after.
    EXPECT_EQ(
        c.count(QStringLiteral("select count(*) from tblReg r join viewMediaIDHist h on substr(h.IDNo, 7, 8) = "
                               "r.IDNo where h.VaziDo is not null and r.TerminalskoVremeRegistracije >= h.VaziDo")),
        0);
    EXPECT_GT(c.count(QStringLiteral("select count(*) from tblReg r join viewMediaIDHist h on substr(h.IDNo, 7, 8) = "
                                     "r.IDNo where h.VaziDo is not null")),
              0);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblMediaID m join tblMediaID o on o.IDZaposlenog = "
                                     "m.IDZaposlenog and o.VaziDo is not null join tblReg r on r.IDNo = substr(m.IDNo, "
                                     "7, 8) where m.VaziDo is null and r.TerminalskoVremeRegistracije < o.VaziDo")),
              0);
    // Nothing after the build's moment; the newest clocking of today before it.
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblReg where TerminalskoVremeRegistracije > "
                                     "'2026-03-04 10:30:15'")),
              0);
    EXPECT_GT(c.count(QStringLiteral("select count(*) from tblLastReg where DatumLastReg like '2026-03-04 %'")), 50);
    // Registrations are numbered in time order.
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblReg a join tblReg b on b.IDReg = a.IDReg + 1 where "
                                     "b.TerminalskoVremeRegistracije < a.TerminalskoVremeRegistracije")),
              0);
}

TEST_F(DemoDb, MediaIdentifiersCarryTheCardNumber)
{
    Connection c(s_path);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from viewMediaIDHist where length(IDNo) <> 16")), 0);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from viewMediaIDHist where substr(IDNo, 7, 8) <> "
                                     "substr(substr(IDNo, -10), 1, 8)")),
              0);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblReg where length(IDNo) <> 8")), 0);
    // Every clocking belongs to a medium.
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblReg r where not exists (select 1 from viewMediaIDHist h "
                                     "where substr(h.IDNo, 7, 8) = r.IDNo)")),
              0);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) - count(distinct substr(IDNo, 7, 8)) from viewMediaIDHist")), 0);
    // Upper-casing changes what is shown: lower-case letters in cards and in prefixes.
    EXPECT_GT(c.count(QStringLiteral("select count(*) from viewMediaIDActive where upper(substr(IDNo, 7, 8)) <> "
                                     "substr(IDNo, 7, 8)")),
              20);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from viewMediaIDActive where upper(substr(IDNo, 1, 6)) = "
                                     "substr(IDNo, 1, 6) or lower(substr(IDNo, 1, 6)) = substr(IDNo, 1, 6)")),
              0);
    EXPECT_EQ(CDemoDatabase::cardOf(QStringLiteral("HiDr01a1b2c3d477")), QStringLiteral("a1b2c3d4"));
    EXPECT_EQ(CDemoDatabase::cardOf(QStringLiteral("short")), QString());
}

TEST_F(DemoDb, GuestsInsideAndGone)
{
    Connection c(s_path);
    EXPECT_GE(c.count(QStringLiteral("select count(*) from ViewPartnerEvents where [Exit] is null")), 2);
    EXPECT_GE(c.count(QStringLiteral("select count(*) from ViewPartnerEvents where [Exit] is not null")), 2);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from ViewPartnerEvents where [Exit] < Enter or Enter > "
                                     "'2026-03-04 10:30:15' or LastName is null")),
              0);
}

// The program's statements as the SQLite dialect sends them.
TEST_F(DemoDb, TheProgramsStatementsRun)
{
    Connection c(s_path);
    const QStringList guests = c.rows(QStringLiteral(
        "select PartnerFullName as 'Partner', GuestName as 'Guest', ReasonDescription as 'Reason', (LastName || ' ' || "
        "FirstName) as 'Host', Enter as 'Enter' from ViewPartnerEvents where [Exit] is NULL order by Enter"));
    EXPECT_EQ(guests.size(), c.count(QStringLiteral("select count(*) from tblPartnerEvent where [Exit] is null")));

    const QString presences =
        QStringLiteral("select IDLogickeAktivnosti, DatumLastReg, Prezime, Ime, tblLastReg.IDZaposlenog, "
                       "SUBSTRING(UPPER(viewMediaIDActive.IDNo),7,8) as IDNo from tblLastReg join viewMediaIDActive on "
                       "viewMediaIDActive.IDZaposlenog = tblLastReg.IDZaposlenog %1order by DatumLastReg desc");
    const QStringList all = c.rows(presences.arg(QString()));
    EXPECT_EQ(all.size(), c.count(QStringLiteral("select count(*) from tblLastReg")));
    ASSERT_FALSE(all.isEmpty());
    const QString shown = all.first().section(QLatin1Char('|'), 5, 5);
    EXPECT_EQ(shown.size(), 8);
    EXPECT_EQ(shown, shown.toUpper());
    const QStringList arrivals = c.rows(presences.arg(QStringLiteral("where tblLastReg.IDLogickeAktivnosti = '1' ")));
    EXPECT_FALSE(arrivals.isEmpty());
    for (const QString &row : arrivals)
        EXPECT_TRUE(row.startsWith(QStringLiteral("1|")));

    EXPECT_EQ(c.rows(QStringLiteral("select * from Sektor order by NazivSektora")).size(), 8);
    EXPECT_EQ(c.rows(QStringLiteral("select IDLogickeAktivnosti, OpisLogAkt from LogickaAktivnost where Kalendarska "
                                    "= 0 order by OpisLogAkt"))
                  .size(),
              12);

    // The Last activity report: drop, S1 and S2 with every clause.
    ASSERT_TRUE(c.exec(QStringLiteral("drop table if exists tmpLastActTime")));
    const QString s1 = QStringLiteral(
        "create table tmpLastActTime as select t2.IDZaposlenog, t2.Prezime, t2.Ime, "
        "max(t3.TerminalskoVremeRegistracije) "
        "as LastActTime from viewMediaIDHist t2 join tblreg t3 on t3.IDNo = substr(substr( t2.IDNo, -10 ), 1, 8 ) and "
        "t3.TerminalskoVremeRegistracije = ( select max(t4.TerminalskoVremeRegistracije) from tblReg t4 where t4.IDNo "
        "= substr(substr( t2.IDNo, -10 ), 1, 8 ) and (t2.VaziDo > t4.TerminalskoVremeRegistracije or t2.VaziDo is "
        "null) and t4.TerminalskoVremeRegistracije <= '2026-03-04 10:30:00' and (t4.IDHACT < 4000 or t4.IDHACT is "
        "null) ) group by t2.IDZaposlenog, t2.Prezime, t2.Ime ");
    ASSERT_TRUE(c.exec(s1));
    const int reported = c.count(QStringLiteral("select count(*) from tmpLastActTime"));
    EXPECT_GT(reported, 120);
    // Where the newest clocking is a terminal one, the report agrees with tblLastReg.
    EXPECT_EQ(c.count(QStringLiteral(
                  "select count(*) from tmpLastActTime t join tblLastReg l on l.IDZaposlenog = t.IDZaposlenog where "
                  "t.LastActTime <> l.DatumLastReg and l.DatumLastReg <= '2026-03-04 10:30:00' and exists (select 1 "
                  "from tblReg r join viewMediaIDHist h on substr(h.IDNo, 7, 8) = r.IDNo where h.IDZaposlenog = "
                  "l.IDZaposlenog and r.TerminalskoVremeRegistracije = l.DatumLastReg and (r.IDHACT < 4000 or "
                  "r.IDHACT is null))")),
              0);

    ASSERT_TRUE(CDemoDatabase::runProcedure(c.name(), nullptr));
    const QString s2 = QStringLiteral(
        "select t1.TerminalskoVremeRegistracije, t1.IDLogickeAktivnosti, LogickaAktivnost.OpisLogAkt, "
        "viewMediaIDHist.Prezime, viewMediaIDHist.Ime, viewMediaIDHist.IDSektora, viewMediaIDHist.NazivSektora, "
        "tblLogActGroup.ID as GroupID %1 from tmpLastActTime qry1 join viewMediaIDHist on viewMediaIDHist.IDZaposlenog "
        "= qry1.IDZaposlenog and (viewMediaIDHist.VaziDo > qry1.LastActTime or viewMediaIDHist.VaziDo is null) %2 %3 "
        "join tblReg t1 on t1.IDNo = substr(substr( viewMediaIDHist.IDNo, -10 ), 1, 8 ) and "
        "t1.TerminalskoVremeRegistracije = qry1.LastActTime and t1.IDReg = (select max(tblReg.IDReg) from tblReg "
        "where t1.IDNo = tblReg.IDNo and t1.TerminalskoVremeRegistracije = tblReg.TerminalskoVremeRegistracije) join "
        "LogickaAktivnost on LogickaAktivnost.IdLogickeAktivnosti = t1.IDLogickeAktivnosti %4 left join "
        "tblLogActGroupDet on tblLogActGroupDet.LogActID = LogickaAktivnost.IdLogickeAktivnosti left join "
        "tblLogActGroup on tblLogActGroup.ID = tblLogActGroupDet.ID %5 order by %6 ");
    const QString dayColumn = QStringLiteral(", tblRadniDan.NazivDana ");
    const QString dayJoin = QStringLiteral(
        "left join view_TekuciRadniDan on view_TekuciRadniDan.IDZaposlenog = viewMediaIDHist.IDZaposlenog left join "
        "tblRadniDan on tblRadniDan.IDDana = view_TekuciRadniDan.IDDana ");
    const QString order = QStringLiteral("qry1.LastActTime desc, viewMediaIDHist.Prezime, viewMediaIDHist.Ime");
    const QStringList full = c.rows(s2.arg(dayColumn, QString(), QString(), QString(), dayJoin, order));
    // One row per reported employee, each with today's day type.
    EXPECT_EQ(full.size(), reported);
    for (const QString &row : full)
        EXPECT_EQ(row.section(QLatin1Char('|'), 8, 8), QStringLiteral("Working day"));

    const QStringList narrowed =
        c.rows(s2.arg(QString(), QStringLiteral("and viewMediaIDHist.IDSektora in ('1', '3')"),
                      QStringLiteral(" and viewMediaIDHist.IDZaposlenog in ('1001','1002','1003') "),
                      QStringLiteral("and LogickaAktivnost.IDLogickeAktivnosti NOT IN ('2', '6')"), QString(),
                      QStringLiteral("GroupID, ") + order));
    for (const QString &row : narrowed) {
        const QStringList cells = row.split(QLatin1Char('|'));
        EXPECT_TRUE(cells[5] == QLatin1String("1") || cells[5] == QLatin1String("3")) << row.toStdString();
        EXPECT_NE(cells[1], QStringLiteral("2"));
    }
}

TEST(DemoDbProcedure, FillsTodaysDayTypeForEveryEmployee)
{
    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("days.sqlite"));
    CDemoDatabase::DemoOptions o = options(QDateTime(QDate(2026, 3, 8), QTime(9, 0))); // a Sunday
    o.employees = 60;
    o.historyDays = 10;
    o.photographs = false;
    ASSERT_TRUE(build(path, o));
    Connection c(path);
    // The build ran it once for the fixed day.
    EXPECT_EQ(c.rows(QStringLiteral("select distinct IDDana, Datum from view_TekuciRadniDan")),
              QStringList{QStringLiteral("3|2026-03-08")});
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from view_TekuciRadniDan")), 60);

    const auto dayTypes = [&](const QString &date) {
        c.exec(QStringLiteral("update zv_fixed_date set Datum = '%1'").arg(date));
        QString error;
        EXPECT_TRUE(CDemoDatabase::runProcedure(c.name(), &error)) << error.toStdString();
        EXPECT_EQ(c.count(QStringLiteral("select count(*) from view_TekuciRadniDan where Datum = '%1'").arg(date)), 60);
        return c.rows(QStringLiteral("select d.IDDana, z.RadiSubotom, count(*) from view_TekuciRadniDan d join "
                                     "tblZaposleni z on z.IDZaposlenog = d.IDZaposlenog group by d.IDDana, "
                                     "z.RadiSubotom order by 1, 2"));
    };
    const int saturdayWorkers = c.count(QStringLiteral("select count(*) from tblZaposleni where RadiSubotom <> 0"));
    ASSERT_GT(saturdayWorkers, 0);
    const QString others = QString::number(60 - saturdayWorkers);
    const QString workers = QString::number(saturdayWorkers);
    EXPECT_EQ(dayTypes(QStringLiteral("2026-03-04")),
              (QStringList{QStringLiteral("1|0|") + others, QStringLiteral("1|1|") + workers}));
    // Saturday is a working day for those who work Saturdays.
    EXPECT_EQ(dayTypes(QStringLiteral("2026-03-07")),
              (QStringList{QStringLiteral("1|1|") + workers, QStringLiteral("2|0|") + others}));
    EXPECT_EQ(dayTypes(QStringLiteral("2026-03-08")),
              (QStringList{QStringLiteral("3|0|") + others, QStringLiteral("3|1|") + workers}));
    EXPECT_EQ(dayTypes(QStringLiteral("2026-05-01")),
              (QStringList{QStringLiteral("4|0|") + others, QStringLiteral("4|1|") + workers}));

    // Up to date: running it again changes nothing; a new employee gets a row.
    c.exec(QStringLiteral("insert into tblZaposleni (IDZaposlenog, Prezime, Ime, IDSektora) values (9999, 'New', "
                          "'Hire', 1)"));
    ASSERT_TRUE(CDemoDatabase::runProcedure(c.name(), nullptr));
    EXPECT_EQ(c.value(QStringLiteral("select IDDana from view_TekuciRadniDan where IDZaposlenog = 9999")),
              QStringLiteral("4"));
    c.exec(QStringLiteral("delete from tblZaposleni where IDZaposlenog = 9999"));
    ASSERT_TRUE(CDemoDatabase::runProcedure(c.name(), nullptr));
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from view_TekuciRadniDan where IDZaposlenog = 9999")), 0);
}

TEST(DemoDbProcedure, WithoutAFixedDayItUsesTheLocalDate)
{
    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("today.sqlite"));
    CDemoDatabase::DemoOptions o = options(QDateTime(), false);
    o.employees = 5;
    o.photographs = false;
    ASSERT_TRUE(build(path, o));
    Connection c(path);
    // Left for the program to run before it reads the day types.
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from view_TekuciRadniDan")), 0);
    ASSERT_TRUE(CDemoDatabase::runProcedure(c.name(), nullptr));
    const QDate today = QDate::currentDate();
    const bool holiday =
        c.count(QStringLiteral("select count(*) from tblPraznik where Datum = '%1'").arg(today.toString(Qt::ISODate))) >
        0;
    const int expected = holiday                             ? CDemoDatabase::Holiday
                         : today.dayOfWeek() == Qt::Sunday   ? CDemoDatabase::Sunday
                         : today.dayOfWeek() == Qt::Saturday ? CDemoDatabase::Saturday
                                                             : CDemoDatabase::WorkingDay;
    EXPECT_EQ(c.value(QStringLiteral("select IDDana || '|' || Datum from view_TekuciRadniDan v join tblZaposleni z on "
                                     "z.IDZaposlenog = v.IDZaposlenog where z.RadiSubotom = 0 limit 1")),
              QStringLiteral("%1|%2").arg(expected).arg(today.toString(Qt::ISODate)));
}

TEST(DemoDbLarge, FiftyThousandLastRegistrations)
{
    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("large.sqlite"));
    CDemoDatabase::DemoOptions o = CDemoDatabase::largeOptions();
    o.now = Wednesday;
    ASSERT_TRUE(build(path, o));
    Connection c(path);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblLastReg")), 50000);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from viewMediaIDActive")), 50000);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from viewPhoto where Fotografija is not null")), 0);
    EXPECT_EQ(c.count(QStringLiteral("select count(*) from tblLastReg l join viewMediaIDActive m on m.IDZaposlenog = "
                                     "l.IDZaposlenog join tblReg r on r.IDNo = substr(m.IDNo, 7, 8) and "
                                     "r.TerminalskoVremeRegistracije = l.DatumLastReg")),
              50000);
    // The day-type procedure reads what it needs of every employee from an index, never the rows
    // that carry the photographs.
    const QString body = CDemoDatabase::procedureBody();
    const QString insert = body.mid(body.indexOf(QStringLiteral("insert")));
    const QString plan = c.rows(QStringLiteral("explain query plan ") + insert).join(u'\n');
    EXPECT_TRUE(plan.contains(QStringLiteral("SCAN z USING COVERING INDEX"))) << plan.toStdString();

    // "All staff" holds everyone on the canvas: rows wide enough that none runs off its bottom.
    testsupport::TempDir folder;
    QString error;
    ASSERT_TRUE(CDemoSamples::ensure(path, folder.path(), &error)) << error.toStdString();
    bool read = false;
    const PanelFileData all = CPanelFile::loadFile(CDemoSamples::panelPaths(folder.path()).at(1), &read);
    ASSERT_TRUE(read);
    ASSERT_EQ(all.tablets.size(), 50000);
    QSet<QPair<int, int>> places;
    for (const PanelFileTablet &t : all.tablets) {
        EXPECT_TRUE(t.x >= 0 && t.y >= 0 && t.x + t.w <= CPanelGeometry::kCanvasSize &&
                    t.y + t.h <= CPanelGeometry::kCanvasSize)
            << t.x << "," << t.y;
        places.insert({t.x, t.y});
    }
    EXPECT_EQ(places.size(), 50000); // no two in one place
}

TEST(DemoDbEnsure, BuildsOnceInTheUsersDataFolder)
{
    testsupport::TempDir dir;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    QString path;
    QString error;
    ASSERT_TRUE(CDemoDatabase::ensure(&path, &error)) << error.toStdString();
    EXPECT_EQ(path, dir.path() + QStringLiteral("/Orvane/ZorvikDemo/demo.sqlite"));
    EXPECT_EQ(path, CDemoDatabase::defaultPath());
    {
        Connection c(path);
        c.exec(QStringLiteral("update Sektor set NazivSektora = 'Kept' where IDSektora = 1"));
    }
    ASSERT_TRUE(CDemoDatabase::ensure(&path, &error));
    {
        Connection c(path);
        EXPECT_EQ(c.value(QStringLiteral("select NazivSektora from Sektor where IDSektora = 1")),
                  QStringLiteral("Kept"));
        // An outdated demo is rebuilt.
        c.exec(QStringLiteral("update zv_demo set value = '0' where name = 'version'"));
    }
    ASSERT_TRUE(CDemoDatabase::ensure(&path, &error));
    {
        Connection c(path);
        EXPECT_NE(c.value(QStringLiteral("select NazivSektora from Sektor where IDSektora = 1")),
                  QStringLiteral("Kept"));
    }
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
}

// The program can reach the demo through the SQLite ODBC driver as it reaches SQL Server.
TEST(DemoDbOdbc, ReadableThroughTheSqliteOdbcDriver)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
        GTEST_SKIP() << "no QODBC driver";
    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("odbc.sqlite"));
    CDemoDatabase::DemoOptions o = options(Wednesday);
    o.employees = 20;
    o.historyDays = 5;
    ASSERT_TRUE(build(path, o));
    const QString name = QStringLiteral("tst-demodb-odbc");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(QStringLiteral("Driver={SQLite3};Database=%1").arg(path));
        if (!db.open()) {
            const QString error = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            GTEST_SKIP() << "SQLite3 ODBC driver not usable: " << error.toStdString();
        }
        QSqlQuery q(db);
        ASSERT_TRUE(
            q.exec(QStringLiteral("select IDLogickeAktivnosti, DatumLastReg, Prezime, Ime, "
                                  "tblLastReg.IDZaposlenog, SUBSTRING(UPPER(viewMediaIDActive.IDNo),7,8) as "
                                  "IDNo from tblLastReg join viewMediaIDActive on viewMediaIDActive.IDZaposlenog "
                                  "= tblLastReg.IDZaposlenog order by DatumLastReg desc")))
            << q.lastError().text().toStdString();
        ASSERT_TRUE(q.next());
        const QDateTime newest = q.value(1).toDateTime();
        EXPECT_TRUE(newest.isValid()) << q.value(1).toString().toStdString();
        EXPECT_LE(newest, Wednesday);
        EXPECT_EQ(newest.date(), Wednesday.date());
        ASSERT_TRUE(q.exec(QStringLiteral("select Fotografija from viewPhoto order by IDZaposlenog")));
        ASSERT_TRUE(q.next());
        EXPECT_TRUE(q.value(0).toByteArray().startsWith("\xFF\xD8"));
    }
    QSqlDatabase::removeDatabase(name);
}

TEST_F(DemoDb, SamplesGiveTwoPanelsAndADistinctColourForEveryActivityAndKeepTheUsersChanges)
{
    testsupport::TempDir folder;
    QString error;
    ASSERT_TRUE(CDemoSamples::ensure(s_path, folder.path(), &error)) << error.toStdString();
    const QStringList panels = CDemoSamples::panelPaths(folder.path());
    ASSERT_EQ(panels.size(), 2);
    EXPECT_TRUE(panels[0].endsWith(QStringLiteral("/Reception.zvl")));
    EXPECT_TRUE(panels[1].endsWith(QStringLiteral("/All staff.zvl")));

    Connection c(s_path);
    const int employees = c.value(QStringLiteral("select count(*) from viewMediaIDActive")).toInt();
    bool ok = false;
    const PanelFileData reception = CPanelFile::loadFile(panels[0], &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(reception.tablets.size(), qMin(employees, int(CDemoSamples::kReceptionSize)));
    const PanelFileData all = CPanelFile::loadFile(panels[1], &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(all.tablets.size(), employees);
    // No two tablets of a panel overlap; some of the reception are expanded.
    for (const PanelFileData *panel : {&reception, &all}) {
        QList<QRect> taken;
        for (const PanelFileTablet &t : panel->tablets) {
            const QRect r(t.x, t.y, t.w, t.h);
            for (const QRect &other : taken)
                EXPECT_FALSE(r.intersects(other)) << t.id.toStdString();
            taken << r;
        }
    }
    EXPECT_GT(std::count_if(reception.tablets.begin(), reception.tablets.end(),
                            [](const PanelFileTablet &t) { return t.expanded && t.h == 96; }),
              0);

    ColourMap colours;
    for (const QString &id : c.rows(QStringLiteral("select IDLogickeAktivnosti from LogickaAktivnost")))
        colours[id] = kColourWhite;
    CColourFile::load(CDemoSamples::colourFilePath(folder.path()), colours);
    QSet<ColourValue> distinct;
    for (const auto &[id, colour] : colours) {
        EXPECT_NE(colour, kColourWhite) << id.toStdString();
        distinct.insert(colour);
    }
    EXPECT_EQ(distinct.size(), qsizetype(colours.size()));

    // A panel the user changed is kept; a deleted one comes back.
    ASSERT_TRUE(CPanelFile::save(panels[0], PanelFileData(), &error));
    ASSERT_TRUE(QFile::remove(panels[1]));
    ASSERT_TRUE(CDemoSamples::ensure(s_path, folder.path(), &error));
    EXPECT_TRUE(CPanelFile::loadFile(panels[0], &ok).tablets.isEmpty());
    EXPECT_EQ(CPanelFile::loadFile(panels[1], &ok).tablets.size(), employees);
}
