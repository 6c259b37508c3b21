#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

class QIODevice;

// Writes a whole file so that a failure (full disk, size limit, no permission, a crash)
// leaves the previous file as it was. A new file gets the mode the umask allows; a file
// replaced keeps its own mode.
class CFileWriter
{
public:
    static bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error);
    // The same for a file written piece by piece: write gets the open file and returns false to
    // give up (error then stays empty unless a write failed).
    static bool writeAtomically(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error);
    // The name offered for a file that holds what (a list, a report) as of when: "what-YYYYMMDD-HHMM",
    // with no folder separator in it.
    static QString datedName(const QString &what, const QDateTime &when);
};
