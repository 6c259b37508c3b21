#include "LastActTestDb.h"
#include "app/CStringTable.h"
#include "db/CDbConnection.h"
#include "db/CDbCursor.h"
#include "reports/CLastActQuery.h"

#include <QSqlDatabase>
#include <gtest/gtest.h>

using lastacttest::LastActDb;

namespace {

CLastActLists sampleLists()
{
    CLastActLists l;
    l.activityIds = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    l.activityNames = {QStringLiteral("Arrival"), QStringLiteral("Departure"), QStringLiteral("Trip")};
    l.groupIds = {QStringLiteral("G1"), QStringLiteral("G'2")};
    l.departmentIds = {QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("13")};
    l.departmentNames = {QStringLiteral("Sales"), QStringLiteral("Stores"), QStringLiteral("IT"),
                         QStringLiteral("Finance")};
    return l;
}

} // namespace

// The clauses and the subtitle for the requests the options dialog and a panel can make.
TEST(LastActQuery, ClausesAndSubtitleFollowTheRequest)
{
    CLastActRequest r;
    r.activity = 1;
    r.invertActivity = true;
    CLastActQuery inverted(r, sampleLists());
    EXPECT_EQ(inverted.activityClause(), "and LogickaAktivnost.IDLogickeAktivnosti <> '2'");
    EXPECT_EQ(inverted.subTitle(), S(1075) + ": -Departure   " + S(1082) + ": " + S(1094));
    EXPECT_EQ(inverted.orderClause(), "qry1.LastActTime desc, viewMediaIDHist.Prezime, viewMediaIDHist.Ime");
    EXPECT_EQ(inverted.templateName(), "Presences.rpt");

    CLastActRequest g;
    g.byGroup = true;
    g.sort = 2;
    g.showDayType = true;
    CLastActQuery allGroups(g, sampleLists());
    EXPECT_TRUE(allGroups.activityClause().isEmpty());
    EXPECT_EQ(allGroups.orderClause(), "GroupID, viewMediaIDHist.Prezime, viewMediaIDHist.Ime");
    EXPECT_TRUE(allGroups.subTitle().startsWith(S(1088) + ": " + S(1092) + "   "));
    EXPECT_EQ(allGroups.templateName(), "PresencesGroupsCal.rpt");

    // Positions 3 and 1 arrive in ascending order from the dialog.
    CLastActRequest d;
    d.departments = {1, 3};
    d.sort = 1;
    CLastActQuery deps(d, sampleLists());
    EXPECT_EQ(deps.departmentClause(), "and viewMediaIDHist.IDSektora in ('11', '13')");
    EXPECT_TRUE(deps.subTitle().endsWith(S(1082) + ": Stores, Finance"));
    EXPECT_TRUE(deps.orderClause().startsWith("viewMediaIDHist.NazivSektora, qry1.LastActTime desc"));

    CLastActRequest k;
    k.employeeKeys = {QStringLiteral("7"), QStringLiteral("O'Brien"), QStringLiteral("9")};
    k.showInvisible = true;
    CLastActQuery keys(k, sampleLists());
    EXPECT_EQ(keys.employeeClause(), " and viewMediaIDHist.IDZaposlenog in ('7','O''Brien','9') ");
    EXPECT_TRUE(keys.invisibleClause().isEmpty());
    EXPECT_EQ(CLastActQuery(CLastActRequest(), sampleLists()).invisibleClause(), "and t4.Nevidljiva = 0 ");

    // A group identifier with a quote, its members, inverted; then a group without members.
    CLastActLists members = sampleLists();
    members.groupMembers = {QStringLiteral("1"), QStringLiteral("4'")};
    members.membersRead = true;
    CLastActRequest m;
    m.byGroup = true;
    m.group = 1;
    m.invertGroup = true;
    CLastActQuery group(m, members);
    EXPECT_EQ(group.activityClause(), "and LogickaAktivnost.IDLogickeAktivnosti NOT IN ('1', '4''')");
    EXPECT_TRUE(group.subTitle().startsWith(S(1088) + ": -G'2   "));
    members.groupMembers.clear();
    EXPECT_FALSE(CLastActQuery(m, members).groupWithoutActivities()) << "outside an empty group is everything";
    EXPECT_TRUE(CLastActQuery(m, members).activityClause().isEmpty());
    m.invertGroup = false;
    EXPECT_TRUE(CLastActQuery(m, members).groupWithoutActivities());
    members.membersRead = false;
    EXPECT_EQ(CLastActQuery(m, members).activityClause(), "and LogickaAktivnost.IDLogickeAktivnosti is null");

    // Positions beyond the lists apply no clause.
    CLastActRequest beyond;
    beyond.activity = 7;
    beyond.departments = {9};
    CLastActQuery none(beyond, sampleLists());
    EXPECT_TRUE(none.activityClause().isEmpty());
    EXPECT_TRUE(none.departmentClause().isEmpty());
}

