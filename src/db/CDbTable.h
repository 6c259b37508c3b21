#pragma once

#include "db/CDateTime.h"
#include "db/CSqlDialect.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>
#include <memory>
#include <vector>

class QSqlQuery;

// The rows of one result, kept by column: per cell a one-byte type and eight bytes of value
// (numbers, dates, the date-times SQLite keeps as text packed into digits), texts in one buffer
// per column and produced on demand, binary values and anything unusual beside. A column may
// mix types, as SQLite's do. Read once and never changed afterwards, so several threads may read
// one table at the same time; the filter indexes (built on demand) belong to whoever holds the
// cursor.
class CDbTable
{
public:
    explicit CDbTable(CSqlDialect::Kind dialect);
    ~CDbTable();
    CDbTable(const CDbTable &) = delete;
    CDbTable &operator=(const CDbTable &) = delete;

    // Reads every row the query still has. sizeHint: the rows expected (the last read of the same
    // statement), so that the storage is allocated once; like: that read itself, whose texts tell
    // how many characters to expect. False when the driver reported an error.
    bool read(QSqlQuery &q, qsizetype sizeHint, const CDbTable *like = nullptr);

    CSqlDialect::Kind dialect() const { return m_dialect; }
    int rowCount() const { return m_rows; }
    int columnCount() const { return int(m_columns.size()); }
    const QStringList &columnNames() const { return m_names; }
    // Names ignore case as the server's do; of two columns with one name the first is found.
    // -1 when there is none.
    int columnIndex(QStringView name) const;

    bool isNull(int row, int column) const;
    // The conversions of the data-access layer (see CDbCursor).
    bool text(int row, int column, QString &out, const QString &dateFormat = {}) const;
    bool dateTime(int row, int column, CDateTime &out) const;
    bool bytes(int row, int column, QByteArray &out) const;
    qsizetype size(int row, int column) const;
    // The text form of a cell compared with a text, without making a string where it can.
    bool textEquals(int row, int column, QStringView value) const;
    // Whether a cell holds exactly what a cell of another table (or of this one) holds: same
    // type, same value. Cheap enough to compare two reads of a large result cell by cell.
    bool sameCell(int row, int column, const CDbTable &other, int otherRow, int otherColumn) const;

    // Rows whose cell in column has exactly this text form, in row order: the first one, then
    // next() until -1. Built for a column on first use (prepareIndex builds it beforehand).
    int firstEqual(int column, QStringView value) const;
    int nextEqual(int column, int row) const;
    void prepareIndex(int column) const;
    bool hasIndex(int column) const;

    // Memory the table holds (values, texts, indexes), for measurements.
    qsizetype heapBytes() const;

    // The conversion table applied to a single value, as a driver hands it over.
    static bool valueToText(const QVariant &value, QString &text, const QString &dateFormat, CSqlDialect::Kind dialect);
    static bool valueToDateTime(const QVariant &value, CDateTime &out, CSqlDialect::Kind dialect);

private:
    enum Tag : quint8
    {
        Null,
        NullBytes, // a null of a binary column: reads as empty bytes
        Int,
        UInt,
        Float,
        Double,
        Bool,
        Moment,     // a date-time or a date, as days (CDateTime)
        StoredText, // SQLite's "YYYY-MM-DD HH:MM:SS", its digits packed
        Text,       // offset into the column's characters (high half) and length (low half)
        Bytes,      // index into the column's binary values
        Other       // index into the column's other values
    };
    struct Index;
    struct Column
    {
        std::vector<quint8> tags;
        std::vector<quint64> values;
        std::vector<char16_t> chars;
        std::vector<QByteArray> blobs;
        std::vector<QVariant> others;
    };
    // Text of a scalar cell made in place, so that comparing and hashing allocate nothing.
    struct Scratch
    {
        char16_t buffer[32];
        QString text;
    };

    void append(Column &c, const QVariant &v);
    QStringView textView(int row, int column, Scratch &scratch) const;
    // The first row from `from` on whose cell equals value, walking the rows.
    int scanEqual(int column, QStringView value, int from) const;
    QVariant variant(int row, int column) const;
    void buildIndex(int column) const;

    CSqlDialect::Kind m_dialect;
    QStringList m_names;
    std::vector<int> m_firstOfName; // per column, the column its exact name finds
    std::vector<Column> m_columns;
    int m_rows = 0;
    mutable std::vector<std::unique_ptr<Index>> m_indexes;
};
