#pragma once

#include "db/ReferenceMaps.h"

class QPainter;
class QRect;

// The colour column of the Colours grid: a cell that shows only a dot in its colour.
class C_ColorCell
{
public:
    static constexpr int kDiameter = 15;

    explicit C_ColorCell(ColourValue colour = kColourWhite) : m_colour(colour) {}

    ColourValue colour() const { return m_colour; }
    void setColour(ColourValue colour) { m_colour = colour; }

    void draw(QPainter &painter, const QRect &cell) const { draw(painter, cell, m_colour); }
    // A filled 15 by 15 circle in the colour, outlined with the painter's current pen, whose
    // box starts 8 pixels left of and above the cell's centre. No text.
    static void draw(QPainter &painter, const QRect &cell, ColourValue colour);
    // The circle's bounding box for a cell.
    static QRect circleRect(const QRect &cell);

private:
    ColourValue m_colour;
};
