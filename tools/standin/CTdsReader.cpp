#include "CTdsReader.h"

#include "markup/CFileText.h"

#include <QDate>
#include <QDateTime>
#include <cstring>

namespace {
bool isText(quint8 t)
{
    // nvarchar, nchar, varchar, char, ntext, text
    return t == 0xE7 || t == 0xEF || t == 0xA7 || t == 0xAF || t == 0x63 || t == 0x23;
}
bool isWide(quint8 t)
{
    return t == 0xE7 || t == 0xEF || t == 0x63;
}
} // namespace

quint8 CTdsReader::u8()
{
    if (m_pos + 1 > m_data.size()) {
        m_failed = true;
        m_pos = m_data.size();
        return 0;
    }
    return quint8(m_data.at(m_pos++));
}

quint16 CTdsReader::u16()
{
    const quint16 lo = u8();
    return quint16(lo | (quint16(u8()) << 8));
}

quint32 CTdsReader::u32()
{
    const quint32 lo = u16();
    return lo | (quint32(u16()) << 16);
}

quint64 CTdsReader::u64()
{
    const quint64 lo = u32();
    return lo | (quint64(u32()) << 32);
}

QByteArray CTdsReader::bytes(qsizetype n)
{
    if (n < 0 || m_pos + n > m_data.size()) {
        m_failed = true;
        m_pos = m_data.size();
        return QByteArray();
    }
    const QByteArray out = m_data.mid(m_pos, n);
    m_pos += n;
    return out;
}

QString CTdsReader::ucs2(qsizetype chars)
{
    const QByteArray b = bytes(chars * 2);
    QString s(b.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        s[i] = QChar(char16_t(quint8(b.at(2 * i)) | (quint8(b.at(2 * i + 1)) << 8)));
    return s;
}

QString CTdsReader::bVarchar()
{
    return ucs2(u8());
}

void CTdsReader::skipAllHeaders()
{
    const qsizetype start = m_pos;
    const quint32 total = u32();
    if (total >= 4 && start + qsizetype(total) <= m_data.size())
        m_pos = start + qsizetype(total);
    else
        m_pos = start;
}

QByteArray CTdsReader::plp()
{
    const quint64 total = u64();
    if (total == 0xFFFFFFFFFFFFFFFFull)
        return QByteArray();
    QByteArray out;
    out.reserve(total == 0xFFFFFFFFFFFFFFFEull ? 0 : qsizetype(qMin<quint64>(total, 1u << 24)));
    for (;;) {
        const quint32 chunk = u32();
        if (chunk == 0 || m_failed)
            break;
        out.append(bytes(chunk));
    }
    if (out.isNull())
        out = QByteArray(""); // empty, not null
    return out;
}

QVariant CTdsReader::typedValue(quint8 type)
{
    auto decodeText = [&](const QByteArray &b, bool wide) -> QVariant {
        if (b.isNull())
            return QVariant();
        if (!wide)
            return CFileText::fromWindows1250(b);
        QString s(b.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < s.size(); ++i)
            s[i] = QChar(char16_t(quint8(b.at(2 * i)) | (quint8(b.at(2 * i + 1)) << 8)));
        return s;
    };
    auto littleInt = [](const QByteArray &b) {
        quint64 v = 0;
        for (qsizetype i = b.size() - 1; i >= 0; --i)
            v = (v << 8) | quint8(b.at(i));
        // Sign-extend from the value's width.
        const int bits = int(b.size()) * 8;
        if (bits > 0 && bits < 64 && (v >> (bits - 1)) & 1)
            v |= ~quint64(0) << bits;
        return qint64(v);
    };
    switch (type) {
    // Fixed-length types.
    case 0x30: // tinyint
        return qint64(u8());
    case 0x32: // bit
        return qint64(u8() != 0);
    case 0x34: // smallint
        return littleInt(bytes(2));
    case 0x38: // int
        return littleInt(bytes(4));
    case 0x7F: // bigint
        return littleInt(bytes(8));
    case 0x3E: { // float
        const quint64 bits = u64();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    // Nullable types with a one-byte length in the type and in the value.
    case 0x26:   // intn
    case 0x68:   // bitn
    case 0x6D:   // fltn
    case 0x6F: { // datetimen
        u8();    // maximum length
        const quint8 len = u8();
        const QByteArray b = bytes(len);
        if (len == 0)
            return QVariant();
        if (type == 0x6D) {
            if (len == 4) {
                float f;
                std::memcpy(&f, b.constData(), 4);
                return double(f);
            }
            double d;
            std::memcpy(&d, b.constData(), 8);
            return d;
        }
        if (type == 0x6F) {
            const qint64 days = littleInt(b.left(len / 2));
            const qint64 ticks = littleInt(b.mid(len / 2)) & (len == 8 ? 0xFFFFFFFF : 0xFFFF);
            const qint64 ms = len == 8 ? (ticks * 10 + 1) / 3 : ticks * 60000;
            const QDateTime t(QDate(1900, 1, 1).addDays(days), QTime(0, 0).addMSecs(int(ms)));
            return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        }
        return type == 0x68 ? qint64(b.at(0) != 0) : littleInt(b);
    }
    default:
        break;
    }
    if (isText(type) || type == 0xA5 || type == 0xAD || type == 0x22) { // + varbinary, binary, image
        const bool wide = isWide(type);
        const bool binary = type == 0xA5 || type == 0xAD || type == 0x22;
        if (type == 0x63 || type == 0x23 || type == 0x22) {
            u32(); // maximum length
            if (type != 0x22)
                bytes(5); // collation
            const quint32 len = u32();
            if (len == 0xFFFFFFFF)
                return QVariant();
            const QByteArray b = bytes(len);
            return binary ? QVariant(b) : decodeText(b, wide);
        }
        const quint16 max = u16();
        if (!binary)
            bytes(5); // collation
        QByteArray b;
        if (max == 0xFFFF) {
            b = plp();
        } else {
            const quint16 len = u16();
            if (len == 0xFFFF)
                return QVariant();
            b = bytes(len);
        }
        if (b.isNull())
            return QVariant();
        return binary ? QVariant(b) : decodeText(b, wide);
    }
    m_failed = true;
    return QVariant();
}

bool CTdsReader::parameter(QString *name, bool *output, QVariant *value)
{
    *name = bVarchar();
    *output = (u8() & 0x01) != 0;
    const quint8 type = u8();
    *value = typedValue(type);
    return !m_failed;
}
