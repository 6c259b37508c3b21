#pragma once

#include "db/ReferenceMaps.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QStringList>

class QPainter;
class QPalette;
class CTablet;
class CTabletPhoto;

// Draws one employee tablet onto any QPainter (a tablet window, an image for a picture or a
// benchmark). Coordinates are the tablet's own: (0, 0) is its top-left corner.
class CTabletPainter
{
public:
    // Colours and fonts taken from the system when a tablet is created.
    struct Look
    {
        QColor body, selectedBody, nameText, selectedNameText, detailsText, detailsBackground;
        // 3D edges: light and midlight on the lit side, dark and shadow on the other.
        QColor light, midlight, dark, shadow;
        QFont nameFont, detailsFont;
        // A name too long for its line, when names may wrap: first the name font a little
        // smaller on one line, then two lines of this font in the name's strip.
        QFont wrappedNameFont;
        // Pixels kept free above the capitals of a details line (a Windows font has them as
        // internal leading); part of the line's height when the font is fitted.
        int detailsTopGap = 0;
        int iconSize = 16;

        static Look fromPalette(const QPalette &palette, const QFont &guiFont, int iconSize = 16);
    };

    // What the tablet is drawn with besides its own state.
    struct Context
    {
        int nameFormat = 0;                 // 0: "Last First", otherwise "First Last"
        const ColourMap *colours = nullptr; // activity colours; none: black dots
        // False: a photograph not yet decoded in the cache is left out (it is being decoded
        // elsewhere) instead of being decoded by this paint.
        bool decodePhotos = true;
        // Device pixels per tablet pixel (zoom times the screen's pixel ratio): a photograph
        // decoded here is decoded at the size it covers on the device.
        qreal photoScale = 1.0;
        // A name too long for its line goes on two lines before it is cut (Fit to screen on a wall,
        // where the zoom makes the smaller lines readable).
        bool wrapNames = false;
    };

    explicit CTabletPainter(const Look &look);
    const Look &look() const { return m_look; }

    // The activity dot's colour: the activity's colour, black without one.
    static QColor dotColour(const CTablet &t, const Context &ctx);
    // The ring round the dot: black, or white on a body too dark for black to stand out, so
    // that a dot of any colour keeps a visible edge on the tablet.
    static QColor ringColour(const QColor &body);
    // Contrast ratio of two colours by their relative luminance (1 to 21).
    static qreal contrast(const QColor &a, const QColor &b);

    // Paints the tablet at the given size; photo caches the decoded photograph (may be null:
    // then the photograph is decoded for this paint only).
    void paint(QPainter &p, const CTablet &t, const QSize &size, const Context &ctx, CTabletPhoto *photo) const;

    // Layout of the lower part: the details area, its photo cell and its text rectangle.
    static QRect detailsArea(const QSize &size);
    static QRect photoCell(const QSize &size);
    static QRect detailsTextRect(const QSize &size);
    // Where the name goes: from its top-left corner (24, 5) to just left of the icons.
    static QRect nameRoom(const QSize &size);
    // Where a name on two lines goes: the same width, the whole height inside the raised edge.
    static QRect wrappedNameRoom(const QSize &size);
    // How a name is laid out in its room: the font and one or two lines, the last cut with an
    // ellipsis only when even that does not hold it.
    struct NameLines
    {
        QFont font;
        QStringList lines;
    };
    // roomRight: how far right a wrapping name may go (the icons it does not show left out).
    NameLines nameLines(const QString &name, const QSize &size, bool wrap, int roomRight = 0) const;
    // Top-left corner of the expansion and legality icons.
    static QPoint iconPosition(const QSize &size) { return QPoint(size.width() - 35, 2); }
    // The clock of a stale tablet: right of the icons, inside the raised edge.
    static QRect staleIconRect(const QSize &size) { return QRect(size.width() - 18, 5, 14, 14); }
    static constexpr int kDetailLines[5] = {26, 40, 52, 64, 76};

    // The four icons of our own, drawn at the given size.
    static void drawExpansionIcon(QPainter &p, const QRect &r, bool selected, const Look &look);
    static void drawLegalityIcon(QPainter &p, const QRect &r, bool illegal);
    static void drawStaleIcon(QPainter &p, const QRect &r);

private:
    void drawEdge(QPainter &p, const QRect &r, bool raised) const;
    void drawName(QPainter &p, const QString &name, const QSize &size, bool wrap, int roomRight) const;

    Look m_look;
};
