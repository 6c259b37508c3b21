#include "db/CSqlDialect.h"

#include <QSqlQuery>

#include "db/CConnectionString.h"

#include <QRegularExpression>

namespace {

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

// Index just past the string literal that starts at i (a quote); doubled quotes stay inside.
qsizetype skipLiteral(const QString &s, qsizetype i)
{
    const QChar quote = s.at(i);
    ++i;
    while (i < s.size()) {
        if (s.at(i) == quote) {
            if (i + 1 < s.size() && s.at(i + 1) == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

// Index just past a bracketed identifier [like this].
qsizetype skipBracket(const QString &s, qsizetype i)
{
    const qsizetype end = s.indexOf(u']', i);
    return end < 0 ? s.size() : end + 1;
}

} // namespace

QString CSqlDialect::keyValue(const QString &connectionString, const QString &key)
{
    // Values may be wrapped in braces, which may hold semicolons.
    qsizetype i = 0;
    const QString &s = connectionString;
    while (i < s.size()) {
        const qsizetype eq = s.indexOf(u'=', i);
        if (eq < 0)
            break;
        const QString k = s.mid(i, eq - i).trimmed();
        qsizetype j = eq + 1;
        while (j < s.size() && s.at(j).isSpace())
            ++j;
        QString value;
        if (j < s.size() && s.at(j) == u'{') {
            const qsizetype close = s.indexOf(u'}', j);
            value = s.mid(j + 1, (close < 0 ? s.size() : close) - j - 1);
            j = close < 0 ? s.size() : close + 1;
            const qsizetype semi = s.indexOf(u';', j);
            j = semi < 0 ? s.size() : semi + 1;
        } else {
            const qsizetype semi = s.indexOf(u';', j);
            value = s.mid(j, (semi < 0 ? s.size() : semi) - j).trimmed();
            j = semi < 0 ? s.size() : semi + 1;
        }
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return value;
        i = j;
    }
    return QString();
}

CSqlDialect::Target CSqlDialect::target(const QString &connectionString)
{
    Target t;
    const QString cs = connectionString.trimmed();
    if (cs.isEmpty())
        return t;
    const QString provider = keyValue(cs, QStringLiteral("Provider"));
    if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0) {
        // Half a demo string and half an ODBC one: which database was meant cannot be told,
        // and taking the demo file for it would show the wrong data as if all were well.
        if (CConnectionString(cs).contains(
                {QStringLiteral("Driver"), QStringLiteral("DSN"), QStringLiteral("FILEDSN")})) {
            t.error = QStringLiteral("The connection string names both Provider=SQLite and an ODBC driver or data "
                                     "source. Keep one of them.");
            return t;
        }
        t.kind = Sqlite;
        t.driver = QStringLiteral("QSQLITE");
        t.sqliteFile = keyValue(cs, QStringLiteral("Data Source"));
        t.databaseName = t.sqliteFile;
        // Readers and the clocking simulator share the file; wait for a writer instead of
        // failing at once.
        t.connectOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
        return t;
    }
    t.driver = QStringLiteral("QODBC");
    t.databaseName = cs;
    t.dataSource = keyValue(cs, QStringLiteral("DSN"));
    if (t.dataSource.isEmpty() && !cs.contains(u'='))
        t.dataSource = cs; // a bare data source name
    const QString driver = keyValue(cs, QStringLiteral("Driver"));
    if (driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive)) {
        t.kind = Sqlite;
        t.sqliteFile = keyValue(cs, QStringLiteral("Database"));
    }
    return t;
}

QString CSqlDialect::rewrite(Kind kind, const QString &statement)
{
    if (kind != Sqlite)
        return statement;
    QString s = rewriteDropIfExists(statement);
    s = rewriteSelectInto(s);
    s = rewriteTempTables(s);
    s = rewriteStringConcat(s);
    s = rewriteLeftRight(s);
    s = rewriteDateTimeLiterals(s);
    return s;
}

QString CSqlDialect::rewriteDateTimeLiterals(const QString &statement)
{
    static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}(?:\\.\\d{1,3})?$"));
    QString out = statement;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out.at(i) != u'\'')
            continue;
        const qsizetype end = skipLiteral(out, i);
        // The text between the quotes: 19 to 23 characters, the "T" the eleventh.
        const qsizetype length = end - i - 2;
        if (length >= 19 && length <= 23 && out.at(i + 11) == u'T' && iso.match(out.mid(i + 1, length)).hasMatch())
            out[i + 11] = u' ';
        i = end - 1;
    }
    return out;
}

