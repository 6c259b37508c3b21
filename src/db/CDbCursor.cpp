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
    m_lastErrorDescription = description;
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
            // The result of a stored body is that of its last statement (none: no result).
            ok = CSqlDialect::runStoredBody(q, m_query,
                                            [this](QSqlQuery &query, const QString &statement) {
                                                return m_connection->exec(query, statement);
                                            }) &&
                 q.isActive();
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
    auto table = std::make_shared<CDbTable>(dialect);
    const bool read = table->read(q, m_sizeHint, m_like.get());
    m_like.reset();
    if (!read) {
        recordError(CDbError::codeFor(q.lastError()), m_connection->driverName(), CDbError::describe(q.lastError()));
        return false;
    }
    m_table = std::move(table);
    m_open = true;
    m_position = 0;
    return true;
}

void CDbCursor::prepareFilter(const QString &column)
{
    const int c = columnIndex(column);
    if (c >= 0)
        m_table->prepareIndex(c);
}

void CDbCursor::adopt(CDbCursor &fresh)
{
    std::swap(m_table, fresh.m_table);
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
    m_table.reset();
    m_filtered.clear();
    m_hasFilter = false;
    m_position = 0;
}

int CDbCursor::recordCount() const
{
    if (!m_open)
        return 0;
    return m_hasFilter ? int(m_filtered.size()) : m_table->rowCount();
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
    return m_open ? m_table->columnNames() : QStringList();
}

int CDbCursor::columnIndex(QStringView column) const
{
    return m_open ? m_table->columnIndex(column) : -1;
}

int CDbCursor::currentRow(QStringView column, int index)
{
    if (!m_open) {
        recordError(CDbError::kObjectClosed, QStringLiteral("Zorvik"),
                    QStringLiteral("Operation is not allowed when the object is closed."));
        return -1;
    }
    if (index < 0 || index >= m_table->columnCount()) {
        recordError(CDbError::kItemNotFound, QStringLiteral("Zorvik"),
                    QStringLiteral("Item cannot be found in the collection corresponding to the requested name "
                                   "or ordinal: %1")
                        .arg(column.isNull() ? QString::number(index) : column.toString()));
        return -1;
    }
    if (isEOF()) {
        recordError(CDbError::kUnspecified, QStringLiteral("Zorvik"),
                    QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
        return -1;
    }
    return m_hasFilter ? m_filtered[size_t(m_position)] : int(m_position);
}

bool CDbCursor::valueToDateTime(const QVariant &value, CDateTime &out, CSqlDialect::Kind dialect)
{
    return CDbTable::valueToDateTime(value, out, dialect);
}

bool CDbCursor::valueToText(const QVariant &value, QString &text, const QString &dateFormat, CSqlDialect::Kind dialect)
{
    return CDbTable::valueToText(value, text, dateFormat, dialect);
}

bool CDbCursor::getFieldText(const QString &column, QString &text, const QString &dateFormat)
{
    return fieldText(columnIndex(column), text, dateFormat, column);
}

bool CDbCursor::fieldText(int column, QString &text, const QString &dateFormat, QStringView name)
{
    text.clear();
    const int row = currentRow(name, column);
    if (row < 0)
        return false;
    if (!m_table->text(row, column, text, dateFormat)) {
        recordError(CDbError::kUnspecified, QStringLiteral("Zorvik"),
                    QStringLiteral("The field %1 has no text form.").arg(m_table->columnNames().at(column)));
        return false;
    }
    return true;
}

bool CDbCursor::getFieldDateTime(const QString &column, CDateTime &value)
{
    return fieldDateTime(columnIndex(column), value, column);
}

bool CDbCursor::fieldDateTime(int column, CDateTime &value, QStringView name)
{
    const int row = currentRow(name, column);
    if (row < 0)
        return false;
    if (!m_table->dateTime(row, column, value)) {
        recordError(CDbError::kUnspecified, QStringLiteral("Zorvik"),
                    QStringLiteral("The field %1 is not a date.").arg(m_table->columnNames().at(column)));
        return false;
    }
    return true;
}

bool CDbCursor::getFieldBytes(const QString &column, QByteArray &bytes)
{
    const int c = columnIndex(column);
    const int row = currentRow(column, c);
    return row >= 0 && m_table->bytes(row, c, bytes);
}

qsizetype CDbCursor::getFieldSize(const QString &column)
{
    const int c = columnIndex(column);
    const int row = currentRow(column, c);
    return row < 0 ? 0 : m_table->size(row, c);
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
    const CDbTable &t = *m_table;
    const auto matchesFrom = [&](int r, qsizetype k) {
        for (; k < clauses.size(); ++k)
            if (!t.textEquals(r, columns.at(k), clauses.at(k).value()))
                return false;
        return true;
    };
    if (!indexedFilters()) {
        // The measurement baseline: every row against every clause.
        for (int r = 0; r < t.rowCount(); ++r)
            if (matchesFrom(r, 0))
                m_filtered.push_back(r);
    } else {
        for (int r = t.firstEqual(columns.first(), clauses.first().value()); r >= 0;
             r = t.nextEqual(columns.first(), r))
            if (matchesFrom(r, 1))
                m_filtered.push_back(r);
    }
    m_hasFilter = true;
    return true;
}

bool CDbCursor::filterEquals(int column, QStringView value)
{
    return filterEquals(column, value, -1, {});
}

bool CDbCursor::filterEquals(int column, QStringView value, int column2, QStringView value2)
{
    m_position = 0;
    m_filtered.clear();
    m_hasFilter = true;
    if (!m_open)
        return true;
    const int columns = m_table->columnCount();
    if (column < 0 || column >= columns || column2 >= columns) {
        recordError(CDbError::kUnsupportedFilter, QStringLiteral("Zorvik"),
                    QStringLiteral("Arguments are of the wrong type, are out of acceptable range, or are in conflict "
                                   "with one another: column %1")
                        .arg(column < 0 || column >= columns ? column : column2));
        return true;
    }
    for (int r = m_table->firstEqual(column, value); r >= 0; r = m_table->nextEqual(column, r))
        if (column2 < 0 || m_table->textEquals(r, column2, value2))
            m_filtered.push_back(r);
    return true;
}

bool CDbCursor::fieldEquals(int column, QStringView text)
{
    if (!m_open || column < 0 || column >= m_table->columnCount() || isEOF())
        return false;
    return m_table->textEquals(m_hasFilter ? m_filtered[size_t(m_position)] : int(m_position), column, text);
}
