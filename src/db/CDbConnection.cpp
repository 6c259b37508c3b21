#include "db/CDbConnection.h"

#include "db/CConnectionString.h"
#include "db/CDbError.h"
#include "db/COdbcCatalog.h"
#include "db/CSqliteCollation.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>
#include <QThread>

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

std::atomic<quint64> CDbConnection::s_serial{0};
std::atomic<quint64> CDbConnection::s_sessions{0};
std::atomic<int> CDbConnection::s_defaultLogin{15};
std::atomic<int> CDbConnection::s_defaultStatement{30};

void CDbConnection::setDefaultTimeouts(int loginSeconds, int statementSeconds)
{
    s_defaultLogin = loginSeconds > 0 ? loginSeconds : 15;
    s_defaultStatement = statementSeconds > 0 ? statementSeconds : 30;
}

CDbConnection::CDbConnection() : m_serial(++s_serial) {}

CDbConnection::~CDbConnection()
{
    close();
    // Connections of other threads are released by those threads; whatever is left here
    // (a thread that ended without releasing) is removed now that nobody uses it.
    std::lock_guard<std::mutex> guard(m_lock);
    for (const ThreadConnection &tc : std::as_const(m_threads)) {
        {
            QSqlDatabase db = QSqlDatabase::database(tc.name, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(tc.name);
    }
    m_threads.clear();
}

void CDbConnection::recordError(quint32 code, const QString &source, const QString &description)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_lastErrorCode = code;
    m_lastErrorDescription = description;
    m_lastErrorText = QStringLiteral("Connection String = ") + m_connectionString + u'\n' +
                      CDbError::format("CDbConnection", code, source, description);
}

bool CDbConnection::sqliteFileMissing(const CSqlDialect::Target &target, QSqlError *error)
{
    // A SQLite handle survives its file being moved away; treat a vanished file like a
    // server that went away, and never let the driver create an empty database.
    if (target.kind != CSqlDialect::Sqlite || target.sqliteFile.isEmpty())
        return false;
    if (QFileInfo(target.sqliteFile).isFile())
        return false;
    if (error)
        *error = QSqlError(QStringLiteral("unable to open database file"),
                           QStringLiteral("The database file %1 does not exist.").arg(target.sqliteFile),
                           QSqlError::ConnectionError);
    return true;
}

QString CDbConnection::driverConnectionString(const CSqlDialect::Target &target, int statementSeconds)
{
    QString out = target.databaseName.trimmed();
    QString driver = CSqlDialect::keyValue(out, QStringLiteral("Driver"));
    if (driver.isEmpty() && !target.dataSource.isEmpty()) {
        // Qt hands the driver manager a string as written only when it names a driver or a
        // server; any other it takes for a data source name, prefixes "DSN=" and, since Qt 6.8,
        // quotes whole when it holds a ";", so that "DSN=att;UID=u" is not found. The data
        // source's own driver is named after it: the driver manager still reads the data
        // source, which wins over a driver. One not installed is left for it to report.
        driver = COdbcCatalog::dataSourceDriver(target.dataSource);
        if (!driver.isEmpty()) {
            if (!out.contains(u'='))
                out = QStringLiteral("DSN=") + CConnectionString::quoted(out); // a bare data source name
            if (!out.endsWith(u';'))
                out += u';';
            out += QStringLiteral("Driver=") + CConnectionString::quoted(driver);
        }
    }
    if (COdbcCatalog::isFreeTds(driver) && CSqlDialect::keyValue(out, QStringLiteral("Timeout")).isEmpty()) {
        if (!out.isEmpty() && !out.endsWith(u';'))
            out += u';';
        out += QStringLiteral("Timeout=%1").arg(statementSeconds);
    }
    // Qt 6.4's ODBC driver hands the driver manager one character more than the string (its
    // terminating null), which would land in the last value: a password or user name with a
    // null at its end. After a final ";" it is an empty piece every driver skips.
    if (!out.isEmpty() && !out.endsWith(u';'))
        out += u';';
    return out;
}

CDbConnection::Settings CDbConnection::settingsLocked() const
{
    Settings s;
    s.target = m_target;
    s.loginSeconds = m_timeout > 0 ? m_timeout : s_defaultLogin.load();
    s.statementSeconds = m_commandTimeout > 0 ? m_commandTimeout : s_defaultStatement.load();
    return s;
}

QString CDbConnection::threadConnectionName() const
{
    return QStringLiteral("zorvik_%1_%2").arg(m_serial).arg(quintptr(QThread::currentThread()), 0, 16);
}

namespace {

// Names compare and sort as in the attendance database on SQL Server (CSqliteCollation).
bool installCollation(QSqlDatabase &db, QString *error)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        *error = QStringLiteral("The SQLite driver gives no database handle.");
        return false;
    }
    sqlite3 *sqlite = *static_cast<sqlite3 *const *>(handle.constData());
    return sqlite && CSqliteCollation::install(sqlite, error);
}

} // namespace

