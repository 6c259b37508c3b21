#include "reports/CLastActQuery.h"

#include "app/CStringTable.h"
#include "db/CDbConnection.h"
#include "db/CDbCursor.h"
#include "db/CReferenceData.h"
#include "db/CSqlDialect.h"
#include "reports/CReportItem.h"

#include <QMutexLocker>
#include <cmath>

namespace {

const QString kRed = QStringLiteral("[%red%]");

QString scratch()
{
    return QString::fromLatin1(CLastActQuery::ScratchTable);
}

// Appends the text of column of every row of an open cursor, from its first row.
void readColumn(CDbCursor *cursor, const QString &column, QStringList &out)
{
    out.clear();
    for (cursor->moveFirst(); !cursor->isEOF(); cursor->moveNext()) {
        QString text;
        cursor->getFieldText(column, text);
        out << text;
    }
}

QString fieldText(CDbCursor &cursor, const QString &column)
{
    QString text;
    cursor.getFieldText(column, text);
    return text;
}

} // namespace

CLastActQuery::CLastActQuery(const CLastActRequest &request, const CLastActLists &lists)
    : m_request(request), m_lists(lists)
{
}

CLastActLists CLastActQuery::readLists(CReferenceData &reference, const CLastActRequest &request)
{
    CLastActLists lists;
    QMutexLocker<CDbMutex> lock(&reference.dbMutex);
    if (CDbCursor *c = reference.cursor(CReferenceData::ActivityCursor); c && c->isOpen()) {
        readColumn(c, QStringLiteral("IDLogickeAktivnosti"), lists.activityIds);
        readColumn(c, QStringLiteral("OpisLogAkt"), lists.activityNames);
    }
    if (CDbCursor *c = reference.cursor(CReferenceData::ActivityGroupCursor); c && c->isOpen())
        readColumn(c, QStringLiteral("ID"), lists.groupIds);
    if (CDbCursor *c = reference.cursor(CReferenceData::DepartmentCursor); c && c->isOpen()) {
        readColumn(c, QStringLiteral("IDSektora"), lists.departmentIds);
        readColumn(c, QStringLiteral("NazivSektora"), lists.departmentNames);
    }
    // The member cursor is shared as well, so its filter is applied and cleared under the same
    // hold rather than after it.
    if (request.byGroup && request.group >= 0 && request.group < lists.groupIds.size()) {
        CDbCursor *members = reference.cursor(CReferenceData::ActivityGroupMemberCursor);
        if (members && members->isOpen()) {
            members->setFilter(QStringLiteral("ID = ") + CSqlDialect::literal(lists.groupIds.at(request.group)));
            readColumn(members, QStringLiteral("LogActID"), lists.groupMembers);
            members->setFilter(QString());
            lists.membersRead = true;
        }
    }
    return lists;
}

QString CLastActQuery::templateName() const
{
    static const char *const names[2][2] = {{"Presences.rpt", "PresencesCal.rpt"},
                                            {"PresencesGroups.rpt", "PresencesGroupsCal.rpt"}};
    return QLatin1String(names[m_request.byGroup][m_request.showDayType]);
}

QString CLastActQuery::activityClause() const
{
    const CLastActRequest &r = m_request;
    if (r.byGroup && r.group >= 0 && r.group < m_lists.groupIds.size()) {
        if (!m_lists.membersRead)
            return QStringLiteral("and LogickaAktivnost.IDLogickeAktivnosti is null");
        // "in ()" does not parse. Outside an empty group is every activity; inside it is none,
        // and then no statement runs at all (groupWithoutActivities()).
        if (m_lists.groupMembers.isEmpty())
            return QString();
        QStringList quoted;
        for (const QString &id : m_lists.groupMembers)
            quoted << CSqlDialect::literal(id);
        const QString list = quoted.join(QStringLiteral(", "));
        return QStringLiteral("and LogickaAktivnost.IDLogickeAktivnosti ") +
               (r.invertGroup ? QStringLiteral("NOT IN") : QStringLiteral("IN")) + QStringLiteral(" (") + list + u')';
    }
    if (!r.byGroup && r.activity >= 0 && r.activity < m_lists.activityIds.size())
        return QStringLiteral("and LogickaAktivnost.IDLogickeAktivnosti ") +
               (r.invertActivity ? QStringLiteral("<>") : QStringLiteral("=")) + u' ' +
               CSqlDialect::literal(m_lists.activityIds.at(r.activity));
    return QString();
}

bool CLastActQuery::groupWithoutActivities() const
{
    const CLastActRequest &r = m_request;
    return r.byGroup && !r.invertGroup && r.group >= 0 && r.group < m_lists.groupIds.size() && m_lists.membersRead &&
           m_lists.groupMembers.isEmpty();
}

QString CLastActQuery::departmentClause() const
{
    QStringList ids;
    for (int p : m_request.departments)
        if (p >= 0 && p < m_lists.departmentIds.size())
            ids << CSqlDialect::literal(m_lists.departmentIds.at(p));
    if (ids.isEmpty())
        return QString();
    return QStringLiteral("and viewMediaIDHist.IDSektora in (") + ids.join(QStringLiteral(", ")) + u')';
}

