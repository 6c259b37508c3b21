#include "views/CPresencesModel.h"

#include <QHash>
#include <QSet>

namespace {
constexpr CListGridModel::Columns kHeaders{1077, 1045, 1046, 1047, 1075};
constexpr CListGridModel::Columns kWidths{120, 120, 120, 80, 240};
} // namespace

CPresencesModel::CPresencesModel(QObject *parent) : CListGridModel(kHeaders, kWidths, DateTimeColumn, parent) {}

void CPresencesModel::merge(const QList<Row> &result)
{
    if (result.isEmpty()) {
        clear();
        return;
    }
    QSet<QString> present;
    present.reserve(result.size());
    for (const Row &r : result)
        present.insert(r[MediaColumn]);
    QList<int> marked;
    for (int i = 0; i < rows().size(); ++i)
        if (!present.contains(rows().at(i)[MediaColumn]))
            marked.append(i);
    removeMarked(marked);

    // Media number -> row (rows past the end are the ones about to be appended). The first
    // row with a number wins, as a search from the top would find it.
    const int existing = int(rows().size());
    QHash<QString, int> byMedia;
    byMedia.reserve(existing + result.size());
    for (int i = 0; i < existing; ++i)
        if (!byMedia.contains(rows().at(i)[MediaColumn]))
            byMedia.insert(rows().at(i)[MediaColumn], i);
    QList<Row> appended;
    for (const Row &r : result) {
        const auto it = byMedia.constFind(r[MediaColumn]);
        if (it == byMedia.constEnd()) {
            byMedia.insert(r[MediaColumn], existing + int(appended.size()));
            appended.append(r);
            continue;
        }
        Row &target = *it < existing ? rowAt(*it) : appended[*it - existing];
        bool changed = false;
        for (int c : {DateTimeColumn, LastNameColumn, FirstNameColumn, ActivityColumn}) {
            if (target[c] != r[c]) {
                target[c] = r[c];
                changed = true;
            }
        }
        if (changed && *it < existing)
            emit dataChanged(index(*it, 0), index(*it, ColumnCount - 1), {Qt::DisplayRole, Qt::ToolTipRole});
    }
    appendRows(appended);
}
