#pragma once

#include "db/CDateTime.h"
#include "db/CDbConnection.h"
#include "db/CSqlDialect.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

// A client-side static cursor: opening reads every row into memory and releases the server
// statement, so moving, counting and filtering never go back to the server. Filters of the
// form  col = 'value' [and col2 = 'value2' ...]  are answered locally through a hash index
// per column, built the first time that column is filtered on.
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
    bool isOpen() const { return m_open; }
    void close();
    // Takes the rows, state and errors of a cursor read elsewhere (the polling thread reads
    // without DBMutex and swaps the result in under it); filter and position start over, and
    // fresh is left closed, holding the old rows until it is destroyed (outside the lock).
    void adopt(CDbCursor &fresh);
    // Builds the index of a column now, so that the first filter on it costs a lookup only
    // (the polling thread does this before the swap, off the interface thread).
    void prepareFilter(const QString &column);

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

    QString query() const { return m_query; }
    QString lastErrorText() const { return m_lastErrorText; }
    quint32 lastErrorCode() const { return m_lastErrorCode; }
    QStringList columnNames() const;
    CDbConnection *connection() const { return m_connection; }

    // Text form of a value, by its type: the conversion table of the data-access layer.
    static bool valueToText(const QVariant &value, QString &text, const QString &dateFormat, CSqlDialect::Kind dialect);
    static bool valueToDateTime(const QVariant &value, CDateTime &out, CSqlDialect::Kind dialect);
    // Parses  col = 'v' [and col = 'v' ...]; false when the text has another form.
    static bool parseFilter(const QString &filter, QList<QPair<QString, QString>> &clauses);

    // Baseline for measurements only: off, every filter walks all rows comparing texts (the
    // plain client-side cursor) instead of using the per-column index. Process-wide, on by
    // default; the rows a filter gives are the same either way.
    static void setIndexedFilters(bool on);
    static bool indexedFilters();

private:
    struct Data;
    void recordError(quint32 code, const QString &source, const QString &description);
    const QVariant *field(const QString &column);
    int columnIndex(QStringView column) const;
    void buildIndex(int column) const;

    CDbConnection *m_connection = nullptr;
    QString m_query;
    bool m_open = false;
    std::unique_ptr<Data> m_data;
    QList<int> m_filtered; // row numbers passing the filter
    bool m_hasFilter = false;
    qsizetype m_position = 0; // index into the visible rows
    QString m_lastErrorText;
    quint32 m_lastErrorCode = 0;
};
