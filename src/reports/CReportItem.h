#pragma once

#include "reports/CLineStyle.h"

#include <QString>

class CReportDevice;
class QFont;

// A drawing object of a report template. Positions are inches from the paper's top-left
// corner; colours 0x00BBGGRR; font sizes tenths of a point; the format holds DrawText bits.
class CReportItem
{
public:
    enum Type
    {
        Grid = 1,
        Field = 2,
        Label = 3,
        Box = 4,
        Ellipse = 5,
        Line = 6,
        Picture = 7
    };

    explicit CReportItem(Type itemType) : type(itemType) {}
    virtual ~CReportItem();
    CReportItem(const CReportItem &) = delete;
    CReportItem &operator=(const CReportItem &) = delete;

    virtual void Draw(int page, CReportDevice &device) = 0;
    // Empties what the program filled in (field text, grid rows).
    virtual void ResetContent() {}

    double top = 0.0;
    double left = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    QString name;
    CLineStyle frame;
    CLineStyle columnLines;
    CLineStyle rowLines;
    int fillOn = 0;
    int fillColour = 0;
    QString fontFace;
    int fontSize = 0;
    int bold = 0;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int textColour = 0;
    int textFormat = 0;
    unsigned char charSet = 238;
    QString text;
    const Type type;

    // Replaces the variables of a label or field text: the page number, the date and time.
    static QString ExpandVariables(int page, const QString &text);
    // Removes every occurrence of the marker; true when there was one.
    static bool takeMarker(QString &text, const QString &marker);
    // Text as typed, so that no marker, variable or cell separator can be read into it: "%"
    // becomes "%%" (no "[%" can then start a marker) and "|" becomes "%!". Every text that
    // comes from outside (the database, a phone) goes into a grid row or a field through here.
    static QString literal(const QString &text);
    // The inverse, applied to what is drawn once the markers are taken out.
    static QString shown(const QString &text);

protected:
    // Box and ellipse: frame pen or none, fill brush or none.
    void drawShape(CReportDevice &device, bool ellipse) const;
    // Label and field: the object's font, colour and format. A field's text may hold literal()
    // text, undone after the variables are replaced.
    void drawText(int page, CReportDevice &device, const QString &content, bool forceBold, bool forceItalic,
                  bool hasLiterals = false) const;
};
