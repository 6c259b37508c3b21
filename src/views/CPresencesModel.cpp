#include "views/CPresencesModel.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <numeric>

namespace {
constexpr CListGridModel::Columns kHeaders{1077, 1045, 1046, 1047, 1075};
constexpr CListGridModel::Columns kWidths{120, 120, 120, 80, 240};
} // namespace

CPresencesModel::CPresencesModel(QObject *parent) : CListGridModel(kHeaders, kWidths, DateTimeColumn, parent) {}

CPresencesModel::MergePlan CPresencesModel::plan(const QList<Row> &current, const QList<Row> &result,
                                                 const QSet<QString> *scope)
{
    MergePlan p;
    if (result.isEmpty() && !scope) {
        p.empty = true;
        return p;
    }
    // Media number -> its last row in the result: a grid row takes the texts of the last result
    // row with its number, as updating it row by row from the top would leave it.
    QHash<QString, int> last;
    last.reserve(result.size());
    for (int i = 0; i < result.size(); ++i)
        last.insert(result.at(i)[MediaColumn], i);
    // The first grid row with a number takes its result row; rows whose number left the result
    // go. Result rows that no grid row took are appended in the result's order.
    std::vector<bool> taken(size_t(result.size()), false);
    int kept = 0;
    for (int i = 0; i < current.size(); ++i) {
        const Row &row = current.at(i);
        const auto it = last.constFind(row[MediaColumn]);
        if (it == last.cend()) {
            if (!scope || scope->contains(row[MediaColumn]))
                p.removed.append(i);
            else
                ++kept;
            continue;
        }
        const int at = kept++;
        if (taken[size_t(*it)])
            continue; // a second grid row with the same number stays as it is
        taken[size_t(*it)] = true;
        const Row &r = result.at(*it);
        bool differs = false;
        for (int c : {DateTimeColumn, LastNameColumn, FirstNameColumn, ActivityColumn})
            differs = differs || row[c] != r[c];
        if (!differs)
            continue;
        Row now = row;
        for (int c : {DateTimeColumn, LastNameColumn, FirstNameColumn, ActivityColumn})
            now[c] = r[c];
        p.changed.append({at, now});
    }
    for (int i = 0; i < result.size(); ++i) {
        const int lastRow = last.value(result.at(i)[MediaColumn]);
        if (taken[size_t(lastRow)])
            continue;
        taken[size_t(lastRow)] = true;
        // The first row of a new number is appended with the texts of its last one.
        Row row = result.at(lastRow);
        row[MediaColumn] = result.at(i)[MediaColumn];
        p.appended.append(row);
    }
    return p;
}

void CPresencesModel::apply(const MergePlan &plan)
{
    if (plan.empty) {
        clear();
        m_moved.clear();
        m_unordered = false;
        return;
    }
    // Rows noted as out of place keep their numbers only while nothing above them goes.
    if (!plan.removed.isEmpty() && !m_moved.isEmpty())
        m_unordered = true;
    removeMarked(plan.removed);
    for (const auto &change : plan.changed)
        m_moved.append(change.first);
    for (int r = rowCount(); r < rowCount() + plan.appended.size(); ++r)
        m_moved.append(r);
    for (const auto &[row, values] : plan.changed) {
        if (row >= rowCount())
            continue;
        rowAt(row) = values;
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole, Qt::ToolTipRole});
    }
    appendRows(plan.appended);
    if (isOutOfOrder())
        emit outOfOrder();
}

void CPresencesModel::replace(const QList<Row> &result)
{
    replaceRows(result);
    m_moved.clear();
    m_unordered = false;
}

void CPresencesModel::sortNewestFirst()
{
    if (!m_unordered && m_moved.isEmpty())
        return;
    // The texts are "YYYY-MM-DD HH:MM:SS": their order is the moments' order.
    const QList<Row> &all = rows();
    const auto newer = [&all](int a, int b) { return all.at(a)[DateTimeColumn] > all.at(b)[DateTimeColumn]; };
    QList<int> changed; // in the order they changed, each once
    QList<int> from;    // the same, ascending
    if (!m_unordered) {
        for (int r : std::as_const(m_moved))
            if (r < all.size())
                from.append(r);
        std::sort(from.begin(), from.end());
        from.erase(std::unique(from.begin(), from.end()), from.end());
        QSet<int> seen;
        for (int r : std::as_const(m_moved))
            if (r < all.size() && !seen.contains(r)) {
                seen.insert(r);
                changed.append(r);
            }
    }
    const bool few = !m_unordered && from.size() <= all.size() / 4;
    m_moved.clear();
    m_unordered = false;
    if (!few) {
        QList<int> order(all.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), newer);
        reorderRows(order);
        return;
    }
    // The rows that stayed are in order: each changed row goes before the first of them that is
    // older, found by halving (the k-th staying row is row k plus the changed rows before it).
    std::stable_sort(changed.begin(), changed.end(), newer);
    QList<int> changedBefore; // from[j] - j: a staying row k lies past the changed row j when k >= this
    for (qsizetype j = 0; j < from.size(); ++j)
        changedBefore.append(from.at(j) - int(j));
    const auto stayingRow = [&](int k) {
        return k + int(std::upper_bound(changedBefore.cbegin(), changedBefore.cend(), k) - changedBefore.cbegin());
    };
    const int staying = int(all.size() - from.size());
    QList<QPair<int, int>> places;
    int low = 0;
    for (int c : std::as_const(changed)) {
        int high = staying;
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (newer(c, stayingRow(mid)))
                high = mid;
            else
                low = mid + 1;
        }
        places.append({low + int(places.size()), c});
    }
    relocateRows(places);
}
