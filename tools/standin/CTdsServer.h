#pragma once

#include <QFile>
#include <QString>
#include <QTcpServer>

// Listens on the loopback address and gives every client connection a session of its own.
// Everything it sees is reported on standard output, one line per event.
class CTdsServer : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString databasePath;
        QString password; // empty: any password is accepted
        QString user;     // empty: any user name is accepted
        bool stall = false;
        QString statementLog; // a file that gets every statement received, one JSON object a line
        QString delayText;    // batches holding this text are answered only after delayMs
        int delayMs = 0;
    };

    explicit CTdsServer(const Options &options, QObject *parent = nullptr);

    bool listen(quint16 port, QString *error);
    quint16 port() const { return m_server.serverPort(); }
    const Options &options() const { return m_options; }

    // One line on standard output, flushed at once: tests read it as it comes.
    static void say(const QString &line);
    // Appends a statement received (how it came: "batch", "rpc sp_prepexec", ...) to the
    // statement log, when there is one.
    void logStatement(const QString &how, const QString &statement);

private:
    void accept();

    Options m_options;
    QTcpServer m_server;
    QFile m_statementLog;
    int m_sessions = 0;
};
