#pragma once

#include "db/CSqlDialect.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <atomic>
#include <mutex>

class QSqlQuery;
class QThread;

// One database connection as the program sees it. Qt SQL connections belong to the thread
// that opened them, so behind this object each thread that uses it gets its own connection
// with the same connection string; opening (or reopening) the connection on any thread makes
// every other thread reconnect at its next use. No lock is held while a thread connects or
// runs a statement, so a hung server blocks only the thread that talks to it. Connecting and
// each statement are bounded by time-outs. Nothing throws: every failure returns false and is
// kept as the last error.
class CDbConnection
{
public:
    CDbConnection();
    ~CDbConnection();
    CDbConnection(const CDbConnection &) = delete;
    CDbConnection &operator=(const CDbConnection &) = delete;

    // Closes first when open; a non-empty string replaces the stored one.
    bool open(const QString &connectionString = {}, const QString &user = {}, const QString &password = {});
    bool isOpen() const;
    void close();
    // How a statement reaches an ODBC server. Prepared: the statement time-out is set on it,
    // and FreeTDS runs it as sp_prepexec, a scope of its own that drops every "#" table made
    // inside it when it returns. Batch: unprepared, as a language batch in the session's own
    // scope, where a "#" table lives until the session ends; bounded by the same time-out,
    // which the driver applies to the whole connection. SQLite runs both alike.
    enum class Send
    {
        Prepared,
        Batch
    };

    // Runs a statement that returns no rows; stores the records affected. On failure error (when
    // given) gets this statement's own description, never empty: the last error of the
    // connection is shared by every thread and may be another's by the time it is read.
    bool execute(const QString &statement, Send send = Send::Prepared, QString *error = nullptr);
    // Runs a stored procedure without parameters and without keeping a result. With errorRecord
    // the failure goes there (and to errorCode, errorDescription) instead of the last error.
    bool runProcedure(const QString &name, int *recordsAffected = nullptr, QString *errorRecord = nullptr,
                      quint32 *errorCode = nullptr, const char *className = "CDbConnection",
                      QString *errorDescription = nullptr);
    // The calling thread's session: a number that changes whenever its connection is opened
    // anew (after another thread reopened this connection, say), 0 without one. A "#" table
    // made in one session is gone in the next.
    quint64 session() const;

    QString connectionString() const;
    QString lastErrorText() const;
    QString lastErrorDescription() const;
    quint32 lastErrorCode() const;
    int recordsAffected() const;
    // Login time-out in seconds; 0 means the default (15 s).
    void setConnectionTimeout(int seconds);
    // Time-out of each statement in seconds; 0 means the default (30 s).
    void setCommandTimeout(int seconds);
    int connectionTimeout() const;
    int commandTimeout() const;
    // The defaults of every connection made afterwards (tests shorten them).
    static void setDefaultTimeouts(int loginSeconds, int statementSeconds);

    // Runs sql on the query's database with the statement time-out of this connection. The query
    // is made forward-only first: a scrollable one would make the driver open a server cursor.
    bool exec(QSqlQuery &query, const QString &sql, Send send = Send::Prepared) const;
    // Asks the driver to cancel the prepared statements running on this connection, those of
    // one thread or (nullptr) of every thread; each fails at once where the driver allows it. A
    // batch cannot be reached before it ends (the driver's handle is made inside the call): it
    // runs to its time-out. Safe from any thread: used to end a thread quickly at shutdown.
    void cancelStatements(QThread *thread = nullptr) const;

    CSqlDialect::Kind dialect() const;
    QString driverName() const;
    // Unique among the connections of the process (an address may be reused, this never is).
    quint64 serial() const { return m_serial; }

    // The calling thread's connection, opened on demand. False (with the error filled in)
    // when the connection is closed or cannot be opened.
    bool threadDatabase(QSqlDatabase &db, QSqlError *error);
    // Drops the calling thread's connection (a thread calls this before it ends).
    void releaseThread();

    // Records an error of this connection (also used by cursors and commands that fail to
    // reach the database).
    void recordError(quint32 code, const QString &source, const QString &description);

private:
    struct ThreadConnection
    {
        QString name;
        quint64 generation = 0;
        quint64 session = 0;
    };
    struct Settings
    {
        CSqlDialect::Target target;
        int loginSeconds = 0;
        int statementSeconds = 0;
    };
    Settings settingsLocked() const;
    // Connects the calling thread; runs without m_lock.
    static bool openThreadConnection(ThreadConnection &tc, const Settings &settings, QSqlError *error);
    static bool sqliteFileMissing(const CSqlDialect::Target &target, QSqlError *error);
    // The ODBC connection string as the driver gets it: ending in ";", and for FreeTDS (named by
    // Driver= or by a data source) with the statement time-out as the connection's query
    // time-out (what bounds a batch), unless the string sets one.
    static QString driverConnectionString(const CSqlDialect::Target &target, int statementSeconds);
    QString threadConnectionName() const;

    mutable std::mutex m_lock;
    QString m_connectionString;
    CSqlDialect::Target m_target;
    QString m_lastErrorText;
    QString m_lastErrorDescription;
    quint32 m_lastErrorCode = 0;
    int m_recordsAffected = 0;
    int m_timeout = 0;
    int m_commandTimeout = 0;
    bool m_open = false;
    quint64 m_generation = 0;
    QHash<QThread *, ThreadConnection> m_threads;
    // ODBC statement handles being run, by thread; a handle stays valid while it is listed.
    mutable QMultiHash<QThread *, void *> m_running;
    static std::atomic<quint64> s_serial;
    static std::atomic<quint64> s_sessions;
    static std::atomic<int> s_defaultLogin;
    static std::atomic<int> s_defaultStatement;
    quint64 m_serial;
};
