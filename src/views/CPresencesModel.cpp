#include "views/CPresencesModel.h"

#include "app/CStringTable.h"

#include <QHash>
#include <QSet>

namespace {
constexpr int kHeaders[CPresencesModel::ColumnCount] = {1077, 1045, 1046, 1047, 1075};
constexpr int kWidths[CPresencesModel::ColumnCount] = {120, 120, 120, 80, 240};
// Beyond this many separate runs of removed rows one reset is cheaper than the signals.
constexpr int kMaxRemovalRuns = 256;
} // namespace

CPresencesModel::CPresencesModel(QObject *parent) : QAbstractTableModel(parent) {}

int CPresencesModel::headerId(int column)
{
    return column >= 0 && column < ColumnCount ? kHeaders[column] : 0;
}

int CPresencesModel::columnWidth(int column)
{
    return column >= 0 && column < ColumnCount ? kWidths[column] : 0;
}

int CPresencesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CPresencesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CPresencesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_rows.at(index.row())[index.column()];
    return {};
}

QVariant CPresencesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return S(kHeaders[section]);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    return {};
}

void CPresencesModel::clear()
{
    if (m_rows.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, int(m_rows.size()) - 1);
    m_rows.clear();
    endRemoveRows();
}

void CPresencesModel::removeMarked(const QList<int> &marked)
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

void CPresencesModel::merge(const QList<Row> &result)
{
    if (result.isEmpty()) {
        clear();
        return;
    }
    QSet<QString> present;
    present.reserve(result.size());
    for (const Row &r : result)
        present.insert(r[MediaColumn]);
    QList<int> marked;
    for (int i = 0; i < m_rows.size(); ++i)
        if (!present.contains(m_rows.at(i)[MediaColumn]))
            marked.append(i);
    removeMarked(marked);

    // Media number -> row (rows past the end are the ones about to be appended). The first
    // row with a number wins, as a search from the top would find it.
    QHash<QString, int> byMedia;
    byMedia.reserve(m_rows.size() + result.size());
    for (int i = 0; i < m_rows.size(); ++i)
        if (!byMedia.contains(m_rows.at(i)[MediaColumn]))
            byMedia.insert(m_rows.at(i)[MediaColumn], i);
    const int existing = int(m_rows.size());
    QList<Row> appended;
    for (const Row &r : result) {
        const auto it = byMedia.constFind(r[MediaColumn]);
        if (it == byMedia.constEnd()) {
            byMedia.insert(r[MediaColumn], existing + int(appended.size()));
            appended.append(r);
            continue;
        }
        Row &target = *it < existing ? m_rows[*it] : appended[*it - existing];
        bool changed = false;
        for (int c : {DateTimeColumn, LastNameColumn, FirstNameColumn, ActivityColumn}) {
            if (target[c] != r[c]) {
                target[c] = r[c];
                changed = true;
            }
        }
        if (changed && *it < existing)
            emit dataChanged(index(*it, 0), index(*it, ColumnCount - 1), {Qt::DisplayRole, Qt::ToolTipRole});
    }
    if (appended.isEmpty())
        return;
    beginInsertRows(QModelIndex(), existing, existing + int(appended.size()) - 1);
    m_rows.append(appended);
    endInsertRows();
}
