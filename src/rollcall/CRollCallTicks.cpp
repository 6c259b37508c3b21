#include "rollcall/CRollCallTicks.h"

#include "app/CFileWriter.h"
#include "markup/CFileText.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

namespace {

const QString kMomentFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

const QString &mark()
{
    static const QString m = QString::fromLatin1(CRollCallTicks::kEscapedMark);
    return m;
}

// A key or a name that a plain line cannot hold as it is.
bool needsEscape(const QString &s)
{
    return s.contains(u'\t') || s.contains(u'\n') || s.contains(u'\r') || s != s.trimmed() || s == mark();
}

QString escaped(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescaped(const QString &s)
{
    if (!s.contains(u'\\'))
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar next = i + 1 < s.size() ? s.at(i + 1) : QChar();
        const QChar plain = next == u't' ? u'\t' : next == u'n' ? u'\n' : next == u'r' ? u'\r' : next;
        if (s.at(i) == u'\\' && (next == u'\\' || next == u't' || next == u'n' || next == u'r')) {
            out += plain;
            ++i;
        } else {
            out += s.at(i);
        }
    }
    return out;
}

// Direction overrides and isolates, and characters that take no room: a name holding them
// would show differently from what it is.
bool invisible(char16_t u)
{
    return u == 0x061C || u == 0x180E || (u >= 0x200B && u <= 0x200F) || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2060 && u <= 0x2069) || u == 0xFEFF;
}

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
    QStringList lines = QString::fromUtf8(CFileText::toUtf8(bytes)).split(u'\n');
    // A file saved by an editor may end its lines with a carriage return.
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    const qsizetype first =
        std::find_if(lines.cbegin(), lines.cend(), [](const QString &l) { return !l.trimmed().isEmpty(); }) -
        lines.cbegin();
    const bool escapedFile = first < lines.size() && lines.at(first).trimmed() == mark();
    for (qsizetype i = escapedFile ? first + 1 : 0; i < lines.size(); ++i) {
        const QString line = escapedFile ? lines.at(i) : lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        // An attribution ends with a moment; a key that merely holds a tab does not.
        const QStringList fields = line.split(u'\t');
        const QDateTime at = fields.size() == 3 ? QDateTime::fromString(fields[2], kMomentFormat) : QDateTime();
        if (!at.isValid())
            out.insert(escapedFile ? unescaped(line) : line);
        else if (!fields[1].isEmpty())
            found.insert(escapedFile ? unescaped(fields[0]) : fields[0],
                         {escapedFile ? unescaped(fields[1]) : fields[1], at});
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
    QList<std::pair<QString, Attribution>> attributed;
    for (const QString &k : keys) {
        const auto a = attributions.constFind(k);
        if (a != attributions.cend() && !a->warden.isEmpty() && a->at.isValid())
            attributed.append({k, *a});
    }
    // Without a key or name that needs it, the file is exactly what older programs read.
    const bool escape =
        std::any_of(keys.cbegin(), keys.cend(), needsEscape) ||
        std::any_of(attributed.cbegin(), attributed.cend(), [](const auto &a) { return needsEscape(a.second.warden); });
    auto field = [escape](const QString &s) { return escape ? escaped(s) : s; };
    QByteArray bytes;
    if (escape)
        bytes += mark().toUtf8() + '\n';
    for (const QString &k : keys)
        bytes += field(k).toUtf8() + '\n';
    for (const auto &[k, a] : attributed)
        bytes += (field(k) + u'\t' + field(a.warden) + u'\t' + a.at.toString(kMomentFormat)).toUtf8() + '\n';
    return bytes;
}

QString CRollCallTicks::cleanWarden(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.category() == QChar::Other_Control || c == u'\u2028' || c == u'\u2029') {
            out += u' ';
        } else if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            out += c;
            out += name.at(++i);
        } else if (!c.isSurrogate() && !invisible(c.unicode())) {
            out += c;
        }
    }
    out = out.simplified();
    if (out.size() > kMaxWarden)
        out.truncate(out.at(kMaxWarden - 1).isHighSurrogate() ? kMaxWarden - 1 : kMaxWarden);
    return out.trimmed();
}
