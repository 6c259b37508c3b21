#include "CTdsServer.h"

#include "CTdsSession.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <cstdio>

CTdsServer::CTdsServer(const Options &options, QObject *parent) : QObject(parent), m_options(options)
{
    connect(&m_server, &QTcpServer::newConnection, this, &CTdsServer::accept);
}

bool CTdsServer::listen(quint16 port, QString *error)
{
    if (!m_options.statementLog.isEmpty()) {
        m_statementLog.setFileName(m_options.statementLog);
        if (!m_statementLog.open(QIODevice::WriteOnly | QIODevice::Append)) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(m_options.statementLog, m_statementLog.errorString());
            return false;
        }
    }
    if (m_server.listen(QHostAddress::LocalHost, port))
        return true;
    if (error)
        *error = m_server.errorString();
    return false;
}

void CTdsServer::say(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void CTdsServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection())
        new CTdsSession(socket, this, quint16(51 + (m_sessions++ % 1000)));
}

void CTdsServer::logStatement(const QString &how, const QString &statement)
{
    if (!m_statementLog.isOpen() || statement.trimmed().isEmpty())
        return;
    const QJsonObject line{{QStringLiteral("how"), how}, {QStringLiteral("sql"), statement}};
    m_statementLog.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    m_statementLog.flush();
}
