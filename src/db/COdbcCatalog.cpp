#include "db/COdbcCatalog.h"

#include <sql.h>
#include <sqlext.h>

namespace {

// An environment handle for listing only; no connection is made.
class Environment
{
public:
    Environment()
    {
        if (SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env) != SQL_SUCCESS) {
            m_env = SQL_NULL_HENV;
            return;
        }
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    }
    ~Environment()
    {
        if (m_env != SQL_NULL_HENV)
            SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }
    SQLHENV handle() const { return m_env; }

private:
    SQLHENV m_env = SQL_NULL_HENV;
};

} // namespace

QStringList COdbcCatalog::drivers()
{
    QStringList out;
    Environment env;
    if (env.handle() == SQL_NULL_HENV)
        return out;
    SQLCHAR name[512];
    SQLCHAR attributes[2048];
    SQLSMALLINT nameLength = 0, attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDrivers(env.handle(), direction, name, sizeof name, &nameLength, attributes,
                                    sizeof attributes, &attributesLength))) {
        out << QString::fromUtf8(reinterpret_cast<const char *>(name));
        direction = SQL_FETCH_NEXT;
    }
    return out;
}

namespace {

// Each data source with its driver (the description unixODBC lists for it).
QList<QPair<QString, QString>> listDataSources()
{
    QList<QPair<QString, QString>> out;
    Environment env;
    if (env.handle() == SQL_NULL_HENV)
        return out;
    SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[512];
    SQLSMALLINT nameLength = 0, descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDataSources(env.handle(), direction, name, sizeof name, &nameLength, description,
                                        sizeof description, &descriptionLength))) {
        out.append({QString::fromUtf8(reinterpret_cast<const char *>(name)),
                    QString::fromUtf8(reinterpret_cast<const char *>(description))});
        direction = SQL_FETCH_NEXT;
    }
    return out;
}

} // namespace

QStringList COdbcCatalog::dataSources()
{
    QStringList out;
    for (const auto &source : listDataSources())
        out << source.first;
    return out;
}

QString COdbcCatalog::dataSourceDriver(const QString &dataSource)
{
    for (const auto &source : listDataSources())
        if (source.first.compare(dataSource, Qt::CaseInsensitive) == 0)
            return source.second;
    return QString();
}

bool COdbcCatalog::isFreeTds(const QString &driver)
{
    return driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive) ||
           driver.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive);
}

QString COdbcCatalog::freeTdsDriver()
{
    for (const QString &d : drivers())
        if (isFreeTds(d))
            return d;
    return QStringLiteral("FreeTDS");
}
