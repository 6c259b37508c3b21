#pragma once

#include "db/CSqlDialect.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <atomic>
#include <mutex>

class QThread;

// One database connection as the program sees it. Qt SQL connections belong to the thread
// that opened them, so behind this object each thread that uses it gets its own connection
// with the same connection string; opening (or reopening) the connection on any thread makes
// every other thread reconnect at its next use. Nothing throws: every failure returns false
// and is kept as the last error.
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
    // Runs a statement that returns no rows; stores the records affected.
    bool execute(const QString &statement);
    // Runs a stored procedure without parameters and without keeping a result.
    bool runProcedure(const QString &name, int *recordsAffected = nullptr, QString *errorRecord = nullptr,
                      quint32 *errorCode = nullptr, const char *className = "CDbConnection");

    QString connectionString() const;
    QString lastErrorText() const;
    QString lastErrorDescription() const;
    quint32 lastErrorCode() const;
    int recordsAffected() const;
    void setConnectionTimeout(int seconds);

    CSqlDialect::Kind dialect() const;
    QString driverName() const;

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
    };
    bool openThreadConnection(ThreadConnection &tc, QSqlError *error);
    bool sqliteFileMissing(QSqlError *error) const;

    mutable std::mutex m_lock;
    QString m_connectionString;
    CSqlDialect::Target m_target;
    QString m_lastErrorText;
    QString m_lastErrorDescription;
    quint32 m_lastErrorCode = 0;
    int m_recordsAffected = 0;
    int m_timeout = 0;
    bool m_open = false;
    quint64 m_generation = 0;
    QHash<QThread *, ThreadConnection> m_threads;
    static std::atomic<quint64> s_serial;
    quint64 m_serial;
};
