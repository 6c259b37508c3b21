#include "CTdsWriter.h"

#include "CColumnTypes.h"
#include "markup/CFileText.h"

#include <QDate>
#include <QHash>
#include <cmath>
#include <cstring>

namespace {

enum TypeByte : quint8
{
    IntN = 0x26,
    BitN = 0x68,
    FltN = 0x6D,
    DateTimeN = 0x6F,
    BigVarChar = 0xA7,
    NVarChar = 0xE7,
    Image = 0x22,
};

// A text pointer for image values: any 16 bytes do, the client only hands them back.
const char kTextPointer[16] = {'z', 'o', 'r', 'v', 'i', 'k', 's', 't', 'a', 'n', 'd', 'i', 'n', 0, 0, 1};

bool isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

} // namespace

void CTdsWriter::u16(quint16 v)
{
    m_data.append(char(v & 0xFF)).append(char(v >> 8));
}

void CTdsWriter::u32(quint32 v)
{
    for (int i = 0; i < 4; ++i)
        m_data.append(char((v >> (8 * i)) & 0xFF));
}

void CTdsWriter::u64(quint64 v)
{
    for (int i = 0; i < 8; ++i)
        m_data.append(char((v >> (8 * i)) & 0xFF));
}

void CTdsWriter::patchU16(qsizetype at, quint16 v)
{
    m_data[at] = char(v & 0xFF);
    m_data[at + 1] = char(v >> 8);
}

void CTdsWriter::ucs2(const QString &text)
{
    for (const QChar c : text)
        u16(c.unicode());
}

void CTdsWriter::bVarchar(const QString &text)
{
    const QString t = text.left(255);
    u8(quint8(t.size()));
    ucs2(t);
}

void CTdsWriter::usVarchar(const QString &text)
{
    const QString t = text.left(65535);
    u16(quint16(t.size()));
    ucs2(t);
}

void CTdsWriter::envChange(EnvType type, const QString &newValue, const QString &oldValue)
{
    u8(EnvChange);
    const qsizetype at = m_data.size();
    u16(0);
    u8(type);
    bVarchar(newValue);
    bVarchar(oldValue);
    patchU16(at, quint16(m_data.size() - at - 2));
}

void CTdsWriter::envCollation(const QByteArray &collation)
{
    u8(EnvChange);
    u16(quint16(1 + 1 + collation.size() + 1));
    u8(EnvCollation);
    u8(quint8(collation.size()));
    m_data.append(collation);
    u8(0);
}

void CTdsWriter::loginAck(const QString &program)
{
    u8(LoginAck);
    const qsizetype at = m_data.size();
    u16(0);
    u8(1); // T-SQL
    // The protocol version, most significant byte first: 7.4.
    m_data.append(char(0x74)).append(char(0)).append(char(0)).append(char(4));
    bVarchar(program);
    // Version 15.0.2000.
    m_data.append(char(15)).append(char(0)).append(char(0x07)).append(char(0xD0));
    patchU16(at, quint16(m_data.size() - at - 2));
}

void CTdsWriter::done(Token token, quint16 status, quint16 command, quint64 rows)
{
    u8(token);
    m_lastDone = m_data.size();
    u16(status);
    u16(command);
    u64(rows);
}

bool CTdsWriter::endWithLastDone()
{
    if (m_lastDone < 0)
        return false;
    m_data[m_lastDone] = char(quint8(m_data.at(m_lastDone)) & ~DoneMore);
    return true;
}

void CTdsWriter::message(Token token, qint32 number, quint8 state, quint8 severity, const QString &text,
                         const QString &procedure)
{
    u8(token);
    const qsizetype at = m_data.size();
    u16(0);
    u32(quint32(number));
    u8(state);
    u8(severity);
    usVarchar(text);
    bVarchar(QStringLiteral("ZORVIK-STANDIN"));
    bVarchar(procedure);
    u32(1); // line
    patchU16(at, quint16(m_data.size() - at - 2));
}

void CTdsWriter::returnStatus(qint32 value)
{
    u8(ReturnStatus);
    u32(quint32(value));
}

void CTdsWriter::returnInt(quint16 ordinal, const QString &name, qint32 value)
{
    u8(ReturnValue);
    u16(ordinal);
    bVarchar(name);
    u8(0x01);  // an output parameter
    u32(0);    // user type
    u16(0x01); // nullable
    u8(IntN);
    u8(4);
    u8(4);
    u32(quint32(value));
}

void CTdsWriter::typeInfo(const CSqlServerType &type)
{
    switch (type.kind) {
    case CSqlServerType::Int:
        u8(IntN);
        u8(4);
        break;
    case CSqlServerType::BigInt:
        u8(IntN);
        u8(8);
        break;
    case CSqlServerType::Bit:
        u8(BitN);
        u8(1);
        break;
    case CSqlServerType::Float:
        u8(FltN);
        u8(8);
        break;
    case CSqlServerType::DateTime:
        u8(DateTimeN);
        u8(8);
        break;
    case CSqlServerType::NVarChar:
        u8(NVarChar);
        u16(quint16(qBound(1, type.length, 4000) * 2));
        m_data.append(CSqlServerType::collation());
        break;
    case CSqlServerType::VarChar:
        u8(BigVarChar);
        u16(quint16(qBound(1, type.length, 8000)));
        m_data.append(CSqlServerType::collation());
        break;
    case CSqlServerType::Image:
        u8(Image);
        u32(0x7FFFFFFF);
        break;
    }
}

