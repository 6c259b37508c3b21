#pragma once

#include <QDateTime>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// The SQL Server stand-in (tds_standin) as a child process on a free loopback port, reached
// through the real FreeTDS ODBC driver. Stopped when the object goes; its output (one event per
// line: "login", "batch <statement>", "rpc sp_prepexec <statement>", "attention", "error 208
// <message>", "drop #name", ...) goes to a file, so a busy server never waits for a reader.
// With ZORVIK_STATEMENT_LOG_DIR set (CTest sets it), every statement it receives is also written
// to a file of its own in that folder, for the T-SQL check that runs after the tests.
class TdsStandin
{
public:
    struct Options
    {
        QString database;      // a SQLite attendance database to serve
        int demoEmployees = 0; // else: a fresh demo database of this many employees
        QString password;      // refuse every other password
        QString user;          // refuse every other user name
        bool stall = false;    // never answer a statement
        quint16 port = 0;      // 0: any free port
        QString delayText;     // answer the batches holding this text only after delayMs
        int delayMs = 2000;
    };

    TdsStandin() = default;
    ~TdsStandin();
    TdsStandin(const TdsStandin &) = delete;
    TdsStandin &operator=(const TdsStandin &) = delete;

    // Waits for "listening on port P"; false with the reason in error().
    bool start(const Options &options);
    // Serves database; stalled: never answers a statement.
    bool start(const QString &database, bool stalled = false);
    void stop();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    quint16 port() const { return m_port; }
    QString error() const { return m_error; }

    // Driver={FreeTDS};Server=127.0.0.1;Port=P;TDS_Version=7.4;ClientCharset=UTF-8;...
    QString connectionString(const QString &database = QStringLiteral("att"),
                             const QString &user = QStringLiteral("zorvik"),
                             const QString &password = QStringLiteral("secret")) const;

    // The event lines so far, the "listening" line left out.
    QStringList events() const;
    // How many events are exactly line, or (prefix) start with it.
    int count(const QString &line) const;
    QStringList startingWith(const QString &prefix) const;

    // The path of the stand-in program.
    static QString program();

    // What a database for the FreeTDS tests holds beyond the demo: rows only a SQL Server value
    // shows. Built at `now` (the day type fixed to its date), without history, with photographs.
    struct Facts
    {
        QString diacriticsKey; // varchar last name and nvarchar first name with Đ Š Ž Č Ć
        QString lastName, firstName;
        QString quoteKey; // last name O'Brien
        QString fractionKey;
        QDateTime fraction;    // a registration at 10:15:30.250 the day before `now`
        QByteArray photograph; // the diacritics employee's, larger than several packets
        int guestsInside = 0;  // visitors with a NULL Exit
    };
    static bool buildDatabase(const QString &path, int employees, const QDateTime &now, Facts *facts, QString *error);

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    QString m_log;
    quint16 m_port = 0;
    QString m_error;
};

} // namespace testsupport
