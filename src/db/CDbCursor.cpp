#include "db/CDbCursor.h"

#include "db/CDbConnection.h"
#include "db/CDbError.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <cstdio>

namespace {
std::atomic<bool> s_indexedFilters{true};
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
    int columnCount = 0;
    int rowCount = 0;
    QList<QVariant> cells; // row-major
    CSqlDialect::Kind dialect = CSqlDialect::SqlServer;
    // Per column, built on first use: text of every cell, and for each distinct text its
    // first row with a chain to the next row of the same text.
    mutable QHash<int, QList<QString>> texts;
    mutable QHash<int, QHash<QString, int>> heads;
    mutable QHash<int, QList<int>> next;
};

CDbCursor::CDbCursor() = default;

CDbCursor::CDbCursor(CDbConnection *connection) : m_connection(connection) {}

CDbCursor::~CDbCursor() = default;

void CDbCursor::recordError(quint32 code, const QString &source, const QString &description)
{
    m_lastErrorCode = code;
    m_lastErrorText =
        QStringLiteral("Query = ") + m_query + u'\n' + CDbError::format("CDbCursor", code, source, description);
}

bool CDbCursor::open(const QString &queryText, int kind)
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
    if (!isSelect && kind == Table)
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
                    if (!(ok = q.exec(CSqlDialect::rewrite(dialect, st))))
                        break;
            }
        } else {
            ok = q.exec(CSqlDialect::callText(m_query));
        }
    } else {
        ok = q.exec(CSqlDialect::rewrite(dialect, sql));
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
    const int n = data->columnCount;
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

int CDbCursor::columnIndex(const QString &column) const
{
    if (!m_open)
        return -1;
    // Lookups by name ignore case, as the server's do.
    return m_data->columnByName.value(column.toLower(), -1);
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
            out = CDateTime::fromText(s);
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
            text = CDateTime::fromText(s).format(fmt);
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
    const QString &s = filter;
    qsizetype i = 0;
    auto skipSpace = [&] {
        while (i < s.size() && s.at(i).isSpace())
            ++i;
    };
    for (;;) {
        skipSpace();
        // Column name, plain or [bracketed].
        QString column;
        if (i < s.size() && s.at(i) == u'[') {
            const qsizetype end = s.indexOf(u']', i);
            if (end < 0)
                return false;
            column = s.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            const qsizetype start = i;
            while (i < s.size() && (s.at(i).isLetterOrNumber() || s.at(i) == u'_' || s.at(i) == u'.'))
                ++i;
            column = s.mid(start, i - start);
        }
        if (column.isEmpty())
            return false;
        skipSpace();
        if (i >= s.size() || s.at(i) != u'=')
            return false;
        ++i;
        skipSpace();
        if (i >= s.size() || s.at(i) != u'\'')
            return false;
        ++i;
        QString value;
        bool closed = false;
        while (i < s.size()) {
            if (s.at(i) == u'\'') {
                if (i + 1 < s.size() && s.at(i + 1) == u'\'') {
                    value += u'\'';
                    i += 2;
                    continue;
                }
                ++i;
                closed = true;
                break;
            }
            value += s.at(i++);
        }
        if (!closed)
            return false;
        clauses.append({column, value});
        skipSpace();
        if (i >= s.size())
            return true;
        if (s.mid(i, 3).compare(QLatin1String("and"), Qt::CaseInsensitive) != 0 ||
            (i + 3 < s.size() && !s.at(i + 3).isSpace() && s.at(i + 3) != u'['))
            return false;
        i += 3;
    }
}

void CDbCursor::buildIndex(int column) const
{
    const Data &d = *m_data;
    QList<QString> texts(d.rowCount);
    QHash<QString, int> heads;
    heads.reserve(d.rowCount);
    QList<int> next(d.rowCount, -1);
    for (int r = d.rowCount - 1; r >= 0; --r) {
        QString t;
        valueToText(d.cells.at(qsizetype(r) * d.columnCount + column), t, QString(), d.dialect);
        auto it = heads.find(t);
        if (it != heads.end()) {
            next[r] = *it;
            *it = r;
        } else {
            heads.insert(t, r);
        }
        texts[r] = std::move(t);
    }
    d.texts.insert(column, std::move(texts));
    d.heads.insert(column, std::move(heads));
    d.next.insert(column, std::move(next));
}

bool CDbCursor::setFilter(const QString &filter)
{
    m_position = 0;
    if (filter.trimmed().isEmpty()) {
        m_hasFilter = false;
        m_filtered.clear();
        return true;
    }
    if (!m_open)
        return true;
    QList<QPair<QString, QString>> clauses;
    QList<int> columns;
    bool ok = parseFilter(filter, clauses);
    for (const auto &c : std::as_const(clauses)) {
        const int col = columnIndex(c.first);
        if (col < 0)
            ok = false;
        columns << col;
    }
    if (!ok) {
        recordError(CDbError::kUnsupportedFilter, QStringLiteral("Zorvik"),
                    QStringLiteral("Arguments are of the wrong type, are out of acceptable range, or are in conflict "
                                   "with one another: %1")
                        .arg(filter));
        return true;
    }
    m_filtered.clear();
    // Every column of the filter gets its index before any row is walked, so the tables
    // never grow under the references taken below.
    for (const int c : std::as_const(columns))
        if (!m_data->texts.contains(c))
            buildIndex(c);
    QList<const QList<QString> *> texts;
    for (const int c : std::as_const(columns))
        texts << &m_data->texts[c];
    const auto matchesFrom = [&](int r, qsizetype k) {
        for (; k < clauses.size(); ++k)
            if (texts.at(k)->at(r) != clauses.at(k).second)
                return false;
        return true;
    };
    if (!indexedFilters()) {
        // The measurement baseline: every row against every clause.
        for (int r = 0; r < m_data->rowCount; ++r)
            if (matchesFrom(r, 0))
                m_filtered.append(r);
    } else {
        const int first = columns.first();
        const QList<int> &next = m_data->next[first];
        for (int r = m_data->heads[first].value(clauses.first().second, -1); r >= 0; r = next.at(r))
            if (matchesFrom(r, 1))
                m_filtered.append(r);
    }
    m_hasFilter = true;
    return true;
}
