#include "rollcall/CRollCallModel.h"

#include "app/CClock.h"
#include "app/CNameOrder.h"
#include "app/CPlainText.h"
#include "app/CStringTable.h"
#include "app/CTextMatch.h"
#include "db/CDateTime.h"
#include "db/CReferenceData.h"
#include "rollcall/COnSiteList.h"
#include "views/CGuestsModel.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>

CRollCallModel::CRollCallModel(QObject *parent) : QAbstractTableModel(parent) {}

QList<CRollCallModel::Person> CRollCallModel::collect(CReferenceData &ref, const QSet<QString> &onSite,
                                                      const QDate &today)
{
    COnSiteList::Snapshot s = COnSiteList::snapshot(ref, onSite, QDateTime(today, QTime(12, 0)));
    s.live = true; // read whatever the cursors hold
    return COnSiteList::make(s).people;
}

void CRollCallModel::sortPeople(QList<Person> &people)
{
    // Employees by department and name, then guests by name; names as their readers order them.
    CNameOrder::sort(people, [](const Person &p) {
        return std::array{p.guest ? QStringLiteral("1") : QStringLiteral("0"), p.guest ? QString() : p.department,
                          p.name};
    });
}

void CRollCallModel::setPeople(const QList<Person> &people)
{
    const bool changed = people != m_people;
    beginResetModel();
    m_people = people;
    m_rowsStale = true;
    m_departmentsStale = true;
    if (changed)
        ++m_listVersion;
    endResetModel();
}

bool CRollCallModel::changePeople(const Delta &delta, qsizetype newSize)
{
    struct Signals
    {
        CRollCallModel *m;
        int inserted = -1;
        void beginRemove(int row)
        {
            m->countRow(row, -1);
            m->beginRemoveRows({}, row, row);
        }
        void endRemove() { m->endRemoveRows(); }
        void beginInsert(int row)
        {
            inserted = row;
            m->beginInsertRows({}, row, row);
        }
        void endInsert()
        {
            m->endInsertRows();
            m->countRow(inserted, 1);
        }
        void beginLayout() { emit m->layoutAboutToBeChanged(); }
        void removing(int row) { m->countRow(row, -1); }
        void added(int row) { m->countRow(row, 1); }
        void endLayout(const std::function<int(int)> &newRowOf)
        {
            const QModelIndexList before = m->persistentIndexList();
            m->changePersistentIndexList(before, moved(m, before, newRowOf));
            emit m->layoutChanged();
        }
    };
    if (!applyDelta(m_people, delta, newSize, Signals{this}))
        return false;
    if (!delta.isEmpty()) {
        m_rowsStale = true;
        ++m_listVersion;
    }
    return true;
}

void CRollCallModel::reshape(QList<Person> &list, const QList<int> &removedAt,
                             const QList<QPair<int, Person>> &inserted)
{
    static_assert(QTypeInfo<Person>::isRelocatable, "rows are moved as bytes");
    const qsizetype oldSize = list.size();
    const qsizetype kept = oldSize - removedAt.size();
    const qsizetype newSize = kept + inserted.size();
    // Places past the end are made first (empty rows own nothing); from here on every place past
    // the rows kept so far is raw bytes, written over without being destroyed.
    if (newSize > oldSize)
        list.resize(newSize);
    Person *p = list.data();
    const auto shift = [p](qsizetype to, qsizetype from, qsizetype count) {
        if (count > 0)
            std::memmove(static_cast<void *>(p + to), static_cast<const void *>(p + from),
                         size_t(count) * sizeof(Person));
    };
    // The rows that go are destroyed and the runs between them close up, front to back.
    qsizetype write = removedAt.isEmpty() ? oldSize : removedAt.first();
    for (qsizetype i = 0; i < removedAt.size(); ++i) {
        std::destroy_at(p + removedAt.at(i));
        const qsizetype from = removedAt.at(i) + 1, to = i + 1 < removedAt.size() ? removedAt.at(i + 1) : oldSize;
        shift(write, from, to - from);
        write += to - from;
    }
    // The rows that come open their places, back to front: each run moves once, to the right.
    qsizetype sourceEnd = kept, targetEnd = newSize;
    for (qsizetype i = inserted.size() - 1; i >= 0; --i) {
        const qsizetype at = inserted.at(i).first, after = targetEnd - at - 1;
        shift(at + 1, sourceEnd - after, after);
        sourceEnd -= after;
        new (p + at) Person(inserted.at(i).second);
        targetEnd = at;
    }
    // Places left over at the end hold bytes of rows that moved: emptied without being destroyed.
    for (qsizetype i = newSize; i < oldSize; ++i)
        new (p + i) Person();
    if (newSize < oldSize)
        list.resize(newSize);
}

QModelIndexList CRollCallModel::moved(const QAbstractItemModel *model, const QModelIndexList &before,
                                      const std::function<int(int)> &newRowOf)
{
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before) {
        const int row = newRowOf(i.row());
        after.append(row < 0 ? QModelIndex() : model->index(row, i.column()));
    }
    return after;
}

int CRollCallModel::rowOf(const QString &key) const
{
    if (m_rowsStale) {
        m_rows.clear();
        m_rows.reserve(m_people.size());
        m_repeatedKeys = false;
        for (int r = 0; r < m_people.size(); ++r) {
            const auto it = m_rows.find(m_people.at(r).key);
            if (it == m_rows.end()) {
                m_rows.insert(m_people.at(r).key, r);
                continue;
            }
            *it = r;
            m_repeatedKeys = true;
        }
        m_rowsStale = false;
    }
    return m_rows.value(key, -1);
}

