#include "config/CColoursModel.h"

#include "app/CPlainText.h"
#include "app/CStringTable.h"

CColoursModel::CColoursModel(const TextMap &activities, const ColourMap &colours, const QSet<QString> &onSite,
                             QObject *parent)
    : QAbstractTableModel(parent), m_otherOnSite(onSite)
{
    for (const auto &[id, colour] : colours) {
        const auto activity = activities.find(id);
        if (activity != activities.end()) {
            m_rows.push_back({id, activity->second, colour, onSite.contains(id)});
            m_otherOnSite.remove(id);
        }
    }
}

int CColoursModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CColoursModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CColoursModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row &row = m_rows[size_t(index.row())];
    if (role == ColourRole)
        return QVariant::fromValue<uint>(row.colour);
    if (index.column() == OnSiteColumn)
        return role == Qt::CheckStateRole ? QVariant(row.onSite ? Qt::Checked : Qt::Unchecked) : QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QString text = index.column() == DescriptionColumn ? row.description
                             : index.column() == IdColumn        ? row.id
                                                                 : QString();
        if (text.isNull())
            return {};
        return role == Qt::ToolTipRole ? CPlainText::toolTip(text) : text;
    }
    return {};
}

QVariant CColoursModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    if (section == OnSiteColumn)
        return CStringTable::text(QStringLiteral("colours.onSite"));
    static constexpr int kHeaders[ColumnCount - 1] = {1050, 1051, 1052};
    return S(kHeaders[section]);
}

Qt::ItemFlags CColoursModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() == OnSiteColumn)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool CColoursModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != OnSiteColumn || role != Qt::CheckStateRole ||
        index.row() >= int(m_rows.size()))
        return false;
    m_rows[size_t(index.row())].onSite = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

QSet<QString> CColoursModel::onSiteIds() const
{
    QSet<QString> out = m_otherOnSite;
    for (const Row &row : m_rows)
        if (row.onSite)
            out.insert(row.id);
    return out;
}

QString CColoursModel::id(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].id : QString();
}

ColourValue CColoursModel::colour(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].colour : kColourWhite;
}

void CColoursModel::setColour(int row, ColourValue colour)
{
    if (row < 0 || row >= int(m_rows.size()))
        return;
    m_rows[size_t(row)].colour = colour;
    const QModelIndex cell = index(row, ColourColumn);
    emit dataChanged(cell, cell, {ColourRole});
}

void CColoursModel::applyTo(ColourMap &colours) const
{
    for (const Row &row : m_rows) {
        const auto entry = colours.find(row.id);
        if (entry != colours.end())
            entry->second = row.colour;
    }
}
