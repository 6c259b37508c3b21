#include "db/DbLog.h"

#include <QMutex>
#include <QMutexLocker>

Q_LOGGING_CATEGORY(lcZorvikDb, "zorvik.db", QtInfoMsg)

namespace {
QMutex serverLock;
QString serverName;
} // namespace

void DbLog::setServer(const QString &server)
{
    const QMutexLocker lock(&serverLock);
    serverName = server;
}

QString DbLog::server()
{
    const QMutexLocker lock(&serverLock);
    return serverName;
}
