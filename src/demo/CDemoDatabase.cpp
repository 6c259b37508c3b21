#include "demo/CDemoDatabase.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "db/CSqlDialect.h"
#include "panel/CJpegError.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

// Bumped whenever the schema or the content changes, so that ensure() rebuilds an old demo.
const char *const ContentVersion = "3";

// A small generator of our own: the content must not depend on the standard library's or Qt's
// distributions, which may change between versions.
class Rng
{
public:
    explicit Rng(quint64 seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % quint64(n)); }
    int range(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(double p) { return double(next() >> 11) * (1.0 / 9007199254740992.0) < p; }
    template <typename T, size_t N> const T &pick(const T (&items)[N]) { return items[below(int(N))]; }

private:
    quint64 m_state;
};

const char *const LastNames[] = {
    "Petrović",  "Jovanović", "Nikolić",    "Marković", "Đorđević",    "Stojanović", "Ilić",  "Stanković",
    "Pavlović",  "Milošević", "Popović",    "Kostić",   "Todorović",   "Savić",      "Lazić", "Ristić",
    "Kovačević", "Babić",     "Vuković",    "Živković", "Tomić",       "Mitrović",   "Lukić", "Obradović",
    "Simić",     "Jović",     "Filipović",  "Bošković", "Radovanović", "Kolar",      "Novak", "Horvat",
    "Šarić",     "Perić",     "Marinković", "Vasić",    "Anđelković",  "Čolić",      "Zec",   "Ćirić",
};
const char *const FirstNames[] = {
    "Marko",   "Nikola",     "Stefan",  "Luka",     "Milan", "Jelena", "Ana",    "Milica", "Ivana",    "Dragana",
    "Nemanja", "Aleksandar", "Jovana",  "Marija",   "Dušan", "Miloš",  "Tijana", "Sanja",  "Vladimir", "Zoran",
    "Snežana", "Đorđe",      "Teodora", "Katarina", "Bojan", "Uroš",   "Maja",   "Vesna",  "Goran",    "Ljiljana",
};
// The names of the demo's departments, activities, groups, day types, holidays and visit reasons
// are texts of the interface (demo.*), so that the demo speaks the user's language.
constexpr int kNamedDepartments = 16;
constexpr int kReasons = 6;

QString demoText(const char *kind, int n)
{
    return CStringTable::text(QStringLiteral("demo.%1.%2").arg(QLatin1String(kind)).arg(n));
}

QString departmentName(int id)
{
    return id <= kNamedDepartments ? demoText("department", id)
                                   : CStringTable::text(QStringLiteral("demo.department.other")).arg(id);
}

// The department whose people work on Saturdays and keep weekend duty.
const int SecurityDepartment = 7;

// Every activity, from Arrival on; the calendar activities (leave) come last.
constexpr int kActivities = CDemoDatabase::PublicHolidayLeave;

struct Pair
{
    int first;
    int second;
};
// Activity groups: group, member activity. Break belongs to no group.
const Pair GroupMembers[] = {
    {1, CDemoDatabase::Arrival},      {1, CDemoDatabase::BreakReturn},  {1, CDemoDatabase::Overtime},
    {1, CDemoDatabase::WeekendDuty},  {2, CDemoDatabase::Departure},    {2, CDemoDatabase::PrivateExit},
    {2, CDemoDatabase::Doctor},       {2, CDemoDatabase::SickLeave},    {2, CDemoDatabase::AnnualLeave},
    {3, CDemoDatabase::BusinessTrip}, {3, CDemoDatabase::OfficialExit}, {3, CDemoDatabase::Training},
};
constexpr int kGroups = 3;

// Day type, activity not allowed on it. Every day type has at least one, so that whatever day
// it is the simulator can produce an illegal clocking.
const Pair Forbidden[] = {
    {CDemoDatabase::WorkingDay, CDemoDatabase::WeekendDuty}, {CDemoDatabase::Saturday, CDemoDatabase::BusinessTrip},
    {CDemoDatabase::Saturday, CDemoDatabase::Training},      {CDemoDatabase::Sunday, CDemoDatabase::BusinessTrip},
    {CDemoDatabase::Sunday, CDemoDatabase::Training},        {CDemoDatabase::Holiday, CDemoDatabase::Arrival},
    {CDemoDatabase::Holiday, CDemoDatabase::BusinessTrip},   {CDemoDatabase::Holiday, CDemoDatabase::Training},
};

// Fixed-date public holidays (month, day).
const Pair Holidays[] = {{1, 1}, {1, 2}, {1, 7}, {2, 15}, {2, 16}, {5, 1}, {5, 2}, {11, 11}};
const char *const Partners[] = {
    "Northwind Traders", "Contoso d.o.o.",       "Fabrikam",  "Adventure Works", "Litware",
    "Tailspin Toys",     "Wide World Importers", "Proseware", "Elektro Morava",  "Dunav Logistika"};
// Media prefixes in mixed case: only the card part of the identifier is shown, upper-cased.
const char *const MediaPrefixes[] = {"HiDr01", "MfCl02", "EmRn03", "NfCt04"};

