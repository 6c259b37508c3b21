#include "rollcall/CRollCallTicks.h"

#include "app/CFileWriter.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

namespace {

const QString kMomentFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

} // namespace

QString CRollCallTicks::filePathFor(const QString &folder, const QDate &date)
{
    return folder + QStringLiteral("RollCall-%1.txt").arg(date.toString(QStringLiteral("yyyyMMdd")));
}

QSet<QString> CRollCallTicks::load(const QString &path, Attributions *attributions)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (attributions)
            attributions->clear();
        return {};
    }
    return parse(f.readAll(), attributions);
}

QSet<QString> CRollCallTicks::parse(const QByteArray &bytes, Attributions *attributions)
{
    QSet<QString> out;
    Attributions found;
    for (const QString &line : QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts)) {
        const QString key = line.trimmed();
        if (key.isEmpty())
            continue;
        // An attribution ends with a moment; a key that merely holds a tab does not.
        const QStringList fields = key.split(u'\t');
        const QDateTime at = fields.size() == 3 ? QDateTime::fromString(fields[2], kMomentFormat) : QDateTime();
        if (!at.isValid())
            out.insert(key);
        else if (!fields[1].isEmpty())
            found.insert(fields[0], {fields[1], at});
    }
    if (attributions) {
        attributions->clear();
        for (auto it = found.cbegin(); it != found.cend(); ++it)
            if (out.contains(it.key()))
                attributions->insert(it.key(), it.value());
    }
    return out;
}

bool CRollCallTicks::save(const QString &path, const QSet<QString> &ticks, QString *error,
                          const Attributions &attributions)
{
    return CFileWriter::writeAtomically(path, encode(ticks, attributions), error);
}

QByteArray CRollCallTicks::encode(const QSet<QString> &ticks, const Attributions &attributions)
{
    QStringList keys(ticks.begin(), ticks.end());
    std::sort(keys.begin(), keys.end());
    QByteArray bytes;
    for (const QString &k : keys)
        bytes += k.toUtf8() + '\n';
    for (const QString &k : keys) {
        const auto a = attributions.constFind(k);
        if (a != attributions.cend() && !a->warden.isEmpty() && a->at.isValid())
            bytes += (k + u'\t' + a->warden + u'\t' + a->at.toString(kMomentFormat)).toUtf8() + '\n';
    }
    return bytes;
}

QString CRollCallTicks::cleanWarden(const QString &name)
{
    QString out;
    for (const QChar c : name)
        out += c.category() == QChar::Other_Control || c == u'\u2028' || c == u'\u2029' ? u' ' : c;
    return out.simplified().left(40);
}
