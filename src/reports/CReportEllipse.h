#pragma once

#include "reports/CReportItem.h"

// The ellipse inscribed in its rectangle, with an optional frame and fill.
class CReportEllipse : public CReportItem
{
public:
    CReportEllipse() : CReportItem(Ellipse) {}
    void Draw(int page, CReportDevice &device) override;
};