const char *const SchemaStatements[] = {
    "create table Sektor (IDSektora integer primary key, NazivSektora text not null)",
    "create table tblZaposleni (IDZaposlenog integer primary key, Prezime text not null, Ime text not null, "
    "IDSektora integer references Sektor (IDSektora), RadiSubotom integer not null default 0, Fotografija blob)",
    "create table tblMediaID (IDMedia integer primary key, IDZaposlenog integer not null references tblZaposleni "
    "(IDZaposlenog), IDNo text not null, VaziOd datetime not null, VaziDo datetime)",
    "create index ixMediaIDZaposleni on tblMediaID (IDZaposlenog)",
    // Covers what the stored procedure reads of every employee, so that it never walks the rows
    // with their photographs.
    "create index ixZaposleniSubota on tblZaposleni (RadiSubotom)",
    "create table LogickaAktivnost (IDLogickeAktivnosti integer primary key, OpisLogAkt text not null, "
    "Kalendarska integer not null default 0)",
    "create table tblLogActGroup (ID integer primary key, NazivGrupe text not null)",
    "create table tblLogActGroupDet (ID integer not null references tblLogActGroup (ID), LogActID integer not "
    "null references LogickaAktivnost (IDLogickeAktivnosti), primary key (ID, LogActID))",
    "create table tblRadniDan (IDDana integer primary key, NazivDana text not null)",
    "create table tblNedozvoljeneAktivnosti (IDDana integer not null references tblRadniDan (IDDana), "
    "IDLogickeAktivnosti integer not null references LogickaAktivnost (IDLogickeAktivnosti), "
    "primary key (IDDana, IDLogickeAktivnosti))",
    "create table tblPraznik (Datum text primary key, NazivPraznika text not null)",
    "create table tblReg (IDReg integer primary key, IDNo text not null, TerminalskoVremeRegistracije datetime "
    "not null, IDLogickeAktivnosti integer not null, IDHACT integer, Nevidljiva integer not null default 0)",
    "create index ixRegIDNo on tblReg (IDNo, TerminalskoVremeRegistracije)",
    "create table tblLastReg (IDZaposlenog integer primary key, DatumLastReg datetime not null, "
    "IDLogickeAktivnosti integer not null)",
    "create index ixLastRegDatum on tblLastReg (DatumLastReg)",
    "create table tblTekuciRadniDan (IDZaposlenog integer primary key, IDDana integer not null, Datum text not "
    "null)",
    "create table tblPartner (IDPartnera integer primary key, PartnerFullName text not null)",
    "create table tblPartnerEvent (IDEvent integer primary key, IDPartnera integer not null references tblPartner "
    "(IDPartnera), GuestName text not null, ReasonDescription text, IDZaposlenog integer, Enter datetime not "
    "null, [Exit] datetime)",
    "create table zv_procedure (name text primary key, body text not null)",
    "create table zv_fixed_date (Datum text not null)",
    "create table zv_demo (name text primary key, value text)",

    "create view viewPhoto as select z.IDZaposlenog as IDZaposlenog, z.Prezime as Prezime, z.Ime as Ime, m.IDNo "
    "as IDNo, z.Fotografija as Fotografija, z.IDSektora as IDSektora from tblZaposleni z left join tblMediaID m "
    "on m.IDZaposlenog = z.IDZaposlenog and m.VaziDo is null",
    "create view viewMediaIDActive as select m.IDZaposlenog as IDZaposlenog, m.IDNo as IDNo, z.Prezime as "
    "Prezime, z.Ime as Ime from tblMediaID m join tblZaposleni z on z.IDZaposlenog = m.IDZaposlenog where "
    "m.VaziDo is null",
    "create view viewMediaIDHist as select m.IDZaposlenog as IDZaposlenog, z.Prezime as Prezime, z.Ime as Ime, "
    "m.IDNo as IDNo, m.VaziOd as VaziOd, m.VaziDo as VaziDo, z.IDSektora as IDSektora, s.NazivSektora as "
    "NazivSektora from tblMediaID m join tblZaposleni z on z.IDZaposlenog = m.IDZaposlenog left join Sektor s "
    "on s.IDSektora = z.IDSektora",
    "create view view_TekuciRadniDan as select IDZaposlenog, IDDana, Datum from tblTekuciRadniDan",
    "create view ViewPartnerEvents as select e.IDEvent as IDEvent, p.PartnerFullName as PartnerFullName, "
    "e.GuestName as GuestName, e.ReasonDescription as ReasonDescription, z.Prezime as LastName, z.Ime as "
    "FirstName, e.IDZaposlenog as IDZaposlenog, e.Enter as Enter, e.[Exit] as [Exit] from tblPartnerEvent e "
    "join tblPartner p on p.IDPartnera = e.IDPartnera left join tblZaposleni z on z.IDZaposlenog = "
    "e.IDZaposlenog",
    // Today's date (a fixed one when a test asked for it, else SQLite's local date) and its day
    // type for an employee who does not work on Saturdays.
    "create view zv_today as select d.Datum as Datum, case when exists (select 1 from tblPraznik p where "
    "p.Datum = d.Datum) then 4 when strftime('%w', d.Datum) = '0' then 3 when strftime('%w', d.Datum) = '6' "
    "then 2 else 1 end as IDDana from (select coalesce((select max(Datum) from zv_fixed_date), "
    "date('now', 'localtime')) as Datum) d",
};

