#pragma once

#include "db/CDateTime.h"
#include "db/CDbConnection.h"
#include "db/CDbTable.h"
#include "db/CSqlDialect.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

// A client-side static cursor: opening reads every row into memory (a CDbTable, kept by column)
// and releases the server statement, so moving, counting and filtering never go back to the
// server. Filters of the form  col = 'value' [and col2 = 'value2' ...]  are answered locally
// through a hash index per column, built the first time that column is filtered on.
class CDbCursor
{
public:
    enum Kind
    {
        Unknown = 0,
        Query = 1,
        Table = 2,
        StoredProcedure = 3
    };

    CDbCursor();
    explicit CDbCursor(CDbConnection *connection);
    ~CDbCursor();
    CDbCursor(const CDbCursor &) = delete;
    CDbCursor &operator=(const CDbCursor &) = delete;

    // Closes first; a non-empty text replaces the stored query. A query that reads a "#" table
    // of the session goes as a batch (see CDbConnection::Send).
    bool open(const QString &query = {}, int kind = Unknown, CDbConnection::Send send = CDbConnection::Send::Prepared);
    // The rows the next open may expect (a statement read before), so that it allocates once;
    // like: that read, kept only until the next open has read its rows.
    void setSizeHint(qsizetype rows, std::shared_ptr<const CDbTable> like = {})
    {
        m_sizeHint = rows;
        m_like = std::move(like);
    }
    bool isOpen() const { return m_open; }
    void close();
    // Takes the rows, state and errors of a cursor read elsewhere (the polling thread reads
    // without DBMutex and swaps the result in under it); filter and position start over, and
    // fresh is left closed, holding the old rows until it is destroyed (outside the lock).
    void adopt(CDbCursor &fresh);
    // Builds the index of a column now, so that the first filter on it costs a lookup only
    // (the polling thread does this before the swap, off the interface thread).
    void prepareFilter(const QString &column);
    // The rows as read, shared: another thread may read them while this cursor moves on (a
    // snapshot for work off the interface thread). Null while closed.
    std::shared_ptr<const CDbTable> table() const { return m_table; }

    void moveFirst();
    void moveNext();
    bool isEOF() const;
    // Rows that pass the filter (all rows without one); 0 when closed.
    int recordCount() const;

    // An empty text removes the filter. Always true; a filter that cannot be understood is
    // recorded as an error and leaves the previous filter in place.
    bool setFilter(const QString &filter);

    // The field of the current row as text, converted by its type; false (and empty text)
    // for a missing field, no current row, or a type without a text form.
    bool getFieldText(const QString &column, QString &text, const QString &dateFormat = {});
    // Null or empty gives a null value; a date gives a valid value; anything else fails and
    // leaves the value unchanged.
    bool getFieldDateTime(const QString &column, CDateTime &value);
    // The field's bytes (photographs); false when the field is not binary.
    bool getFieldBytes(const QString &column, QByteArray &bytes);
    // The field's actual size in bytes (0 for null).
    qsizetype getFieldSize(const QString &column);

    // The same filter and reads by column number (columnIndex()), for loops that look up many
    // keys: "col = 'value'" without a text to parse.
    int columnIndex(QStringView column) const;
    bool filterEquals(int column, QStringView value);
    bool filterEquals(int column, QStringView value, int column2, QStringView value2);
    bool fieldText(int column, QString &text, const QString &dateFormat = {}, QStringView name = {});
    bool fieldDateTime(int column, CDateTime &value, QStringView name = {});
    // Whether the field's text form is exactly text (false as well without a current row).
    bool fieldEquals(int column, QStringView text);

    QString query() const { return m_query; }
    QString lastErrorText() const { return m_lastErrorText; }
    // The driver's own words of the last error, without the query.
    QString lastErrorDescription() const { return m_lastErrorDescription; }
    quint32 lastErrorCode() const { return m_lastErrorCode; }
    QStringList columnNames() const;
    CDbConnection *connection() const { return m_connection; }

    // Text form of a value, by its type: the conversion table of the data-access layer.
    static bool valueToText(const QVariant &value, QString &text, const QString &dateFormat, CSqlDialect::Kind dialect);
    static bool valueToDateTime(const QVariant &value, CDateTime &out, CSqlDialect::Kind dialect);
    // Parses  col = 'v' [and col = 'v' ...]; false when the text has another form.
    static bool parseFilter(const QString &filter, QList<QPair<QString, QString>> &clauses);

    // Baseline for measurements only: off, every filter and every lookup of a table's rows by
    // value walks all rows comparing texts (the plain client-side cursor) instead of using the
    // per-column index. Process-wide, on by default; the rows found are the same either way.
    static void setIndexedFilters(bool on);
    static bool indexedFilters();

private:
    void recordError(quint32 code, const QString &source, const QString &description);
    // The row of the current position for a read of column (by number; the name for the error
    // text), or -1 with the error recorded.
    int currentRow(QStringView name, int column);

    CDbConnection *m_connection = nullptr;
    QString m_query;
    bool m_open = false;
    std::shared_ptr<CDbTable> m_table;
    qsizetype m_sizeHint = 0;
    std::shared_ptr<const CDbTable> m_like;
    std::vector<int> m_filtered; // row numbers passing the filter
    bool m_hasFilter = false;
    qsizetype m_position = 0; // index into the visible rows
    QString m_lastErrorText;
    QString m_lastErrorDescription;
    quint32 m_lastErrorCode = 0;
};