bool CDbConnection::openThreadConnection(ThreadConnection &tc, const Settings &settings, QSqlError *error)
{
    const CSqlDialect::Target &target = settings.target;
    {
        QSqlDatabase old = QSqlDatabase::database(tc.name, false);
        if (old.isValid())
            old.close();
    }
    QSqlDatabase::removeDatabase(tc.name);
    if (target.driver.isEmpty()) {
        *error =
            target.error.isEmpty()
                ? QSqlError(QStringLiteral("No connection string"), QStringLiteral("The connection string is empty."),
                            QSqlError::ConnectionError)
                : QSqlError(QStringLiteral("Unusable connection string"), target.error, QSqlError::ConnectionError);
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(target.driver)) {
        *error = QSqlError(QStringLiteral("Driver not loaded"),
                           QStringLiteral("The Qt SQL driver %1 is not installed.").arg(target.driver),
                           QSqlError::ConnectionError);
        return false;
    }
    if (sqliteFileMissing(target, error))
        return false;
    QSqlDatabase db = QSqlDatabase::addDatabase(target.driver, tc.name);
    db.setDatabaseName(target.driver == QLatin1String("QODBC")
                           ? driverConnectionString(target, settings.statementSeconds)
                           : target.databaseName);
    QStringList options;
    if (!target.connectOptions.isEmpty())
        options << target.connectOptions;
    if (target.driver == QLatin1String("QODBC")) {
        // The login time-out bounds the whole login; the connection time-out bounds each
        // request on the connection other than a statement.
        options << QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(settings.loginSeconds)
                << QStringLiteral("SQL_ATTR_CONNECTION_TIMEOUT=%1").arg(settings.loginSeconds);
    } else if (target.driver == QLatin1String("QSQLITE")) {
        // A database locked by another writer is waited for as long as a statement may run.
        options << QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(qint64(settings.statementSeconds) * 1000);
    }
    db.setConnectOptions(options.join(u';'));
    if (!db.open()) {
        *error = db.lastError();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(tc.name);
        return false;
    }
    if (target.driver == QLatin1String("QSQLITE")) {
        // SQLite opens lazily: make sure the file really is a database.
        QSqlQuery probe(db);
        QString collationError;
        if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")) ||
            !installCollation(db, &collationError)) {
            *error = collationError.isEmpty()
                         ? probe.lastError()
                         : QSqlError(QStringLiteral("Collation"), collationError, QSqlError::ConnectionError);
            probe = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(tc.name);
            return false;
        }
    }
    return true;
}

bool CDbConnection::threadDatabase(QSqlDatabase &db, QSqlError *error)
{
    QSqlError localError;
    QSqlError *err = error ? error : &localError;
    QThread *self = QThread::currentThread();
    ThreadConnection tc;
    Settings settings;
    quint64 generation = 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_open) {
            *err = QSqlError(QStringLiteral("Connection closed"),
                             QStringLiteral("Operation is not allowed when the object is closed."),
                             QSqlError::ConnectionError);
            return false;
        }
        tc = m_threads.value(self);
        settings = settingsLocked();
        generation = m_generation;
    }
    if (sqliteFileMissing(settings.target, err))
        return false;
    if (tc.name.isEmpty())
        tc.name = threadConnectionName();
    if (tc.generation != generation || !QSqlDatabase::database(tc.name, false).isOpen()) {
        // Connecting may take up to the login time-out: done without the lock.
        const bool ok = openThreadConnection(tc, settings, err);
        std::lock_guard<std::mutex> guard(m_lock);
        tc.generation = ok ? generation : 0;
        tc.session = ok ? ++s_sessions : 0;
        m_threads.insert(self, tc);
        if (!ok)
            return false;
    }
    db = QSqlDatabase::database(tc.name, false);
    return true;
}

void CDbConnection::releaseThread()
{
    QString name;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto it = m_threads.find(QThread::currentThread());
        if (it == m_threads.end())
            return;
        name = it->name;
        m_threads.erase(it);
    }
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool CDbConnection::open(const QString &connectionString, const QString &user, const QString &password)
{
    Q_UNUSED(user);
    Q_UNUSED(password);
    close();
    QSqlError error;
    ThreadConnection tc;
    Settings settings;
    quint64 generation = 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!connectionString.isEmpty())
            m_connectionString = connectionString;
        m_target = CSqlDialect::target(m_connectionString);
        generation = ++m_generation;
        settings = settingsLocked();
        tc.name = threadConnectionName();
    }
    const bool ok = openThreadConnection(tc, settings, &error);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        tc.generation = ok ? generation : 0;
        tc.session = ok ? ++s_sessions : 0;
        m_threads.insert(QThread::currentThread(), tc);
        // A close or another open meanwhile wins over this one.
        if (ok && m_generation == generation) {
            m_open = true;
            return true;
        }
    }
    if (ok) // closed or reopened by another thread while this one connected
        error = QSqlError(QStringLiteral("Connection closed"),
                          QStringLiteral("The connection was closed while it was being opened."),
                          QSqlError::ConnectionError);
    recordError(CDbError::codeFor(error),
                settings.target.driver.isEmpty() ? QStringLiteral("Zorvik") : settings.target.driver,
                CDbError::describe(error));
    return false;
}

