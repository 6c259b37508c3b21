#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPair>
#include <QString>
#include <array>
#include <vector>

// A read-only grid of rows of five texts with fixed, centred headers taken from the string table
// and a preferred width per column. Subclasses decide how a new result is merged into the rows;
// this class gives them the removal and append steps that keep a view's selection and scrolling.
class CListGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;
    using Row = std::array<QString, ColumnCount>;
    using Columns = std::array<int, ColumnCount>;

    // Header role: the widest text a column is expected to show besides its header (empty when
    // nothing is known), so that a view can make the column wide enough for it.
    static constexpr int WidestTextRole = Qt::UserRole + 1;

    // headerIds: the string number of each column's header; widths: each column's width in pixels
    // with the Windows dialog font; dateTimeColumn: the column of date-time texts, if any.
    CListGridModel(const Columns &headerIds, const Columns &widths, int dateTimeColumn = -1, QObject *parent = nullptr);

    // 0 for a column out of range.
    int headerId(int column) const;
    int columnWidth(int column) const;
    QList<int> columnWidths() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<Row> &rows() const { return m_rows; }
    void clear();

protected:
    // Changing a row in place is the caller's to announce with dataChanged.
    Row &rowAt(int row) { return m_rows[row]; }
    // marked: row numbers in ascending order.
    void removeMarked(const QList<int> &marked);
    void appendRows(const QList<Row> &rows);
    // All rows at once (the views start over).
    void replaceRows(const QList<Row> &rows);
    // The same rows in another order: order[i] is the row that comes i-th. The views keep their
    // selection and current row.
    void reorderRows(const QList<int> &order);
    // A few rows moved, the others keeping their order: places holds each moved row's new and old
    // number, ascending new numbers. Costs what moving the rows' bytes costs, whatever the length.
    void relocateRows(const QList<QPair<int, int>> &places);

private:
    const Columns m_headerIds;
    const Columns m_widths;
    const int m_dateTimeColumn;
    QList<Row> m_rows;
    // Each row's texts folded for the search field, made when first asked for and forgotten
    // when the row changes.
    mutable QList<QString> m_folded;
};

// Rows move in memory as they are: a reorder of a long list moves bytes, not texts.
Q_DECLARE_TYPEINFO(CListGridModel::Row, Q_RELOCATABLE_TYPE);
