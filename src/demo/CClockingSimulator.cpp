#include "demo/CClockingSimulator.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "demo/CDemoDatabase.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

QString nowStamp()
{
    return CClock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// Runs a query with positional values; the query is left on its result.
bool run(QSqlQuery &q, const QString &sql, const QVariantList &values = {})
{
    if (!q.prepare(sql))
        return false;
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    return q.exec();
}

} // namespace

CClockingSimulator::CClockingSimulator(const QString &databasePath, QObject *parent)
    : QObject(parent), m_path(databasePath), m_random(QRandomGenerator::securelySeeded())
{
    static QAtomicInt counter;
    m_connectionName = QStringLiteral("zorvik-simulator-%1").arg(counter.fetchAndAddRelaxed(1));
    m_timer.setInterval(4000);
    connect(&m_timer, &QTimer::timeout, this, [this] { step(); });
}

CClockingSimulator::~CClockingSimulator()
{
    close();
}

void CClockingSimulator::setInterval(int milliseconds)
{
    m_timer.setInterval(std::max(1, milliseconds));
}

void CClockingSimulator::start()
{
    m_timer.start();
}

void CClockingSimulator::stop()
{
    m_timer.stop();
}

bool CClockingSimulator::open()
{
    if (QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen())
        return true;
    close();
    // Opening a missing file would create an empty database in its place.
    if (!QFileInfo::exists(m_path))
        return fail(CStringTable::text(QStringLiteral("demodb.error.missing")).arg(m_path));
    QString error;
    if (!CDemoDatabase::openConnection(m_connectionName, m_path, &error, m_busyTimeout))
        return fail(error);
    // Made-up clockings need no flush to the disk at every commit (the write-ahead log keeps the
    // file whole): a step then takes a millisecond, not a disk's round trip, on whichever thread
    // runs it, and holds the write lock no longer than that.
    QSqlQuery(QSqlDatabase::database(m_connectionName, false)).exec(QStringLiteral("pragma synchronous = normal"));
    return true;
}

void CClockingSimulator::close()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool CClockingSimulator::fail(const QString &text)
{
    m_error = text;
    return false;
}

bool CClockingSimulator::step()
{
    if (!open()) {
        close();
        return false;
    }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        QSqlQuery q(db);
        // Take the write lock at once: a deferred transaction that later needs it could fail
        // without waiting for the busy time-out.
        if (!q.exec(QStringLiteral("begin immediate")))
            return fail(q.lastError().text());
        ok = addClocking(db);
        if (ok && m_random.generateDouble() < m_guestProbability)
            ok = moveGuests(db);
        QSqlQuery end(db);
        if (ok) {
            ok = end.exec(QStringLiteral("commit"));
            if (!ok)
                fail(end.lastError().text());
        }
        if (!ok)
            end.exec(QStringLiteral("rollback"));
    }
    if (!ok)
        close();
    else
        m_error.clear();
    return ok;
}

