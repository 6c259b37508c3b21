#include "views/CLegendDock.h"

#include "app/CStringTable.h"

#include <QHeaderView>
#include <QTableView>

CLegendDock::CLegendDock(QWidget *parent)
    : QDockWidget(CStringTable::text(QStringLiteral("legend.title")), parent), m_model(new CLegendModel(this))
{
    setObjectName(QStringLiteral("legendDock"));
    auto *view = new QTableView(this);
    view->setObjectName(QStringLiteral("legendView"));
    view->setModel(m_model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setFocusPolicy(Qt::NoFocus);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(CLegendModel::ActivityColumn, QHeaderView::Stretch);
    view->horizontalHeader()->setSectionResizeMode(CLegendModel::CountColumn, QHeaderView::ResizeToContents);
    view->setShowGrid(false);
    setWidget(view);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
}
