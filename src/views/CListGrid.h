#pragma once

#include <QList>
#include <QTableView>

class QAbstractItemModel;

// The read-only list grid of the guests and presences windows: one header row, columns of
// fixed starting widths (never sized to their contents, so tens of thousands of rows stay
// quick), rows of one height, whole rows selected.
class CListGrid : public QTableView
{
    Q_OBJECT
public:
    CListGrid(QAbstractItemModel *model, const QList<int> &columnWidths, QWidget *parent = nullptr);
    ~CListGrid() override;
};
