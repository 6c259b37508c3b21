#include "db/CDbTable.h"
#include "db/CDbCursor.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <bit>
#include <cstdio>
#include <limits>

namespace {

int digits(QStringView s, qsizetype from, qsizetype count)
{
    int v = 0;
    for (qsizetype i = from; i < from + count; ++i)
        v = v * 10 + (s.at(i).unicode() - u'0');
    return v;
}

// "YYYY-MM-DD HH:MM:SS" is packed as the number YYYYMMDDHHMMSS (packIfStored below) and made
// again from it here: the text is all digits in fixed places, so the packing loses nothing.
QStringView unpackStored(quint64 v, char16_t *out)
{
    static const char pattern[] = "dddd-dd-dd dd:dd:dd";
    for (int i = 18; i >= 0; --i) {
        if (pattern[i] == 'd') {
            out[i] = char16_t(u'0' + v % 10);
            v /= 10;
        } else {
            out[i] = char16_t(pattern[i]);
        }
    }
    return QStringView(out, 19);
}

// A text of the stored form read field by field: the result of CDateTime::fromText without a
// trip through the time-zone rules, which cost a file look-up per value.
CDateTime storedTextToDateTime(QStringView s)
{
    return CDateTime::fromParts(digits(s, 0, 4), digits(s, 5, 2), digits(s, 8, 2), digits(s, 11, 2), digits(s, 14, 2),
                                digits(s, 17, 2));
}

// The two above in one walk over the characters: true, with the packed digits, for the stored
// form.
bool packIfStored(QStringView text, quint64 &packed)
{
    if (text.size() != 19)
        return false;
    static constexpr char pattern[] = "dddd-dd-dd dd:dd:dd";
    const char16_t *p = text.utf16();
    quint64 v = 0;
    for (int i = 0; i < 19; ++i) {
        const char16_t c = p[i];
        if (pattern[i] == 'd') {
            if (c < u'0' || c > u'9')
                return false;
            v = v * 10 + quint64(c - u'0');
        } else if (c != char16_t(pattern[i])) {
            return false;
        }
    }
    packed = v;
    return true;
}

bool looksLikeStored(QStringView text)
{
    if (text.size() != 19)
        return false;
    static const char pattern[] = "dddd-dd-dd dd:dd:dd";
    for (int i = 0; i < 19; ++i) {
        const char16_t c = text.at(i).unicode();
        if (pattern[i] == 'd' ? !(c >= u'0' && c <= u'9') : c != char16_t(pattern[i]))
            return false;
    }
    return true;
}

QStringView decimal(quint64 magnitude, bool negative, char16_t *end)
{
    char16_t *p = end;
    do {
        *--p = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (negative)
        *--p = u'-';
    return QStringView(p, end);
}

QString formatReal(const char *format, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return QString::fromLatin1(buf);
}

const QString kDefaultDateFormat = QStringLiteral("%Y-%m-%d %H:%M:%S");

} // namespace

// Rows of one text form chained in row order, their heads in an open-addressing table of the
// texts' hashes, at most half full.
struct CDbTable::Index
{
    struct Slot
    {
        quint32 hash = 0;
        qint32 head = -1; // -1: free
    };
    std::vector<Slot> table;
    std::vector<qint32> next;
    size_t seed = 0;
    bool integers = false; // every cell an integer: hashed and compared as numbers
};

namespace {

// The integer whose text form is exactly value (as an integer cell shows it: no sign but a minus,
// no leading zero, no blank), or false.
bool canonicalInteger(QStringView value, qint64 &out)
{
    qsizetype i = 0;
    const bool negative = !value.isEmpty() && value.at(0) == u'-';
    if (negative)
        ++i;
    const qsizetype digits = value.size() - i;
    if (digits < 1 || digits > 19 || (value.at(i) == u'0' && (digits > 1 || negative)))
        return false;
    quint64 v = 0;
    for (; i < value.size(); ++i) {
        const char16_t c = value.at(i).unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + quint64(c - u'0');
    }
    if (v > quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0))
        return false;
    out = negative ? qint64(0 - v) : qint64(v);
    return true;
}

quint32 integerHash(qint64 v, size_t seed)
{
    return quint32(qHash(v, seed));
}

} // namespace

