#include "views/CGuestsModel.h"

#include "app/CStringTable.h"
#include "db/CDbCursor.h"

namespace {
// Column order of the grid: Enter, Partner, Guest, Reason, Host.
constexpr int kHeaders[CGuestsModel::ColumnCount] = {1069, 1066, 1067, 1068, 1070};
constexpr int kWidths[CGuestsModel::ColumnCount] = {120, 200, 120, 200, 120};
// Beyond this many separate runs of removed rows one reset is cheaper than the signals.
constexpr int kMaxRemovalRuns = 256;
} // namespace

size_t qHash(const CGuestsModel::Row &row, size_t seed)
{
    return qHashRange(row.begin(), row.end(), seed);
}

CGuestsModel::CGuestsModel(QObject *parent) : QAbstractTableModel(parent) {}

int CGuestsModel::headerId(int column)
{
    return column >= 0 && column < ColumnCount ? kHeaders[column] : 0;
}

int CGuestsModel::columnWidth(int column)
{
    return column >= 0 && column < ColumnCount ? kWidths[column] : 0;
}

int CGuestsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CGuestsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CGuestsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_rows.at(index.row())[index.column()];
    return {};
}

QVariant CGuestsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return S(kHeaders[section]);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    return {};
}

void CGuestsModel::clear()
{
    if (m_rows.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, int(m_rows.size()) - 1);
    m_rows.clear();
    endRemoveRows();
}

void CGuestsModel::removeMarked(const QList<int> &marked)
{
    if (marked.isEmpty())
        return;
    int runs = 1;
    for (qsizetype i = 1; i < marked.size(); ++i)
        if (marked.at(i) != marked.at(i - 1) + 1)
            ++runs;
    if (runs > kMaxRemovalRuns) {
        beginResetModel();
        QList<Row> kept;
        kept.reserve(m_rows.size() - marked.size());
        qsizetype m = 0;
        for (int r = 0; r < m_rows.size(); ++r) {
            if (m < marked.size() && marked.at(m) == r)
                ++m;
            else
                kept.append(std::move(m_rows[r]));
        }
        m_rows = std::move(kept);
        endResetModel();
        return;
    }
    // From the bottom up, one signal per run, so the row numbers above stay valid.
    qsizetype i = marked.size() - 1;
    while (i >= 0) {
        const int last = marked.at(i);
        int first = last;
        while (i > 0 && marked.at(i - 1) == first - 1)
            first = marked.at(--i);
        --i;
        beginRemoveRows(QModelIndex(), first, last);
        m_rows.remove(first, last - first + 1);
        endRemoveRows();
    }
}

void CGuestsModel::merge(const QList<Row> &result)
{
    if (result.isEmpty()) {
        clear();
        return;
    }
    // How many visitors with exactly these values are inside. Two visitors whose rows are
    // identical in every column are still two people, so each keeps a row of its own.
    QHash<Row, int> wanted;
    wanted.reserve(result.size());
    for (const Row &r : result)
        ++wanted[r];

    QList<int> marked;
    QHash<Row, int> shown;
    shown.reserve(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i) {
        auto it = wanted.find(m_rows.at(i));
        int &count = shown[m_rows.at(i)];
        if (it == wanted.end() || count >= *it)
            marked.append(i);
        else
            ++count;
    }
    removeMarked(marked);

    QList<Row> appended;
    for (const Row &r : result) {
        auto it = shown.find(r);
        if (it != shown.end() && *it > 0)
            --*it;
        else
            appended.append(r);
    }
    if (appended.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(appended.size()) - 1);
    m_rows.append(appended);
    endInsertRows();
}

QList<CGuestsModel::Row> CGuestsModel::readCursor(CDbCursor *cursor)
{
    QList<Row> out;
    if (!cursor || cursor->recordCount() == 0)
        return out;
    QString names[ColumnCount];
    for (int c = 0; c < ColumnCount; ++c)
        names[c] = S(kHeaders[c]);
    out.reserve(cursor->recordCount());
    for (cursor->moveFirst(); !cursor->isEOF(); cursor->moveNext()) {
        Row row;
        for (int c = 0; c < ColumnCount; ++c)
            cursor->getFieldText(names[c], row[c]);
        out.append(std::move(row));
    }
    return out;
}
