#pragma once

#include <QString>

// The program's version: the four-part file version ("2, 7, 14, 4325") and the text users
// see, which drops the build number (2.7.14).
class CVersion
{
public:
    static QString fileVersion() { return QStringLiteral("2, 7, 14, 4325"); }
    // Blanks removed, commas turned into points, the last component cut off with its point;
    // a text without a point is kept whole.
    static QString displayText(const QString &fileVersion);
    static QString text() { return displayText(fileVersion()); }
};
