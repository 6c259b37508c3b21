#pragma once

#include "reports/CReportItem.h"

// A rectangle with an optional frame and fill.
class CReportBox : public CReportItem
{
public:
    CReportBox() : CReportItem(Box) {}
    void Draw(int page, CReportDevice &device) override;
};
