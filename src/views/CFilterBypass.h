#pragma once

#include <QModelIndex>
#include <QObject>

class CListFilterModel;
class QAbstractItemModel;
class QTableView;

// Gives a list's view its model itself while nobody searches or sorts, and the filter only while
// someone does. The filter remaps every row at each reorder or layout change of the model, which on a
// site of tens of thousands costs the window milliseconds a pass for nothing; detached, it costs none.
// A click on a column heading sorts by that column (again: the other way); until then the rows keep
// the order they come in. Changing over keeps the selection, the current row (brought into view) and
// the scroll position.
class CFilterBypass : public QObject
{
    Q_OBJECT
public:
    // The filter's source model is the list's model; the view is set to one or the other.
    CFilterBypass(QTableView *view, CListFilterModel *filter);

    // An index of what the view shows as an index of the list's model, and back.
    QModelIndex toSource(const QModelIndex &shown) const;
    QModelIndex fromSource(const QModelIndex &source) const;
    bool isBypassed() const;

private:
    void choose();
    void sortBy(int column, Qt::SortOrder order);

    QTableView *m_view;
    CListFilterModel *m_filter;
    QAbstractItemModel *m_source;
};
