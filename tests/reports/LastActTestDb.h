#pragma once

#include "PresenceTestDb.h"
#include "demo/CDemoDatabase.h"

#include <QDateTime>

namespace lastacttest {

// The demo database with clockings a test knows, around the moment 2026-03-04 10:00:00, for
// the first four employees (A to D) and one more whose key holds a quote (O'Brien); the fifth
// demo employee (E) has no clocking at all.
//   A: 09:00 Arrival, 11:00 Departure (after the moment)
//   B: 08:00 Arrival, 09:30 Break marked invisible
//   C: 2026-03-03 10:00:00 Arrival, exactly a day before
//   D: 2026-03-03 09:59:00 Arrival, a day and a minute before: late
//   O'Brien: 09:45 Departure
class LastActDb : public presencetest::PresenceDb
{
public:
    struct Employee
    {
        QString key, lastName, firstName, card;
    };

    LastActDb() : PresenceDb(12)
    {
        for (const QString &r : rows(QStringLiteral("select m.IDZaposlenog, z.Prezime, z.Ime, m.IDNo from tblMediaID m "
                                                    "join tblZaposleni z on z.IDZaposlenog = m.IDZaposlenog where "
                                                    "m.VaziDo is null order by m.IDZaposlenog limit 5"))) {
            const QStringList c = r.split(QLatin1Char('|'));
            employees.push_back({c[0], c[1], c[2], CDemoDatabase::cardOf(c[3])});
        }
        // A key that is text with a quote, as SQL Server installations may have: the media view
        // gains one employee from a table of its own.
        const QString hist = value(QStringLiteral("select sql from sqlite_master where name = 'viewMediaIDHist'"));
        exec(QStringLiteral("create table tblExtra (IDZaposlenog text, Prezime text, Ime text, IDNo text, VaziOd "
                            "datetime, VaziDo datetime, IDSektora integer, NazivSektora text)"));
        exec(QStringLiteral("insert into tblExtra values ('O''Brien', 'O''Brien', 'Ciaran', 'XX99123456zz', "
                            "'2020-01-01 00:00:00', null, 1, (select NazivSektora from Sektor where IDSektora = 1))"));
        // The demo's keys become text as well: SQLite 3.46 (Debian 13) gives a column whose arms
        // differ in type no affinity, and integer keys would no longer equal the text of a key.
        const QString first = QStringLiteral("select m.IDZaposlenog as");
        EXPECT_TRUE(hist.contains(first)) << hist.toStdString();
        exec(QStringLiteral("drop view viewMediaIDHist"));
        exec(QString(hist).replace(first, QStringLiteral("select cast(m.IDZaposlenog as text) as")) +
             QStringLiteral(" union all select * from tblExtra"));
        employees.push_back({QStringLiteral("O'Brien"), QStringLiteral("O'Brien"), QStringLiteral("Ciaran"),
                             CDemoDatabase::cardOf(QStringLiteral("XX99123456zz"))});

        exec(QStringLiteral("delete from tblReg"));
        clock(0, "2026-03-04 09:00:00", CDemoDatabase::Arrival);
        clock(0, "2026-03-04 11:00:00", CDemoDatabase::Departure);
        clock(1, "2026-03-04 08:00:00", CDemoDatabase::Arrival);
        clock(1, "2026-03-04 09:30:00", CDemoDatabase::Break, 1);
        clock(2, "2026-03-03 10:00:00", CDemoDatabase::Arrival);
        clock(3, "2026-03-03 09:59:00", CDemoDatabase::Arrival);
        clock(5, "2026-03-04 09:45:00", CDemoDatabase::Departure);
    }

    void clock(int employee, const char *when, int activity, int invisible = 0)
    {
        exec(QStringLiteral("insert into tblReg (IDNo, TerminalskoVremeRegistracije, IDLogickeAktivnosti, IDHACT, "
                            "Nevidljiva) values ('%1', '%2', %3, null, %4)")
                 .arg(employees[employee].card, QLatin1String(when))
                 .arg(activity)
                 .arg(invisible));
    }
    QString activity(int id)
    {
        return value(QStringLiteral("select OpisLogAkt from LogickaAktivnost where IDLogickeAktivnosti = %1").arg(id));
    }
    QString department(const Employee &e)
    {
        return value(QStringLiteral("select NazivSektora from viewMediaIDHist where IDZaposlenog = '%1'")
                         .arg(QString(e.key).replace(QLatin1String("'"), QLatin1String("''"))));
    }

    static CDateTime moment() { return CDateTime::fromParts(2026, 3, 4, 10, 0, 0); }

    std::vector<Employee> employees;
};

} // namespace lastacttest
