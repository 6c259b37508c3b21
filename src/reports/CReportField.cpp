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
    QString shown = text;
    const bool b = boldMarker(shown);
    const bool i = italicMarker(shown);
    drawText(page, device, shown, b, i);
}
