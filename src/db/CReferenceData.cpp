#include "db/CReferenceData.h"

#include "app/CStringTable.h"
#include "db/CConnectionString.h"
#include "db/CSqlDialect.h"
#include "db/DbLog.h"

CReferenceData::CReferenceData()
{
    for (auto &c : m_cursors)
        c = std::make_unique<CDbCursor>(&m_connection);
}

CReferenceData::~CReferenceData()
{
    closeAll();
}

QString CReferenceData::buildGuestsQuery()
{
    // Captions are literals: "Heure d'arrivée" must not end the text early.
    const auto caption = [](int id) { return CSqlDialect::literal(S(id)); };
    return QStringLiteral("select PartnerFullName as %1, GuestName as %2, ReasonDescription as %3, "
                          "(LastName + ' ' + FirstName) as %4, Enter as %5 from ViewPartnerEvents where [Exit] "
                          "is NULL order by Enter")
        .arg(caption(1066), caption(1067), caption(1068), caption(1070), caption(1069));
}

QString CReferenceData::queryText(Cursor c) const
{
    switch (c) {
    case EmployeeCursor:
        // Everything but the photograph: a panel reads those it shows when it shows them, so
        // that a large site does not keep every employee's picture in memory.
        return QStringLiteral("select IDZaposlenog, Prezime, Ime, IDNo, IDSektora from viewPhoto order by "
                              "viewPhoto.Prezime, viewPhoto.Ime, viewPhoto.IDZaposlenog ");
    case DepartmentCursor:
        return QStringLiteral("select * from Sektor order by NazivSektora");
    case ActivityCursor:
        return QStringLiteral("select IDLogickeAktivnosti, OpisLogAkt from LogickaAktivnost where Kalendarska = 0 "
                              "order by OpisLogAkt");
    case ActivityGroupCursor:
        return QStringLiteral("select ID from tblLogActGroup order by ID");
    case ActivityGroupMemberCursor:
        return QStringLiteral("select ID, LogActID from tblLogActGroupDet order by ID, LogActID");
    case LastRegistrationCursor:
        return QStringLiteral("select IDZaposlenog, DatumLastReg, IDLogickeAktivnosti from tblLastReg order by "
                              "IDZaposlenog");
    case GuestCursor:
        return m_guestsQuery.isEmpty() ? buildGuestsQuery() : m_guestsQuery;
    case IllegalActivityCursor:
        return QStringLiteral("select IDDana, IDLogickeAktivnosti from tblNedozvoljeneAktivnosti");
    case CurrentDayCursor:
        return QStringLiteral("select IDZaposlenog, IDDana from view_TekuciRadniDan");
    case CursorCount:
        break;
    }
    return QString();
}

void CReferenceData::rebind(Cursor c)
{
    m_cursors[c] = std::make_unique<CDbCursor>(&m_connection);
}

bool CReferenceData::reopen(Cursor c)
{
    if (m_cursors[c])
        m_cursors[c]->close();
    rebind(c);
    return m_cursors[c]->open(queryText(c));
}

std::unique_ptr<CDbCursor> CReferenceData::readFresh(Cursor c, qsizetype sizeHint, std::shared_ptr<const CDbTable> like)
{
    auto cursor = std::make_unique<CDbCursor>(&m_connection);
    cursor->setSizeHint(sizeHint, std::move(like));
    // The update pass filters these by employee: indexed here, off the interface thread.
    if (cursor->open(queryText(c)) && (c == LastRegistrationCursor || c == CurrentDayCursor || c == EmployeeCursor))
        cursor->prepareFilter(QStringLiteral("IDZaposlenog"));
    return cursor;
}

bool CReferenceData::open(const QString &connectionString, int *failureMessage)
{
    m_connectionString = connectionString;
    const QString server = CConnectionString::describe(connectionString);
    DbLog::setServer(server);
    auto fail = [&](int message) {
        databaseError = true;
        if (failureMessage)
            *failureMessage = message;
        qCWarning(lcZorvikDb, "Cannot open the database %s: %s", qPrintable(server),
                  qPrintable(CConnectionString::hidePasswords(m_connection.lastErrorDescription(), connectionString)));
        return false;
    };
    if (!m_connection.open(connectionString))
        return fail(1034);
    const struct
    {
        Cursor cursor;
        int message;
    } steps[] = {
        {DepartmentCursor, 1035},
        {EmployeeCursor, 1036},
        {ActivityCursor, 1037},
        {ActivityGroupCursor, 1087},
        {ActivityGroupMemberCursor, 1087},
        {LastRegistrationCursor, 1038},
    };
    for (const auto &step : steps)
        if (!reopen(step.cursor))
            return fail(step.message);
    // Every update pass looks employees up by key: indexed here, off the interface thread.
    m_cursors[EmployeeCursor]->prepareFilter(QStringLiteral("IDZaposlenog"));
    m_guestsQuery = buildGuestsQuery();
    if (!reopen(GuestCursor))
        guestsAvailable = false;
    if (!reopen(IllegalActivityCursor))
        return fail(1091);
    rebind(CurrentDayCursor);
    if (failureMessage)
        *failureMessage = 0;
    qCInfo(lcZorvikDb, "Connected to %s", qPrintable(server));
    return true;
}

void CReferenceData::buildMaps()
{
    if (databaseError)
        return;
    departmentMap.clear();
    activityColourMap.clear();
    activityMap.clear();
    // try_emplace keeps the first row of a key.
    CDbCursor *dep = cursor(DepartmentCursor);
    QString id, name;
    for (dep->moveFirst(); !dep->isEOF(); dep->moveNext()) {
        dep->getFieldText(QStringLiteral("IDSektora"), id);
        dep->getFieldText(QStringLiteral("NazivSektora"), name);
        departmentMap.try_emplace(id, name);
    }
    CDbCursor *act = cursor(ActivityCursor);
    for (act->moveFirst(); !act->isEOF(); act->moveNext()) {
        act->getFieldText(QStringLiteral("IDLogickeAktivnosti"), id);
        act->getFieldText(QStringLiteral("OpisLogAkt"), name);
        activityMap.try_emplace(id, name);
        activityColourMap.try_emplace(id, kColourWhite);
    }
}

void CReferenceData::closeAll()
{
    for (auto &c : m_cursors)
        if (c)
            c->close();
    m_connection.close();
}
