#pragma once

#include "reports/CReportItem.h"

// Fixed text; it may hold the page, date and time variables.
class CReportLabel : public CReportItem
{
public:
    CReportLabel() : CReportItem(Label) {}
    void Draw(int page, CReportDevice &device) override;
};
