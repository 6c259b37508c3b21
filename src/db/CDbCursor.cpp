#include "db/CDbCursor.h"

#include "db/CDbConnection.h"
#include "db/CDbError.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVarLengthArray>
#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {
std::atomic<bool> s_indexedFilters{true};

int digits(const QString &s, qsizetype from, qsizetype count)
{
    int v = 0;
    for (qsizetype i = from; i < from + count; ++i)
        v = v * 10 + (s.at(i).unicode() - u'0');
    return v;
}

// A text of the stored form "YYYY-MM-DD HH:MM:SS" (checked by the caller), read field by
// field: the result of CDateTime::fromText without a trip through the time-zone rules, which
// cost a file look-up per value and made every read of DatumLastReg slow.
CDateTime storedTextToDateTime(const QString &s)
{
    return CDateTime::fromParts(digits(s, 0, 4), digits(s, 5, 2), digits(s, 8, 2), digits(s, 11, 2), digits(s, 14, 2),
                                digits(s, 17, 2));
}
// A table or view name, plain, dotted or [bracketed], with nothing else.
bool isBareName(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool bracket = false;
    for (const QChar c : t) {
        if (c == u'[')
            bracket = true;
        else if (c == u']')
            bracket = false;
        else if (!bracket && !(c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'#' || c == u'@'))
            return false;
    }
    return true;
}
} // namespace

void CDbCursor::setIndexedFilters(bool on)
{
    s_indexedFilters.store(on, std::memory_order_relaxed);
}

bool CDbCursor::indexedFilters()
{
    return s_indexedFilters.load(std::memory_order_relaxed);
}

struct CDbCursor::Data
{
    QStringList columns;
    QHash<QString, int> columnByName; // lower-case name -> column
    // Per column, the column that a lookup by its exact name finds (the first of its name
    // ignoring case), so that the usual lookup needs no lower-casing.
    QList<int> firstOfName;
    int columnCount = 0;
    int rowCount = 0;
    QList<QVariant> cells; // row-major
    CSqlDialect::Kind dialect = CSqlDialect::SqlServer;
    // Per column, built on first use: text of every cell, and for each distinct text its
    // first row with a chain to the next row of the same text. The first rows sit in an
    // open-addressing table that keeps each text's hash beside its row, and short texts (most
    // identifiers) in the slot itself, so a lookup mostly touches one slot and nothing else.
    struct Index
    {
        // Sixteen bytes a slot, four to a cache line; texts of up to six Latin-1 characters
        // are kept in the slot.
        static constexpr int kInline = 6;
        struct Slot
        {
            quint32 hash = 0;
            qint32 head = -1;      // -1: free
            quint8 length = kLong; // length of the text kept in chars, kLong when not kept
            bool several = false;  // more rows than the head have this text
            char chars[kInline] = {};

            static constexpr quint8 kLong = 0xFF;
            bool holds(QStringView text, quint32 h, const QList<QString> &texts) const
            {
                if (hash != h)
                    return false;
                if (length == kLong)
                    return texts.at(head) == text;
                if (text.size() != length)
                    return false;
                for (int i = 0; i < length; ++i)
                    if (text.at(i).unicode() != uchar(chars[i]))
                        return false;
                return true;
            }
            void keep(QStringView text)
            {
                if (text.size() > kInline)
                    return;
                for (qsizetype i = 0; i < text.size(); ++i) {
                    if (text.at(i).unicode() > 0xFF)
                        return;
                    chars[i] = char(text.at(i).unicode());
                }
                length = quint8(text.size());
            }
        };
        static_assert(sizeof(Slot) == 16);
        bool built = false;
        QList<QString> texts;
        QList<int> next;
        std::vector<Slot> table; // a power of two, at most half full
        size_t seed = 0;

        // The slot of the text, or the free slot where it belongs.
        size_t slotOf(QStringView text, quint32 hash) const
        {
            const size_t mask = table.size() - 1;
            size_t i = hash & mask;
            while (table[i].head >= 0 && !table[i].holds(text, hash, texts))
                i = (i + 1) & mask;
            return i;
        }
        const Slot &slot(QStringView text) const { return table[slotOf(text, quint32(qHash(text, seed)))]; }
    };
    mutable std::vector<Index> indexes; // one per column
};

