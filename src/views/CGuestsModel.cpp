#include "views/CGuestsModel.h"

#include "app/CStringTable.h"
#include "db/CDbCursor.h"

#include <QHash>

namespace {
// Column order of the grid: Enter, Partner, Guest, Reason, Host.
constexpr CListGridModel::Columns kHeaders{1069, 1066, 1067, 1068, 1070};
constexpr CListGridModel::Columns kWidths{120, 200, 120, 200, 120};
} // namespace

size_t qHash(const CGuestsModel::Row &row, size_t seed)
{
    return qHashRange(row.begin(), row.end(), seed);
}

CGuestsModel::CGuestsModel(QObject *parent) : CListGridModel(kHeaders, kWidths, 0, parent) {}

void CGuestsModel::merge(const QList<Row> &result)
{
    if (result.isEmpty()) {
        clear();
        return;
    }
    // How many visitors with exactly these values are inside. Two visitors whose rows are
    // identical in every column are still two people, so each keeps a row of its own.
    QHash<Row, int> wanted;
    wanted.reserve(result.size());
    for (const Row &r : result)
        ++wanted[r];

    const QList<Row> &current = rows();
    QList<int> marked;
    QHash<Row, int> shown;
    shown.reserve(current.size());
    for (int i = 0; i < current.size(); ++i) {
        auto it = wanted.find(current.at(i));
        int &count = shown[current.at(i)];
        if (it == wanted.end() || count >= *it)
            marked.append(i);
        else
            ++count;
    }
    removeMarked(marked);

    QList<Row> appended;
    for (const Row &r : result) {
        auto it = shown.find(r);
        if (it != shown.end() && *it > 0)
            --*it;
        else
            appended.append(r);
    }
    appendRows(appended);
}

QList<CGuestsModel::Row> CGuestsModel::readCursor(CDbCursor *cursor)
{
    QList<Row> out;
    if (!cursor || cursor->recordCount() == 0)
        return out;
    QString names[ColumnCount];
    for (int c = 0; c < ColumnCount; ++c)
        names[c] = S(kHeaders[c]);
    out.reserve(cursor->recordCount());
    for (cursor->moveFirst(); !cursor->isEOF(); cursor->moveNext()) {
        Row row;
        for (int c = 0; c < ColumnCount; ++c)
            cursor->getFieldText(names[c], row[c]);
        out.append(std::move(row));
    }
    return out;
}
