#include "reports/CReportEllipse.h"

void CReportEllipse::Draw(int, CReportDevice &device)
{
    drawShape(device, true);
}