bool CDbConnection::isOpen() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_open;
}

void CDbConnection::close()
{
    QString name;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_open)
            return;
        m_open = false;
        ++m_generation;
        auto it = m_threads.find(QThread::currentThread());
        if (it != m_threads.end())
            name = it->name;
    }
    if (name.isEmpty())
        return;
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (db.isOpen())
        db.close();
}

bool CDbConnection::exec(QSqlQuery &q, const QString &sql, Send send) const
{
    q.setForwardOnly(true);
    int seconds = 0;
    bool odbc = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        seconds = settingsLocked().statementSeconds;
        odbc = m_target.driver == QLatin1String("QODBC");
    }
    if (!odbc || send == Send::Batch)
        return q.exec(sql); // SQLite: the busy time-out; a batch: the connection's time-out
    // The statement attribute has to be set between allocating the statement and running it,
    // which only a prepared statement allows.
    if (!q.prepare(sql))
        return false;
    const QVariant handle = q.result() ? q.result()->handle() : QVariant();
    // SQLHANDLE is a plain pointer type: its meta-type is void*'s.
    if (handle.isValid() && handle.metaType() == QMetaType::fromType<SQLHANDLE>()) {
        SQLHANDLE stmt = *static_cast<const SQLHANDLE *>(handle.constData());
        if (stmt) {
            SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(quintptr(seconds)), 0);
            QThread *self = QThread::currentThread();
            {
                std::lock_guard<std::mutex> guard(m_lock);
                m_running.insert(self, stmt);
            }
            const bool ok = q.exec();
            std::lock_guard<std::mutex> guard(m_lock);
            m_running.remove(self, stmt);
            return ok;
        }
    }
    return q.exec();
}

void CDbConnection::cancelStatements(QThread *thread) const
{
    // Under the lock: the running thread takes its handle off the list before it can free it.
    std::lock_guard<std::mutex> guard(m_lock);
    for (auto it = m_running.cbegin(); it != m_running.cend(); ++it)
        if (!thread || it.key() == thread)
            SQLCancel(static_cast<SQLHANDLE>(it.value()));
}

bool CDbConnection::execute(const QString &statement, Send send, QString *errorOut)
{
    QSqlDatabase db;
    QSqlError error;
    if (threadDatabase(db, &error)) {
        QSqlQuery q(db);
        const QString sql = CSqlDialect::rewrite(dialect(), statement);
        if (exec(q, sql, send)) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_recordsAffected = q.numRowsAffected();
            return true;
        }
        error = q.lastError();
    }
    const QString description = CDbError::describe(error);
    recordError(CDbError::codeFor(error), driverName(), description);
    if (errorOut)
        *errorOut = description;
    return false;
}

quint64 CDbConnection::session() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const auto it = m_threads.constFind(QThread::currentThread());
    return it == m_threads.cend() || it->generation != m_generation ? 0 : it->session;
}

bool CDbConnection::runProcedure(const QString &name, int *recordsAffected, QString *errorRecord, quint32 *errorCode,
                                 const char *className, QString *errorDescription)
{
    QSqlDatabase db;
    QSqlError error;
    int affected = 0;
    bool ok = threadDatabase(db, &error);
    if (ok) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (dialect() == CSqlDialect::Sqlite) {
            ok = CSqlDialect::runStoredBody(
                q, name, [this](QSqlQuery &query, const QString &statement) { return exec(query, statement); },
                &affected, &error);
        } else {
            ok = exec(q, CSqlDialect::callText(name));
            if (ok)
                affected = q.numRowsAffected();
            else
                error = q.lastError();
        }
    }
    if (ok) {
        if (recordsAffected)
            *recordsAffected = affected;
        return true;
    }
    const quint32 code = CDbError::codeFor(error);
    const QString description = CDbError::describe(error);
    if (errorRecord)
        *errorRecord = CDbError::format(className, code, driverName(), description);
    if (errorCode)
        *errorCode = code;
    if (errorDescription)
        *errorDescription = description;
    if (!errorRecord)
        recordError(code, driverName(), description);
    return false;
}

QString CDbConnection::connectionString() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_connectionString;
}

QString CDbConnection::lastErrorText() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lastErrorText;
}

QString CDbConnection::lastErrorDescription() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lastErrorDescription;
}

quint32 CDbConnection::lastErrorCode() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lastErrorCode;
}

int CDbConnection::recordsAffected() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_recordsAffected;
}

void CDbConnection::setConnectionTimeout(int seconds)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_timeout = seconds;
}

void CDbConnection::setCommandTimeout(int seconds)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_commandTimeout = seconds;
}

int CDbConnection::connectionTimeout() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return settingsLocked().loginSeconds;
}

int CDbConnection::commandTimeout() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return settingsLocked().statementSeconds;
}

CSqlDialect::Kind CDbConnection::dialect() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_target.kind;
}

QString CDbConnection::driverName() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_target.driver;
}
