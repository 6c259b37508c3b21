#pragma once

#include <QByteArray>
#include <QString>

// Text of the program's files (panels, colours): UTF-8, or Windows-1250 for files written by
// existing Windows installations.
class CFileText
{
public:
    // The bytes as UTF-8: valid UTF-8 stays as it is, anything else is read as Windows-1250.
    static QByteArray toUtf8(const QByteArray &fileBytes);
    static bool isValidUtf8(const QByteArray &bytes);
    static QString fromWindows1250(const QByteArray &bytes);
};