void CTdsWriter::colMetadata(const QList<CTdsColumn> &columns)
{
    u8(ColMetadata);
    u16(quint16(columns.size()));
    for (const CTdsColumn &c : columns) {
        u32(0);    // user type
        u16(0x09); // nullable, updatable unknown
        typeInfo(c.type);
        if (c.type.kind == CSqlServerType::Image) {
            // The table an image comes from, as one name part.
            u8(1);
            usVarchar(QStringLiteral("standin"));
        }
        bVarchar(c.name);
    }
}

bool CTdsWriter::toSqlDateTime(const QString &text, qint32 *days, quint32 *ticks)
{
    if (!CColumnTypes::isDateTimeText(text))
        return false;
    auto num = [&](int from, int count) { return QStringView(text).mid(from, count).toInt(); };
    const QDate date(num(0, 4), num(5, 2), num(8, 2));
    if (!date.isValid())
        return false;
    int msec = 0;
    if (text.size() > 20) {
        const QString fraction = text.mid(20).leftJustified(3, u'0');
        msec = fraction.toInt();
    }
    const qint64 ms = (qint64(num(11, 2)) * 3600 + num(14, 2) * 60 + num(17, 2)) * 1000 + msec;
    // SQL Server keeps times in three-hundredths of a second, rounded: 23:59:59.999 is midnight
    // of the next day.
    constexpr qint64 ticksPerDay = 300LL * 86400;
    const qint64 all = std::llround(double(ms) * 0.3);
    *days = qint32(QDate(1900, 1, 1).daysTo(date) + all / ticksPerDay);
    *ticks = quint32(all % ticksPerDay);
    return true;
}

QByteArray CTdsWriter::toCodePage(const QString &text)
{
    static const QHash<char16_t, char> high = [] {
        QHash<char16_t, char> map;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString c = CFileText::fromWindows1250(QByteArray(1, char(b)));
            map.insert(c.at(0).unicode(), char(b));
        }
        return map;
    }();
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            out.append(char(c.unicode()));
        else
            out.append(high.value(c.unicode(), '?'));
    }
    return out;
}

void CTdsWriter::value(const CSqlServerType &type, const QVariant &v)
{
    const bool null = isNull(v);
    switch (type.kind) {
    case CSqlServerType::Int:
    case CSqlServerType::BigInt: {
        const int size = type.kind == CSqlServerType::Int ? 4 : 8;
        bool ok = false;
        const qint64 n = null ? 0 : v.toLongLong(&ok);
        if (null || !ok) {
            u8(0);
            return;
        }
        u8(quint8(size));
        if (size == 4)
            u32(quint32(qint32(n)));
        else
            u64(quint64(n));
        return;
    }
    case CSqlServerType::Bit:
        if (null) {
            u8(0);
        } else {
            u8(1);
            u8(v.toLongLong() != 0 ? 1 : 0);
        }
        return;
    case CSqlServerType::Float: {
        bool ok = false;
        const double d = null ? 0.0 : v.toDouble(&ok);
        if (null || !ok) {
            u8(0);
            return;
        }
        quint64 bits;
        std::memcpy(&bits, &d, sizeof bits);
        u8(8);
        u64(bits);
        return;
    }
    case CSqlServerType::DateTime: {
        qint32 days = 0;
        quint32 ticks = 0;
        if (null || !toSqlDateTime(v.toString(), &days, &ticks)) {
            u8(0);
            return;
        }
        u8(8);
        u32(quint32(days));
        u32(ticks);
        return;
    }
    case CSqlServerType::NVarChar:
        if (null) {
            u16(0xFFFF);
        } else {
            const QString s = v.toString().left(qBound(1, type.length, 4000));
            u16(quint16(s.size() * 2));
            ucs2(s);
        }
        return;
    case CSqlServerType::VarChar:
        if (null) {
            u16(0xFFFF);
        } else {
            const QByteArray b = toCodePage(v.toString()).left(qBound(1, type.length, 8000));
            u16(quint16(b.size()));
            m_data.append(b);
        }
        return;
    case CSqlServerType::Image:
        if (null) {
            u8(0); // no text pointer: null
        } else {
            const QByteArray b = v.metaType().id() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
            u8(16);
            m_data.append(kTextPointer, 16);
            u64(0); // timestamp
            u32(quint32(b.size()));
            m_data.append(b);
        }
        return;
    }
}

void CTdsWriter::row(const QList<CTdsColumn> &columns, const QVariantList &values)
{
    bool anyNull = false;
    for (const QVariant &v : values)
        anyNull = anyNull || isNull(v);
    if (!anyNull) {
        u8(Row);
        for (qsizetype i = 0; i < columns.size(); ++i)
            value(columns.at(i).type, values.at(i));
        return;
    }
    // A row with nulls goes as NBCROW: a bit per column, the null values left out.
    u8(NbcRow);
    QByteArray bitmap((columns.size() + 7) / 8, '\0');
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (isNull(values.at(i)))
            bitmap[i / 8] = char(bitmap.at(i / 8) | (1 << (i % 8)));
    m_data.append(bitmap);
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (!isNull(values.at(i)))
            value(columns.at(i).type, values.at(i));
}
