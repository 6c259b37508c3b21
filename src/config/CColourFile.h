#pragma once

#include "db/ReferenceMaps.h"

#include <QByteArray>
#include <QString>

// The colour configuration file: one COLOR element (ACT, VALUE) per activity under a root
// ZVPANELCFG, VALUE being the colour as eight upper-case hexadecimal digits.
class CColourFile
{
public:
    static constexpr const char *kFileName = "ZvPanel.cfg";

    // Sets the colours of the activities of the map that the file names; everything else
    // stays as it is. A missing or unreadable file, or one that is not well formed, changes
    // nothing and is not reported.
    static void load(const QString &path, ColourMap &map);
    static void loadFromBytes(const QByteArray &bytes, ColourMap &map);

    // Writes every entry of the map, in map order. The file is replaced atomically: on
    // failure the previous file stays whole and error (when given) holds the reason.
    static bool save(const QString &path, const ColourMap &map, QString *error = nullptr);
    static QByteArray toBytes(const ColourMap &map);

    // Reads a value written with "%08X": leading white space, then up to eight hexadecimal
    // digits (either case); false when there is no digit.
    static bool parseValue(const QString &text, ColourValue *value);
    static QString formatValue(ColourValue value);
};
