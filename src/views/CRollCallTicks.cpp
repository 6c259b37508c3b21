#include "views/CRollCallTicks.h"

#include "app/CFileWriter.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

QString CRollCallTicks::filePathFor(const QString &folder, const QDate &date)
{
    return folder + QStringLiteral("RollCall-%1.txt").arg(date.toString(QStringLiteral("yyyyMMdd")));
}

QSet<QString> CRollCallTicks::load(const QString &path)
{
    QSet<QString> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QString key = line.trimmed();
        if (!key.isEmpty())
            out.insert(key);
    }
    return out;
}

bool CRollCallTicks::save(const QString &path, const QSet<QString> &ticks, QString *error)
{
    QStringList keys(ticks.begin(), ticks.end());
    std::sort(keys.begin(), keys.end());
    QByteArray bytes;
    for (const QString &k : keys)
        bytes += k.toUtf8() + '\n';
    return CFileWriter::writeAtomically(path, bytes, error);
}
