#pragma once

#include "CSqlServerType.h"

#include <QString>
#include <QVariant>
#include <vector>

// Which SQL Server type a result column has. A column read straight from a table (through a
// view or not) takes the type the attendance database declares for that table and column; the
// few that SQLite's declared type cannot tell (varchar in the Serbian collation, bit) are
// listed here. A computed column takes its type from its values.
class CColumnTypes
{
public:
    // table and column: where the value comes from (empty for an expression); declared: the
    // declared type in the SQLite schema; values: the column's values, for expressions; name:
    // the name the column goes by in the result. A name column (CSqliteCollation) reaches the
    // result as an expression and is known by its name.
    static CSqlServerType typeOf(const QString &table, const QString &column, const QString &declared,
                                 const std::vector<const QVariant *> &values, const QString &name = {});

    // "YYYY-MM-DD HH:MM:SS" with an optional fraction of up to three digits.
    static bool isDateTimeText(const QString &text);
};