// A day before the moment is not late; a day and a minute is, in every cell.
TEST(LastActQuery, LateRowsAreMarkedRed)
{
    CLastActRequest r;
    r.moment = CDateTime::fromParts(2026, 3, 4, 10, 0, 0);
    CLastActQuery q(r, sampleLists());
    CLastActQuery::Values v{QStringLiteral("2026-03-03 10:00:00"),
                            QStringLiteral("Arrival"),
                            QStringLiteral("Ana"),
                            QStringLiteral("Horvat"),
                            QStringLiteral("IT"),
                            QString(),
                            QStringLiteral("1"),
                            CDateTime::fromParts(2026, 3, 3, 10, 0, 0)};
    EXPECT_EQ(CLastActQuery::ageMinutes(r.moment, v.registered), 1440);
    EXPECT_EQ(q.formatRow(3, v), "3|2026-03-03 10:00:00|Horvat|Ana|IT|Arrival");
    v.time = QStringLiteral("2026-03-03 09:59:00");
    v.registered = CDateTime::fromParts(2026, 3, 3, 9, 59, 0);
    EXPECT_EQ(q.formatRow(4, v), "[%red%]4|[%red%]2026-03-03 09:59:00 *|[%red%]Horvat|[%red%]Ana|[%red%]IT|"
                                 "[%red%]Arrival");
    // 59.6 seconds round to a whole minute; a clocking after the moment is never late.
    EXPECT_EQ(CLastActQuery::ageMinutes(r.moment, CDateTime(r.moment.days() - 59.6 / 86400)), 1);
    EXPECT_EQ(CLastActQuery::ageMinutes(r.moment, CDateTime(r.moment.days() + 1.5 / 1440)), -1);

    r.byGroup = true;
    r.showDayType = true;
    v.dayType = QStringLiteral("Working day");
    EXPECT_EQ(CLastActQuery(r, sampleLists()).formatRow(1, v).count(QLatin1String("[%red%]")), 8);
}

