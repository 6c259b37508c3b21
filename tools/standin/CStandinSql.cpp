#include "CStandinSql.h"

#include "CColumnTypes.h"
#include "db/CSqlDialect.h"
#include "db/CSqliteCollation.h"

#include <QDate>

#include <QRegularExpression>
#include <sqlite3.h>

CStandinSql::CStandinSql(const QString &path) : m_path(path) {}

CStandinSql::~CStandinSql()
{
    if (m_db)
        sqlite3_close(m_db);
}

bool CStandinSql::open(QString *error)
{
    if (sqlite3_open_v2(m_path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : "out of memory");
        return false;
    }
    // Tests and the clocking simulator write to the same file.
    sqlite3_busy_timeout(m_db, 10000);
    // Names compare and sort as in the attendance database (Serbian_Latin_100_CI_AS).
    return CSqliteCollation::install(m_db, error);
}

bool CStandinSql::setLanguage(const QString &language)
{
    // SQL Server's languages by their names in sys.syslanguages and their aliases.
    static const QHash<QString, QString> orders{
        {QStringLiteral("us_english"), QStringLiteral("mdy")}, {QStringLiteral("english"), QStringLiteral("mdy")},
        {QStringLiteral("british"), QStringLiteral("dmy")},    {QStringLiteral("deutsch"), QStringLiteral("dmy")},
        {QStringLiteral("german"), QStringLiteral("dmy")},     {QStringLiteral("français"), QStringLiteral("dmy")},
        {QStringLiteral("french"), QStringLiteral("dmy")},     {QStringLiteral("italiano"), QStringLiteral("dmy")},
        {QStringLiteral("español"), QStringLiteral("dmy")},    {QStringLiteral("hrvatski"), QStringLiteral("ymd")},
        {QStringLiteral("polski"), QStringLiteral("dmy")},     {QStringLiteral("nederlands"), QStringLiteral("dmy")}};
    const auto it = orders.constFind(language.trimmed().toLower());
    if (it == orders.cend())
        return false;
    m_dateFormat = it.value();
    return true;
}

