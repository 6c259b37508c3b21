#include "CTdsServer.h"

#include "CTdsSession.h"

#include <QTcpSocket>
#include <cstdio>

CTdsServer::CTdsServer(const Options &options, QObject *parent) : QObject(parent), m_options(options)
{
    connect(&m_server, &QTcpServer::newConnection, this, &CTdsServer::accept);
}

bool CTdsServer::listen(quint16 port, QString *error)
{
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