// The statements as SQL Server gets them and as the SQLite dialect carries them.
TEST(LastActQuery, StatementsOnBothDialects)
{
    CLastActRequest r;
    r.moment = CDateTime::fromParts(2026, 3, 4, 10, 0, 0);
    r.employeeKeys = {QStringLiteral("x') drop table tblReg --")};
    CLastActQuery q(r, sampleLists());
    const QString s1 = q.statement1();
    EXPECT_TRUE(s1.startsWith("select t2.IDZaposlenog, t2.Prezime, t2.Ime, max(t3.TerminalskoVremeRegistracije) "
                              "as LastActTime into #tmpLastActTime from viewMediaIDHist t2"));
    EXPECT_TRUE(s1.contains("t4.TerminalskoVremeRegistracije <= '2026-03-04T10:00:00' and (t4.IDHACT < 4000 or "
                            "t4.IDHACT is null) and t4.Nevidljiva = 0 ) group by"));
    EXPECT_TRUE(s1.endsWith("group by t2.IDZaposlenog, t2.Prezime, t2.Ime "));
    EXPECT_TRUE(q.statement2().contains(" from #tmpLastActTime qry1 join viewMediaIDHist"));
    EXPECT_TRUE(q.statement2().contains("in ('x'') drop table tblReg --') "));
    EXPECT_EQ(q.dropStatement(), "if object_id('tempdb..#tmpLastActTime') is not null drop table #tmpLastActTime");

    const QString lite1 = CSqlDialect::rewrite(CSqlDialect::Sqlite, s1);
    EXPECT_TRUE(lite1.startsWith("create temp table tmpLastActTime as select t2.IDZaposlenog"));
    EXPECT_TRUE(lite1.contains("substr(substr(t2.IDNo, -10), 1, 8)"));
    // SQLite keeps date-times as "YYYY-MM-DD HH:MM:SS" text; only a literal of that shape changes.
    EXPECT_TRUE(lite1.contains("<= '2026-03-04 10:00:00' and")) << lite1.toStdString();
    EXPECT_EQ(CSqlDialect::rewriteDateTimeLiterals("select 'T', '2026-03-04T10:00:00.5', 'x2026-03-04T10:00:00'"),
              "select 'T', '2026-03-04 10:00:00.5', 'x2026-03-04T10:00:00'");
    EXPECT_FALSE(lite1.contains('#'));
    EXPECT_EQ(CSqlDialect::rewrite(CSqlDialect::Sqlite, q.dropStatement()), "drop table if exists temp.tmpLastActTime");
    const QString lite2 = CSqlDialect::rewrite(CSqlDialect::Sqlite, q.statement2());
    EXPECT_TRUE(lite2.contains(" from tmpLastActTime qry1 "));
    EXPECT_FALSE(lite2.contains("left(") || lite2.contains("right("));
    // The literal stays whole: the mark of a session table inside it is text, not a name.
    EXPECT_EQ(CSqlDialect::rewriteTempTables("select '#a' from #b"), "select '#a' from b");
}

class LastActDatabase : public ::testing::Test
{
protected:
    QStringList fetch(CLastActRequest r, bool *ok = nullptr)
    {
        r.moment = LastActDb::moment();
        CLastActQuery q(r, CLastActQuery::readLists(db.reference(), r));
        QStringList rows;
        QString error;
        const bool done = q.fetch(db.reference().connection(), rows, &error);
        if (ok)
            *ok = done;
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return rows;
    }
    QString row(int n, const LastActDb::Employee &e, const char *time, int activity)
    {
        return QStringLiteral("%1|%2|%3|%4|%5|%6")
            .arg(n)
            .arg(QLatin1String(time), e.lastName, e.firstName, db.department(e), db.activity(activity));
    }

    LastActDb db;
};

// Each employee's last clocking up to the moment, newest first; invisible ones only when asked.
TEST_F(LastActDatabase, LastClockingUpToTheMoment)
{
    ASSERT_TRUE(db.ok());
    const auto &e = db.employees;
    const QStringList rows = fetch(CLastActRequest());
    ASSERT_EQ(rows.size(), 5) << rows.join('\n').toStdString();
    EXPECT_EQ(rows[0], row(1, e[5], "2026-03-04 09:45:00", CDemoDatabase::Departure));
    EXPECT_EQ(rows[1], row(2, e[0], "2026-03-04 09:00:00", CDemoDatabase::Arrival));
    EXPECT_EQ(rows[2], row(3, e[1], "2026-03-04 08:00:00", CDemoDatabase::Arrival));
    EXPECT_EQ(rows[3], row(4, e[2], "2026-03-03 10:00:00", CDemoDatabase::Arrival));
    EXPECT_TRUE(rows[4].startsWith("[%red%]5|[%red%]2026-03-03 09:59:00 *|[%red%]" + e[3].lastName));

    CLastActRequest invisible;
    invisible.showInvisible = true;
    invisible.employeeKeys = {e[1].key};
    EXPECT_EQ(fetch(invisible), QStringList{row(1, e[1], "2026-03-04 09:30:00", CDemoDatabase::Break)});

    // By group with the day type: one more cell each, the day type of the fixed day.
    CLastActRequest day;
    day.byGroup = true;
    day.showDayType = true;
    day.employeeKeys = {e[0].key};
    const QString working = db.value(QStringLiteral("select NazivDana from tblRadniDan where IDDana = 1"));
    const QString group = db.value(QStringLiteral("select ID from tblLogActGroupDet where LogActID = 1"));
    EXPECT_EQ(fetch(day),
              QStringList{row(1, e[0], "2026-03-04 09:00:00", CDemoDatabase::Arrival) + "|" + working + "|" + group});

    // A chosen activity; then the same one inverted.
    CLastActRequest act;
    {
        CLastActLists lists = CLastActQuery::readLists(db.reference(), act);
        act.activity = int(lists.activityIds.indexOf(QString::number(CDemoDatabase::Departure)));
    }
    EXPECT_EQ(fetch(act), QStringList{row(1, e[5], "2026-03-04 09:45:00", CDemoDatabase::Departure)});
    act.invertActivity = true;
    EXPECT_EQ(fetch(act).size(), 4);
}

