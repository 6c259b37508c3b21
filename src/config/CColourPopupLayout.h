#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Geometry, hit-testing and keyboard movement of the palette popup, kept apart from the
// window so that it can be checked without a display.
//
// Cells are numbered 0 to 39; the two text boxes and "no cell" have negative numbers.
class CColourPopupLayout
{
public:
    static constexpr int kNone = -1;
    static constexpr int kCustomBox = -2;  // "More colours..."
    static constexpr int kDefaultBox = -3; // "Automatic"
    static constexpr int kNominalBoxSize = 18;

    enum class Move
    {
        Up,
        Down,
        Left,
        Right
    };

    // margin: width of a 3-D edge. A text box exists only when its flag is set; the sizes are
    // the measured sizes of the two captions in the popup's font.
    CColourPopupLayout(int margin, bool hasDefault, const QSize &defaultText, bool hasCustom, const QSize &customText);

    // Places the window with its top-left corner at topLeft (screen coordinates), then keeps it
    // on the screen: shifted left at the right edge, right at the left edge, and opened above
    // the owner (whose height is ownerHeight) at the bottom.
    void place(const QPoint &topLeft, const QRect &screen, int ownerHeight);

    int margin() const { return m_margin; }
    int boxSize() const { return m_boxSize; }
    QRect windowRect() const { return m_window; }
    QSize windowSize() const { return m_window.size(); }
    bool hasDefaultBox() const { return m_hasDefault; }
    bool hasCustomBox() const { return m_hasCustom; }
    // In window (client) coordinates; empty when the box does not exist.
    QRect defaultBox() const { return m_defaultBox; }
    QRect customBox() const { return m_customBox; }
    QRect cellRect(int index) const;

    // The cell or box under a point in client coordinates, or kNone when the point is on
    // neither (which changes nothing).
    int hitTest(const QPoint &client) const;
    // The cell reached from current by one arrow key.
    int navigate(int current, Move move) const;

private:
    int first() const { return 0; }
    int last() const;
    int orFirst(int preferred, int fallback) const;

    int m_margin;
    int m_boxSize;
    bool m_hasDefault;
    bool m_hasCustom;
    QSize m_size;
    QRect m_window;
    QRect m_defaultBox;
    QRect m_customBox;
    int m_cellTop = 0;
};
