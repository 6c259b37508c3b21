#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// Reads the data of a client message: little-endian numbers, UCS-2 texts and the typed values
// of RPC parameters. Reading past the end sets a failure flag and yields zeros.
class CTdsReader
{
public:
    explicit CTdsReader(const QByteArray &data, qsizetype from = 0) : m_data(data), m_pos(from) {}

    bool failed() const { return m_failed; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    qsizetype position() const { return m_pos; }
    void seek(qsizetype pos) { m_pos = pos; }

    quint8 u8();
    quint16 u16();
    quint32 u32();
    quint64 u64();
    QByteArray bytes(qsizetype n);
    QString ucs2(qsizetype chars);
    QString bVarchar();

    // Skips ALL_HEADERS when the message starts with them (every request of TDS 7.2 and later).
    void skipAllHeaders();

    // One RPC parameter: its name, whether it is an output parameter, and its value (null,
    // qint64, double, QString or QByteArray). False for a type this server does not read.
    bool parameter(QString *name, bool *output, QVariant *value);

private:
    QVariant typedValue(quint8 type);
    QByteArray plp();

    const QByteArray &m_data;
    qsizetype m_pos = 0;
    bool m_failed = false;
};