QString stamp(const QDate &date, int minuteOfDay, int second)
{
    minuteOfDay = std::clamp(minuteOfDay, 0, 24 * 60 - 1);
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
           QTime(minuteOfDay / 60, minuteOfDay % 60, second).toString(QStringLiteral("HH:mm:ss"));
}

QString stamp(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

int dayTypeOf(const QDate &date)
{
    for (const Pair &h : Holidays)
        if (date.month() == h.first && date.day() == h.second)
            return CDemoDatabase::Holiday;
    if (date.dayOfWeek() == Qt::Sunday)
        return CDemoDatabase::Sunday;
    if (date.dayOfWeek() == Qt::Saturday)
        return CDemoDatabase::Saturday;
    return CDemoDatabase::WorkingDay;
}

struct Employee
{
    int id = 0;
    QString lastName;
    QString firstName;
    int department = 0;
    bool saturdays = false;
    QString idNo;
    QString oldIdNo;  // empty: the employee never changed media
    QDate changeDate; // the day the new media took over
    int startMinute = 480;
    bool noClockings = false;
    QDate absentFrom; // an absence stretch, invalid for none
    int absentDays = 0;
    int absentActivity = 0;
};

struct Registration
{
    QString time;
    int employee;
    QString card;
    int activity;
    QVariant terminal;
    int invisible;
};

struct GuestEvent
{
    QString enter;
    QString exit;
    int partner;
    QString guest;
    QString reason;
    int host;
};

// Encodes tightly packed RGB rows; returns a malloc'ed buffer in *out (nullptr on failure). No
// C++ object lives in this frame, so leaving it by longjmp skips no destructor.
void encodeRgb(const unsigned char *rgb, int width, int height, int stride, int quality, unsigned char **out,
               unsigned long *size)
{
    jpeg_compress_struct cinfo;
    CJpegError err;
    *out = nullptr;
    *size = 0;
    cinfo.err = err.install(false);
    if (setjmp(err.jump)) {
        // The output buffer lives in the caller's variables, so it is current here.
        jpeg_destroy_compress(&cinfo);
        std::free(*out);
        *out = nullptr;
        *size = 0;
        return;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + std::size_t(cinfo.next_scanline) * std::size_t(stride));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
}

class Builder
{
public:
    Builder(QSqlDatabase db, const CDemoDatabase::DemoOptions &options)
        : m_db(db), m_options(options), m_rng(options.seed)
    {
        m_now = options.now.isValid() ? options.now : CClock::now();
        m_now.setTime(QTime(m_now.time().hour(), m_now.time().minute(), m_now.time().second()));
        m_nowStamp = stamp(m_now);
    }

    bool run()
    {
        for (const char *statement : SchemaStatements)
            if (!exec(QString::fromUtf8(statement)))
                return false;
        if (!m_db.transaction())
            return fail(m_db.lastError().text());
        const bool ok = fillReference() && fillEmployees() && fillRegistrations() && fillGuests() && fillDemoInfo();
        if (!ok) {
            m_db.rollback();
            return false;
        }
        if (!m_db.commit())
            return fail(m_db.lastError().text());
        return true;
    }

    QString error() const { return m_error; }

private:
    bool fail(const QString &text)
    {
        if (m_error.isEmpty())
            m_error = text;
        return false;
    }

    bool exec(const QString &sql)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            return fail(q.lastError().text() + QLatin1Char('\n') + sql);
        return true;
    }

    // Runs a prepared insert once per row of values.
    bool insert(const QString &sql, const std::vector<QVariantList> &rows)
    {
        QSqlQuery q(m_db);
        if (!q.prepare(sql))
            return fail(q.lastError().text() + QLatin1Char('\n') + sql);
        for (const QVariantList &row : rows) {
            for (int i = 0; i < row.size(); ++i)
                q.bindValue(i, row.at(i));
            if (!q.exec())
                return fail(q.lastError().text() + QLatin1Char('\n') + sql);
        }
        return true;
    }

    bool fillReference()
    {
        std::vector<QVariantList> rows;
        for (int id = 1; id <= kActivities; ++id)
            rows.push_back({id, demoText("activity", id), id >= CDemoDatabase::AnnualLeave ? 1 : 0});
        if (!insert(QStringLiteral("insert into LogickaAktivnost (IDLogickeAktivnosti, OpisLogAkt, Kalendarska) "
                                   "values (?, ?, ?)"),
                    rows))
            return false;

        rows.clear();
        for (int i = 1; i <= kGroups; ++i)
            rows.push_back({i, demoText("group", i)});
        if (!insert(QStringLiteral("insert into tblLogActGroup (ID, NazivGrupe) values (?, ?)"), rows))
            return false;
        rows.clear();
        for (const Pair &m : GroupMembers)
            rows.push_back({m.first, m.second});
        if (!insert(QStringLiteral("insert into tblLogActGroupDet (ID, LogActID) values (?, ?)"), rows))
            return false;

        rows.clear();
        for (int day = CDemoDatabase::WorkingDay; day <= CDemoDatabase::Holiday; ++day)
            rows.push_back({day, demoText("dayType", day)});
        if (!insert(QStringLiteral("insert into tblRadniDan (IDDana, NazivDana) values (?, ?)"), rows))
            return false;
        rows.clear();
        for (const Pair &f : Forbidden)
            rows.push_back({f.first, f.second});
        if (!insert(QStringLiteral("insert into tblNedozvoljeneAktivnosti (IDDana, IDLogickeAktivnosti) values "
                                   "(?, ?)"),
                    rows))
            return false;

        rows.clear();
        const QDate today = m_now.date();
        const int firstYear = today.addDays(-std::max(0, m_options.historyDays)).year();
        for (int year = firstYear; year <= today.year() + 1; ++year)
            for (size_t i = 0; i < std::size(Holidays); ++i)
                rows.push_back({QDate(year, Holidays[i].first, Holidays[i].second).toString(Qt::ISODate),
                                demoText("holiday", int(i) + 1)});
        if (!insert(QStringLiteral("insert into tblPraznik (Datum, NazivPraznika) values (?, ?)"), rows))
            return false;

        rows.clear();
        m_departments = std::clamp(m_options.departments, 1, 999);
        for (int i = 1; i <= m_departments; ++i)
            rows.push_back({i, departmentName(i)});
        if (!insert(QStringLiteral("insert into Sektor (IDSektora, NazivSektora) values (?, ?)"), rows))
            return false;

        rows = {{QLatin1String(CSqlDialect::DayTypeProcedure), CDemoDatabase::procedureBody()}};
        if (!insert(QStringLiteral("insert into zv_procedure (name, body) values (?, ?)"), rows))
            return false;
        if (m_options.fixedToday) {
            rows = {{today.toString(Qt::ISODate)}};
            if (!insert(QStringLiteral("insert into zv_fixed_date (Datum) values (?)"), rows))
                return false;
        }
        return true;
    }

    QString newCard(QSet<QString> &used)
    {
        // Eight hexadecimal digits in lower case, so that the upper-cased media number shown to
        // the user differs from the stored one.
        for (;;) {
            const QString card = QStringLiteral("%1").arg(quint32(m_rng.next() & 0xffffffffu), 8, 16, QLatin1Char('0'));
            if (!used.contains(card)) {
                used.insert(card);
                return card;
            }
        }
    }

    QString mediaId(const QString &card)
    {
        return QString::fromLatin1(m_rng.pick(MediaPrefixes)) + card +
               QStringLiteral("%1").arg(m_rng.below(100), 2, 10, QLatin1Char('0'));
    }

    bool fillEmployees()
    {
        const int count = std::max(0, m_options.employees);
        const bool history = m_options.historyDays > 0;
        const QDate today = m_now.date();
        QSet<QString> cards;
        m_employees.reserve(std::size_t(count));
        for (int i = 0; i < count; ++i) {
            Employee e;
            e.id = 1001 + i;
            e.lastName = QString::fromUtf8(m_rng.pick(LastNames));
            e.firstName = QString::fromUtf8(m_rng.pick(FirstNames));
            e.department = 1 + m_rng.below(m_departments);
            e.saturdays = e.department == SecurityDepartment;
            e.startMinute = e.saturdays ? m_rng.range(360, 420) : m_rng.range(420, 540);
            e.idNo = mediaId(newCard(cards));
            if (history) {
                e.noClockings = i % 37 == 5;
                if (i % 9 == 2) {
                    e.oldIdNo = mediaId(newCard(cards));
                    e.changeDate = today.addDays(-m_rng.range(1, m_options.historyDays));
                }
                if (m_rng.chance(0.08)) {
                    e.absentFrom = today.addDays(-m_rng.range(0, m_options.historyDays));
                    e.absentDays = m_rng.range(3, 10);
                    e.absentActivity = m_rng.chance(0.33) ? CDemoDatabase::AnnualLeave : CDemoDatabase::SickLeave;
                }
            }
            m_employees.push_back(e);
        }

        QSqlQuery emp(m_db);
        QSqlQuery media(m_db);
        if (!emp.prepare(QStringLiteral("insert into tblZaposleni (IDZaposlenog, Prezime, Ime, IDSektora, "
                                        "RadiSubotom, Fotografija) values (?, ?, ?, ?, ?, ?)")) ||
            !media.prepare(QStringLiteral("insert into tblMediaID (IDMedia, IDZaposlenog, IDNo, VaziOd, VaziDo) "
                                          "values (?, ?, ?, ?, ?)")))
            return fail(m_db.lastError().text());
        const QString longAgo = stamp(today.addDays(-std::max(0, m_options.historyDays) - 400), 0, 0);
        int mediaKey = 1;
        for (const Employee &e : m_employees) {
            QVariant photo = QVariant(QMetaType(QMetaType::QByteArray));
            if (m_options.photographs) {
                const QByteArray jpeg =
                    CDemoDatabase::photograph(e.firstName, e.lastName, m_options.seed * 7919u + quint32(e.id));
                if (jpeg.isEmpty())
                    return fail(CStringTable::text(QStringLiteral("demodb.error.photo")));
                photo = jpeg;
            }
            emp.bindValue(0, e.id);
            emp.bindValue(1, e.lastName);
            emp.bindValue(2, e.firstName);
            emp.bindValue(3, e.department);
            emp.bindValue(4, e.saturdays ? 1 : 0);
            emp.bindValue(5, photo);
            if (!emp.exec())
                return fail(emp.lastError().text());
            const QVariant noEnd = QVariant(QMetaType(QMetaType::QString));
            if (!e.oldIdNo.isEmpty()) {
                const QString change = stamp(e.changeDate, 0, 0);
                if (!bindMedia(media, mediaKey++, e.id, e.oldIdNo, longAgo, change) ||
                    !bindMedia(media, mediaKey++, e.id, e.idNo, change, noEnd))
                    return false;
            } else if (!bindMedia(media, mediaKey++, e.id, e.idNo, longAgo, noEnd)) {
                return false;
            }
        }
        return true;
    }

    bool bindMedia(QSqlQuery &q, int key, int employee, const QString &idNo, const QString &from, const QVariant &to)
    {
        q.bindValue(0, key);
        q.bindValue(1, employee);
        q.bindValue(2, idNo);
        q.bindValue(3, from);
        q.bindValue(4, to);
        if (!q.exec())
            return fail(q.lastError().text());
        return true;
    }

    // One working day of an employee, in order of time; stops at now.
    void workingDay(const Employee &e, const QDate &day, std::vector<Registration> &out)
    {
        std::vector<std::pair<int, int>> events; // minute of day, activity
        int t = e.startMinute + m_rng.range(-15, 20);
        events.push_back({t, CDemoDatabase::Arrival});
        const int end = t + 480 + m_rng.range(-20, 40);
        if (m_rng.chance(0.08)) {
            t += m_rng.range(60, 180);
            events.push_back({t, m_rng.chance(0.8) ? int(CDemoDatabase::BusinessTrip) : int(CDemoDatabase::Training)});
            if (m_rng.chance(0.5)) {
                t += m_rng.range(120, 240);
                events.push_back({t, CDemoDatabase::Arrival});
                events.push_back({std::max(t + 30, end), CDemoDatabase::Departure});
            }
        } else {
            if (m_rng.chance(0.6)) {
                const int b = std::max(t + 60, 690 + m_rng.range(0, 60));
                if (b < end - 60) {
                    events.push_back({b, CDemoDatabase::Break});
                    t = b + m_rng.range(20, 35);
                    events.push_back({t, CDemoDatabase::BreakReturn});
                }
            }
            if (m_rng.chance(0.12)) {
                static const int kinds[] = {CDemoDatabase::Doctor, CDemoDatabase::OfficialExit,
                                            CDemoDatabase::PrivateExit};
                const int x = t + m_rng.range(30, 120);
                if (x < end - 90) {
                    events.push_back({x, m_rng.pick(kinds)});
                    t = x + m_rng.range(30, 60);
                    events.push_back({t, CDemoDatabase::Arrival});
                }
            }
            if (m_rng.chance(0.08)) {
                events.push_back({end, CDemoDatabase::Overtime});
                events.push_back({end + m_rng.range(60, 150), CDemoDatabase::Departure});
            } else {
                events.push_back({end, CDemoDatabase::Departure});
            }
        }
        add(e, day, events, out);
    }

    void add(const Employee &e, const QDate &day, const std::vector<std::pair<int, int>> &events,
             std::vector<Registration> &out)
    {
        const QString &card = !e.oldIdNo.isEmpty() && day < e.changeDate ? e.oldIdNo : e.idNo;
        for (const auto &[minute, activity] : events) {
            const QString time = stamp(day, minute, m_rng.below(60));
            if (time > m_nowStamp)
                return;
            // Now and then a clocking entered by hand (no terminal), a system entry that the
            // report leaves out, or one marked invisible.
            QVariant terminal = 1 + m_rng.below(4);
            if (m_rng.chance(0.02))
                terminal = QVariant(QMetaType(QMetaType::Int));
            else if (m_rng.chance(0.01))
                terminal = 4001;
            out.push_back({time, e.id, CDemoDatabase::cardOf(card), activity, terminal, m_rng.chance(0.01) ? 1 : 0});
        }
    }

    bool fillRegistrations()
    {
        std::vector<Registration> regs;
        const QDate today = m_now.date();
        if (m_options.historyDays <= 0) {
            // One recent clocking each.
            static const int kinds[] = {CDemoDatabase::Arrival,      CDemoDatabase::Arrival,
                                        CDemoDatabase::Departure,    CDemoDatabase::Break,
                                        CDemoDatabase::BusinessTrip, CDemoDatabase::BreakReturn,
                                        CDemoDatabase::OfficialExit};
            regs.reserve(m_employees.size());
            for (const Employee &e : m_employees)
                regs.push_back({stamp(m_now.addSecs(-qint64(m_rng.range(0, 36 * 3600)))), e.id,
                                CDemoDatabase::cardOf(e.idNo), m_rng.pick(kinds), 1 + m_rng.below(4), 0});
        } else {
            for (const Employee &e : m_employees) {
                if (e.noClockings)
                    continue;
                for (QDate day = today.addDays(-m_options.historyDays); day <= today; day = day.addDays(1)) {
                    if (e.absentDays > 0 && day >= e.absentFrom && day < e.absentFrom.addDays(e.absentDays)) {
                        if (day == e.absentFrom)
                            add(e, day, {{m_rng.range(420, 480), e.absentActivity}}, regs);
                        continue;
                    }
                    const int type = dayTypeOf(day);
                    if (type == CDemoDatabase::Holiday)
                        continue;
                    if (type == CDemoDatabase::Sunday) {
                        if (e.saturdays && m_rng.chance(0.3)) {
                            const int start = m_rng.range(420, 540);
                            add(e, day,
                                {{start, CDemoDatabase::WeekendDuty},
                                 {start + m_rng.range(240, 480), CDemoDatabase::Departure}},
                                regs);
                        }
                        continue;
                    }
                    if (type == CDemoDatabase::Saturday && !e.saturdays)
                        continue;
                    if (m_rng.chance(0.04))
                        continue;
                    workingDay(e, day, regs);
                }
            }
            // A few employees whose newest clocking is a calendar activity (shown without a
            // description).
            for (size_t i = 11; i < m_employees.size(); i += 53) {
                const Employee &e = m_employees[i];
                if (!e.noClockings)
                    add(e, today.addDays(-1), {{23 * 60 + 30, CDemoDatabase::PublicHolidayLeave}}, regs);
            }
        }
        std::stable_sort(regs.begin(), regs.end(), [](const Registration &a, const Registration &b) {
            return a.time != b.time ? a.time < b.time : a.employee < b.employee;
        });

        QSqlQuery q(m_db);
        if (!q.prepare(QStringLiteral("insert into tblReg (IDReg, IDNo, TerminalskoVremeRegistracije, "
                                      "IDLogickeAktivnosti, IDHACT, Nevidljiva) values (?, ?, ?, ?, ?, ?)")))
            return fail(q.lastError().text());
        QHash<int, const Registration *> last;
        int key = 1;
        for (const Registration &r : regs) {
            q.bindValue(0, key++);
            q.bindValue(1, r.card);
            q.bindValue(2, r.time);
            q.bindValue(3, r.activity);
            q.bindValue(4, r.terminal);
            q.bindValue(5, r.invisible);
            if (!q.exec())
                return fail(q.lastError().text());
            last.insert(r.employee, &r);
        }

        std::vector<QVariantList> rows;
        for (const Employee &e : m_employees)
            if (const Registration *r = last.value(e.id))
                rows.push_back({e.id, r->time, r->activity});
        return insert(QStringLiteral("insert into tblLastReg (IDZaposlenog, DatumLastReg, IDLogickeAktivnosti) "
                                     "values (?, ?, ?)"),
                      rows);
    }

    QString personName()
    {
        return QString::fromUtf8(m_rng.pick(FirstNames)) + QLatin1Char(' ') + QString::fromUtf8(m_rng.pick(LastNames));
    }

    int anyHost()
    {
        return m_employees.empty() ? 0 : m_employees[std::size_t(m_rng.below(int(m_employees.size())))].id;
    }

    bool fillGuests()
    {
        std::vector<QVariantList> rows;
        for (size_t i = 0; i < std::size(Partners); ++i)
            rows.push_back({int(i + 1), QString::fromUtf8(Partners[i])});
        if (!insert(QStringLiteral("insert into tblPartner (IDPartnera, PartnerFullName) values (?, ?)"), rows))
            return false;

        std::vector<GuestEvent> events;
        const QDate today = m_now.date();
        const int partners = int(std::size(Partners));
        for (int back = std::min(m_options.historyDays, 14); back >= 1; --back) {
            const QDate day = today.addDays(-back);
            if (dayTypeOf(day) != CDemoDatabase::WorkingDay)
                continue;
            for (int n = m_rng.range(1, 3); n > 0; --n) {
                const int enter = m_rng.range(540, 900);
                events.push_back({stamp(day, enter, m_rng.below(60)),
                                  stamp(day, enter + m_rng.range(20, 180), m_rng.below(60)), 1 + m_rng.below(partners),
                                  personName(), demoText("reason", 1 + m_rng.below(kReasons)), anyHost()});
            }
        }
        // Today: some visitors inside, some already gone.
        for (int n = 0; n < 5; ++n) {
            const QDateTime enter = m_now.addSecs(-qint64(m_rng.range(10 * 60, 300 * 60)));
            QString exit;
            if (n >= 3) {
                QDateTime left = enter.addSecs(qint64(m_rng.range(5 * 60, 90 * 60)));
                exit = stamp(left > m_now ? m_now : left);
            }
            events.push_back({stamp(enter), exit, 1 + m_rng.below(partners), personName(),
                              demoText("reason", 1 + m_rng.below(kReasons)), anyHost()});
        }
        std::stable_sort(events.begin(), events.end(),
                         [](const GuestEvent &a, const GuestEvent &b) { return a.enter < b.enter; });
        rows.clear();
        int key = 1;
        for (const GuestEvent &g : events) {
            const QVariant host = g.host ? QVariant(g.host) : QVariant(QMetaType(QMetaType::Int));
            const QVariant exit = g.exit.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(g.exit);
            rows.push_back({key++, g.partner, g.guest, g.reason, host, g.enter, exit});
        }
        return insert(QStringLiteral("insert into tblPartnerEvent (IDEvent, IDPartnera, GuestName, ReasonDescription, "
                                     "IDZaposlenog, Enter, [Exit]) values (?, ?, ?, ?, ?, ?, ?)"),
                      rows);
    }

    bool fillDemoInfo()
    {
        std::vector<QVariantList> rows = {{QStringLiteral("version"), QString::fromLatin1(ContentVersion)},
                                          {QStringLiteral("seed"), QString::number(m_options.seed)},
                                          {QStringLiteral("built"), m_nowStamp}};
        // The visit reasons as written, so that a later language can find them.
        for (int i = 1; i <= kReasons; ++i)
            rows.push_back({QStringLiteral("reason.%1").arg(i), demoText("reason", i)});
        return insert(QStringLiteral("insert into zv_demo (name, value) values (?, ?)"), rows);
    }

    QSqlDatabase m_db;
    CDemoDatabase::DemoOptions m_options;
    Rng m_rng;
    QDateTime m_now;
    QString m_nowStamp;
    int m_departments = 1;
    std::vector<Employee> m_employees;
    QString m_error;
};

