#pragma once

#include "reports/CReportItem.h"

// Text that the program sets by name; besides the variables it may hold the bold and italic
// markers, which are removed and switch the font.
class CReportField : public CReportItem
{
public:
    CReportField() : CReportItem(Field) {}
    void Draw(int page, CReportDevice &device) override;
    void ResetContent() override { text.clear(); }

    static bool boldMarker(QString &text);
    static bool italicMarker(QString &text);
};
