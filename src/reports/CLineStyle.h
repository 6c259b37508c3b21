#pragma once

// One set of lines of a report object: a frame, the column lines or the row lines of a grid.
// Colours are 0x00BBGGRR; the width is in inches.
class CLineStyle
{
public:
    int on = 0;
    int style = 0;
    int colour = 0;
    double width = 0.0;
};