QString uniqueConnectionName(const char *purpose)
{
    static QAtomicInt counter;
    return QStringLiteral("zorvik-demodb-%1-%2").arg(QLatin1String(purpose)).arg(counter.fetchAndAddRelaxed(1));
}

void removeDatabaseFiles(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace

bool CDemoDatabase::openConnection(const QString &connectionName, const QString &path, QString *error,
                                   int busyTimeoutMs)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    // Another connection (the program, the clocking simulator) may hold the write lock briefly.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(std::max(0, busyTimeoutMs)));
    if (!db.open()) {
        if (error)
            *error = CStringTable::text(QStringLiteral("demodb.error.open")).arg(path, db.lastError().text());
        return false;
    }
    return true;
}

QString CDemoDatabase::procedureBody()
{
    // Today's rows stay; rows of another day and of removed employees go; employees without a
    // row get today's day type, a working day on Saturday for those who work Saturdays. Run on
    // an up-to-date table it changes nothing, so it is cheap to run before every read.
    return QStringLiteral(
        "delete from tblTekuciRadniDan where Datum <> (select Datum from zv_today) or IDZaposlenog not in "
        "(select IDZaposlenog from tblZaposleni);\n"
        "insert into tblTekuciRadniDan (IDZaposlenog, IDDana, Datum) select z.IDZaposlenog, case when t.IDDana = 2 "
        "and z.RadiSubotom <> 0 then 1 else t.IDDana end, t.Datum from tblZaposleni z cross join zv_today t where "
        "not exists (select 1 from tblTekuciRadniDan c where c.IDZaposlenog = z.IDZaposlenog)");
}

