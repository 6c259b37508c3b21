#pragma once

#include <QList>
#include <QRect>

class CTablet;
class C_ZorvikDoc;

// Moving among a panel's tablets from the keyboard, as a reader goes: by rows from the top,
// left to right in a row. Left and Right take the previous and next tablet in that order, Up
// and Down the nearest tablet in the row above or below, Home and End the first and last.
class CPanelNavigation
{
public:
    enum Step
    {
        Previous,
        Next,
        Up,
        Down,
        First,
        Last
    };

    // The tablets in reading order: a tablet belongs to the row of the tablet above-left of it
    // when their tops are closer than half a collapsed tablet.
    static QList<CTablet *> readingOrder(const C_ZorvikDoc &doc);
    // Where a step from current goes in that order (current itself at an end); the first tablet
    // when current is not in it; null for an empty panel.
    static CTablet *step(const QList<CTablet *> &order, const CTablet *current, Step step);
};