namespace {

// One clause of a filter, pointing into the filter's text; a value with doubled quotes is
// kept unescaped in its own string.
struct FilterClause
{
    QStringView column;
    QStringView raw;
    QString unescaped;
    bool escaped = false;
    QStringView value() const { return escaped ? QStringView(unescaped) : raw; }
};
using FilterClauses = QVarLengthArray<FilterClause, 4>;

// col = 'v' [and col = 'v' ...], the column plain or [bracketed].
bool parseClauses(QStringView s, FilterClauses &clauses)
{
    clauses.clear();
    qsizetype i = 0;
    auto skipSpace = [&] {
        while (i < s.size() && s.at(i).isSpace())
            ++i;
    };
    for (;;) {
        skipSpace();
        FilterClause clause;
        if (i < s.size() && s.at(i) == u'[') {
            const qsizetype end = s.indexOf(u']', i);
            if (end < 0)
                return false;
            clause.column = s.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            const qsizetype start = i;
            while (i < s.size() && (s.at(i).isLetterOrNumber() || s.at(i) == u'_' || s.at(i) == u'.'))
                ++i;
            clause.column = s.mid(start, i - start);
        }
        if (clause.column.isEmpty())
            return false;
        skipSpace();
        if (i >= s.size() || s.at(i) != u'=')
            return false;
        ++i;
        skipSpace();
        if (i >= s.size() || s.at(i) != u'\'')
            return false;
        ++i;
        // The value runs to the first quote that is not doubled; a doubled quote stands for one.
        const qsizetype run = i;
        bool closed = false;
        while (i < s.size()) {
            const qsizetype quote = s.indexOf(u'\'', i);
            if (quote < 0)
                break;
            if (quote + 1 < s.size() && s.at(quote + 1) == u'\'') {
                clause.escaped = true;
                i = quote + 2;
                continue;
            }
            closed = true;
            clause.raw = s.mid(run, quote - run);
            i = quote + 1;
            break;
        }
        if (!closed)
            return false;
        if (clause.escaped)
            clause.unescaped = clause.raw.toString().replace(QLatin1String("''"), QLatin1String("'"));
        clauses.append(std::move(clause));
        skipSpace();
        if (i >= s.size())
            return true;
        if (s.mid(i, 3).compare(QLatin1String("and"), Qt::CaseInsensitive) != 0 ||
            (i + 3 < s.size() && !s.at(i + 3).isSpace() && s.at(i + 3) != u'['))
            return false;
        i += 3;
    }
}

} // namespace

CDbCursor::CDbCursor() = default;

CDbCursor::CDbCursor(CDbConnection *connection) : m_connection(connection) {}

CDbCursor::~CDbCursor() = default;

void CDbCursor::recordError(quint32 code, const QString &source, const QString &description)
{
    m_lastErrorCode = code;
    m_lastErrorText =
        QStringLiteral("Query = ") + m_query + u'\n' + CDbError::format("CDbCursor", code, source, description);
}

