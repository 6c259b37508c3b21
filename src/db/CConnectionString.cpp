#include "db/CConnectionString.h"

#include "app/CStringTable.h"
#include "db/CSqlDialect.h"

CConnectionString::CConnectionString(const QString &text)
{
    for (const Span &s : scan(text))
        m_pairs.append(s.pair);
}

QList<CConnectionString::Span> CConnectionString::scan(const QString &s)
{
    QList<Span> out;
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype semi = s.indexOf(u';', i);
        const qsizetype eq = s.indexOf(u'=', i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A piece without "=": nothing to keep but the text, skipped like the drivers do.
            if (semi < 0)
                break;
            i = semi + 1;
            continue;
        }
        Span span;
        span.pair.key = s.mid(i, eq - i).trimmed();
        qsizetype j = eq + 1;
        while (j < s.size() && s.at(j).isSpace())
            ++j;
        span.valueStart = j;
        if (j < s.size() && s.at(j) == u'{') {
            // "}}" inside braces stands for one "}".
            qsizetype k = j + 1;
            QString value;
            while (k < s.size()) {
                if (s.at(k) == u'}') {
                    if (k + 1 < s.size() && s.at(k + 1) == u'}') {
                        value += u'}';
                        k += 2;
                        continue;
                    }
                    break;
                }
                value += s.at(k++);
            }
            span.pair.value = value;
            span.valueEnd = qMin(k + 1, s.size());
            const qsizetype next = s.indexOf(u';', span.valueEnd);
            i = next < 0 ? s.size() : next + 1;
        } else {
            const qsizetype end = semi < 0 ? s.size() : semi;
            span.pair.value = s.mid(j, end - j).trimmed();
            span.valueEnd = j + span.pair.value.size();
            i = end + 1;
        }
        if (!span.pair.key.isEmpty())
            out.append(span);
    }
    return out;
}

QString CConnectionString::value(const QStringList &keys) const
{
    for (const QString &k : keys)
        for (const Pair &p : m_pairs)
            if (p.key.compare(k, Qt::CaseInsensitive) == 0)
                return p.value;
    return QString();
}

