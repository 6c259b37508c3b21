#pragma once

#include "CTdsWriter.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

struct sqlite3;

// What one statement gave: rows with their columns, a count of changed rows, or an error as
// SQL Server numbers it.
struct CStatementResult
{
    bool ok = true;
    qint32 error = 0;
    QString message;
    bool hasRows = false; // a result set, perhaps empty
    QList<CTdsColumn> columns;
    std::vector<QVariantList> rows;
    qint64 affected = -1; // rows changed, -1 for none
    QString database;     // set by "use"
};

// One session's view of the database: its own SQLite connection, so that its temporary
// tables (T-SQL's "#name") are its own. Statements arrive as T-SQL and are rewritten for SQLite
// by the program's dialect rules; a stored procedure runs the body the database keeps under
// its name.
class CStandinSql
{
public:
    explicit CStandinSql(const QString &path);
    ~CStandinSql();
    CStandinSql(const CStandinSql &) = delete;
    CStandinSql &operator=(const CStandinSql &) = delete;

    bool open(QString *error);

    // One statement; parameters by name ("@P1"), names compared without regard to case.
    // Described only: compiled, not run; the columns of its result without rows.
    CStatementResult execute(const QString &statement, const QHash<QString, QVariant> &parameters = {},
                             bool describeOnly = false);
    // The statements of a stored procedure's body; *found is false when none has that name.
    // The driver's catalog procedure sp_datatype_info answers for datetime only (arguments:
    // its ODBC type number).
    QList<CStatementResult> runProcedure(const QString &name, const QString &arguments, bool *found);

    // The session's language (at login or by SET LANGUAGE) sets its date order, as SET DATEFORMAT
    // does: "mdy" for us_english, "dmy" for british, deutsch, français and the like. False for a
    // language this stand-in does not know (nothing changes).
    bool setLanguage(const QString &language);
    QString dateFormat() const { return m_dateFormat; }
    // The statement with its ambiguous date literals ('yyyy-mm-dd' and 'yyyy-mm-dd hh:mi:ss[.fff]')
    // as SQL Server's datetime reads them under dateFormat: year-day-month when the day comes
    // before the month. The ISO 8601 form with a "T" is read the same under every language. False,
    // with the literal, when one is no date in that order (SQL Server's error 242).
    static bool readDateLiterals(const QString &statement, const QString &dateFormat, QString *out,
                                 QString *badLiteral);

    // The session's temporary tables as T-SQL names them ("#name").
    QStringList tempTables();
    // Drops the temporary tables that are not in keep; returns the dropped ones.
    QStringList dropTempTablesExcept(const QStringList &keep);

    // The procedure an "exec name args", "{call name}" or (as a batch may start) "sp_name args"
    // statement runs, and its arguments; empty when the statement is none of these.
    static QString procedureCalled(const QString &statement, QString *arguments = nullptr);
    // The parameter names of a declaration such as "@P1 int, @P2 nvarchar(10)", in order.
    static QStringList parameterNames(const QString &declaration);

private:
    CStatementResult failure(const QString &statement, const QString &sqliteMessage) const;

    // SET DATEFORMAT and SET LANGUAGE; empty for a statement of neither kind.
    CStatementResult setOption(const QString &statement, bool *handled);

    QString m_path;
    sqlite3 *m_db = nullptr;
    QString m_dateFormat = QStringLiteral("mdy");
};
