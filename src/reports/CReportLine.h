#pragma once

#include "reports/CReportItem.h"

// A straight line from the top-left to the bottom-right corner, always drawn.
class CReportLine : public CReportItem
{
public:
    CReportLine() : CReportItem(Line) {}
    void Draw(int page, CReportDevice &device) override;
};
