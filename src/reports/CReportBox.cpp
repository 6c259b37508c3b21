#include "reports/CReportBox.h"

void CReportBox::Draw(int, CReportDevice &device)
{
    drawShape(device, false);
}
