#include "views/CFilterBypass.h"

#include "app/CListFilterModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>

CFilterBypass::CFilterBypass(QTableView *view, CListFilterModel *filter)
    : QObject(view), m_view(view), m_filter(filter), m_source(filter->sourceModel())
{
    // The view's own sorting would sort whichever model it shows; the heading's clicks go to the
    // filter. (Turning it off hides the heading's arrow: shown again after.)
    view->setSortingEnabled(false);
    QHeaderView *header = view->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &CFilterBypass::sortBy);
    connect(filter, &CListFilterModel::searchChanged, this, &CFilterBypass::choose);
    choose();
}

bool CFilterBypass::isBypassed() const
{
    return m_view->model() != m_filter;
}

QModelIndex CFilterBypass::toSource(const QModelIndex &shown) const
{
    return isBypassed() || !shown.isValid() ? shown : m_filter->mapToSource(shown);
}

QModelIndex CFilterBypass::fromSource(const QModelIndex &source) const
{
    return isBypassed() || !source.isValid() ? source : m_filter->mapFromSource(source);
}

void CFilterBypass::sortBy(int column, Qt::SortOrder order)
{
    if (column >= 0 && m_filter->sourceModel() != m_source)
        m_filter->setSourceModel(m_source);
    if (m_filter->sourceModel())
        m_filter->sort(column, order);
    choose();
}

void CFilterBypass::choose()
{
    const bool bypass = m_filter->search().isEmpty() && m_view->horizontalHeader()->sortIndicatorSection() < 0;
    if (bypass == isBypassed() && m_view->model())
        return;
    // What the user sees now, as rows of the list's model.
    QList<QPersistentModelIndex> selected;
    QPersistentModelIndex current;
    if (QItemSelectionModel *selection = m_view->selectionModel()) {
        for (const QModelIndex &row : selection->selectedRows())
            selected << toSource(row);
        current = toSource(selection->currentIndex());
    }
    const int across = m_view->horizontalScrollBar()->value(), down = m_view->verticalScrollBar()->value();

    if (!bypass && m_filter->sourceModel() != m_source)
        m_filter->setSourceModel(m_source);
    QItemSelectionModel *old = m_view->selectionModel();
    m_view->setModel(bypass ? m_source : static_cast<QAbstractItemModel *>(m_filter));
    if (old && old != m_view->selectionModel())
        old->deleteLater();
    // Detached, the filter no longer follows the model's changes.
    if (bypass && m_filter->sourceModel())
        m_filter->setSourceModel(nullptr);

    QItemSelectionModel *selection = m_view->selectionModel();
    if (!selection)
        return;
    QItemSelection rows;
    for (const QPersistentModelIndex &s : std::as_const(selected))
        if (const QModelIndex shown = fromSource(s); shown.isValid())
            rows.select(shown, shown);
    selection->select(rows, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // The list stays where it was, as it does when the filter sorts or finds rows, with the current
    // row brought into view.
    m_view->doItemsLayout();
    m_view->verticalScrollBar()->setValue(down);
    m_view->horizontalScrollBar()->setValue(across);
    if (const QModelIndex shown = fromSource(current); shown.isValid()) {
        selection->setCurrentIndex(shown, QItemSelectionModel::NoUpdate);
        m_view->scrollTo(shown);
    }
}
