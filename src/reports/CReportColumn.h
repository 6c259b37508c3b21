#pragma once

#include <QString>

// One column of a report grid. The order of the font flags follows the template's column
// attributes (italic, underline, bold, strike-out).
class CReportColumn
{
public:
    double width = 0.0; // inches; 0 takes what the sized columns leave
    QString fontFace;
    int fontSize = 0; // tenths of a point
    int italic = 0;
    int underline = 0;
    int bold = 0;
    int strikeOut = 0;
    int data = 0; // kept with the column, no effect on drawing
    int format = 0;
    unsigned char charSet = 238;
    QString dataText; // kept with the column, no effect on drawing
};
