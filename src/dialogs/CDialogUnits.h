#pragma once

#include <QRect>

#include <cmath>

// The fixed dialogs keep their layout in dialog units; these are the pixels of one unit with the
// usual dialog font.
class CDialogUnits
{
public:
    static constexpr double kX = 1.75;
    static constexpr double kY = 1.875;

    static int x(double units) { return int(std::lround(units * kX)); }
    static int y(double units) { return int(std::lround(units * kY)); }
    static QRect rect(double left, double top, double width, double height)
    {
        return QRect(x(left), y(top), x(width), y(height));
    }
};
