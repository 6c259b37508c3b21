#include "views/CListGridModel.h"

#include "app/CPlainText.h"
#include "app/CTextMatch.h"
#include "db/CDateTime.h"

#include <QDateTime>
#include <QRegularExpression>
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

void CListGridModel::reorderRows(const QList<int> &order, const std::vector<bool> &moved)
{
    if (order.size() != m_rows.size())
        return;
    // Only the stretch between the first and the last row that moves changes; on a long list
    // after a few changes that is what keeps a reorder cheap.
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
    QList<bool> named(span, false);
    for (qsizetype i = lo; i <= hi; ++i) {
        const int from = order.at(i);
        if (from < lo || from > hi || named.at(from - lo))
            return;
        named[from - lo] = true;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The rows are moved as they lie in memory (they are relocatable), without touching their
    // texts; the search texts made for them move with them.
    Row *rows = m_rows.data();
    const auto bytes = [](qsizetype count) { return size_t(count) * sizeof(Row); };
    // Where the rows that move on their own go (few, after a pass), when the others keep their
    // order: those few are put aside and the others slide in place, run by run.
    QList<qsizetype> alone;
    bool inPlace = moved.size() == size_t(order.size());
    for (qsizetype i = lo, previous = -1; i <= hi && inPlace; ++i) {
        if (moved[size_t(order.at(i))])
            alone.append(i);
        else if (order.at(i) > previous)
            previous = order.at(i);
        else
            inPlace = false;
        inPlace = inPlace && alone.size() < span / 4 + 1;
    }
    const std::unique_ptr<std::byte[]> buffer(new std::byte[bytes(inPlace ? alone.size() : span)]);
    if (inPlace) {
        for (qsizetype j = 0; j < alone.size(); ++j)
            std::memcpy(static_cast<void *>(buffer.get() + bytes(j)),
                        static_cast<const void *>(rows + order.at(alone.at(j))), bytes(1));
        // Runs of rows that stay together, each with one distance to go.
        struct Run
        {
            qsizetype to, from, count;
        };
        QList<Run> runs;
        for (qsizetype i = lo, a = 0; i <= hi; ++i) {
            if (a < alone.size() && alone.at(a) == i) {
                ++a;
                continue;
            }
            if (!runs.isEmpty() && runs.last().to + runs.last().count == i &&
                runs.last().from + runs.last().count == order.at(i))
                ++runs.last().count;
            else
                runs.append({i, order.at(i), 1});
        }
        // Runs going up move first, front to back, then runs going down, back to front: no run
        // is written over before it has moved.
        for (const Run &r : std::as_const(runs))
            if (r.to < r.from)
                std::memmove(static_cast<void *>(rows + r.to), static_cast<const void *>(rows + r.from),
                             bytes(r.count));
        for (qsizetype k = runs.size() - 1; k >= 0; --k)
            if (const Run &r = runs.at(k); r.to > r.from)
                std::memmove(static_cast<void *>(rows + r.to), static_cast<const void *>(rows + r.from),
                             bytes(r.count));
        for (qsizetype j = 0; j < alone.size(); ++j)
            std::memcpy(static_cast<void *>(rows + alone.at(j)), buffer.get() + bytes(j), bytes(1));
    } else {
        for (qsizetype i = lo; i <= hi;) {
            // A run of rows that stay together is one copy.
            qsizetype end = i + 1;
            while (end <= hi && order.at(end) == order.at(end - 1) + 1)
                ++end;
            std::memcpy(static_cast<void *>(buffer.get() + bytes(i - lo)),
                        static_cast<const void *>(rows + order.at(i)), bytes(end - i));
            i = end;
        }
        std::memcpy(static_cast<void *>(rows + lo), buffer.get(), bytes(span));
    }
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

void CListGridModel::replaceRows(const QList<Row> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}
