#include "views/CListGridModel.h"

#include "app/CPlainText.h"
#include "app/CTextMatch.h"
#include "db/CDateTime.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

#include "app/CStringTable.h"

namespace {
// Beyond this many separate runs of removed rows one reset is cheaper than the signals.
constexpr int kMaxRemovalRuns = 256;
} // namespace

CListGridModel::CListGridModel(const Columns &headerIds, const Columns &widths, int dateTimeColumn, QObject *parent)
    : QAbstractTableModel(parent), m_headerIds(headerIds), m_widths(widths), m_dateTimeColumn(dateTimeColumn)
{
    // Folded texts go with the rows they were made from.
    auto forgetAll = [this] { m_folded.clear(); };
    connect(this, &QAbstractItemModel::rowsRemoved, this, forgetAll);
    connect(this, &QAbstractItemModel::rowsInserted, this, forgetAll);
    connect(this, &QAbstractItemModel::modelReset, this, forgetAll);
    connect(this, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from, const QModelIndex &to) {
        for (int r = from.row(); r <= to.row() && r < m_folded.size(); ++r)
            m_folded[r] = QString();
    });
}

int CListGridModel::headerId(int column) const
{
    return column >= 0 && column < ColumnCount ? m_headerIds[column] : 0;
}

int CListGridModel::columnWidth(int column) const
{
    return column >= 0 && column < ColumnCount ? m_widths[column] : 0;
}

QList<int> CListGridModel::columnWidths() const
{
    return QList<int>(m_widths.begin(), m_widths.end());
}

int CListGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CListGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CListGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= ColumnCount)
        return {};
    const Row &row = m_rows.at(index.row());
    if ((role == Qt::DisplayRole || role == Qt::ToolTipRole) && index.column() == m_dateTimeColumn) {
        // The date as the language writes it, as the tablets do; the time to the second.
        const QDateTime moment = QDateTime::fromString(row[index.column()], QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (moment.isValid())
            return CDateTime::fromLocal(moment).format(S(1055) + QStringLiteral(" %H:%M:%S"));
    }
    if (role == Qt::DisplayRole)
        return row[index.column()];
    if (role == Qt::ToolTipRole)
        return CPlainText::toolTip(row[index.column()]);
    if (role == CTextMatch::SearchRole) {
        if (m_folded.size() != m_rows.size())
            m_folded.resize(m_rows.size());
        QString &folded = m_folded[index.row()];
        if (folded.isNull())
            folded = CTextMatch::searchText(QStringList(row.begin(), row.end()));
        return folded;
    }
    // Dates sort as dates, whatever their text looks like.
    if (role == CTextMatch::SortRole && index.column() == m_dateTimeColumn)
        return QDateTime::fromString(row[index.column()], QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return {};
}

QVariant CListGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return S(m_headerIds[section]);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignHCenter | Qt::AlignVCenter);
    // A date-time in its text form; every digit is as wide as any other in the usual fonts.
    if (role == WidestTextRole && section == m_dateTimeColumn) {
        QString widest = S(1055) + QStringLiteral(" %H:%M:%S");
        widest.replace(QLatin1String("%Y"), QLatin1String("0000"));
        return widest.replace(QRegularExpression(QStringLiteral("%[mdHMS]")), QStringLiteral("00"));
    }
    return {};
}

void CListGridModel::clear()
{
    if (m_rows.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, int(m_rows.size()) - 1);
    m_rows.clear();
    endRemoveRows();
}

void CListGridModel::removeMarked(const QList<int> &marked)
{
    if (marked.isEmpty())
        return;
    int runs = 1;
    for (qsizetype i = 1; i < marked.size(); ++i)
        if (marked.at(i) != marked.at(i - 1) + 1)
            ++runs;
    if (runs > kMaxRemovalRuns) {
        beginResetModel();
        QList<Row> kept;
        kept.reserve(m_rows.size() - marked.size());
        qsizetype m = 0;
        for (int r = 0; r < m_rows.size(); ++r) {
            if (m < marked.size() && marked.at(m) == r)
                ++m;
            else
                kept.append(std::move(m_rows[r]));
        }
        m_rows = std::move(kept);
        endResetModel();
        return;
    }
    // From the bottom up, one signal per run, so the row numbers above stay valid.
    qsizetype i = marked.size() - 1;
    while (i >= 0) {
        const int last = marked.at(i);
        int first = last;
        while (i > 0 && marked.at(i - 1) == first - 1)
            first = marked.at(--i);
        --i;
        beginRemoveRows(QModelIndex(), first, last);
        m_rows.remove(first, last - first + 1);
        endRemoveRows();
    }
}

