#pragma once

#include <QLoggingCategory>
#include <QString>

// The operational log of the data layer ("zorvik.db"): connections lost and restored, slow
// cycles; its debug lines (the polling thread's and the update pass's hold of DBMutex) are off
// unless QT_LOGGING_RULES turns "zorvik.db.debug" on.
Q_DECLARE_LOGGING_CATEGORY(lcZorvikDb)

namespace DbLog {
// The database the program reads ("driver, server:port, database", never the password): the
// journal gets it with every line as ZORVIK_SERVER. Any thread.
void setServer(const QString &server);
QString server();
} // namespace DbLog