bool CConnectionString::contains(const QStringList &keys) const
{
    for (const Pair &p : m_pairs)
        for (const QString &k : keys)
            if (p.key.compare(k, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

void CConnectionString::setValue(const QStringList &keys, const QString &value)
{
    auto matches = [&keys](const Pair &p) {
        for (const QString &k : keys)
            if (p.key.compare(k, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    if (value.isEmpty()) {
        m_pairs.removeIf(matches);
        return;
    }
    bool done = false;
    for (qsizetype i = 0; i < m_pairs.size();) {
        if (!matches(m_pairs.at(i))) {
            ++i;
        } else if (!done) {
            m_pairs[i].value = value;
            done = true;
            ++i;
        } else {
            m_pairs.removeAt(i); // one value per field: a second alias would contradict it
        }
    }
    if (!done)
        m_pairs.append({keys.first(), value});
}

QString CConnectionString::quoted(const QString &value)
{
    const bool braces = value.contains(u';') || value.contains(u'{') || value.contains(u'}') ||
                        (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
    if (!braces)
        return value;
    QString v = value;
    v.replace(QLatin1String("}"), QLatin1String("}}"));
    return u'{' + v + u'}';
}

QString CConnectionString::toString() const
{
    QStringList parts;
    for (const Pair &p : m_pairs) {
        // Driver names go in braces by custom ("Driver={ODBC Driver 18 for SQL Server}").
        const bool driver = p.key.compare(QLatin1String("Driver"), Qt::CaseInsensitive) == 0;
        const QString v = quoted(p.value);
        parts << p.key + u'=' + (driver && !v.startsWith(u'{') ? u'{' + v + u'}' : v);
    }
    return parts.join(u';');
}

bool CConnectionString::isPasswordKey(const QString &key)
{
    for (const QString &k : passwordKeys())
        if (key.trimmed().compare(k, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString CConnectionString::masked(const QString &text)
{
    QString out = text;
    const QList<Span> spans = scan(text);
    // From the end, so that earlier positions stay valid.
    for (qsizetype i = spans.size() - 1; i >= 0; --i) {
        const Span &s = spans.at(i);
        if (!isPasswordKey(s.pair.key) || s.pair.value.isEmpty())
            continue;
        qsizetype end = s.valueEnd;
        // A value in double quotes is not quoting to the driver manager, but a driver may read
        // it so: the whole quoted text is hidden, ";" inside it included.
        if (text.at(s.valueStart) == u'"') {
            const qsizetype close = text.indexOf(u'"', s.valueStart + 1);
            if (close > 0)
                end = qMax(end, close + 1);
        }
        out.replace(s.valueStart, end - s.valueStart, kMask);
    }
    return out;
}

namespace {

// Characters that may stand around a value quoted in a message: blanks, quotes, the "=" and ";"
// of a connection string, braces and parentheses, a comma. Not "[" or "]": drivers name
// themselves in brackets ("[FreeTDS][SQL Server]"), and a password such as "Server" must not turn
// those into asterisks.
bool isWordEdge(QChar c, bool before)
{
    if (c.isSpace() || c == u'\'' || c == u'"' || c == u'`' || c == u';' || c == u',')
        return true;
    return before ? (c == u'=' || c == u'{' || c == u'(') : (c == u'}' || c == u')');
}

} // namespace

QString CConnectionString::hidePasswords(const QString &message, const QString &connectionString)
{
    QString out = message;
    // The string itself, wherever the message repeats it: its passwords by position.
    if (!connectionString.isEmpty())
        out.replace(connectionString, masked(connectionString));
    // The string as a driver saw it (with keys added, say): each password where it stands whole.
    const CConnectionString parsed(connectionString);
    for (const Pair &p : parsed.pairs()) {
        if (!isPasswordKey(p.key) || p.value.isEmpty())
            continue;
        for (qsizetype at = out.indexOf(p.value); at >= 0; at = out.indexOf(p.value, at)) {
            const qsizetype end = at + p.value.size();
            if ((at == 0 || isWordEdge(out.at(at - 1), true)) &&
                (end == out.size() || isWordEdge(out.at(end), false))) {
                out.replace(at, p.value.size(), kMask);
                at += kMask.size();
            } else {
                at = end;
            }
        }
    }
    return out;
}

const QStringList &CConnectionString::serverKeys()
{
    static const QStringList keys{QStringLiteral("Server"), QStringLiteral("Servername"), QStringLiteral("Address")};
    return keys;
}

const QStringList &CConnectionString::userKeys()
{
    static const QStringList keys{QStringLiteral("UID"), QStringLiteral("User ID"), QStringLiteral("User")};
    return keys;
}

const QStringList &CConnectionString::passwordKeys()
{
    static const QStringList keys{QStringLiteral("PWD"), QStringLiteral("Password")};
    return keys;
}

const QStringList &CConnectionString::databaseKeys()
{
    static const QStringList keys{QStringLiteral("Database"), QStringLiteral("Initial Catalog")};
    return keys;
}

QString CConnectionString::describe(const QString &connectionString)
{
    const CConnectionString cs(connectionString);
    const CSqlDialect::Target target = CSqlDialect::target(connectionString);
    if (target.driver.isEmpty())
        return QString();
    if (target.driver == QLatin1String("QSQLITE"))
        return CStringTable::text(QStringLiteral("dlg.about.sqlite")).replace(QLatin1String("%s"), target.sqliteFile);
    QString driver = cs.value(QStringLiteral("Driver"));
    const QString dsn = cs.value(QStringLiteral("DSN"));
    if (driver.isEmpty())
        driver = dsn.isEmpty() ? QStringLiteral("ODBC") : QStringLiteral("ODBC (%1)").arg(dsn);
    QString server = cs.value(CConnectionString::serverKeys());
    const QString port = cs.value(QStringLiteral("Port"));
    if (!server.isEmpty() && !port.isEmpty())
        server += u':' + port;
    const QString database = cs.value(CConnectionString::databaseKeys());
    QString out = driver;
    if (!server.isEmpty())
        out += QStringLiteral(", ") + server;
    if (!database.isEmpty())
        out += QStringLiteral(", ") + database;
    return out;
}