void CRollCallModel::setTicks(const QSet<QString> &ticks, const CRollCallTicks::Attributions &attributions)
{
    m_ticks = ticks;
    m_attributions = attributions;
    ++m_tickVersion;
    if (!m_people.isEmpty())
        emit dataChanged(index(0, TickColumn), index(int(m_people.size()) - 1, TickColumn), {Qt::CheckStateRole});
    emit ticksChanged();
}

bool CRollCallModel::isTicked(int row) const
{
    return row >= 0 && row < m_people.size() && m_ticks.contains(m_people.at(row).key);
}

int CRollCallModel::employeeCount() const
{
    int n = 0;
    for (const int count : departmentCounts())
        n += count;
    return n;
}

int CRollCallModel::guestCount() const
{
    return int(m_people.size()) - employeeCount();
}

int CRollCallModel::tickedCount() const
{
    if (m_ticks.isEmpty())
        return 0;
    // Ticks are few beside the people listed: those are looked up, while each key has one row.
    if (m_ticks.size() * 8 < m_people.size()) {
        rowOf(QString()); // brings the rows of the keys up to date
        if (!m_repeatedKeys)
            return int(
                std::count_if(m_ticks.begin(), m_ticks.end(), [this](const QString &key) { return rowOf(key) >= 0; }));
    }
    return int(
        std::count_if(m_people.begin(), m_people.end(), [this](const Person &p) { return m_ticks.contains(p.key); }));
}

void CRollCallModel::countRow(int row, int by)
{
    const Person &p = m_people.at(row);
    if (m_departmentsStale || p.guest)
        return;
    if ((m_departments[p.department] += by) <= 0)
        m_departments.remove(p.department);
}

QMap<QString, int> CRollCallModel::departmentCounts() const
{
    if (m_departmentsStale) {
        m_departments.clear();
        for (const Person &p : m_people)
            if (!p.guest)
                ++m_departments[p.department];
        m_departmentsStale = false;
    }
    return m_departments;
}

QString CRollCallModel::departmentsText() const
{
    QStringList lines;
    const QMap<QString, int> counts = departmentCounts();
    for (auto it = counts.begin(); it != counts.end(); ++it)
        lines << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
    return lines.join(u'\n');
}

int CRollCallModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_people.size());
}

int CRollCallModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CRollCallModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_people.size())
        return {};
    const Person &p = m_people.at(index.row());
    if (role == CTextMatch::SearchRole)
        return CTextMatch::searchText({p.name, p.department, p.detail, p.company});
    if (index.column() == TickColumn) {
        // Ticked people after the rest, when the column is sorted.
        if (role == CTextMatch::SortRole)
            return int(m_ticks.contains(p.key));
        if (role == Qt::CheckStateRole)
            return m_ticks.contains(p.key) ? Qt::Checked : Qt::Unchecked;
        const auto a = m_attributions.constFind(p.key);
        // The warden's name came from a phone: shown as typed, never read as markup.
        if (role == Qt::ToolTipRole && a != m_attributions.cend() && m_ticks.contains(p.key))
            return CPlainText::toolTip(
                CStringTable::text(QStringLiteral("rollcall.tickedBy"))
                    .arg(a->warden.isEmpty() ? CStringTable::text(QStringLiteral("rollcall.desk")) : a->warden,
                         a->at.toString(QStringLiteral("HH:mm:ss"))));
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const QString *text = nullptr;
    switch (index.column()) {
    case NameColumn:
        text = &p.name;
        break;
    case DepartmentColumn:
        text = &p.department;
        break;
    case TimeColumn:
        text = &p.time;
        break;
    case DetailColumn:
        text = &p.detail;
        break;
    case CompanyColumn:
        text = &p.company;
        break;
    default:
        return {};
    }
    return role == Qt::ToolTipRole ? CPlainText::toolTip(*text) : *text;
}

QVariant CRollCallModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    static const char *keys[ColumnCount] = {"rollcall.col.tick", "rollcall.col.name",   "rollcall.col.department",
                                            "rollcall.col.time", "rollcall.col.detail", "rollcall.col.company"};
    return CStringTable::text(QString::fromLatin1(keys[section]));
}

Qt::ItemFlags CRollCallModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == TickColumn)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool CRollCallModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != TickColumn || role != Qt::CheckStateRole ||
        index.row() >= m_people.size())
        return false;
    setTick(m_people.at(index.row()).key, value.toInt() == Qt::Checked);
    return true;
}

bool CRollCallModel::setTick(const QString &key, bool ticked, const QString &warden)
{
    const int row = rowOf(key);
    if (row < 0 || m_ticks.contains(key) == ticked)
        return false;
    if (ticked) {
        m_ticks.insert(key);
        m_attributions.insert(key, {warden, CClock::now()});
    } else {
        m_ticks.remove(key);
        m_attributions.remove(key);
    }
    ++m_tickVersion;
    emit dataChanged(index(row, TickColumn), index(row, TickColumn), {Qt::CheckStateRole});
    emit tickChanged(key, ticked, warden);
    emit ticksChanged();
    return true;
}