CStatementResult CStandinSql::setOption(const QString &statement, bool *handled)
{
    static const QRegularExpression option(
        QStringLiteral("^\\s*set\\s+(language|dateformat)\\s+(?:N?'([^']*)'|\\[([^\\]]*)\\]|(\\S+?))\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    CStatementResult r;
    const auto m = option.match(statement);
    *handled = m.hasMatch();
    if (!*handled)
        return r;
    const QString value = m.captured(2) + m.captured(3) + m.captured(4);
    if (m.captured(1).compare(QLatin1String("language"), Qt::CaseInsensitive) == 0) {
        if (!setLanguage(value)) {
            r.ok = false;
            r.error = 2738;
            r.message = QStringLiteral("'%1' is not an officially supported language.").arg(value);
        }
        return r;
    }
    static const QStringList orders{QStringLiteral("mdy"), QStringLiteral("dmy"), QStringLiteral("ymd"),
                                    QStringLiteral("ydm"), QStringLiteral("myd"), QStringLiteral("dym")};
    if (!orders.contains(value.toLower())) {
        r.ok = false;
        r.error = 2741;
        r.message = QStringLiteral("SET DATEFORMAT date order '%1' is not supported.").arg(value);
        return r;
    }
    m_dateFormat = value.toLower();
    return r;
}

bool CStandinSql::readDateLiterals(const QString &statement, const QString &dateFormat, QString *out,
                                   QString *badLiteral)
{
    static const QRegularExpression ambiguous(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})((?: \\d{2}:\\d{2}:\\d{2}(?:\\.\\d{1,3})?)?)$"));
    // With a four-digit year first, datetime reads day before month when the order puts the day
    // before the month (dmy, dym, ydm).
    const QString f = dateFormat.toLower();
    const bool dayFirst = f.indexOf(u'd') < f.indexOf(u'm');
    QString result;
    result.reserve(statement.size());
    qsizetype i = 0;
    while (i < statement.size()) {
        const QChar c = statement.at(i);
        if (c != u'\'') {
            result += c;
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < statement.size()) {
            if (statement.at(end) == u'\'') {
                if (end + 1 < statement.size() && statement.at(end + 1) == u'\'') {
                    end += 2;
                    continue;
                }
                break;
            }
            ++end;
        }
        const QString text = statement.mid(i + 1, end - i - 1);
        const auto m = ambiguous.match(text);
        if (m.hasMatch()) {
            const int year = m.captured(1).toInt();
            const int month = (dayFirst ? m.captured(3) : m.captured(2)).toInt();
            const int day = (dayFirst ? m.captured(2) : m.captured(3)).toInt();
            const QDate date(year, month, day);
            if (!date.isValid()) {
                if (badLiteral)
                    *badLiteral = text;
                return false;
            }
            result += u'\'' + date.toString(QStringLiteral("yyyy-MM-dd")) + m.captured(4) + u'\'';
        } else {
            result += statement.mid(i, end + 1 - i);
        }
        i = end + 1;
    }
    *out = result;
    return true;
}

QString CStandinSql::procedureCalled(const QString &statement, QString *arguments)
{
    static const QRegularExpression call(
        QStringLiteral("^\\s*(?:(?:exec(?:ute)?\\s+(?:@\\w+\\s*=\\s*)?([\\w.\\[\\]]+)|(sp_\\w+))(?:\\s+(.*?))?"
                       "|\\{\\s*(?:\\?\\s*=\\s*)?call\\s+([\\w.\\[\\]]+)\\s*(?:\\((.*)\\))?\\s*\\})\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = call.match(statement);
    if (!m.hasMatch())
        return QString();
    QString name = m.captured(1) + m.captured(2) + m.captured(4);
    if (arguments)
        *arguments = (m.captured(3) + m.captured(5)).trimmed();
    name.remove(u'[').remove(u']');
    // dbo.name and db.dbo.name run the same body.
    return name.section(u'.', -1);
}

QStringList CStandinSql::parameterNames(const QString &declaration)
{
    static const QRegularExpression name(QStringLiteral("(@\\w+)"));
    QStringList names;
    // One name per comma-separated declaration; commas inside "decimal(10, 2)" are skipped.
    int depth = 0;
    qsizetype from = 0;
    auto take = [&](qsizetype to) {
        const auto m = name.match(declaration.mid(from, to - from));
        if (m.hasMatch())
            names << m.captured(1);
    };
    for (qsizetype i = 0; i < declaration.size(); ++i) {
        const QChar c = declaration.at(i);
        if (c == u'(')
            ++depth;
        else if (c == u')')
            --depth;
        else if (c == u',' && depth == 0) {
            take(i);
            from = i + 1;
        }
    }
    take(declaration.size());
    return names;
}

CStatementResult CStandinSql::failure(const QString &statement, const QString &sqliteMessage) const
{
    CStatementResult r;
    r.ok = false;
    r.error = 50000;
    r.message = sqliteMessage;
    static const QRegularExpression table(QStringLiteral("^no such table: (?:\\w+\\.)?(\\w+)$"));
    static const QRegularExpression column(QStringLiteral("^no such column: (.+)$"));
    static const QRegularExpression syntax(QStringLiteral("^near \"(.*)\": syntax error$"));
    static const QRegularExpression exists(QStringLiteral("^table (\\w+) already exists$"));
    if (const auto m = table.match(sqliteMessage); m.hasMatch()) {
        // A session table lost its "#" on the way to SQLite: give it back.
        QString name = m.captured(1);
        const QRegularExpression hashed(QStringLiteral("#") + QRegularExpression::escape(name) + QStringLiteral("\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
        if (const auto h = hashed.match(statement); h.hasMatch())
            name = h.captured(0);
        r.error = 208;
        r.message = QStringLiteral("Invalid object name '%1'.").arg(name);
    } else if (const auto c = column.match(sqliteMessage); c.hasMatch()) {
        r.error = 207;
        r.message = QStringLiteral("Invalid column name '%1'.").arg(c.captured(1).section(u'.', -1));
    } else if (const auto s = syntax.match(sqliteMessage); s.hasMatch()) {
        r.error = 102;
        r.message = QStringLiteral("Incorrect syntax near '%1'.").arg(s.captured(1));
    } else if (const auto e = exists.match(sqliteMessage); e.hasMatch()) {
        r.error = 2714;
        r.message = QStringLiteral("There is already an object named '%1' in the database.").arg(e.captured(1));
    }
    return r;
}

CStatementResult CStandinSql::execute(const QString &statement, const QHash<QString, QVariant> &parameters,
                                      bool describeOnly)
{
    const QString trimmed = statement.trimmed();
    CStatementResult r;
    bool option = false;
    r = setOption(trimmed, &option);
    // Other session options the driver sets after logging in change nothing here.
    if (option || trimmed.startsWith(QLatin1String("set "), Qt::CaseInsensitive) || trimmed.isEmpty())
        return r;
    if (trimmed.startsWith(QLatin1String("use "), Qt::CaseInsensitive)) {
        r.database = trimmed.mid(4).trimmed().remove(u'[').remove(u']').remove(u';');
        return r;
    }
    QString dated, bad;
    if (!readDateLiterals(statement, m_dateFormat, &dated, &bad)) {
        r.ok = false;
        r.error = 242;
        r.message = QStringLiteral("The conversion of a varchar data type to a datetime data type resulted in an "
                                   "out-of-range value.");
        return r;
    }
    const QByteArray sql = CSqlDialect::rewrite(CSqlDialect::Sqlite, dated).toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK)
        return failure(statement, QString::fromUtf8(sqlite3_errmsg(m_db)));
    if (!st)
        return r;
    if (!parameters.isEmpty()) {
        QHash<QString, QVariant> byName;
        for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
            byName.insert(it.key().toLower(), it.value());
        for (int i = 1; i <= sqlite3_bind_parameter_count(st); ++i) {
            const char *name = sqlite3_bind_parameter_name(st, i);
            const QVariant v = name ? byName.value(QString::fromUtf8(name).toLower()) : QVariant();
            switch (v.metaType().id()) {
            case QMetaType::LongLong:
                sqlite3_bind_int64(st, i, v.toLongLong());
                break;
            case QMetaType::Double:
                sqlite3_bind_double(st, i, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                sqlite3_bind_blob(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QString: {
                const QByteArray t = v.toString().toUtf8();
                sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                break;
            }
            default:
                sqlite3_bind_null(st, i);
            }
        }
    }
    const int n = sqlite3_column_count(st);
    int rc = SQLITE_DONE;
    while (!describeOnly && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(n);
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                row.append(qint64(sqlite3_column_int64(st, c)));
                break;
            case SQLITE_FLOAT:
                row.append(sqlite3_column_double(st, c));
                break;
            case SQLITE_TEXT:
                row.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                                             sqlite3_column_bytes(st, c)));
                break;
            case SQLITE_BLOB:
                row.append(
                    QByteArray(static_cast<const char *>(sqlite3_column_blob(st, c)), sqlite3_column_bytes(st, c)));
                break;
            default:
                row.append(QVariant());
            }
        }
        r.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(st);
        return failure(statement, message);
    }
    if (n > 0) {
        r.hasRows = true;
        std::vector<const QVariant *> values;
        for (int c = 0; c < n; ++c) {
            values.clear();
            for (const QVariantList &row : r.rows)
                values.push_back(&row.at(c));
            auto text = [](const char *s) { return s ? QString::fromUtf8(s) : QString(); };
            CTdsColumn column;
            column.name = text(sqlite3_column_name(st, c));
            // A name column comes through the collation's view as an expression: its table is
            // then unknown, and its type is found by the name it goes by.
            column.type =
                CColumnTypes::typeOf(text(sqlite3_column_table_name(st, c)), text(sqlite3_column_origin_name(st, c)),
                                     text(sqlite3_column_decltype(st, c)), values, column.name);
            r.columns.append(column);
        }
    } else {
        r.affected = sqlite3_changes(m_db);
    }
    sqlite3_finalize(st);
    return r;
}

QList<CStatementResult> CStandinSql::runProcedure(const QString &name, const QString &arguments, bool *found)
{
    QList<CStatementResult> out;
    if (name.startsWith(QLatin1String("sp_datatype_info"), Qt::CaseInsensitive)) {
        // The columns SQL Server gives; one row, datetime (ODBC 2 and 3 type numbers).
        const int type = arguments.section(u',', 0, 0).trimmed().toInt();
        *found = true;
        out.append(execute(
            QStringLiteral(
                "select 'datetime' as TYPE_NAME, %1 as DATA_TYPE, 23 as PRECISION, '''' as LITERAL_PREFIX, '''' as "
                "LITERAL_SUFFIX, null as CREATE_PARAMS, 1 as NULLABLE, 0 as CASE_SENSITIVE, 3 as SEARCHABLE, null as "
                "UNSIGNED_ATTRIBUTE, 0 as MONEY, null as AUTO_INCREMENT, 'datetime' as LOCAL_TYPE_NAME, 3 as "
                "MINIMUM_SCALE, 3 as MAXIMUM_SCALE, 9 as SQL_DATA_TYPE, 3 as SQL_DATETIME_SUB, null as NUM_PREC_RADIX, "
                "null as INTERVAL_PRECISION, 12 as USERTYPE where %1 in (0, 11, 93)")
                .arg(type)));
        return out;
    }
    const CStatementResult body =
        execute(QStringLiteral("select body from zv_procedure where name = @name collate nocase"),
                {{QStringLiteral("@name"), name}});
    *found = body.ok && !body.rows.empty();
    if (!*found)
        return out;
    for (const QString &st : CSqlDialect::splitStatements(body.rows.front().at(0).toString())) {
        out.append(execute(st));
        if (!out.last().ok)
            break;
    }
    return out;
}

QStringList CStandinSql::tempTables()
{
    QStringList names;
    const CStatementResult r =
        execute(QStringLiteral("select name from sqlite_temp_master where type = 'table' order by name"));
    for (const QVariantList &row : r.rows)
        names << u'#' + row.at(0).toString();
    return names;
}

QStringList CStandinSql::dropTempTablesExcept(const QStringList &keep)
{
    QStringList dropped;
    for (const QString &t : tempTables()) {
        if (keep.contains(t))
            continue;
        execute(QStringLiteral("drop table temp.\"%1\"").arg(t.mid(1)));
        dropped << t;
    }
    return dropped;
}