QString CLastActQuery::employeeClause() const
{
    if (m_request.employeeKeys.isEmpty())
        return QString();
    QStringList keys;
    for (const QString &k : m_request.employeeKeys)
        keys << CSqlDialect::literal(k);
    return QStringLiteral(" and viewMediaIDHist.IDZaposlenog in (") + keys.join(u',') + QStringLiteral(") ");
}

QString CLastActQuery::orderClause() const
{
    QString o;
    switch (m_request.sort) {
    case 1:
        o = QStringLiteral("viewMediaIDHist.NazivSektora, qry1.LastActTime desc, viewMediaIDHist.Prezime, "
                           "viewMediaIDHist.Ime");
        break;
    case 2:
        o = QStringLiteral("viewMediaIDHist.Prezime, viewMediaIDHist.Ime");
        break;
    default:
        o = QStringLiteral("qry1.LastActTime desc, viewMediaIDHist.Prezime, viewMediaIDHist.Ime");
        break;
    }
    return m_request.byGroup ? QStringLiteral("GroupID, ") + o : o;
}

QString CLastActQuery::invisibleClause() const
{
    return m_request.showInvisible ? QString() : QStringLiteral("and t4.Nevidljiva = 0 ");
}

QString CLastActQuery::dropStatement() const
{
    return QStringLiteral("if object_id('tempdb..%1') is not null drop table %1").arg(scratch());
}

QString CLastActQuery::momentLiteral() const
{
    // ISO 8601 with the "T": SQL Server reads 'YYYY-MM-DD HH:MM:SS' as year-day-month under a
    // language or date format that puts the day first (british, deutsch, ...), this form the same
    // under every one.
    return m_request.moment.format(QStringLiteral("%Y-%m-%dT%H:%M:%S"));
}

QString CLastActQuery::statement1() const
{
    return QStringLiteral(
               "select t2.IDZaposlenog, t2.Prezime, t2.Ime, max(t3.TerminalskoVremeRegistracije) as LastActTime "
               "into %1 from viewMediaIDHist t2 join tblreg t3 on t3.IDNo = left( right( t2.IDNo, 10 ), 8 ) and "
               "t3.TerminalskoVremeRegistracije = ( select max(t4.TerminalskoVremeRegistracije) from tblReg t4 "
               "where t4.IDNo = left( right( t2.IDNo, 10 ), 8 ) and (t2.VaziDo > t4.TerminalskoVremeRegistracije "
               "or t2.VaziDo is null) and t4.TerminalskoVremeRegistracije <= '")
               .arg(scratch()) +
           momentLiteral() + QStringLiteral("' and (t4.IDHACT < 4000 or t4.IDHACT is null) ") + invisibleClause() +
           QStringLiteral(") group by t2.IDZaposlenog, t2.Prezime, t2.Ime ");
}

QString CLastActQuery::statement2() const
{
    const bool day = m_request.showDayType;
    // Pieces are appended rather than substituted, so that no text of a clause is read as a
    // placeholder.
    return QStringLiteral(
               "select t1.TerminalskoVremeRegistracije, t1.IDLogickeAktivnosti, LogickaAktivnost.OpisLogAkt, "
               "viewMediaIDHist.Prezime, viewMediaIDHist.Ime, viewMediaIDHist.IDSektora, "
               "viewMediaIDHist.NazivSektora, tblLogActGroup.ID as GroupID ") +
           (day ? QStringLiteral(", tblRadniDan.NazivDana ") : QString()) + QStringLiteral(" from ") + scratch() +
           QStringLiteral(" qry1 join viewMediaIDHist on viewMediaIDHist.IDZaposlenog = qry1.IDZaposlenog and "
                          "(viewMediaIDHist.VaziDo > qry1.LastActTime or viewMediaIDHist.VaziDo is null) ") +
           departmentClause() + u' ' + employeeClause() +
           QStringLiteral(" join tblReg t1 on t1.IDNo = left( right( viewMediaIDHist.IDNo, 10 ), 8 ) and "
                          "t1.TerminalskoVremeRegistracije = qry1.LastActTime and t1.IDReg = (select "
                          "max(tblReg.IDReg) from tblReg where t1.IDNo = tblReg.IDNo and "
                          "t1.TerminalskoVremeRegistracije = tblReg.TerminalskoVremeRegistracije) join "
                          "LogickaAktivnost on LogickaAktivnost.IdLogickeAktivnosti = t1.IDLogickeAktivnosti ") +
           activityClause() +
           QStringLiteral(" left join tblLogActGroupDet on tblLogActGroupDet.LogActID = "
                          "LogickaAktivnost.IdLogickeAktivnosti left join tblLogActGroup on tblLogActGroup.ID = "
                          "tblLogActGroupDet.ID ") +
           (day ? QStringLiteral("left join view_TekuciRadniDan on view_TekuciRadniDan.IDZaposlenog = "
                                 "viewMediaIDHist.IDZaposlenog left join tblRadniDan on tblRadniDan.IDDana = "
                                 "view_TekuciRadniDan.IDDana ")
                : QString()) +
           QStringLiteral(" order by ") + orderClause() + u' ';
}

