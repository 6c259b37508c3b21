#include "app/CStringTable.h"

#include <QDir>
#include <QFile>

namespace {

struct Tables
{
    QHash<QString, QString> builtIn;
    QHash<QString, QString> overrides;
};

Tables &tables()
{
    static Tables t = [] {
        Tables init;
        // Every part of the built-in table, in name order; a later part may not redefine a key.
        const QStringList parts = QDir(QStringLiteral(":/strings")).entryList(QDir::Files, QDir::Name);
        for (const QString &part : parts) {
            QFile f(QStringLiteral(":/strings/") + part);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QHash<QString, QString> entries = CStringTable::parse(f.readAll());
            for (auto it = entries.cbegin(); it != entries.cend(); ++it)
                if (!init.builtIn.contains(it.key()))
                    init.builtIn.insert(it.key(), it.value());
        }
        return init;
    }();
    return t;
}

QString unescape(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\\' && i + 1 < s.size()) {
            const QChar n = s.at(++i);
            if (n == u'n')
                out += u'\n';
            else if (n == u't')
                out += u'\t';
            else
                out += n;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QHash<QString, QString> CStringTable::parse(const QByteArray &utf8)
{
    QHash<QString, QString> result;
    const QString all = QString::fromUtf8(utf8);
    for (const QString &line : all.split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        QString value = line.mid(tab + 1);
        if (value.endsWith(u'\r'))
            value.chop(1);
        result.insert(line.left(tab), unescape(value));
    }
    return result;
}

QString CStringTable::text(const QString &key)
{
    const Tables &t = tables();
    auto it = t.overrides.constFind(key);
    if (it != t.overrides.cend())
        return *it;
    return t.builtIn.value(key);
}

QString CStringTable::text(int id)
{
    return text(QString::number(id));
}

QString CStringTable::format(int id, const QString &arg)
{
    QString t = text(id);
    const qsizetype pos = t.indexOf(QLatin1String("%s"));
    if (pos >= 0)
        t.replace(pos, 2, arg);
    return t;
}

QString CStringTable::statusText(int commandId)
{
    return text(commandId).section(u'\n', 0, 0);
}

QString CStringTable::toolTip(int commandId)
{
    return text(commandId).section(u'\n', 1, 1);
}

void CStringTable::setOverrides(const QHash<QString, QString> &entries)
{
    tables().overrides = entries;
}

bool CStringTable::contains(const QString &key)
{
    const Tables &t = tables();
    return t.overrides.contains(key) || t.builtIn.contains(key);
}

QStringList CStringTable::builtInKeys()
{
    QStringList keys = tables().builtIn.keys();
    keys.sort();
    return keys;
}

QString CStringTable::builtInText(const QString &key)
{
    return tables().builtIn.value(key);
}
