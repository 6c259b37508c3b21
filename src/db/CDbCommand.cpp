#include "db/CDbCommand.h"

#include "db/CDbConnection.h"
#include "db/CDbError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

CDbCommand::CDbCommand(CDbConnection *connection, const QString &text, int type)
    : m_connection(connection), m_text(text), m_type(type)
{
}

bool CDbCommand::execute()
{
    if (!m_connection) {
        m_lastErrorCode = CDbError::kObjectClosed;
        m_lastErrorText = CDbError::format("CDbCommand", m_lastErrorCode, QStringLiteral("Zorvik"),
                                           QStringLiteral("The command is not bound to a connection."));
        return false;
    }
    if (m_type == StoredProcedure)
        return m_connection->runProcedure(m_text, &m_recordsAffected, &m_lastErrorText, &m_lastErrorCode, "CDbCommand");
    QSqlDatabase db;
    QSqlError error;
    if (m_connection->threadDatabase(db, &error)) {
        QSqlQuery q(db);
        if (m_connection->exec(q, CSqlDialect::rewrite(m_connection->dialect(), m_text))) {
            m_recordsAffected = q.numRowsAffected();
            return true;
        }
        error = q.lastError();
    }
    m_lastErrorCode = CDbError::codeFor(error);
    m_lastErrorText =
        CDbError::format("CDbCommand", m_lastErrorCode, m_connection->driverName(), CDbError::describe(error));
    return false;
}
