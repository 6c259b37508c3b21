#include "views/CLegendDock.h"

#include "app/CStringTable.h"
#include "views/CStaleBanner.h"
#include "views/CTextDelegate.h"

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
    view->setItemDelegate(new CTextDelegate(view)); // the colour swatches are drawn by the style
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setFocusPolicy(Qt::NoFocus);
    view->verticalHeader()->hide();
    // The code and count columns are fitted to their texts when the activities come and widened
    // when a count outgrows its column: a column sized to its contents by the header would measure
    // every row again at each count that changes.
    QHeaderView *header = view->horizontalHeader();
    header->setSectionResizeMode(CLegendModel::CodeColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(CLegendModel::ActivityColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(CLegendModel::CountColumn, QHeaderView::Fixed);
    const auto fit = [view] {
        view->resizeColumnToContents(CLegendModel::CodeColumn);
        view->resizeColumnToContents(CLegendModel::CountColumn);
    };
    connect(m_model, &QAbstractItemModel::modelReset, view, fit);
    connect(m_model, &QAbstractItemModel::dataChanged, view, [view](const QModelIndex &from, const QModelIndex &to) {
        for (int r = from.row(); r <= to.row(); ++r) {
            const QModelIndex count = view->model()->index(r, CLegendModel::CountColumn);
            if (view->sizeHintForIndex(count).width() > view->columnWidth(CLegendModel::CountColumn)) {
                view->resizeColumnToContents(CLegendModel::CountColumn);
                return;
            }
        }
    });
    fit();
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
