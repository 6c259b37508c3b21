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

    // Follows a result in the query's order; an empty result empties the grid.
    void merge(const QList<Row> &result);
};
