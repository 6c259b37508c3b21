#include "views/CLegendDock.h"

#include "app/CStringTable.h"
#include "views/CStaleBanner.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

CLegendDock::CLegendDock(QWidget *parent)
    : QDockWidget(CStringTable::text(QStringLiteral("legend.title")), parent), m_model(new CLegendModel(this))
{
    setObjectName(QStringLiteral("legendDock"));
    auto *body = new QWidget(this);
    auto *view = new QTableView(body);
    view->setObjectName(QStringLiteral("legendView"));
    view->setModel(m_model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setFocusPolicy(Qt::NoFocus);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(CLegendModel::ActivityColumn, QHeaderView::Stretch);
    view->horizontalHeader()->setSectionResizeMode(CLegendModel::CountColumn, QHeaderView::ResizeToContents);
    view->setShowGrid(false);
    // Today's counts stop at the last good read while the data are not current.
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new CStaleBanner(body));
    layout->addWidget(view, 1);
    setWidget(body);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
}