CDbTable::CDbTable(CSqlDialect::Kind dialect) : m_dialect(dialect) {}

CDbTable::~CDbTable() = default;

bool CDbTable::read(QSqlQuery &q, qsizetype sizeHint, const CDbTable *like)
{
    const QSqlRecord rec = q.record();
    const int n = rec.count();
    m_columns.resize(size_t(n));
    for (int c = 0; c < n; ++c)
        m_names << rec.fieldName(c);
    for (int c = 0; c < n; ++c) {
        int first = c;
        for (int k = 0; k < c; ++k)
            if (m_names.at(k).compare(m_names.at(c), Qt::CaseInsensitive) == 0) {
                first = k;
                break;
            }
        m_firstOfName.push_back(first);
    }
    const qsizetype expected = std::max<qsizetype>(sizeHint, q.size()) + 16;
    for (Column &col : m_columns) {
        col.tags.reserve(size_t(expected));
        col.values.reserve(size_t(expected));
    }
    // The texts of the same statement read before, with room to grow a little: a large table read
    // every cycle then neither doubles its buffers on the way nor copies them to fit afterwards.
    if (like && like->columnCount() == n)
        for (int c = 0; c < n; ++c) {
            const size_t before = like->m_columns[size_t(c)].chars.size();
            m_columns[size_t(c)].chars.reserve(before + before / 32 + 64);
        }
    while (q.next()) {
        for (int c = 0; c < n; ++c)
            append(m_columns[size_t(c)], q.value(c));
        ++m_rows;
    }
    // Storage grows by doubling while the rows come: what is left over is given back, since the
    // table is kept (a large site's tables are read again every cycle and live on).
    const auto fit = [](auto &v) {
        if (v.capacity() - v.size() > v.size() / 16 + 64)
            v.shrink_to_fit();
    };
    for (Column &col : m_columns) {
        fit(col.tags);
        fit(col.values);
        fit(col.chars);
    }
    m_indexes.resize(size_t(n));
    return q.lastError().type() == QSqlError::NoError;
}

void CDbTable::append(Column &c, const QVariant &v)
{
    quint8 tag = Other;
    quint64 value = 0;
    if (!v.isValid() || v.isNull()) {
        tag = v.metaType().id() == QMetaType::QByteArray ? NullBytes : Null;
    } else {
        switch (v.metaType().id()) {
        case QMetaType::LongLong: // what SQLite's driver gives for every integer: read in place
            tag = Int;
            value = quint64(*static_cast<const qlonglong *>(v.constData()));
            break;
        case QMetaType::Short:
        case QMetaType::UChar:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::Int:
        case QMetaType::Long:
            tag = Int;
            value = quint64(v.toLongLong());
            break;
        case QMetaType::UShort:
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            tag = UInt;
            value = v.toULongLong();
            break;
        case QMetaType::Float:
            tag = Float;
            value = std::bit_cast<quint64>(double(v.toFloat()));
            break;
        case QMetaType::Double:
            tag = Double;
            value = std::bit_cast<quint64>(v.toDouble());
            break;
        case QMetaType::Bool:
            tag = Bool;
            value = v.toBool() ? 1 : 0;
            break;
        case QMetaType::QDateTime:
        case QMetaType::QDate: {
            CDateTime d;
            valueToDateTime(v, d, m_dialect);
            if (d.isValid()) {
                tag = Moment;
                value = std::bit_cast<quint64>(d.days());
            }
            break;
        }
        case QMetaType::QString: {
            const QString &s = *static_cast<const QString *>(v.constData());
            if (m_dialect == CSqlDialect::Sqlite && packIfStored(s, value)) {
                tag = StoredText;
            } else if (c.chars.size() + size_t(s.size()) <= 0xFFFFFFFFu) {
                tag = Text;
                value = (quint64(c.chars.size()) << 32) | quint64(s.size());
                c.chars.insert(c.chars.end(), s.utf16(), s.utf16() + s.size());
            }
            break;
        }
        case QMetaType::QByteArray:
            tag = Bytes;
            value = c.blobs.size();
            c.blobs.push_back(v.toByteArray());
            break;
        default:
            break;
        }
    }
    if (tag == Other) {
        value = c.others.size();
        c.others.push_back(v);
    }
    c.tags.push_back(tag);
    c.values.push_back(value);
}