bool CDbCursor::open(const QString &queryText, int kind, CDbConnection::Send send)
{
    close();
    if (!queryText.isEmpty())
        m_query = queryText;
    qsizetype lead = 0;
    while (lead < m_query.size() && m_query.at(lead) == u' ')
        ++lead;
    m_query = m_query.mid(lead);
    if (!m_connection) {
        recordError(CDbError::kObjectClosed, QStringLiteral("Zorvik"),
                    QStringLiteral("The cursor is not bound to a connection."));
        return false;
    }
    const bool isSelect = m_query.left(7).compare(QLatin1String("select "), Qt::CaseInsensitive) == 0;
    if (!isSelect && (kind < Unknown || kind > StoredProcedure)) {
        recordError(CDbError::kUnspecified, QStringLiteral("Zorvik"), QStringLiteral("Unknown cursor kind."));
        return false;
    }
    QSqlDatabase db;
    QSqlError error;
    if (!m_connection->threadDatabase(db, &error)) {
        recordError(CDbError::codeFor(error), m_connection->driverName(), CDbError::describe(error));
        return false;
    }
    const CSqlDialect::Kind dialect = m_connection->dialect();
    QString sql = m_query;
    // A table opens by its name; so does a bare name given as a query of unknown kind.
    if (!isSelect && (kind == Table || ((kind == Unknown || kind == Query) && isBareName(m_query))))
        sql = QStringLiteral("select * from ") + m_query;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    bool ok = false;
    if (!isSelect && kind == StoredProcedure) {
        if (dialect == CSqlDialect::Sqlite) {
            // The result of a stored body is that of its last statement.
            q.prepare(CSqlDialect::procedureBodyQuery());
            q.addBindValue(m_query);
            if (q.exec() && q.next()) {
                const QStringList statements = CSqlDialect::splitStatements(q.value(0).toString());
                q = QSqlQuery(db);
                q.setForwardOnly(true);
                ok = !statements.isEmpty();
                for (const QString &st : statements)
                    if (!(ok = m_connection->exec(q, CSqlDialect::rewrite(dialect, st))))
                        break;
            }
        } else {
            ok = m_connection->exec(q, CSqlDialect::callText(m_query));
        }
    } else {
        ok = m_connection->exec(q, CSqlDialect::rewrite(dialect, sql), send);
    }
    if (!ok) {
        const QSqlError e = q.lastError();
        recordError(CDbError::codeFor(e), m_connection->driverName(),
                    e.type() == QSqlError::NoError ? QStringLiteral("The statement could not be run.")
                                                   : CDbError::describe(e));
        return false;
    }
    auto data = std::make_unique<Data>();
    data->dialect = dialect;
    const QSqlRecord rec = q.record();
    data->columnCount = rec.count();
    for (int c = 0; c < data->columnCount; ++c)
        data->columns << rec.fieldName(c);
    // Of two columns with one name, a lookup by name finds the first.
    for (int c = data->columnCount - 1; c >= 0; --c)
        data->columnByName.insert(rec.fieldName(c).toLower(), c);
    for (int c = 0; c < data->columnCount; ++c)
        data->firstOfName << data->columnByName.value(data->columns.at(c).toLower());
    data->indexes.resize(size_t(data->columnCount));
    const int n = data->columnCount;
    if (q.size() > 0)
        data->cells.reserve(qsizetype(q.size()) * n);
    while (q.next()) {
        for (int c = 0; c < n; ++c)
            data->cells.append(q.value(c));
        ++data->rowCount;
    }
    if (q.lastError().type() != QSqlError::NoError) {
        recordError(CDbError::codeFor(q.lastError()), m_connection->driverName(), CDbError::describe(q.lastError()));
        return false;
    }
    m_data = std::move(data);
    m_open = true;
    m_position = 0;
    return true;
}

void CDbCursor::prepareFilter(const QString &column)
{
    const int c = columnIndex(column);
    if (c >= 0 && !m_data->indexes[size_t(c)].built)
        buildIndex(c);
}

void CDbCursor::adopt(CDbCursor &fresh)
{
    std::swap(m_data, fresh.m_data);
    std::swap(m_open, fresh.m_open);
    if (!fresh.m_query.isEmpty())
        m_query = fresh.m_query;
    std::swap(m_lastErrorText, fresh.m_lastErrorText);
    std::swap(m_lastErrorCode, fresh.m_lastErrorCode);
    m_filtered.clear();
    m_hasFilter = false;
    m_position = 0;
    // The old rows stay with fresh and are freed with it, after the caller's lock is let go.
    fresh.m_open = false;
    fresh.m_filtered.clear();
    fresh.m_hasFilter = false;
    fresh.m_position = 0;
}

void CDbCursor::close()
{
    m_open = false;
    m_data.reset();
    m_filtered.clear();
    m_hasFilter = false;
    m_position = 0;
}

