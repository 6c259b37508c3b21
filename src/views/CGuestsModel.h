#pragma once

#include "views/CListGridModel.h"

class CDbCursor;

// The rows of the guests window: one visitor inside the building per row (entry time, company,
// visitor, reason, host). An update keeps rows in place, removes the visitors who left and
// appends the new ones at the bottom; a row whose values changed leaves and comes back at the
// bottom. Rows are matched by all five values through a hash, and the view hears of each change
// as rows removed and inserted, so its selection and scrolling survive updates.
class CGuestsModel : public CListGridModel
{
    Q_OBJECT
public:
    explicit CGuestsModel(QObject *parent = nullptr);

    // Follows a result: the visitors present now, in the cursor's order.
    void merge(const QList<Row> &result);

    // Every row of the cursor, each field read by its header text.
    static QList<Row> readCursor(CDbCursor *cursor);
};

size_t qHash(const CGuestsModel::Row &row, size_t seed = 0);