int CDbTable::columnIndex(QStringView name) const
{
    for (qsizetype c = 0; c < m_names.size(); ++c)
        if (m_names.at(c) == name)
            return m_firstOfName[size_t(c)];
    for (qsizetype c = 0; c < m_names.size(); ++c)
        if (m_names.at(c).compare(name, Qt::CaseInsensitive) == 0)
            return int(c);
    return -1;
}

bool CDbTable::isNull(int row, int column) const
{
    const quint8 tag = m_columns[size_t(column)].tags[size_t(row)];
    return tag == Null || tag == NullBytes;
}

QVariant CDbTable::variant(int row, int column) const
{
    const Column &c = m_columns[size_t(column)];
    return c.others[size_t(c.values[size_t(row)])];
}

QStringView CDbTable::textView(int row, int column, Scratch &scratch) const
{
    const Column &c = m_columns[size_t(column)];
    const quint64 v = c.values[size_t(row)];
    char16_t *end = scratch.buffer + std::size(scratch.buffer);
    switch (c.tags[size_t(row)]) {
    case Null:
    case NullBytes:
        return QStringView();
    case Int:
        return decimal(qint64(v) < 0 ? 0 - v : v, qint64(v) < 0, end);
    case UInt:
        return decimal(v, false, end);
    case Bool:
        return v ? QStringView(u"T") : QStringView(u"F");
    case StoredText:
        return unpackStored(v, scratch.buffer);
    case Text:
        return QStringView(c.chars.data() + (v >> 32), qsizetype(v & 0xFFFFFFFFu));
    default:
        text(row, column, scratch.text);
        return scratch.text;
    }
}

bool CDbTable::text(int row, int column, QString &out, const QString &dateFormat) const
{
    out.clear();
    const Column &c = m_columns[size_t(column)];
    const quint64 v = c.values[size_t(row)];
    switch (c.tags[size_t(row)]) {
    case Null:
    case NullBytes:
        return true;
    case Int:
    case UInt:
    case Bool:
    case Text: {
        Scratch s;
        out = textView(row, column, s).toString();
        return true;
    }
    case StoredText: {
        char16_t buf[19];
        const QStringView s = unpackStored(v, buf);
        out = dateFormat.isEmpty() ? s.toString() : storedTextToDateTime(s).format(dateFormat);
        return true;
    }
    case Float:
        out = formatReal("%.10g", std::bit_cast<double>(v));
        return true;
    case Double:
        out = formatReal("%.20g", std::bit_cast<double>(v));
        return true;
    case Moment:
        out = CDateTime(std::bit_cast<double>(v)).format(dateFormat.isEmpty() ? kDefaultDateFormat : dateFormat);
        return true;
    case Bytes:
        return false;
    default:
        return valueToText(variant(row, column), out, dateFormat, m_dialect);
    }
}

bool CDbTable::dateTime(int row, int column, CDateTime &out) const
{
    const Column &c = m_columns[size_t(column)];
    const quint64 v = c.values[size_t(row)];
    switch (c.tags[size_t(row)]) {
    case Null:
    case NullBytes:
        out = CDateTime::null();
        return true;
    case Moment:
        out = CDateTime(std::bit_cast<double>(v));
        return true;
    case StoredText: {
        char16_t buf[19];
        const CDateTime d = storedTextToDateTime(unpackStored(v, buf));
        if (!d.isValid())
            return false;
        out = d;
        return true;
    }
    case Text:
        // An empty text is a missing date; any other text is no date.
        if ((v & 0xFFFFFFFFu) != 0)
            return false;
        out = CDateTime::null();
        return true;
    case Other:
        return valueToDateTime(variant(row, column), out, m_dialect);
    default:
        return false;
    }
}

