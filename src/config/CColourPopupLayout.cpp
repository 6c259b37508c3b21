#include "config/CColourPopupLayout.h"

#include "config/CColourPalette.h"

#include <algorithm>

CColourPopupLayout::CColourPopupLayout(int margin, bool hasDefault, const QSize &defaultText, bool hasCustom,
                                       const QSize &customText)
    : m_margin(margin), m_boxSize(kNominalBoxSize), m_hasDefault(hasDefault), m_hasCustom(hasCustom)
{
    // Very wide edges would leave no room for the swatch.
    if (m_boxSize - 2 * m_margin - 2 < 5)
        m_boxSize = 2 * m_margin + 7;

    int textWidth = 0;
    int textHeight = 0;
    if (m_hasDefault || m_hasCustom) {
        const QSize d = m_hasDefault ? defaultText : QSize();
        const QSize c = m_hasCustom ? customText : QSize();
        textWidth = std::max(d.width(), c.width()) + 2 * m_margin;
        textHeight = std::max(d.height(), c.height()) + 2 + 4 * m_margin;
    }

    int width = CColourPalette::kColumns * m_boxSize + 2 * m_margin;
    int height = CColourPalette::kRows * m_boxSize + 2 * m_margin;

    if (m_hasDefault) {
        width = std::max(width, textWidth);
        // The box runs from the margin down to 2 x margin + text height.
        m_defaultBox = QRect(m_margin, m_margin, width - 2 * m_margin, m_margin + textHeight);
        height += m_defaultBox.height() + 2 * m_margin;
        m_cellTop = m_defaultBox.height() + m_margin;
    }
    if (m_hasCustom) {
        width = std::max(width, textWidth);
        m_customBox = QRect(m_margin, height, width - 2 * m_margin, m_margin + textHeight);
        height += m_customBox.height() + 2 * m_margin;
    }
    m_size = QSize(width, height);
    m_window = QRect(QPoint(0, 0), m_size);
}

void CColourPopupLayout::place(const QPoint &topLeft, const QRect &screen, int ownerHeight)
{
    m_window = QRect(topLeft, m_size);
    if (m_window.right() > screen.right())
        m_window.translate(screen.right() - m_window.right(), 0);
    if (m_window.left() < screen.left())
        m_window.moveLeft(screen.left());
    if (m_window.bottom() > screen.bottom())
        m_window.translate(0, -(m_window.height() + ownerHeight));
}

QRect CColourPopupLayout::cellRect(int index) const
{
    if (index < 0 || index >= CColourPalette::kCount)
        return {};
    const int row = index / CColourPalette::kColumns;
    const int column = index % CColourPalette::kColumns;
    return QRect(column * m_boxSize + m_margin, row * m_boxSize + m_margin + m_cellTop, m_boxSize, m_boxSize);
}

int CColourPopupLayout::hitTest(const QPoint &client) const
{
    const QPoint p = client - QPoint(m_margin, m_margin);
    if (m_hasCustom && m_customBox.contains(p))
        return kCustomBox;
    if (m_hasDefault && m_defaultBox.contains(p))
        return kDefaultBox;

    const int x = p.x();
    const int y = p.y() - (m_hasDefault ? m_defaultBox.height() : 0);
    // Integer division rounds towards zero, so points just above or left of the palette
    // must be refused before dividing.
    if (x < 0 || y < 0)
        return kNone;
    const int row = y / m_boxSize;
    const int column = x / m_boxSize;
    if (column >= CColourPalette::kColumns || row >= CColourPalette::kRows)
        return kNone;
    const int index = row * CColourPalette::kColumns + column;
    return index < CColourPalette::kCount ? index : kNone;
}

int CColourPopupLayout::last() const
{
    return CColourPalette::kCount - 1;
}

// The preferred box when it exists, else the fallback.
int CColourPopupLayout::orFirst(int preferred, int fallback) const
{
    if (preferred == kCustomBox && m_hasCustom)
        return kCustomBox;
    if (preferred == kDefaultBox && m_hasDefault)
        return kDefaultBox;
    return fallback;
}

int CColourPopupLayout::navigate(int current, Move move) const
{
    const int columns = CColourPalette::kColumns;
    // "custom, else default, else first" and "default, else custom, else last".
    const int forwardOut = orFirst(kCustomBox, orFirst(kDefaultBox, first()));
    const int backwardOut = orFirst(kDefaultBox, orFirst(kCustomBox, last()));

    if (current == kNone)
        return (move == Move::Down || move == Move::Right) ? forwardOut : backwardOut;

    if (current == kDefaultBox) {
        if (move == Move::Down || move == Move::Right)
            return first();
        return orFirst(kCustomBox, last());
    }
    if (current == kCustomBox) {
        if (move == Move::Down || move == Move::Right)
            return orFirst(kDefaultBox, first());
        return last();
    }

    switch (move) {
    case Move::Down:
        return current + columns <= last() ? current + columns : forwardOut;
    case Move::Up:
        return current - columns >= 0 ? current - columns : backwardOut;
    case Move::Right:
        return current + 1 <= last() ? current + 1 : forwardOut;
    case Move::Left:
        return current - 1 >= 0 ? current - 1 : backwardOut;
    }
    return current;
}