int CDbCursor::recordCount() const
{
    if (!m_open)
        return 0;
    return m_hasFilter ? int(m_filtered.size()) : m_data->rowCount;
}

void CDbCursor::moveFirst()
{
    m_position = 0;
}

void CDbCursor::moveNext()
{
    if (m_position < recordCount())
        ++m_position;
}

bool CDbCursor::isEOF() const
{
    return !m_open || m_position >= recordCount();
}

QStringList CDbCursor::columnNames() const
{
    return m_open ? m_data->columns : QStringList();
}

int CDbCursor::columnIndex(QStringView column) const
{
    if (!m_open)
        return -1;
    // Lookups by name ignore case, as the server's do; a name written as the server spells it
    // is found without lower-casing.
    const QStringList &columns = m_data->columns;
    for (qsizetype c = 0; c < columns.size(); ++c)
        if (columns.at(c) == column)
            return m_data->firstOfName.at(c);
    return m_data->columnByName.value(column.toString().toLower(), -1);
}

const QVariant *CDbCursor::field(const QString &column)
{
    if (!m_open) {
        recordError(CDbError::kObjectClosed, QStringLiteral("Zorvik"),
                    QStringLiteral("Operation is not allowed when the object is closed."));
        return nullptr;
    }
    const int c = columnIndex(column);
    if (c < 0) {
        recordError(CDbError::kItemNotFound, QStringLiteral("Zorvik"),
                    QStringLiteral("Item cannot be found in the collection corresponding to the requested name "
                                   "or ordinal: %1")
                        .arg(column));
        return nullptr;
    }
    if (isEOF()) {
        recordError(CDbError::kUnspecified, QStringLiteral("Zorvik"),
                    QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
        return nullptr;
    }
    const int row = m_hasFilter ? m_filtered.at(m_position) : int(m_position);
    return &m_data->cells.at(qsizetype(row) * m_data->columnCount + c);
}

bool CDbCursor::valueToDateTime(const QVariant &value, CDateTime &out, CSqlDialect::Kind dialect)
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
        if (dialect == CSqlDialect::Sqlite && CDateTime::looksLikeStoredText(s)) {
            out = storedTextToDateTime(s);
            return out.isValid();
        }
        return false;
    }
    default:
        return false;
    }
}

