#include "views/CLegendModel.h"

#include "app/CStringTable.h"
#include "app/CTextMatch.h"

#include <QPainter>
#include <QPixmap>
#include <utility>

namespace {

// The dot as a tablet draws it, with the ring that keeps a light colour visible.
QPixmap swatch(const QColor &colour)
{
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1.5, 1.5, 11, 11));
    return pm;
}

} // namespace

void CLegendModel::setEntries(const QList<Entry> &entries)
{
    if (entries.size() == m_entries.size()) {
        bool same = true;
        for (qsizetype i = 0; i < entries.size() && same; ++i)
            same = entries[i].activity == m_entries[i].activity && entries[i].colour == m_entries[i].colour &&
                   entries[i].code == m_entries[i].code;
        if (same) {
            // Only the counts move: the view keeps its selection and scroll position, and hears of
            // the counts that changed alone (a view sized to its contents measures only those).
            const QList<Entry> before = std::exchange(m_entries, entries);
            for (int i = 0; i < m_entries.size(); ++i)
                if (m_entries.at(i).count != before.at(i).count)
                    emit dataChanged(index(i, CountColumn), index(i, CountColumn));
            return;
        }
    }
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

int CLegendModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int CLegendModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CLegendModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const Entry &e = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == CodeColumn       ? QVariant(e.code)
               : index.column() == ActivityColumn ? QVariant(e.activity)
                                                  : QVariant(e.count);
    case Qt::DecorationRole:
        return index.column() == CodeColumn ? QVariant(swatch(e.colour)) : QVariant();
    case Qt::TextAlignmentRole:
        return int((index.column() == CountColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case CTextMatch::SortRole:
        return index.column() == CountColumn  ? QVariant(e.count)
               : index.column() == CodeColumn ? QVariant(e.code)
                                              : QVariant(e.activity);
    default:
        return {};
    }
}

QVariant CLegendModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return CStringTable::text(section == CodeColumn       ? QStringLiteral("legend.code")
                              : section == ActivityColumn ? QStringLiteral("legend.activity")
                                                          : QStringLiteral("legend.count"));
}
