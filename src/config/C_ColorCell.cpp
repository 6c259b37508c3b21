#include "config/C_ColorCell.h"

#include <QPainter>
#include <QRect>

QRect C_ColorCell::circleRect(const QRect &cell)
{
    return QRect(cell.left() + cell.width() / 2 - 8, cell.top() + cell.height() / 2 - 8, kDiameter, kDiameter);
}

void C_ColorCell::draw(QPainter &painter, const QRect &cell, ColourValue colour)
{
    painter.save();
    painter.setBrush(activityQColor(colour));
    // The ellipse is drawn inside its box including the outline, like the platform's Ellipse.
    const QRect r = circleRect(cell);
    painter.drawEllipse(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.restore();
}
