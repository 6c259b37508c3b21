#include "reports/CReportField.h"

bool CReportField::boldMarker(QString &text)
{
    return takeMarker(text, QStringLiteral("[%bold%]"));
}

bool CReportField::italicMarker(QString &text)
{
    return takeMarker(text, QStringLiteral("[%italic%]"));
}

void CReportField::Draw(int page, CReportDevice &device)
{
    QString t = text;
    const bool b = boldMarker(t);
    const bool i = italicMarker(t);
    drawText(page, device, t, b, i, true);
}