void CListGridModel::appendRows(const QList<Row> &rows)
{
    if (rows.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    m_rows.append(rows);
    endInsertRows();
}

void CListGridModel::reorderRows(const QList<int> &order)
{
    if (order.size() != m_rows.size())
        return;
    // Only the stretch between the first and the last row that moves changes.
    qsizetype lo = 0, hi = order.size() - 1;
    while (lo <= hi && order.at(lo) == lo)
        ++lo;
    while (hi >= lo && order.at(hi) == hi)
        --hi;
    if (lo > hi)
        return;
    const qsizetype span = hi - lo + 1;
    // Rows are moved as raw bytes below: a row named twice would be freed twice. Only a
    // permutation of the stretch is taken.
    std::vector<bool> named(size_t(span), false);
    for (qsizetype i = lo; i <= hi; ++i) {
        const int from = order.at(i);
        if (from < lo || from > hi || named[size_t(from - lo)])
            return;
        named[size_t(from - lo)] = true;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The rows are moved as they lie in memory (they are relocatable), without touching their
    // texts; the search texts made for them move with them.
    Row *rows = m_rows.data();
    const auto bytes = [](qsizetype count) { return size_t(count) * sizeof(Row); };
    const std::unique_ptr<std::byte[]> buffer(new std::byte[bytes(span)]);
    for (qsizetype i = lo; i <= hi;) {
        // A run of rows that stay together is one copy.
        qsizetype end = i + 1;
        while (end <= hi && order.at(end) == order.at(end - 1) + 1)
            ++end;
        std::memcpy(static_cast<void *>(buffer.get() + bytes(i - lo)), static_cast<const void *>(rows + order.at(i)),
                    bytes(end - i));
        i = end;
    }
    std::memcpy(static_cast<void *>(rows + lo), buffer.get(), bytes(span));
    if (m_folded.size() == m_rows.size()) {
        QList<QString> folded(span);
        for (qsizetype i = lo; i <= hi; ++i)
            folded[i - lo] = std::move(m_folded[order.at(i)]);
        std::move(folded.begin(), folded.end(), m_folded.begin() + lo);
    } else {
        m_folded.clear();
    }
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        QList<int> newRowOf(span);
        for (qsizetype i = lo; i <= hi; ++i)
            newRowOf[order.at(i) - lo] = int(i);
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &i : before)
            after.append(index(i.row() >= lo && i.row() <= hi ? newRowOf.at(i.row() - lo) : i.row(), i.column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

namespace {

// Takes the items at from (ascending) out of a list of relocatable items and puts each back at
// its new place (places: new index and old index, ascending new indexes), the others keeping
// their order. The items that stay lie in runs that move by one distance each; runs going up move
// first, front to back, then runs going down, back to front, so that no run is written over
// before it has moved and each item moves once. Nothing is allocated but the few set aside.
template <class T> void relocate(QList<T> &list, const QList<int> &from, const QList<QPair<int, int>> &places)
{
    static_assert(QTypeInfo<T>::isRelocatable, "items are moved as bytes");
    T *p = list.data();
    const qsizetype n = list.size(), m = from.size(), staying = n - m;
    struct Run
    {
        qsizetype to, source, count;
    };
    QList<Run> runs;
    // k: the items that stay before this one; j: the items taken out before it; i: the items put
    // back before it (item i goes before the one with places[i].first - i staying before it).
    for (qsizetype k = 0, r = 0, j = 0, i = 0; k < staying;) {
        while (j < m && from.at(j) == r)
            ++j, ++r;
        while (i < m && places.at(i).first - i <= k)
            ++i;
        qsizetype count = staying - k;
        if (j < m)
            count = qMin(count, from.at(j) - r);
        if (i < m)
            count = qMin(count, places.at(i).first - i - k);
        if (k + i != r)
            runs.append({k + i, r, count});
        k += count;
        r += count;
    }
    const auto bytes = [](qsizetype count) { return size_t(count) * sizeof(T); };
    const std::unique_ptr<std::byte[]> aside(new std::byte[bytes(m)]);
    for (qsizetype j = 0; j < m; ++j)
        std::memcpy(static_cast<void *>(aside.get() + bytes(j)), static_cast<const void *>(p + from.at(j)), bytes(1));
    for (const Run &run : std::as_const(runs))
        if (run.to < run.source)
            std::memmove(static_cast<void *>(p + run.to), static_cast<const void *>(p + run.source), bytes(run.count));
    for (qsizetype x = runs.size() - 1; x >= 0; --x)
        if (const Run &run = runs.at(x); run.to > run.source)
            std::memmove(static_cast<void *>(p + run.to), static_cast<const void *>(p + run.source), bytes(run.count));
    for (const auto &[to, source] : places) {
        const qsizetype j = std::lower_bound(from.cbegin(), from.cend(), source) - from.cbegin();
        std::memcpy(static_cast<void *>(p + to), aside.get() + bytes(j), bytes(1));
    }
}

} // namespace

void CListGridModel::relocateRows(const QList<QPair<int, int>> &places)
{
    const qsizetype n = m_rows.size();
    QList<int> from;
    from.reserve(places.size());
    for (qsizetype i = 0; i < places.size(); ++i) {
        const auto [to, source] = places.at(i);
        // Rows are moved as raw bytes: a row named twice would be freed twice.
        if (to < 0 || to >= n || source < 0 || source >= n || (i > 0 && to <= places.at(i - 1).first))
            return;
        from.append(source);
    }
    std::sort(from.begin(), from.end());
    if (from.isEmpty() || std::adjacent_find(from.cbegin(), from.cend()) != from.cend())
        return;
    if (std::all_of(places.cbegin(), places.cend(), [](const QPair<int, int> &p) { return p.first == p.second; }))
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    relocate(m_rows, from, places);
    if (m_folded.size() == n)
        relocate(m_folded, from, places);
    else
        m_folded.clear();
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        // A row that stays comes after each row put back before as many staying rows as it has
        // before it.
        QList<int> keptBefore;
        for (qsizetype i = 0; i < places.size(); ++i)
            keptBefore.append(places.at(i).first - int(i));
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &index : before) {
            const int r = index.row();
            const auto f = std::lower_bound(from.cbegin(), from.cend(), r);
            int row = -1;
            if (f != from.cend() && *f == r) {
                for (const auto &[to, source] : places)
                    if (source == r)
                        row = to;
            } else {
                const int kept = r - int(f - from.cbegin());
                row = kept + int(std::upper_bound(keptBefore.cbegin(), keptBefore.cend(), kept) - keptBefore.cbegin());
            }
            after.append(this->index(row, index.column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CListGridModel::replaceRows(const QList<Row> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}
