#include "reports/CReportLine.h"

#include "reports/CReportDevice.h"

#include <QPainter>

void CReportLine::Draw(int, CReportDevice &device)
{
    QPainter &p = device.painter();
    p.setPen(device.pen(frame));
    p.drawLine(device.point(left, top), device.point(right, bottom));
    p.setPen(QPen(Qt::black, 0));
}
