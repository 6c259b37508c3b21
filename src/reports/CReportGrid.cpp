#include "reports/CReportGrid.h"

#include "reports/CReportDevice.h"
#include "reports/CReportField.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

int CReportGrid::capacity() const
{
    const double fit = RowsPerInch * (bottom - top);
    if (!(fit >= 1.0))
        return 0;
    return fit >= INT_MAX ? INT_MAX : static_cast<int>(fit);
}

bool CReportGrid::strikeMarker(QString &text)
{
    return takeMarker(text, QStringLiteral("[%strike%]"));
}

bool CReportGrid::redMarker(QString &text)
{
    return takeMarker(text, QStringLiteral("[%red%]"));
}

bool CReportGrid::boldMarker(QString &text)
{
    return CReportField::boldMarker(text);
}

bool CReportGrid::italicMarker(QString &text)
{
    return CReportField::italicMarker(text);
}

bool CReportGrid::boldSeparator(QString &text)
{
    return takeMarker(text, QStringLiteral("[%bold-separator%]"));
}

bool CReportGrid::separator(QString &text)
{
    return takeMarker(text, QStringLiteral("[%separator%]"));
}

bool CReportGrid::doubleSeparator(QString &text)
{
    return takeMarker(text, QStringLiteral("[%double-separator%]"));
}

namespace {

QFont columnFont(const CReportColumn &c, const CReportDevice &device)
{
    QFont f(c.fontFace);
    f.setPixelSize(device.fontPixels(c.fontSize));
    f.setWeight(c.bold ? QFont::Bold : QFont::Normal);
    f.setItalic(c.italic);
    f.setUnderline(c.underline);
    f.setStrikeOut(c.strikeOut);
    return f;
}

} // namespace

void CReportGrid::Draw(int page, CReportDevice &device)
{
    QPainter &p = device.painter();
    const QRect r = device.rect(left, top, right, bottom);
    const int gridLeft = r.left();
    const int gridRight = r.right() + 1;
    const int gridTop = r.top();
    const int gridBottom = r.bottom() + 1;
    const int rowHeight = RowsPerInch > 0 ? static_cast<int>(device.dpi() / static_cast<double>(RowsPerInch) + 0.5) : 0;

    std::vector<int> widths(columns.size());
    long long sized = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        widths[i] = device.length(columns[i].width);
        sized += widths[i];
    }
    const long long rest = static_cast<long long>(gridRight - gridLeft) - sized;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (widths[i] == 0)
            widths[i] = static_cast<int>(std::clamp<long long>(rest, INT_MIN / 4, INT_MAX / 4));
    }

    const int cap = capacity();
    const long long first = static_cast<long long>(page - StartPage) * cap;
    const long long end = std::min<long long>(first + cap, rows.size());

    const Qt::BGMode savedMode = p.backgroundMode();
    const QPen savedPen = p.pen();
    p.setBackgroundMode(Qt::TransparentMode);

    if (frame.on) {
        p.setPen(device.pen(frame));
        p.setBrush(Qt::NoBrush);
        p.drawRect(CReportDevice::outline(r));
        p.setPen(Qt::NoPen);
    }
    if (columnLines.on) {
        p.setPen(device.pen(columnLines));
        long long x = gridLeft;
        for (size_t i = 0; i + 1 < widths.size() && x <= gridRight; ++i) {
            x += widths[i];
            p.drawLine(QPoint(static_cast<int>(x), gridTop), QPoint(static_cast<int>(x), gridBottom));
        }
        p.setPen(Qt::NoPen);
    }

    // Fonts are made once per column, and only for columns that have something to show.
    std::vector<std::optional<QFont>> fonts(columns.size());
    const int frameInset = frame.on ? std::max(1, device.length(frame.width)) : 0;
    const int lineInset = columnLines.on ? std::max(1, device.length(columnLines.width)) : 0;
    const QColor penColour = savedPen.color();
    const QPen rowPen = rowLines.on ? device.pen(rowLines) : QPen(Qt::NoPen);

    long long y = gridTop;
    for (long long row = std::max(0LL, first); row < end; ++row, y += rowHeight) {
        QString data = rows.at(static_cast<qsizetype>(row));
        const int q = rowHeight / 4;
        const int yi = static_cast<int>(y);
        if (separator(data)) {
            p.setPen(QPen(Qt::black, 0));
            p.drawLine(gridLeft, yi + q, gridRight, yi + q);
            continue;
        }
        if (doubleSeparator(data)) {
            p.setPen(QPen(Qt::black, 0));
            p.drawLine(gridLeft, yi + q, gridRight, yi + q);
            p.drawLine(gridLeft, yi + 2 * q, gridRight, yi + 2 * q);
            continue;
        }
        if (boldSeparator(data)) {
            QPen heavy(Qt::black, q / 2);
            heavy.setCapStyle(Qt::FlatCap);
            p.setPen(heavy);
            p.drawLine(gridLeft, yi + q, gridRight, yi + q);
            p.setPen(QPen(Qt::black, 0));
            continue;
        }
        const QStringList cells = data.split(QLatin1Char('|'));
        long long x = gridLeft;
        const size_t shownColumns = std::min(columns.size(), static_cast<size_t>(cells.size()));
        for (size_t c = 0; c < shownColumns; ++c) {
            const int w = widths[c];
            QString cell = cells.at(static_cast<qsizetype>(c));
            if (!cell.isEmpty()) {
                if (!fonts[c])
                    fonts[c] = columnFont(columns[c], device);
                QFont font = *fonts[c];
                // Several markers in one cell combine their attributes.
                if (boldMarker(cell))
                    font.setWeight(QFont::Bold);
                if (italicMarker(cell))
                    font.setItalic(true);
                if (strikeMarker(cell))
                    font.setStrikeOut(true);
                const bool red = redMarker(cell);
                const int pad = device.length(columns[c].fontSize / 40.0 / 72.0);
                const int inset = pad + (c == 0 ? frameInset : lineInset);
                const QRect cellRect(QPoint(static_cast<int>(x) + inset, yi),
                                     QPoint(static_cast<int>(x + w) - inset - 1, yi + rowHeight - 1));
                p.setFont(font);
                p.setPen(red ? QColor(255, 0, 0) : penColour);
                const int flags = CReportDevice::textFlags(columns[c].format);
                p.drawText(cellRect.normalized(), flags,
                           device.fitted(shown(cell), font, cellRect.normalized(), flags));
                p.setPen(penColour);
            }
            x += w;
        }
        if (rowLines.on) {
            p.setPen(rowPen);
            p.drawLine(gridLeft, yi + rowHeight, gridRight, yi + rowHeight);
        }
    }

    p.setBackgroundMode(savedMode);
    p.setFont(QFont());
    p.setPen(Qt::NoPen);
}
