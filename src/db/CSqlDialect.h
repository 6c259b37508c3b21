#pragma once

#include <QSqlError>
#include <QString>
#include <QStringList>

#include <functional>

class QSqlQuery;

// The SQL the program sends is SQL Server's. A connection string selects a dialect: an ODBC
// string goes to SQL Server (or any ODBC source) through QODBC unchanged; "Provider=SQLite;
// Data Source=PATH", or an ODBC string whose driver is SQLite, selects SQLite, for which the
// few T-SQL forms the program uses are rewritten.
class CSqlDialect
{
public:
    enum Kind
    {
        SqlServer,
        Sqlite
    };

    struct Target
    {
        Kind kind = SqlServer;
        QString driver;         // Qt SQL driver: "QODBC" or "QSQLITE"
        QString databaseName;   // the ODBC connection string, or the SQLite file
        QString connectOptions; // Qt SQL connect options
        QString sqliteFile;     // the database file for either SQLite route, else empty
        QString dataSource;     // the odbc.ini data source the string names, else empty
        QString error;          // why the string cannot be used (then driver is empty)
    };

    // Parses a connection string; an empty or unusable one gives an empty driver.
    static Target target(const QString &connectionString);
    // The value of key in a "key=value;key=value" string (case-insensitive key, braces removed).
    static QString keyValue(const QString &connectionString, const QString &key);

    // The statement as the dialect needs it.
    static QString rewrite(Kind kind, const QString &statement);
    // The pieces of the T-SQL rewrite, public for tests.
    static QString rewriteDropIfExists(const QString &statement);
    static QString rewriteSelectInto(const QString &statement);
    static QString rewriteStringConcat(const QString &statement);
    static QString rewriteLeftRight(const QString &statement);
    // A T-SQL session table "#T" becomes SQLite's connection-private "temp" table T.
    static QString rewriteTempTables(const QString &statement);
    // A date-time literal in the ISO 8601 form 'YYYY-MM-DDTHH:MM:SS[.fff]' (which SQL Server
    // reads the same under every language) becomes the text SQLite keeps: the "T" a blank.
    static QString rewriteDateTimeLiterals(const QString &statement);

    // text as a string literal: in single quotes, its own quotes doubled, so that no text can
    // end the literal early.
    static QString literal(const QString &text);

    // Splits a stored body into its statements at semicolons outside quotes.
    static QStringList splitStatements(const QString &body);
    // The text that runs a stored procedure on SQL Server.
    static QString callText(const QString &procedure) { return QStringLiteral("{call %1}").arg(procedure); }
    // The query that reads a stored procedure's body in the SQLite dialect.
    static QString procedureBodyQuery() { return QStringLiteral("select body from zv_procedure where name = ?"); }
    // The procedure that writes today's day type of every employee (the attendance system's).
    static constexpr const char *DayTypeProcedure = "sp_popuni_TekuciRbrUC";

    // Runs a procedure of the SQLite dialect, kept as a body of statements: each statement
    // rewritten and run by exec on q, which then holds the last one's result. affected: rows
    // changed by all of them. False, with error set, when there is no such procedure or a
    // statement fails.
    using Exec = std::function<bool(QSqlQuery &q, const QString &statement)>;
    static bool runStoredBody(QSqlQuery &q, const QString &procedure, const Exec &exec, int *affected = nullptr,
                              QSqlError *error = nullptr);
};
