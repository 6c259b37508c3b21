#pragma once

#include <QString>

class CDbConnection;

// One statement or stored procedure, created for one execution.
class CDbCommand
{
public:
    enum Type
    {
        Text = 1,
        StoredProcedure = 4
    };

    CDbCommand(CDbConnection *connection, const QString &text, int type = Text);

    // Runs without parameters and without keeping a result set.
    bool execute();
    int recordsAffected() const { return m_recordsAffected; }
    QString lastErrorText() const { return m_lastErrorText; }
    quint32 lastErrorCode() const { return m_lastErrorCode; }

private:
    CDbConnection *m_connection;
    QString m_text;
    int m_type;
    int m_recordsAffected = 0;
    QString m_lastErrorText;
    quint32 m_lastErrorCode = 0;
};