QString CLastActQuery::subTitle() const
{
    const CLastActRequest &r = m_request;
    QString what, value;
    if (r.byGroup) {
        what = S(1088);
        if (r.group < 0 || r.group >= m_lists.groupIds.size())
            value = S(1092);
        else
            value = (r.invertGroup ? QStringLiteral("-") : QString()) + m_lists.groupIds.at(r.group);
    } else {
        what = S(1075);
        if (r.activity < 0 || r.activity >= m_lists.activityNames.size())
            value = S(1093);
        else
            value = (r.invertActivity ? QStringLiteral("-") : QString()) + m_lists.activityNames.at(r.activity);
    }
    QStringList names;
    for (int p : r.departments)
        if (p >= 0 && p < m_lists.departmentNames.size())
            names << m_lists.departmentNames.at(p);
    const QString departments = names.isEmpty() ? S(1094) : names.join(QStringLiteral(", "));
    return what + QStringLiteral(": ") + value + QStringLiteral("   ") + S(1082) + QStringLiteral(": ") + departments;
}

long long CLastActQuery::ageMinutes(const CDateTime &moment, const CDateTime &registered)
{
    double d = moment.days() - registered.days();
    d += d >= 0 ? CDateTime::kHalfSecond : -CDateTime::kHalfSecond;
    return static_cast<long long>(std::trunc(d * 1440.0));
}

QString CLastActQuery::formatRow(int number, const Values &v) const
{
    const bool late = ageMinutes(m_request.moment, v.registered) > 1440;
    // What the database holds prints as typed.
    QStringList cells{QString::number(number),
                      late ? v.time + QStringLiteral(" *") : v.time,
                      CReportItem::literal(v.lastName),
                      CReportItem::literal(v.firstName),
                      CReportItem::literal(v.department),
                      CReportItem::literal(v.activity)};
    if (m_request.showDayType)
        cells << CReportItem::literal(v.dayType);
    if (m_request.byGroup)
        cells << CReportItem::literal(v.group);
    if (late)
        for (QString &c : cells)
            c.prepend(kRed);
    return cells.join(u'|');
}

bool CLastActQuery::fetch(CDbConnection &connection, QStringList &rows, QString *error) const
{
    rows.clear();
    if (groupWithoutActivities())
        return true;
    QString failure, record;
    if (m_request.showDayType && !connection.runProcedure(QLatin1String(CSqlDialect::DayTypeProcedure), nullptr,
                                                          &record, nullptr, "CDbConnection", &failure)) {
        if (error)
            *error = failure;
        return false;
    }
    // The scratch table lives in this thread's session. When another thread reopened the
    // connection between the statements (the polling thread after a failed cycle), the session
    // that made the table is gone: the report is read once more, whole, in the new one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        quint64 session = 0;
        if (readRows(connection, rows, &failure, &session))
            return true;
        rows.clear();
        if (session == connection.session())
            break;
    }
    // The report is empty when a statement fails, and the user is told why.
    if (error)
        *error = failure;
    return true;
}

bool CLastActQuery::readRows(CDbConnection &connection, QStringList &rows, QString *failure, quint64 *session) const
{
    // The statements that make and read the scratch table go as batches, since a prepared one
    // runs in a scope of its own that drops the table when it returns. S2 would only fail
    // after a failed S1.
    constexpr auto batch = CDbConnection::Send::Batch;
    const bool dropped = connection.execute(dropStatement(), batch, failure);
    *session = connection.session();
    if (!dropped || !connection.execute(statement1(), batch, failure))
        return false;
    CDbCursor cursor(&connection);
    if (!cursor.open(statement2(), CDbCursor::Query, batch)) {
        *failure = cursor.lastErrorText().section(u'\n', 1);
        return false;
    }
    const QString timeCol = QStringLiteral("TerminalskoVremeRegistracije");
    int n = 0;
    for (cursor.moveFirst(); !cursor.isEOF(); cursor.moveNext()) {
        Values v;
        v.time = fieldText(cursor, timeCol);
        v.activity = fieldText(cursor, QStringLiteral("OpisLogAkt"));
        v.firstName = fieldText(cursor, QStringLiteral("Ime"));
        v.lastName = fieldText(cursor, QStringLiteral("Prezime"));
        v.department = fieldText(cursor, QStringLiteral("NazivSektora"));
        if (m_request.showDayType)
            v.dayType = fieldText(cursor, QStringLiteral("NazivDana"));
        v.group = fieldText(cursor, QStringLiteral("GroupID"));
        cursor.getFieldDateTime(timeCol, v.registered);
        rows << formatRow(++n, v);
    }
    return true;
}
