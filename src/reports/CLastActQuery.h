#pragma once

#include "db/CDateTime.h"
#include "db/CSqlDialect.h"

#include <QList>
#include <QString>
#include <QStringList>

class CDbConnection;
class CReferenceData;

// What the Last activity report is asked for: by the options dialog, or by a panel's Print.
struct CLastActRequest
{
    bool byGroup = false;
    int activity = -1;      // position in the activity list, -1 for all
    int group = -1;         // position in the group list, -1 for all
    QList<int> departments; // ticked department positions, ascending; empty for all
    CDateTime moment;
    int sort = 0; // 0 date and time, 1 department, 2 last name
    bool showInvisible = false;
    bool showDayType = false;
    bool invertActivity = false;
    bool invertGroup = false;
    QStringList employeeKeys; // empty for all employees
};

// The reference lists the report maps positions to, read from the shared cursors in row order,
// and the member activities of the chosen group.
struct CLastActLists
{
    QStringList activityIds, activityNames, groupIds, departmentIds, departmentNames;
    QStringList groupMembers;
    bool membersRead = false; // the member cursor was open when the chosen group was looked up
};

// The statements of the Last activity report and the rows they give. Building the text is
// pure; fetch() runs the statements on the calling thread's connection, so it may run on a
// worker thread. The scratch table is a session table, private to that connection, so two
// users running the report at once never see each other's moment and filters.
class CLastActQuery
{
public:
    static constexpr const char *ScratchTable = "#tmpLastActTime";

    CLastActQuery(const CLastActRequest &request, const CLastActLists &lists);

    // Reads the lists under DBMutex (and the chosen group's members from the member cursor).
    static CLastActLists readLists(CReferenceData &reference, const CLastActRequest &request);

    const CLastActRequest &request() const { return m_request; }
    const CLastActLists &lists() const { return m_lists; }

    // The template file for the request, e.g. "PresencesGroups.rpt".
    QString templateName() const;

    // The clauses, as they go into the statements.
    QString activityClause() const;   // C
    QString departmentClause() const; // E
    QString employeeClause() const;   // K
    QString orderClause() const;      // O
    QString invisibleClause() const;  // V
    // The moment as it goes between the quotes of S1.
    QString momentLiteral() const;
    QString dropStatement() const;
    QString statement1() const;
    QString statement2() const;

    // A chosen group (not inverted) that has no member activities: nothing can match, so no
    // statement runs; "in ()" would be refused by the database.
    bool groupWithoutActivities() const;

    // The SubTitle field: "Group: All   Department: All" and the like.
    QString subTitle() const;

    // One grid row; late when the clocking is more than a day older than the moment.
    struct Values
    {
        QString time, activity, firstName, lastName, department, dayType, group;
        CDateTime registered;
    };
    QString formatRow(int number, const Values &v) const;
    // Whole minutes from registered to moment, rounded to the nearest second first.
    static long long ageMinutes(const CDateTime &moment, const CDateTime &registered);

    // Runs the day-type procedure when asked for, the drop, S1 and S2 on the calling thread's
    // connection and formats the rows. False when the procedure fails (error gets its failure:
    // the user is told); a refused statement gives no rows, true and its own failure in error
    // (never empty), as for any failure to read the report.
    bool fetch(CDbConnection &connection, QStringList &rows, QString *error) const;

private:
    // The drop, S1 and S2 once; session: the thread's session the scratch table was made in.
    bool readRows(CDbConnection &connection, QStringList &rows, QString *failure, quint64 *session) const;

    CLastActRequest m_request;
    CLastActLists m_lists;
};