bool CDbTable::bytes(int row, int column, QByteArray &out) const
{
    const Column &c = m_columns[size_t(column)];
    switch (c.tags[size_t(row)]) {
    case Bytes:
        out = c.blobs[size_t(c.values[size_t(row)])];
        return true;
    case NullBytes:
        out = QByteArray();
        return true;
    default:
        return false;
    }
}

qsizetype CDbTable::size(int row, int column) const
{
    const Column &c = m_columns[size_t(column)];
    switch (c.tags[size_t(row)]) {
    case Null:
    case NullBytes:
        return 0;
    case Bytes:
        return c.blobs[size_t(c.values[size_t(row)])].size();
    case Other:
        return variant(row, column).toString().toUtf8().size();
    default: {
        Scratch s;
        return textView(row, column, s).toUtf8().size();
    }
    }
}

bool CDbTable::textEquals(int row, int column, QStringView value) const
{
    Scratch s;
    return textView(row, column, s) == value;
}

bool CDbTable::sameCell(int row, int column, const CDbTable &other, int otherRow, int otherColumn) const
{
    const Column &a = m_columns[size_t(column)];
    const Column &b = other.m_columns[size_t(otherColumn)];
    const quint8 tag = a.tags[size_t(row)];
    if (tag != b.tags[size_t(otherRow)])
        return false;
    const quint64 va = a.values[size_t(row)], vb = b.values[size_t(otherRow)];
    switch (tag) {
    case Null:
    case NullBytes:
        return true;
    case Text:
        return QStringView(a.chars.data() + (va >> 32), qsizetype(va & 0xFFFFFFFFu)) ==
               QStringView(b.chars.data() + (vb >> 32), qsizetype(vb & 0xFFFFFFFFu));
    case Bytes:
        return a.blobs[size_t(va)] == b.blobs[size_t(vb)];
    case Other:
        return a.others[size_t(va)] == b.others[size_t(vb)];
    default:
        return va == vb;
    }
}

bool CDbTable::hasIndex(int column) const
{
    return m_indexes[size_t(column)] != nullptr;
}

void CDbTable::prepareIndex(int column) const
{
    if (!m_indexes[size_t(column)])
        buildIndex(column);
}

void CDbTable::buildIndex(int column) const
{
    auto index = std::make_unique<Index>();
    index->next.assign(size_t(m_rows), -1);
    size_t size = 8;
    while (size < size_t(m_rows) * 2)
        size *= 2;
    index->table.assign(size, {});
    index->seed = QHashSeed::globalSeed();
    const size_t mask = size - 1;
    const Column &c = m_columns[size_t(column)];
    index->integers = std::all_of(c.tags.begin(), c.tags.end(), [](quint8 tag) { return tag == Int; });
    // Open addressing: each slot holds the hash and the first row of a value's chain. From the
    // last row up, so that every chain runs in row order.
    const auto insertAll = [&](auto hashOf, auto sameValue) {
        for (int r = m_rows - 1; r >= 0; --r) {
            const quint32 hash = hashOf(r);
            size_t i = hash & mask;
            while (index->table[i].head >= 0 && !(index->table[i].hash == hash && sameValue(index->table[i].head, r)))
                i = (i + 1) & mask;
            Index::Slot &slot = index->table[i];
            if (slot.head >= 0)
                index->next[size_t(r)] = slot.head;
            slot.hash = hash;
            slot.head = r;
        }
    };
    if (index->integers) {
        const auto value = [&c](int r) { return qint64(c.values[size_t(r)]); };
        insertAll([&](int r) { return integerHash(value(r), index->seed); },
                  [&](int a, int b) { return value(a) == value(b); });
    } else {
        Scratch s, probe;
        insertAll([&](int r) { return quint32(qHash(textView(r, column, s), index->seed)); },
                  [&](int a, int b) { return textView(a, column, probe) == textView(b, column, s); });
    }
    m_indexes[size_t(column)] = std::move(index);
}

