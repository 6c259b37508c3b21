#pragma once

#include "views/CListGridModel.h"

// The rows of the presences window: each employee's last registration (date and time, last
// name, first name, media number, activity). A refresh removes the media numbers that left the
// result, changes the rows that stay in place and appends new ones at the bottom, so between
// full rebuilds the order may drift from the query's. Rows are found through a hash of the
// media number, and the view hears of each change as rows removed, changed or inserted.
class CPresencesModel : public CListGridModel
{
    Q_OBJECT
public:
    enum Column
    {
        DateTimeColumn,
        LastNameColumn,
        FirstNameColumn,
        MediaColumn, // the row's identity
        ActivityColumn
    };

    explicit CPresencesModel(QObject *parent = nullptr);

    // What following a result changes: the rows that left it (ascending), the rows that stay
    // with new texts (numbered after the removal), and the rows new to the list. Worked out on
    // any thread from a copy of the rows, so that a large list is compared off the interface
    // thread and only the changes are applied on it.
    struct MergePlan
    {
        QList<int> removed;
        QList<QPair<int, Row>> changed;
        QList<Row> appended;
        bool empty = false; // the result is empty: the grid is emptied
    };
    // scope: when given, the result covers only these media numbers (some employees' rows);
    // rows outside it stay whether the result has them or not.
    static MergePlan plan(const QList<Row> &current, const QList<Row> &result, const QSet<QString> *scope = nullptr);
    void apply(const MergePlan &plan);

    // Follows a result in the query's order; an empty result empties the grid.
    void merge(const QList<Row> &result) { apply(plan(rows(), result)); }
    // The rows of a result exactly, in its order (a full rebuild).
    void replace(const QList<Row> &result);
    // Puts the rows back in the query's order, newest registration first, without asking the
    // database; the view keeps its selection.
    void sortNewestFirst();
    // Whether rows may stand out of the query's order (sortNewestFirst() has work to do).
    bool isOutOfOrder() const { return m_unordered || !m_moved.isEmpty(); }

signals:
    // A refresh put rows out of the query's order.
    void outOfOrder();

private:
    // Rows changed or added since the rows were last in order (the others still are), or all
    // of them when that is no longer known.
    QList<int> m_moved;
    bool m_unordered = true;
};
