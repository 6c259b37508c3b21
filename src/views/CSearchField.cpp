#include "views/CSearchField.h"

#include "app/CListFilterModel.h"
#include "app/CStringTable.h"

#include <QAbstractItemView>
#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

CSearchField::CSearchField(CListFilterModel *filter, QAbstractItemView *list, QWidget *scope, QWidget *parent)
    : QWidget(parent), m_filter(filter), m_list(list), m_edit(new QLineEdit(this)), m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("searchField"));
    m_edit->setObjectName(QStringLiteral("searchEdit"));
    m_edit->setPlaceholderText(CStringTable::text(QStringLiteral("search.placeholder")));
    m_edit->setClearButtonEnabled(true);
    m_edit->installEventFilter(this);
    m_count->setObjectName(QStringLiteral("searchCount"));
    m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance(QStringLiteral("00000 / 00000")));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_edit, 1);
    row->addWidget(m_count);

    connect(m_edit, &QLineEdit::textChanged, m_filter, &CListFilterModel::setSearch);
    connect(m_filter, &CListFilterModel::countsChanged, this, &CSearchField::showCounts);
    showCounts(m_filter->foundCount(), m_filter->totalCount());

    // Ctrl+F, and "/" as in many lists, wherever the focus is in the list's window.
    auto *find = new QAction(this);
    find->setShortcuts({QKeySequence(QKeySequence::Find), QKeySequence(Qt::Key_Slash)});
    find->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    scope->addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        m_edit->setFocus(Qt::ShortcutFocusReason);
        m_edit->selectAll();
    });
}

void CSearchField::clear()
{
    m_edit->clear();
}

void CSearchField::showCounts(int found, int total)
{
    m_count->setText(m_filter->search().isEmpty()
                         ? QString()
                         : CStringTable::text(QStringLiteral("search.count")).arg(found).arg(total));
}

bool CSearchField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            m_edit->clear();
            if (m_list)
                m_list->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        // Down goes from the search to the rows found.
        if (key->key() == Qt::Key_Down && m_list) {
            m_list->setFocus(Qt::TabFocusReason);
            if (!m_list->currentIndex().isValid() && m_list->model() && m_list->model()->rowCount() > 0)
                m_list->setCurrentIndex(m_list->model()->index(0, 0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
