#pragma once

#include "reports/CReportColumn.h"
#include "reports/CReportItem.h"

#include <QStringList>
#include <vector>

// A table that receives rows by name. A row holds its cells separated by "|"; markers in a
// cell change its font or colour, a separator marker turns the whole row into a rule. Text from
// outside goes into a cell through literal(), so that it prints exactly as typed.
class CReportGrid : public CReportItem
{
public:
    CReportGrid() : CReportItem(Grid) {}
    void Draw(int page, CReportDevice &device) override;
    void ResetContent() override { rows.clear(); }

    // The rows that fit in the grid's band: RowsPerInch times its height, truncated.
    int capacity() const;

    static bool strikeMarker(QString &text);
    static bool redMarker(QString &text);
    static bool boldMarker(QString &text);
    static bool italicMarker(QString &text);
    static bool boldSeparator(QString &text);
    static bool separator(QString &text);
    static bool doubleSeparator(QString &text);

    QStringList rows;
    int RowsPerInch = 0;
    int StartPage = 0;
    std::vector<CReportColumn> columns;
};
