#include "reports/CReportLabel.h"

void CReportLabel::Draw(int page, CReportDevice &device)
{
    drawText(page, device, text, false, false);
}
