#pragma once

#include <QString>
#include <QtGlobal>
#include <map>

// Text keys of the reference maps are ordered byte-wise (case-sensitive, shorter prefix
// first), so that "10" comes before "9".
struct ByteWiseLess
{
    bool operator()(const QString &a, const QString &b) const { return a < b; }
};

// Colour value in the order 0x00BBGGRR (red in the lowest byte); 0xFF000000 is "Automatic".
using ColourValue = quint32;
constexpr ColourValue kColourWhite = 0x00FFFFFF;
constexpr ColourValue kColourAutomatic = 0xFF000000;

// IDSektora -> NazivSektora, IDLogickeAktivnosti -> OpisLogAkt.
using TextMap = std::map<QString, QString, ByteWiseLess>;
// IDLogickeAktivnosti -> colour.
using ColourMap = std::map<QString, ColourValue, ByteWiseLess>;

#include <QColor>

// Colours are handed to painting as they stand: the top byte is ignored.
inline QColor toQColor(ColourValue v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

// The colour an activity's dot is painted with: "Automatic" means no colour of its own, so it
// looks like an activity nobody has coloured yet (white), not black.
inline QColor activityQColor(ColourValue v)
{
    return toQColor(v == kColourAutomatic ? kColourWhite : v);
}

inline ColourValue fromQColor(const QColor &c)
{
    return ColourValue(c.red()) | (ColourValue(c.green()) << 8) | (ColourValue(c.blue()) << 16);
}
