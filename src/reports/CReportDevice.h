#pragma once

#include "reports/CLineStyle.h"

#include <QPoint>
#include <QRect>

class QColor;
class QFont;
class QPainter;
class QPen;

// The device of one page drawing: the painter, the vertical resolution used for both axes and
// the physical offset of the printable area, which every rectangle is moved by so that template
// positions count from the paper's edge.
class CReportDevice
{
public:
    CReportDevice(QPainter &painter, int dpi, QPoint physicalOffset = QPoint());

    QPainter &painter() const { return m_painter; }
    int dpi() const { return m_dpi; }

    // Inches to device units, rounded half up and truncated toward zero.
    int length(double inches) const;
    // Tenths of a point to a pixel height (at least 1, as a font needs one); a size of 0 or
    // less takes the default font size, as a zero font height does in the original drawing.
    int fontPixels(int tenths) const;
    // The text as it fits rect with these Qt text flags: whole when it fits, otherwise cut at
    // the last line that fits and ended with an ellipsis, never cut mid-word without a sign.
    QString fitted(const QString &text, const QFont &font, const QRect &rect, int flags) const;
    // A template rectangle in device units, offset removed.
    QRect rect(double left, double top, double right, double bottom) const;
    QPoint point(double x, double y) const;
    QPen pen(const CLineStyle &line) const;

    static QColor colour(int colourRef);
    // The DrawText format bits (plus word break and no prefix) as Qt text flags.
    static int textFlags(int format);
    // Windows draws a rectangle over [left, right) x [top, bottom).
    static QRect outline(const QRect &r);

private:
    QPainter &m_painter;
    int m_dpi;
    QPoint m_offset;
};
