#pragma once

#include "db/ReferenceMaps.h"

#include <QString>

// The 40 named colours of the drop-down palette, in cell order (row by row, 8 to a row).
class CColourPalette
{
public:
    struct Entry
    {
        const char *name; // the cell's tooltip
        ColourValue value;
    };

    static constexpr int kCount = 40;
    static constexpr int kColumns = 8;
    static constexpr int kRows = (kCount + kColumns - 1) / kColumns;

    static const Entry &entry(int index);
    static QString name(int index);
    static ColourValue value(int index);
    // First entry whose value equals the colour exactly, or -1.
    static int indexOf(ColourValue colour);
};