int CDbTable::firstEqual(int column, QStringView value) const
{
    if (!CDbCursor::indexedFilters())
        return scanEqual(column, value, 0);
    prepareIndex(column);
    const Index &index = *m_indexes[size_t(column)];
    const size_t mask = index.table.size() - 1;
    if (index.integers) {
        qint64 v = 0;
        if (!canonicalInteger(value, v))
            return -1;
        const std::vector<quint64> &values = m_columns[size_t(column)].values;
        const quint32 hash = integerHash(v, index.seed);
        for (size_t i = hash & mask; index.table[i].head >= 0; i = (i + 1) & mask)
            if (index.table[i].hash == hash && qint64(values[size_t(index.table[i].head)]) == v)
                return index.table[i].head;
        return -1;
    }
    const quint32 hash = quint32(qHash(value, index.seed));
    Scratch s;
    for (size_t i = hash & mask; index.table[i].head >= 0; i = (i + 1) & mask)
        if (index.table[i].hash == hash && textView(index.table[i].head, column, s) == value)
            return index.table[i].head;
    return -1;
}

int CDbTable::nextEqual(int column, int row) const
{
    if (!CDbCursor::indexedFilters()) {
        Scratch s;
        return scanEqual(column, textView(row, column, s), row + 1);
    }
    return m_indexes[size_t(column)]->next[size_t(row)];
}

int CDbTable::scanEqual(int column, QStringView value, int from) const
{
    // The measurement baseline of the indexes: every row, in order.
    for (int r = from; r < rowCount(); ++r)
        if (textEquals(r, column, value))
            return r;
    return -1;
}

qsizetype CDbTable::heapBytes() const
{
    qsizetype n = 0;
    for (const Column &c : m_columns) {
        n += qsizetype(c.tags.capacity() + c.values.capacity() * sizeof(quint64) + c.chars.capacity() * 2);
        for (const QByteArray &b : c.blobs)
            n += b.capacity() + qsizetype(sizeof(QByteArray));
        n += qsizetype(c.others.capacity() * sizeof(QVariant));
    }
    for (const auto &index : m_indexes)
        if (index)
            n += qsizetype(index->table.capacity() * sizeof(Index::Slot) + index->next.capacity() * sizeof(qint32));
    return n;
}

bool CDbTable::valueToDateTime(const QVariant &value, CDateTime &out, CSqlDialect::Kind dialect)
{
    if (value.isNull() || !value.isValid()) {
        out = CDateTime::null();
        return true;
    }
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
        out = CDateTime::fromLocal(value.toDateTime());
        return true;
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        out = CDateTime::fromParts(d.year(), d.month(), d.day());
        return true;
    }
    case QMetaType::QString: {
        const QString s = value.toString();
        if (s.isEmpty()) {
            out = CDateTime::null();
            return true;
        }
        // SQLite keeps date-times as text in the stored form.
        if (dialect == CSqlDialect::Sqlite && looksLikeStored(s)) {
            out = storedTextToDateTime(s);
            return out.isValid();
        }
        return false;
    }
    default:
        return false;
    }
}

bool CDbTable::valueToText(const QVariant &value, QString &text, const QString &dateFormat, CSqlDialect::Kind dialect)
{
    text.clear();
    if (!value.isValid() || value.isNull())
        return true;
    const QString &fmt = dateFormat.isEmpty() ? kDefaultDateFormat : dateFormat;
    switch (value.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UChar:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        text = QString::number(value.toLongLong());
        return true;
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        text = QString::number(value.toULongLong());
        return true;
    case QMetaType::Float:
        text = formatReal("%.10g", double(value.toFloat()));
        return true;
    case QMetaType::Double:
        text = formatReal("%.20g", value.toDouble());
        return true;
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        CDateTime dt;
        valueToDateTime(value, dt, dialect);
        text = dt.format(fmt);
        return true;
    }
    case QMetaType::QString: {
        const QString s = value.toString();
        if (dialect == CSqlDialect::Sqlite && !dateFormat.isEmpty() && looksLikeStored(s)) {
            text = storedTextToDateTime(s).format(fmt);
            return true;
        }
        text = s;
        return true;
    }
    case QMetaType::Bool:
        text = value.toBool() ? QStringLiteral("T") : QStringLiteral("F");
        return true;
    default:
        return false;
    }
}