bool CClockingSimulator::addClocking(QSqlDatabase &db)
{
    QSqlQuery q(db);
    // The active media alone (viewMediaIDActive without its names): the employee rows, with
    // their photographs, are not walked for every clocking of a large site.
    if (!run(q, QStringLiteral("select count(*) from tblMediaID where VaziDo is null")) || !q.next())
        return fail(q.lastError().text());
    const int count = q.value(0).toInt();
    if (count <= 0)
        return true;
    if (!run(q,
             QStringLiteral("select IDZaposlenog, IDNo from tblMediaID where VaziDo is null order by IDZaposlenog "
                            "limit 1 offset ?"),
             {int(m_random.bounded(count))}) ||
        !q.next())
        return fail(q.lastError().text());
    const int employee = q.value(0).toInt();
    const QString card = CDemoDatabase::cardOf(q.value(1).toString());

    if (!run(q, QStringLiteral("select IDLogickeAktivnosti from tblLastReg where IDZaposlenog = ?"), {employee}))
        return fail(q.lastError().text());
    const int last = q.next() ? q.value(0).toInt() : 0;

    int activity = 0;
    bool forbidden = false;
    if (m_random.generateDouble() < m_illegalProbability) {
        QString error;
        if (!CDemoDatabase::runProcedure(m_connectionName, &error))
            return fail(error);
        if (!run(q,
                 QStringLiteral(
                     "select n.IDLogickeAktivnosti from view_TekuciRadniDan d join tblNedozvoljeneAktivnosti n "
                     "on n.IDDana = d.IDDana where d.IDZaposlenog = ? order by n.IDLogickeAktivnosti"),
                 {employee}))
            return fail(q.lastError().text());
        QList<int> choices;
        while (q.next())
            choices.append(q.value(0).toInt());
        if (!choices.isEmpty()) {
            activity = choices.at(int(m_random.bounded(int(choices.size()))));
            forbidden = true;
        }
    }
    if (!activity) {
        // What usually follows the last clocking.
        switch (last) {
        case CDemoDatabase::Arrival:
        case CDemoDatabase::BreakReturn: {
            static const int next[] = {CDemoDatabase::Break,       CDemoDatabase::Break,   CDemoDatabase::Departure,
                                       CDemoDatabase::Departure,   CDemoDatabase::Doctor,  CDemoDatabase::OfficialExit,
                                       CDemoDatabase::PrivateExit, CDemoDatabase::Overtime};
            activity = next[m_random.bounded(int(std::size(next)))];
            break;
        }
        case CDemoDatabase::Break:
            activity = CDemoDatabase::BreakReturn;
            break;
        case CDemoDatabase::Overtime:
        case CDemoDatabase::WeekendDuty:
            activity = CDemoDatabase::Departure;
            break;
        default:
            activity = CDemoDatabase::Arrival;
            break;
        }
    }

    const QString time = nowStamp();
    if (!run(q,
             QStringLiteral("insert into tblReg (IDNo, TerminalskoVremeRegistracije, IDLogickeAktivnosti, IDHACT, "
                            "Nevidljiva) values (?, ?, ?, ?, 0)"),
             {card, time, activity, int(1 + m_random.bounded(4))}))
        return fail(q.lastError().text());
    if (!run(q,
             QStringLiteral("insert into tblLastReg (IDZaposlenog, DatumLastReg, IDLogickeAktivnosti) values (?, ?, ?) "
                            "on conflict (IDZaposlenog) do update set DatumLastReg = excluded.DatumLastReg, "
                            "IDLogickeAktivnosti = excluded.IDLogickeAktivnosti"),
             {employee, time, activity}))
        return fail(q.lastError().text());
    emit clocked(QString::number(employee), QString::number(activity), forbidden);
    return true;
}

bool CClockingSimulator::moveGuests(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!run(q, QStringLiteral("select count(*) from tblPartnerEvent where [Exit] is null")) || !q.next())
        return fail(q.lastError().text());
    const int inside = q.value(0).toInt();
    const QString time = nowStamp();
    const bool arrive = inside < 2 || (inside < 12 && m_random.generateDouble() < 0.5);
    if (!arrive) {
        if (!run(q,
                 QStringLiteral("update tblPartnerEvent set [Exit] = ? where IDEvent = (select IDEvent from "
                                "tblPartnerEvent where [Exit] is null order by IDEvent limit 1 offset ?)"),
                 {time, int(m_random.bounded(inside))}))
            return fail(q.lastError().text());
        return true;
    }
    if (!run(q, QStringLiteral("select (select count(*) from tblPartner), (select count(*) from tblMediaID where "
                               "VaziDo is null)")) ||
        !q.next())
        return fail(q.lastError().text());
    const int partners = q.value(0).toInt();
    const int employees = q.value(1).toInt();
    if (partners <= 0)
        return true;
    const QString sql = QStringLiteral(
        "insert into tblPartnerEvent (IDPartnera, GuestName, ReasonDescription, IDZaposlenog, Enter, [Exit]) values "
        "((select IDPartnera from tblPartner order by IDPartnera limit 1 offset ?), ?, ?, (select IDZaposlenog from "
        "tblZaposleni order by IDZaposlenog limit 1 offset ?), ?, null)");
    if (!run(q, sql,
             {int(m_random.bounded(partners)), CDemoDatabase::guestName(m_random.generate64()),
              CDemoDatabase::visitReason(m_random.generate64()), int(m_random.bounded(std::max(1, employees))), time}))
        return fail(q.lastError().text());
    return true;
}
