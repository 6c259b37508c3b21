#pragma once

#include "dialogs/CInvalidActLog.h"

#include <QDateTime>
#include <QFile>
#include <QString>

namespace warningtest {

// The line the log should hold, built here from its parts rather than by the code under test.
inline QByteArray expectedLine(const QDateTime &at, const char *sign, const InvalidActFields &f)
{
    const QString line = at.toString("yyyy-MM-dd HH:mm:ss") + " " + sign + " " + f.id + " " + f.lastName + " " +
                         f.firstName + " " + f.date + " " + f.time + " " + f.activity;
    return line.toUtf8() + "\r\n";
}

inline QByteArray startLine(const QDateTime &at)
{
    return at.toString("yyyy-MM-dd HH:mm:ss").toUtf8() + " *** START ***\r\n";
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

} // namespace warningtest
