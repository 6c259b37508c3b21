#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

// Reads a text file into its lines, every line kept (empty ones too); a carriage return before
// a line feed is dropped. Text is UTF-8, or Windows-1250 for files from Windows installations.
class CLineReader
{
public:
    bool read(const QString &fileName, QStringList &lines);
    static QStringList splitLines(const QByteArray &bytes);

    // The file error of the last failed read (at most 255 characters).
    QString lastError;
};
