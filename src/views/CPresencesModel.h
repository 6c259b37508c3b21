#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <array>

// The rows of the presences window: each employee's last registration (date and time, last
// name, first name, media number, activity). A refresh removes the media numbers that left the
// result, changes the rows that stay in place and appends new ones at the bottom, so between
// full rebuilds the order may drift from the query's. Rows are found through a hash of the
// media number, and the view hears of each change as rows removed, changed or inserted.
class CPresencesModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;
    enum Column
    {
        DateTimeColumn,
        LastNameColumn,
        FirstNameColumn,
        MediaColumn, // the row's identity
        ActivityColumn
    };
    using Row = std::array<QString, ColumnCount>;

    explicit CPresencesModel(QObject *parent = nullptr);

    static int headerId(int column);
    static int columnWidth(int column);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<Row> &rows() const { return m_rows; }

    // Follows a result in the query's order; an empty result empties the grid.
    void merge(const QList<Row> &result);
    void clear();

private:
    void removeMarked(const QList<int> &marked);

    QList<Row> m_rows;
};