bool CDemoDatabase::runProcedure(const QString &connectionName, QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QSqlQuery q(db);
    QSqlError failure;
    if (CSqlDialect::runStoredBody(
            q, QLatin1String(CSqlDialect::DayTypeProcedure),
            [](QSqlQuery &query, const QString &statement) { return query.exec(statement); }, nullptr, &failure))
        return true;
    if (error)
        *error = failure.text();
    return false;
}

QString CDemoDatabase::guestName(quint64 random)
{
    Rng rng(random);
    return QString::fromUtf8(rng.pick(FirstNames)) + QLatin1Char(' ') + QString::fromUtf8(rng.pick(LastNames));
}

QString CDemoDatabase::visitReason(quint64 random)
{
    Rng rng(random);
    return demoText("reason", 1 + rng.below(kReasons));
}

bool CDemoDatabase::applyLanguage(const QString &path, QString *error)
{
    const QString name = uniqueConnectionName("language");
    bool ok = openConnection(name, path, error, 5000);
    if (ok) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        QSqlQuery q(db);
        auto run = [&](const QString &sql, const QVariantList &values) {
            if (!ok)
                return;
            q.prepare(sql);
            for (int i = 0; i < values.size(); ++i)
                q.bindValue(i, values.at(i));
            if (!q.exec()) {
                ok = false;
                if (error)
                    *error = q.lastError().text();
            }
        };
        db.transaction();
        for (int id = 1; id <= kActivities; ++id)
            run(QStringLiteral("update LogickaAktivnost set OpisLogAkt = ? where IDLogickeAktivnosti = ?"),
                {demoText("activity", id), id});
        for (int id = 1; id <= kGroups; ++id)
            run(QStringLiteral("update tblLogActGroup set NazivGrupe = ? where ID = ?"), {demoText("group", id), id});
        for (int day = WorkingDay; day <= Holiday; ++day)
            run(QStringLiteral("update tblRadniDan set NazivDana = ? where IDDana = ?"),
                {demoText("dayType", day), day});
        for (size_t i = 0; i < std::size(Holidays); ++i)
            run(QStringLiteral("update tblPraznik set NazivPraznika = ? where substr(Datum, 6) = ?"),
                {demoText("holiday", int(i) + 1), QStringLiteral("%1-%2")
                                                      .arg(Holidays[i].first, 2, 10, QLatin1Char('0'))
                                                      .arg(Holidays[i].second, 2, 10, QLatin1Char('0'))});
        QList<int> departments;
        if (ok && q.exec(QStringLiteral("select IDSektora from Sektor")))
            while (q.next())
                departments << q.value(0).toInt();
        for (int id : departments)
            run(QStringLiteral("update Sektor set NazivSektora = ? where IDSektora = ?"), {departmentName(id), id});
        // Reasons are texts of the visits themselves: each was written in the language the demo
        // spoke then, which zv_demo remembers.
        for (int i = 1; i <= kReasons; ++i) {
            const QString key = QStringLiteral("reason.%1").arg(i), now = demoText("reason", i);
            QString before;
            if (ok && q.exec(QStringLiteral("select value from zv_demo where name = '%1'").arg(key)) && q.next())
                before = q.value(0).toString();
            q.finish();
            if (before == now)
                continue;
            run(QStringLiteral("update tblPartnerEvent set ReasonDescription = ? where ReasonDescription = ?"),
                {now, before});
            run(QStringLiteral("insert or replace into zv_demo (name, value) values (?, ?)"), {key, now});
        }
        if (ok)
            ok = db.commit();
        else
            db.rollback();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QString CDemoDatabase::cardOf(const QString &idNo)
{
    return idNo.size() < 10 ? QString() : idNo.mid(idNo.size() - 10, 8);
}

QByteArray CDemoDatabase::photograph(const QString &firstName, const QString &lastName, quint32 colourSeed)
{
    const int width = 96;
    const int height = 120;
    Rng rng(colourSeed);
    const QColor background = QColor::fromHsv(rng.below(360), 80 + rng.below(100), 140 + rng.below(90));
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(background);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(background.darker(125));
        p.drawEllipse(QRectF(14, 84, 68, 72));
        p.drawEllipse(QRectF(30, 26, 36, 44));
        // Text needs the font database of a GUI application; without one the photograph is
        // the silhouette alone.
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(34);
            font.setBold(true);
            p.setFont(font);
            p.setPen(Qt::white);
            const QString initials = firstName.left(1).toUpper() + lastName.left(1).toUpper();
            p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, initials);
        }
    }
    unsigned char *out = nullptr;
    unsigned long size = 0;
    encodeRgb(image.constBits(), width, height, int(image.bytesPerLine()), 85, &out, &size);
    if (!out)
        return QByteArray();
    QByteArray jpeg(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return jpeg;
}