// Keys from a panel file: the employee whose key holds a quote is found, and nothing else changes.
TEST_F(LastActDatabase, KeyWithAQuote)
{
    ASSERT_TRUE(db.ok());
    const auto &e = db.employees;
    CLastActRequest r;
    r.employeeKeys = {e[0].key, QStringLiteral("O'Brien"), QStringLiteral("x') or 1=1 or ('")};
    EXPECT_EQ(fetch(r), (QStringList{row(1, e[5], "2026-03-04 09:45:00", CDemoDatabase::Departure),
                                     row(2, e[0], "2026-03-04 09:00:00", CDemoDatabase::Arrival)}));
    EXPECT_EQ(db.value(QStringLiteral("select count(*) from tblReg")), "7");
}

// Two users at once: each connection keeps its own scratch table, moment and filters.
TEST_F(LastActDatabase, ScratchTableIsPrivateToTheConnection)
{
    ASSERT_TRUE(db.ok());
    CDbConnection other;
    ASSERT_TRUE(other.open(QStringLiteral("Provider=SQLite;Data Source=") + db.path()));
    CDbConnection &mine = db.reference().connection();
    CLastActRequest early, late;
    early.moment = CDateTime::fromParts(2026, 3, 3, 12, 0, 0);
    late.moment = LastActDb::moment();
    CLastActQuery a(early, {}), b(late, {});
    ASSERT_TRUE(mine.execute(a.dropStatement()));
    ASSERT_TRUE(mine.execute(a.statement1()));
    // The other user drops and refills in between.
    ASSERT_TRUE(other.execute(b.dropStatement()));
    ASSERT_TRUE(other.execute(b.statement1()));
    CDbCursor cursor(&mine);
    ASSERT_TRUE(cursor.open(a.statement2(), CDbCursor::Query)) << cursor.lastErrorText().toStdString();
    EXPECT_EQ(cursor.recordCount(), 2) << "C and D clocked before noon of the day before";
    EXPECT_EQ(db.value(QStringLiteral("select count(*) from sqlite_master where name like 'tmpLastActTime'")), "0");
    other.close();
}

// A group that has no activities gives no rows and runs nothing.
TEST_F(LastActDatabase, GroupWithoutActivities)
{
    ASSERT_TRUE(db.ok());
    db.exec(QStringLiteral("insert into tblLogActGroup (ID, NazivGrupe) values (9, 'Nobody')"));
    {
        QMutexLocker lock(&db.reference().dbMutex);
        ASSERT_TRUE(db.reference().reopen(CReferenceData::ActivityGroupCursor));
    }
    CLastActRequest r;
    r.byGroup = true;
    r.group = int(CLastActQuery::readLists(db.reference(), r).groupIds.indexOf(QStringLiteral("9")));
    ASSERT_GE(r.group, 0);
    bool ok = false;
    EXPECT_TRUE(fetch(r, &ok).isEmpty());
    EXPECT_TRUE(ok);
    r.invertGroup = true;
    EXPECT_EQ(fetch(r).size(), 5);
}
