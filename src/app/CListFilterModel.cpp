#include "app/CListFilterModel.h"

#include "app/CNameOrder.h"
#include "app/CTextMatch.h"

#include <QDateTime>

CListFilterModel::CListFilterModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
    setSortRole(CTextMatch::SortRole);
    connect(this, &QAbstractItemModel::rowsInserted, this, &CListFilterModel::announce);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &CListFilterModel::announce);
    connect(this, &QAbstractItemModel::modelReset, this, &CListFilterModel::announce);
    connect(this, &QAbstractItemModel::layoutChanged, this, &CListFilterModel::announce);
}

void CListFilterModel::setSearch(const QString &query)
{
    if (query == m_query)
        return;
    m_query = query;
    m_words = CTextMatch::words(query);
    // One change for the views, not one per stretch of rows that comes or goes: on a list of
    // thousands that is what makes typing keep up.
    invalidate();
    emit searchChanged();
    announce();
}

void CListFilterModel::announce()
{
    emit countsChanged(foundCount(), totalCount());
}

bool CListFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_words.isEmpty())
        return true;
    const QModelIndex first = sourceModel()->index(sourceRow, 0, sourceParent);
    QVariant text = sourceModel()->data(first, CTextMatch::SearchRole);
    if (!text.isValid()) {
        // A model without a search text: what its row shows.
        QStringList cells;
        for (int c = 0; c < sourceModel()->columnCount(sourceParent); ++c)
            cells << sourceModel()->index(sourceRow, c, sourceParent).data().toString();
        text = CTextMatch::searchText(cells);
    }
    return CTextMatch::matches(text.toString(), m_words);
}

bool CListFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    QVariant a = left.data(CTextMatch::SortRole), b = right.data(CTextMatch::SortRole);
    if (!a.isValid())
        a = left.data(Qt::DisplayRole);
    if (!b.isValid())
        b = right.data(Qt::DisplayRole);
    if (a.userType() == QMetaType::QDateTime && b.userType() == QMetaType::QDateTime)
        return a.toDateTime() < b.toDateTime();
    if (a.userType() == QMetaType::Int && b.userType() == QMetaType::Int)
        return a.toInt() < b.toInt();
    const QString textA = a.toString(), textB = b.toString();
    bool numberA = false, numberB = false;
    const qlonglong na = textA.toLongLong(&numberA), nb = textB.toLongLong(&numberB);
    // Numbers as numbers, names as their readers order them.
    const int order = numberA && numberB ? (na < nb ? -1 : na > nb ? 1 : 0) : CNameOrder::compare(textA, textB);
    // Equal texts keep the model's order.
    return order != 0 ? order < 0 : left.row() < right.row();
}
