#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <array>

class CDbCursor;

// The rows of the guests window: one visitor inside the building per row (entry time, company,
// visitor, reason, host). An update keeps rows in place, removes the visitors who left and
// appends the new ones at the bottom; a row whose values changed leaves and comes back at the
// bottom. Rows are matched by all five values through a hash, and the view hears of each change
// as rows removed and inserted, so its selection and scrolling survive updates.
class CGuestsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;
    using Row = std::array<QString, ColumnCount>;

    explicit CGuestsModel(QObject *parent = nullptr);

    // String number of the header of a column; it also names the cursor's field.
    static int headerId(int column);
    static int columnWidth(int column);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<Row> &rows() const { return m_rows; }

    // Follows a result: the visitors present now, in the cursor's order.
    void merge(const QList<Row> &result);
    void clear();

    // Every row of the cursor, each field read by its header text.
    static QList<Row> readCursor(CDbCursor *cursor);

private:
    void removeMarked(const QList<int> &marked);

    QList<Row> m_rows;
};

size_t qHash(const CGuestsModel::Row &row, size_t seed = 0);