bool CDemoDatabase::build(const QString &path, const DemoOptions &options, QString *error)
{
    QString message;
    const QString part = path + QStringLiteral(".part");
    removeDatabaseFiles(part);
    const QString name = uniqueConnectionName("build");
    bool ok = openConnection(name, part, &message);
    if (ok) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        {
            // The file is thrown away on failure, so the build needs no durable journal.
            QSqlQuery q(db);
            q.exec(QStringLiteral("pragma journal_mode = memory"));
            q.exec(QStringLiteral("pragma synchronous = off"));
        }
        Builder builder(db, options);
        ok = builder.run();
        if (!ok)
            message = CStringTable::text(QStringLiteral("demodb.error.create")).arg(path, builder.error());
        if (ok && options.fixedToday && !runProcedure(name, &message))
            ok = false;
        if (ok) {
            // Write-ahead logging lets the clocking simulator write while the program reads.
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("pragma journal_mode = wal")) && q.next() &&
                 q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
            if (!ok)
                message = CStringTable::text(QStringLiteral("demodb.error.create")).arg(path, q.lastError().text());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (ok) {
        removeDatabaseFiles(path);
        if (QFile::exists(path) || !QFile::rename(part, path)) {
            message = CStringTable::text(QStringLiteral("demodb.error.replace")).arg(path);
            ok = false;
        }
    }
    if (!ok) {
        removeDatabaseFiles(part);
        if (error)
            *error = message;
    }
    return ok;
}

