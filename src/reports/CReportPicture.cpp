#include "reports/CReportPicture.h"

#include "reports/CReportDevice.h"

#include <QPainter>

bool CReportPicture::loadFile(const QString &path)
{
    fileName = path;
    m_image = QImage();
    if (path.isEmpty())
        return false;
    return m_image.load(path);
}

void CReportPicture::Draw(int, CReportDevice &device)
{
    QPainter &p = device.painter();
    const QRect r = device.rect(left, top, right, bottom).normalized();
    if (frame.on) {
        p.setPen(device.pen(frame));
        p.drawRect(CReportDevice::outline(r));
    }
    if (!m_image.isNull()) {
        const QRect inner = r.adjusted(1, 1, -1, -1);
        if (inner.isValid())
            p.drawImage(inner, m_image);
    }
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::white);
}
