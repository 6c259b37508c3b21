#include "dialogs/CCheckListModel.h"

#include "app/CTextMatch.h"

CCheckListModel::CCheckListModel(const QStringList &headers, QObject *parent)
    : QAbstractTableModel(parent), m_headers(headers)
{
}

int CCheckListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CCheckListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant CCheckListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &r = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return r.texts.value(index.column());
    case Qt::CheckStateRole:
        if (index.column() == 0)
            return r.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case KeyRole:
        return r.key;
    case CTextMatch::SearchRole:
        return r.search;
    default:
        return {};
    }
}

bool CCheckListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole || index.row() >= m_rows.size())
        return false;
    setChecked(index.row(), Qt::CheckState(value.toInt()) == Qt::Checked);
    return true;
}

QVariant CCheckListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return m_headers.value(section);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CCheckListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

void CCheckListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void CCheckListModel::beginFill()
{
    beginResetModel();
    m_rows.clear();
    m_filling = true;
}

void CCheckListModel::appendRow(const QStringList &texts, const QString &key, bool checked,
                                const QStringList &alsoFoundBy)
{
    const Row r{texts, key, checked, CTextMatch::searchText(texts + alsoFoundBy)};
    if (m_filling) {
        m_rows.append(r);
        return;
    }
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.append(r);
    endInsertRows();
}

void CCheckListModel::endFill()
{
    m_filling = false;
    endResetModel();
}

void CCheckListModel::setChecked(int row, bool checked)
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].checked == checked)
        return;
    m_rows[row].checked = checked;
    const QModelIndex i = index(row, 0);
    emit dataChanged(i, i, {Qt::CheckStateRole});
}

void CCheckListModel::setAllChecked(bool checked)
{
    if (m_rows.isEmpty())
        return;
    for (Row &r : m_rows)
        r.checked = checked;
    emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, 0), {Qt::CheckStateRole});
}

int CCheckListModel::rowOfKey(const QString &key) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).key == key)
            return i;
    return -1;
}
