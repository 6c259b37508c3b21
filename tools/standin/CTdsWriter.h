#pragma once

#include "CSqlServerType.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

// A column of a result as it goes into COLMETADATA.
struct CTdsColumn
{
    QString name;
    CSqlServerType type;
};

// Builds the token stream of one server reply (little-endian throughout, texts in UCS-2).
class CTdsWriter
{
public:
    enum Token : quint8
    {
        ColMetadata = 0x81,
        ReturnStatus = 0x79,
        ReturnValue = 0xAC,
        Error = 0xAA,
        Info = 0xAB,
        LoginAck = 0xAD,
        Row = 0xD1,
        NbcRow = 0xD2,
        EnvChange = 0xE3,
        Done = 0xFD,
        DoneProc = 0xFE,
        DoneInProc = 0xFF,
    };
    enum DoneStatus : quint16
    {
        DoneFinal = 0x00,
        DoneMore = 0x01,
        DoneError = 0x02,
        DoneCount = 0x10,
        DoneAttention = 0x20,
    };
    enum EnvType : quint8
    {
        EnvDatabase = 1,
        EnvPacketSize = 4,
        EnvCollation = 7,
    };

    const QByteArray &data() const { return m_data; }
    bool isEmpty() const { return m_data.isEmpty(); }

    void u8(quint8 v) { m_data.append(char(v)); }
    void u16(quint16 v);
    void u32(quint32 v);
    void u64(quint64 v);
    void ucs2(const QString &text);
    void bVarchar(const QString &text);
    void usVarchar(const QString &text);

    void envChange(EnvType type, const QString &newValue, const QString &oldValue);
    void envCollation(const QByteArray &collation);
    void loginAck(const QString &program);
    // DONE, DONEPROC or DONEINPROC.
    void done(Token token, quint16 status, quint16 command, quint64 rows);
    // Clears "more" on the last DONE written: it ends the reply. False when none was written.
    bool endWithLastDone();
    void message(Token token, qint32 number, quint8 state, quint8 severity, const QString &text,
                 const QString &procedure);
    void returnStatus(qint32 value);
    // An int output parameter of an RPC.
    void returnInt(quint16 ordinal, const QString &name, qint32 value);

    void colMetadata(const QList<CTdsColumn> &columns);
    // One row; values are null, qint64, double, QString or QByteArray as SQLite gives them.
    void row(const QList<CTdsColumn> &columns, const QVariantList &values);

    // Days since 1900-01-01 and three-hundredths of a second since midnight; false for text that
    // is not a date and time.
    static bool toSqlDateTime(const QString &text, qint32 *days, quint32 *ticks);
    // The text as bytes of the collation's code page; characters it lacks become '?'.
    static QByteArray toCodePage(const QString &text);

private:
    void typeInfo(const CSqlServerType &type);
    void value(const CSqlServerType &type, const QVariant &v);
    void patchU16(qsizetype at, quint16 v);

    QByteArray m_data;
    qsizetype m_lastDone = -1;
};