QString CSqlDialect::rewriteDropIfExists(const QString &statement)
{
    static const QRegularExpression re(
        QStringLiteral(
            "^\\s*if\\s+exists\\s*\\(\\s*select\\s+\\*\\s+from\\s+sysobjects\\s+where\\s+name\\s*=\\s*'[^']*'"
            "\\s*\\)\\s*drop\\s+table\\s+([\\w\\[\\]]+)\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(statement);
    if (m.hasMatch())
        return QStringLiteral("drop table if exists ") + m.captured(1);
    // The session-table form: if object_id('tempdb..#T') is not null drop table #T
    static const QRegularExpression temp(
        QStringLiteral("^\\s*if\\s+object_id\\s*\\(\\s*'tempdb\\.\\.#(\\w+)'\\s*\\)\\s+is\\s+not\\s+null\\s+"
                       "drop\\s+table\\s+#(\\w+)\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto t = temp.match(statement);
    if (t.hasMatch() && t.captured(1).compare(t.captured(2), Qt::CaseInsensitive) == 0)
        return QStringLiteral("drop table if exists temp.") + t.captured(2);
    return statement;
}

QString CSqlDialect::rewriteSelectInto(const QString &statement)
{
    // select <list> into T from ...  =>  create table T as select <list> from ...
    // Only an "into" at the top level of a statement that starts with select counts.
    const QString &s = statement;
    qsizetype start = 0;
    while (start < s.size() && s.at(start).isSpace())
        ++start;
    if (s.mid(start, 6).compare(QLatin1String("select"), Qt::CaseInsensitive) != 0)
        return statement;
    int depth = 0;
    for (qsizetype i = start + 6; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\'' || c == u'"') {
            i = skipLiteral(s, i) - 1;
        } else if (c == u'[') {
            i = skipBracket(s, i) - 1;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (depth == 0 && (c == u'i' || c == u'I') && !isIdentChar(s.at(i - 1)) &&
                   s.mid(i, 4).compare(QLatin1String("into"), Qt::CaseInsensitive) == 0 &&
                   (i + 4 >= s.size() || !isIdentChar(s.at(i + 4)))) {
            qsizetype j = i + 4;
            while (j < s.size() && s.at(j).isSpace())
                ++j;
            const qsizetype nameStart = j;
            while (j < s.size() && (isIdentChar(s.at(j)) || s.at(j) == u'.' || s.at(j) == u'[' || s.at(j) == u']'))
                ++j;
            const QString table = s.mid(nameStart, j - nameStart);
            if (table.isEmpty())
                return statement;
            QString list = s.mid(start + 6, i - start - 6).trimmed();
            // A session table of SQL Server is SQLite's temp table: private to the connection.
            const bool temp = table.startsWith(u'#');
            return (temp ? QStringLiteral("create temp table ") + table.mid(1)
                         : QStringLiteral("create table ") + table) +
                   QStringLiteral(" as select ") + list + u' ' + s.mid(j).trimmed();
        }
    }
    return statement;
}

QString CSqlDialect::rewriteStringConcat(const QString &statement)
{
    // T-SQL joins strings with +; SQLite would add them as numbers.
    const QString &s = statement;
    QString out;
    out.reserve(s.size() + 8);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\'') {
            const qsizetype end = skipLiteral(s, i);
            out += s.mid(i, end - i);
            i = end - 1;
            continue;
        }
        if (c == u'+') {
            qsizetype p = out.size() - 1;
            while (p >= 0 && out.at(p).isSpace())
                --p;
            qsizetype n = i + 1;
            while (n < s.size() && s.at(n).isSpace())
                ++n;
            const bool literalBefore = p >= 0 && out.at(p) == u'\'';
            const bool literalAfter = n < s.size() && s.at(n) == u'\'';
            if (literalBefore || literalAfter) {
                out += QStringLiteral("||");
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString CSqlDialect::rewriteLeftRight(const QString &statement)
{
    // left(x, n) -> substr(x, 1, n); right(x, n) -> substr(x, -n); nested calls included.
    const QString &s = statement;
    QString out;
    out.reserve(s.size() + 16);
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s.at(i);
        if (c == u'\'') {
            const qsizetype end = skipLiteral(s, i);
            out += s.mid(i, end - i);
            i = end;
            continue;
        }
        if (c == u'[') {
            const qsizetype end = skipBracket(s, i);
            out += s.mid(i, end - i);
            i = end;
            continue;
        }
        const bool wordStart = i == 0 || (!isIdentChar(s.at(i - 1)) && s.at(i - 1) != u'.');
        if (wordStart && (c == u'l' || c == u'L' || c == u'r' || c == u'R')) {
            const bool isLeft = s.mid(i, 4).compare(QLatin1String("left"), Qt::CaseInsensitive) == 0;
            const bool isRight = !isLeft && s.mid(i, 5).compare(QLatin1String("right"), Qt::CaseInsensitive) == 0;
            const qsizetype nameLen = isLeft ? 4 : (isRight ? 5 : 0);
            if (nameLen && (i + nameLen >= s.size() || !isIdentChar(s.at(i + nameLen)))) {
                qsizetype j = i + nameLen;
                while (j < s.size() && s.at(j).isSpace())
                    ++j;
                if (j < s.size() && s.at(j) == u'(') {
                    // Find the top-level comma and the closing parenthesis.
                    int depth = 0;
                    qsizetype comma = -1, close = -1;
                    for (qsizetype k = j; k < s.size(); ++k) {
                        const QChar d = s.at(k);
                        if (d == u'\'') {
                            k = skipLiteral(s, k) - 1;
                        } else if (d == u'(') {
                            ++depth;
                        } else if (d == u')') {
                            if (--depth == 0) {
                                close = k;
                                break;
                            }
                        } else if (d == u',' && depth == 1 && comma < 0) {
                            comma = k;
                        }
                    }
                    if (comma > 0 && close > comma) {
                        const QString x = rewriteLeftRight(s.mid(j + 1, comma - j - 1).trimmed());
                        const QString n = rewriteLeftRight(s.mid(comma + 1, close - comma - 1).trimmed());
                        if (isLeft) {
                            out += QStringLiteral("substr(") + x + QStringLiteral(", 1, ") + n + u')';
                        } else {
                            bool plain = false;
                            n.toInt(&plain);
                            out += QStringLiteral("substr(") + x + QStringLiteral(", -") +
                                   (plain ? n : u'(' + n + u')') + u')';
                        }
                        i = close + 1;
                        continue;
                    }
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

QString CSqlDialect::rewriteTempTables(const QString &statement)
{
    // Unqualified names find temp tables first in SQLite, so "#T" only loses its mark.
    const QString &s = statement;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == u'\'' || c == u'"') {
            const qsizetype end = skipLiteral(s, i);
            out += s.mid(i, end - i);
            i = end - 1;
            continue;
        }
        if (c == u'[') {
            const qsizetype end = skipBracket(s, i);
            out += s.mid(i, end - i);
            i = end - 1;
            continue;
        }
        if (c == u'#' && (i == 0 || !isIdentChar(s.at(i - 1))) && i + 1 < s.size() && s.at(i + 1).isLetter())
            continue;
        out += c;
    }
    return out;
}

QString CSqlDialect::literal(const QString &text)
{
    QString out = text;
    out.replace(u'\'', QLatin1String("''"));
    return u'\'' + out + u'\'';
}

bool CSqlDialect::runStoredBody(QSqlQuery &q, const QString &procedure, const Exec &exec, int *affected,
                                QSqlError *error)
{
    auto fail = [error](const QSqlError &e) {
        if (error)
            *error = e;
        return false;
    };
    q.setForwardOnly(true);
    q.prepare(procedureBodyQuery());
    q.addBindValue(procedure);
    if (!q.exec())
        return fail(q.lastError());
    if (!q.next())
        return fail(QSqlError(QString(), QStringLiteral("Could not find stored procedure '%1'.").arg(procedure),
                              QSqlError::StatementError));
    const QStringList statements = splitStatements(q.value(0).toString());
    q.finish();
    int total = 0;
    for (const QString &statement : statements) {
        if (!exec(q, rewrite(Sqlite, statement)))
            return fail(q.lastError());
        total += qMax(0, q.numRowsAffected());
    }
    if (affected)
        *affected = total;
    return true;
}

QStringList CSqlDialect::splitStatements(const QString &body)
{
    QStringList out;
    qsizetype from = 0;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (c == u'\'' || c == u'"') {
            i = skipLiteral(body, i) - 1;
        } else if (c == u';') {
            const QString part = body.mid(from, i - from).trimmed();
            if (!part.isEmpty())
                out << part;
            from = i + 1;
        }
    }
    const QString last = body.mid(from).trimmed();
    if (!last.isEmpty())
        out << last;
    return out;
}
