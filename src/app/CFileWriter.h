#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file so that a failure (full disk, size limit, no permission, a crash)
// leaves the previous file as it was.
class CFileWriter
{
public:
    static bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error);
};
