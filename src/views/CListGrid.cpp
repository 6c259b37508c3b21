#include "views/CListGrid.h"

#include <QHeaderView>

CListGrid::CListGrid(QAbstractItemModel *model, const QList<int> &columnWidths, QWidget *parent) : QTableView(parent)
{
    setModel(model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView *rowsHeader = verticalHeader();
    rowsHeader->hide();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(fontMetrics().height() + 6);

    QHeaderView *header = horizontalHeader();
    header->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c < columnWidths.size(); ++c)
        header->resizeSection(c, columnWidths.at(c));
}

CListGrid::~CListGrid() = default;
