#include "views/CPeopleWindow.h"

#include "app/CListFilterModel.h"
#include "app/CStringTable.h"
#include "app/CTextMatch.h"
#include "views/CFilterBypass.h"
#include "views/CSearchField.h"
#include "views/CStaleBanner.h"
#include "views/CTextDelegate.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

class CPeopleWindow::Model : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setPeople(const QList<CRollCallModel::Person> &people)
    {
        QSet<QString> keys;
        keys.reserve(people.size());
        for (const CRollCallModel::Person &p : people)
            keys.insert(p.key);
        qsizetype leaving = 0;
        for (const CRollCallModel::Person &p : std::as_const(m_people))
            leaving += keys.contains(p.key) ? 0 : 1;
        // A list that changed in a few rows changes in those rows, so that the view keeps its
        // selection and scroll position; one that changed in many starts over.
        if (m_people.isEmpty() || leaving + qAbs(people.size() - (m_people.size() - leaving)) > kMaxMoves) {
            beginResetModel();
            m_people = people;
            endResetModel();
            return;
        }
        for (int i = int(m_people.size()) - 1; i >= 0; --i) {
            if (keys.contains(m_people.at(i).key))
                continue;
            beginRemoveRows({}, i, i);
            m_people.removeAt(i);
            endRemoveRows();
        }
        // Both lists are in one order: what stays is walked past, what came is put in its place.
        int i = 0;
        for (const CRollCallModel::Person &p : people) {
            if (i < m_people.size() && m_people.at(i).key == p.key) {
                if (m_people.at(i) != p) {
                    m_people[i] = p;
                    emit dataChanged(index(i, 0), index(i, 2));
                }
                ++i;
                continue;
            }
            beginInsertRows({}, i, i);
            m_people.insert(i, p);
            endInsertRows();
            ++i;
        }
        if (i < m_people.size()) {
            // Rows that moved were put in again above; their old places go.
            beginRemoveRows({}, i, int(m_people.size()) - 1);
            m_people.resize(i);
            endRemoveRows();
        }
    }
    const QList<CRollCallModel::Person> &people() const { return m_people; }
    bool changePeople(const CRollCallModel::Delta &delta, qsizetype newSize)
    {
        struct Signals
        {
            Model *m;
            void beginRemove(int row) { m->beginRemoveRows({}, row, row); }
            void endRemove() { m->endRemoveRows(); }
            void beginInsert(int row) { m->beginInsertRows({}, row, row); }
            void endInsert() { m->endInsertRows(); }
            void beginLayout() { emit m->layoutAboutToBeChanged(); }
            void removing(int) {}
            void added(int) {}
            void endLayout(const std::function<int(int)> &newRowOf)
            {
                const QModelIndexList before = m->persistentIndexList();
                m->changePersistentIndexList(before, CRollCallModel::moved(m, before, newRowOf));
                emit m->layoutChanged();
            }
        };
        return CRollCallModel::applyDelta(m_people, delta, newSize, Signals{this});
    }
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_people.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_people.size())
            return {};
        const CRollCallModel::Person &p = m_people.at(index.row());
        if (role == CTextMatch::SearchRole)
            return CTextMatch::searchText({p.name, p.department});
        // "dd.mm.yyyy." sorts as a date: year, month, day.
        if (role == CTextMatch::SortRole && index.column() == 2)
            return p.time.section(u'.', 2, 2) + p.time.section(u'.', 1, 1) + p.time.section(u'.', 0, 0);
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0:
            return p.name;
        case 1:
            return p.department;
        default:
            return p.time;
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char *const keys[] = {"rollcall.col.name", "rollcall.col.department", "notyetin.lastClocking"};
        return CStringTable::text(QLatin1String(keys[qBound(0, section, 2)]));
    }

private:
    static constexpr qsizetype kMaxMoves = 200;
    QList<CRollCallModel::Person> m_people;
};

CPeopleWindow::CPeopleWindow(const QString &title, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_model(new Model(this)),
      m_filter(new CListFilterModel(this)), m_grid(new QTableView(this))
{
    setObjectName(QStringLiteral("peopleWindow"));
    setWindowTitle(title);
    m_filter->setSourceModel(m_model);
    m_grid->setObjectName(QStringLiteral("peopleGrid"));
    m_grid->setModel(m_filter);
    m_grid->setItemDelegate(new CTextDelegate(m_grid));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setColumnWidth(0, 220);
    m_grid->setColumnWidth(1, 180);
    new CFilterBypass(m_grid, m_filter);
    auto *search = new CSearchField(m_filter, m_grid, this, this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new CStaleBanner(this));
    layout->addWidget(search);
    layout->addWidget(m_grid, 1);
    layout->addWidget(buttons);
    resize(560, 480);
}

void CPeopleWindow::setPeople(const QList<CRollCallModel::Person> &people)
{
    m_model->setPeople(people);
}

void CPeopleWindow::changePeople(const CRollCallModel::Delta &delta, const QList<CRollCallModel::Person> &people)
{
    if (!m_model->changePeople(delta, people.size()))
        m_model->setPeople(people);
}
