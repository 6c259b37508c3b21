#pragma once

#include "CStandinSql.h"
#include "CTdsWriter.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <memory>

class CTdsReader;
class CTdsServer;
class QTcpSocket;

// One client connection: pre-login, login, then SQL batches and RPCs until the client goes.
// Session rules as SQL Server keeps them: a "#name" table made by a batch lives until the
// session ends; one made inside an RPC (sp_prepexec, sp_executesql, sp_execute, the cursor
// calls, a procedure) is dropped when that call returns.
class CTdsSession : public QObject
{
    Q_OBJECT
public:
    CTdsSession(QTcpSocket *socket, CTdsServer *server, quint16 spid);
    ~CTdsSession() override;

private:
    struct Parameter
    {
        QString name;
        bool output = false;
        QVariant value;
    };
    struct Prepared
    {
        QString statement;
        QStringList names;
    };
    struct Cursor
    {
        QList<CTdsColumn> columns;
        std::vector<QVariantList> rows;
        qsizetype position = 0; // first row of the current block
    };

    void readMore();
    void dispatch(quint8 type, const QByteArray &message);
    void send(const CTdsWriter &tokens);
    void preLogin();
    void login(const QByteArray &message);
    void batch(const QByteArray &message);
    void rpc(const QByteArray &message);

    // Runs the statements of text, writing each result ending in a token of the given kind
    // (DONE in a batch, DONEINPROC inside an RPC); false after an error. A "#" table made by a
    // procedure the text calls is gone when that procedure returns.
    bool run(CTdsWriter &w, const QString &text, const QHash<QString, QVariant> &parameters, CTdsWriter::Token done);
    bool writeResult(CTdsWriter &w, const CStatementResult &r, CTdsWriter::Token done, bool more);
    // DONEINPROC per statement, RETURNSTATUS and DONEPROC.
    bool callProcedure(CTdsWriter &w, const QString &name, const QString &arguments = {});
    void openCursor(CTdsWriter &w, const QString &statement, const QHash<QString, QVariant> &parameters,
                    const QList<Parameter> &p, int cursorAt, int scrollAt);
    void fetch(CTdsWriter &w, const QList<Parameter> &p);
    // Binds values by name, or by position against the declared names.
    static QHash<QString, QVariant> bind(const QStringList &declared, const QList<Parameter> &values);
    void dropScopeTables(const QStringList &before);
    void error(CTdsWriter &w, qint32 number, const QString &text, quint8 severity = 16);

    QTcpSocket *m_socket;
    CTdsServer *m_server;
    quint16 m_spid;
    QByteArray m_buffer;
    QByteArray m_message;
    quint8 m_packetId = 1;
    int m_packetSize = 4096;
    bool m_loggedIn = false;
    QString m_database;
    std::unique_ptr<CStandinSql> m_sql;
    QHash<qint32, Prepared> m_prepared;
    QHash<qint32, Cursor> m_cursors;
    qint32 m_nextHandle = 1;
};
