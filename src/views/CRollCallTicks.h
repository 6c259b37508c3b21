#pragma once

#include <QDate>
#include <QSet>
#include <QString>

// The roll call's ticks of one day, "RollCall-YYYYMMDD.txt" beside the warning log: one key a
// line, UTF-8. The whole file is written again, atomically, at every tick, so that a crash or
// a restart loses none and a failed write leaves the previous file whole.
class CRollCallTicks
{
public:
    // folder ends with a separator.
    static QString filePathFor(const QString &folder, const QDate &date);
    // An absent or unreadable file holds no ticks.
    static QSet<QString> load(const QString &path);
    static bool save(const QString &path, const QSet<QString> &ticks, QString *error);
};
