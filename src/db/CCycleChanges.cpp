#include "db/CCycleChanges.h"

#include "db/CDbTable.h"

#include <QStringList>
#include <vector>

void CCycleChanges::add(const CCycleChanges &other)
{
    everything = everything || other.everything;
    guests = guests || other.guests;
    if (everything)
        employees.clear();
    else
        employees.unite(other.employees);
}

CCycleChanges CCycleChanges::between(const CDbTable *before, const CDbTable *after, const QStringList &columns)
{
    if (!before || !after)
        return all();
    const int idBefore = before->columnIndex(u"IDZaposlenog"), idAfter = after->columnIndex(u"IDZaposlenog");
    // The earlier rows may be read by the update pass meanwhile: they are looked up through the
    // index they were given before they were shared, never one built now.
    if (idBefore < 0 || idAfter < 0 || !before->hasIndex(idBefore))
        return all();
    after->prepareIndex(idAfter);
    std::vector<std::pair<int, int>> compared;
    for (const QString &name : columns) {
        const int b = before->columnIndex(name), a = after->columnIndex(name);
        if ((b < 0) != (a < 0))
            return all();
        if (b >= 0)
            compared.emplace_back(b, a);
    }
    CCycleChanges c;
    // The statement orders by employee, so the same row number usually holds the same employee
    // and the index is asked only where rows came or went.
    bool matchedAll = before->rowCount() == after->rowCount();
    QString id;
    for (int row = 0; row < after->rowCount(); ++row) {
        int old = row < before->rowCount() && before->sameCell(row, idBefore, *after, row, idAfter) ? row : -1;
        if (old < 0) {
            after->text(row, idAfter, id);
            old = before->firstEqual(idBefore, id);
        }
        const bool single = old >= 0 && before->nextEqual(idBefore, old) < 0 && after->nextEqual(idAfter, row) < 0;
        matchedAll = matchedAll && single;
        bool same = single;
        for (qsizetype i = 0; same && i < qsizetype(compared.size()); ++i)
            same = after->sameCell(row, compared[size_t(i)].second, *before, old, compared[size_t(i)].first);
        if (!same) {
            after->text(row, idAfter, id);
            c.employees.insert(id);
        }
    }
    if (matchedAll)
        return c; // one row each, every row of after found its own: nobody went
    for (int row = 0; row < before->rowCount(); ++row) {
        before->text(row, idBefore, id);
        if (after->firstEqual(idAfter, id) < 0)
            c.employees.insert(id);
    }
    return c;
}

bool CCycleChanges::sameRows(const CDbTable *before, const CDbTable *after)
{
    if (!before || !after)
        return before == after;
    if (before->rowCount() != after->rowCount() || before->columnNames() != after->columnNames())
        return false;
    for (int column = 0; column < after->columnCount(); ++column)
        for (int row = 0; row < after->rowCount(); ++row)
            if (!after->sameCell(row, column, *before, row, column))
                return false;
    return true;
}