bool CDbCursor::valueToText(const QVariant &value, QString &text, const QString &dateFormat, CSqlDialect::Kind dialect)
{
    text.clear();
    if (!value.isValid() || value.isNull())
        return true;
    const QString fmt = dateFormat.isEmpty() ? QStringLiteral("%Y-%m-%d %H:%M:%S") : dateFormat;
    char buf[64];
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
        std::snprintf(buf, sizeof buf, "%.10g", double(value.toFloat()));
        text = QString::fromLatin1(buf);
        return true;
    case QMetaType::Double:
        std::snprintf(buf, sizeof buf, "%.20g", value.toDouble());
        text = QString::fromLatin1(buf);
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
        if (dialect == CSqlDialect::Sqlite && !dateFormat.isEmpty() && CDateTime::looksLikeStoredText(s)) {
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

bool CDbCursor::getFieldText(const QString &column, QString &text, const QString &dateFormat)
{
    text.clear();
    const QVariant *v = field(column);
    if (!v)
        return false;
    if (!valueToText(*v, text, dateFormat, m_data->dialect)) {
        recordError(CDbError::kUnspecified, QStringLiteral("Zorvik"),
                    QStringLiteral("The field %1 has no text form.").arg(column));
        return false;
    }
    return true;
}

bool CDbCursor::getFieldDateTime(const QString &column, CDateTime &value)
{
    const QVariant *v = field(column);
    if (!v)
        return false;
    CDateTime out = value;
    if (!valueToDateTime(*v, out, m_data->dialect)) {
        recordError(CDbError::kUnspecified, QStringLiteral("Zorvik"),
                    QStringLiteral("The field %1 is not a date.").arg(column));
        return false;
    }
    value = out;
    return true;
}

bool CDbCursor::getFieldBytes(const QString &column, QByteArray &bytes)
{
    const QVariant *v = field(column);
    if (!v)
        return false;
    if (v->metaType().id() != QMetaType::QByteArray)
        return false;
    bytes = v->toByteArray();
    return true;
}

qsizetype CDbCursor::getFieldSize(const QString &column)
{
    const QVariant *v = field(column);
    if (!v || v->isNull())
        return 0;
    if (v->metaType().id() == QMetaType::QByteArray)
        return v->toByteArray().size();
    return v->toString().toUtf8().size();
}

bool CDbCursor::parseFilter(const QString &filter, QList<QPair<QString, QString>> &clauses)
{
    clauses.clear();
    FilterClauses parsed;
    if (!parseClauses(filter, parsed))
        return false;
    for (const FilterClause &c : std::as_const(parsed))
        clauses.append({c.column.toString(), c.value().toString()});
    return true;
}

void CDbCursor::buildIndex(int column) const
{
    const Data &d = *m_data;
    Data::Index &index = d.indexes[size_t(column)];
    index.texts = QList<QString>(d.rowCount);
    index.next = QList<int>(d.rowCount, -1);
    size_t size = 8;
    while (size < size_t(d.rowCount) * 2)
        size *= 2;
    index.table.assign(size, {});
    index.seed = QHashSeed::globalSeed();
    // From the last row up, so that every chain runs in row order.
    for (int r = d.rowCount - 1; r >= 0; --r) {
        QString &t = index.texts[r];
        valueToText(d.cells.at(qsizetype(r) * d.columnCount + column), t, QString(), d.dialect);
        const quint32 hash = quint32(qHash(QStringView(t), index.seed));
        Data::Index::Slot &slot = index.table[index.slotOf(t, hash)];
        if (slot.head >= 0) {
            index.next[r] = slot.head;
            slot.several = true;
        } else {
            slot.hash = hash;
            slot.keep(t);
        }
        slot.head = r;
    }
    index.built = true;
}

bool CDbCursor::setFilter(const QString &filter)
{
    m_position = 0;
    // Blank text (checked without making a trimmed copy) removes the filter.
    if (std::all_of(filter.cbegin(), filter.cend(), [](QChar c) { return c.isSpace(); })) {
        m_hasFilter = false;
        m_filtered.clear();
        return true;
    }
    if (!m_open)
        return true;
    FilterClauses clauses;
    QVarLengthArray<int, 4> columns;
    bool ok = parseClauses(filter, clauses);
    for (const FilterClause &c : std::as_const(clauses)) {
        const int col = columnIndex(c.column);
        if (col < 0)
            ok = false;
        columns.append(col);
    }
    if (!ok) {
        recordError(CDbError::kUnsupportedFilter, QStringLiteral("Zorvik"),
                    QStringLiteral("Arguments are of the wrong type, are out of acceptable range, or are in conflict "
                                   "with one another: %1")
                        .arg(filter));
        return true;
    }
    m_filtered.clear();
    // Every column of the filter gets its index before any row is walked.
    for (const int c : std::as_const(columns))
        if (!m_data->indexes[size_t(c)].built)
            buildIndex(c);
    QVarLengthArray<const QList<QString> *, 4> texts;
    for (const int c : std::as_const(columns))
        texts.append(&m_data->indexes[size_t(c)].texts);
    const auto matchesFrom = [&](int r, qsizetype k) {
        for (; k < clauses.size(); ++k)
            if (texts.at(k)->at(r) != clauses.at(k).value())
                return false;
        return true;
    };
    if (!indexedFilters()) {
        // The measurement baseline: every row against every clause.
        for (int r = 0; r < m_data->rowCount; ++r)
            if (matchesFrom(r, 0))
                m_filtered.append(r);
    } else {
        const Data::Index &index = m_data->indexes[size_t(columns.first())];
        const Data::Index::Slot &slot = index.slot(clauses.first().value());
        for (int r = slot.head; r >= 0; r = slot.several ? index.next.at(r) : -1)
            if (matchesFrom(r, 1))
                m_filtered.append(r);
    }
    m_hasFilter = true;
    return true;
}
