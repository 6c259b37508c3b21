#include "config/CColourPalette.h"

#include "app/CStringTable.h"

namespace {

// Values are 0x00BBGGRR.
constexpr CColourPalette::Entry kEntries[CColourPalette::kCount] = {
    {"Black", 0x00000000},
    {"Brown", 0x00002AA5},
    {"Dark Olive Green", 0x00404000},
    {"Dark Green", 0x00005500},
    {"Dark Teal", 0x005E0000},
    {"Dark blue", 0x008B0000},
    {"Indigo", 0x0082004B},
    {"Dark grey", 0x00282828},
    {"Dark red", 0x0000008B},
    {"Orange", 0x002068FF},
    {"Dark yellow", 0x00008B8B},
    {"Green", 0x00009300},
    {"Teal", 0x008E8E38},
    {"Blue", 0x00FF0000},
    {"Blue-grey", 0x00C07B7B},
    {"Grey - 40", 0x00666666},
    {"Red", 0x000000FF},
    {"Light orange", 0x005BADFF},
    {"Lime", 0x0032CD32},
    {"Sea green", 0x0071B33C},
    {"Aqua", 0x00D4FF7F},
    {"Light blue", 0x00C09E7D},
    {"Violet", 0x00800080},
    {"Grey - 50", 0x007F7F7F},
    {"Pink", 0x00CBC0FF},
    {"Gold", 0x0000D7FF},
    {"Yellow", 0x0000FFFF},
    {"Bright green", 0x0000FF00},
    {"Turquoise", 0x00D0E040},
    {"Skyblue", 0x00FFFFC0},
    {"Plum", 0x00480048},
    {"Light grey", 0x00C0C0C0},
    {"Rose", 0x00E1E4FF},
    {"Tan", 0x008CB4D2},
    {"Light yellow", 0x00E0FFFF},
    {"Pale green ", 0x0098FB98},
    {"Pale turquoise", 0x00EEEEAF},
    {"Pale blue", 0x008B8368},
    {"Lavender", 0x00FAE6E6},
    {"White", 0x00FFFFFF},
};

} // namespace

const CColourPalette::Entry &CColourPalette::entry(int index)
{
    Q_ASSERT(index >= 0 && index < kCount);
    return kEntries[index];
}

QString CColourPalette::name(int index)
{
    // A language library may name the colours; English is the fallback.
    const QString key = QStringLiteral("palette.%1").arg(index + 1);
    if (CStringTable::contains(key))
        return CStringTable::text(key);
    return QString::fromLatin1(entry(index).name);
}

ColourValue CColourPalette::value(int index)
{
    return entry(index).value;
}

int CColourPalette::indexOf(ColourValue colour)
{
    for (int i = 0; i < kCount; ++i) {
        if (kEntries[i].value == colour)
            return i;
    }
    return -1;
}