CDemoDatabase::DemoOptions CDemoDatabase::largeOptions(int employees)
{
    DemoOptions options;
    options.departments = 40;
    options.employees = employees;
    options.historyDays = 0;
    options.photographs = false;
    return options;
}

QString CDemoDatabase::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Orvane/ZorvikDemo/demo.sqlite");
}

QString CDemoDatabase::connectionString(const QString &path)
{
    return QStringLiteral("Provider=SQLite;Data Source=%1").arg(path);
}

bool CDemoDatabase::ensure(QString *path, QString *error)
{
    const QString target = defaultPath();
    if (path)
        *path = target;
    if (QFile::exists(target)) {
        // A demo of the current content version is kept; an older or damaged one is rebuilt.
        bool current = false;
        const QString name = uniqueConnectionName("check");
        if (openConnection(name, target, nullptr)) {
            QSqlQuery q(QSqlDatabase::database(name, false));
            current = q.exec(QStringLiteral("select value from zv_demo where name = 'version'")) && q.next() &&
                      q.value(0).toString() == QLatin1String(ContentVersion);
        }
        QSqlDatabase::removeDatabase(name);
        if (current)
            return true;
    }
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = CStringTable::text(QStringLiteral("demodb.error.folder")).arg(folder);
        return false;
    }
    return build(target, DemoOptions(), error);
}
