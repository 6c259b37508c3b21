#include "db/CDbConnection.h"

#include "db/CDbError.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QThread>

std::atomic<quint64> CDbConnection::s_serial{0};

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

bool CDbConnection::sqliteFileMissing(QSqlError *error) const
{
    // A SQLite handle survives its file being moved away; treat a vanished file like a
    // server that went away, and never let the driver create an empty database.
    if (m_target.kind != CSqlDialect::Sqlite || m_target.sqliteFile.isEmpty())
        return false;
    if (QFileInfo(m_target.sqliteFile).isFile())
        return false;
    if (error)
        *error = QSqlError(QStringLiteral("unable to open database file"),
                           QStringLiteral("The database file %1 does not exist.").arg(m_target.sqliteFile),
                           QSqlError::ConnectionError);
    return true;
}

bool CDbConnection::openThreadConnection(ThreadConnection &tc, QSqlError *error)
{
    if (tc.name.isEmpty())
        tc.name = QStringLiteral("zorvik_%1_%2").arg(m_serial).arg(quintptr(QThread::currentThread()), 0, 16);
    {
        QSqlDatabase old = QSqlDatabase::database(tc.name, false);
        if (old.isValid())
            old.close();
    }
    QSqlDatabase::removeDatabase(tc.name);
    if (m_target.driver.isEmpty()) {
        *error = QSqlError(QStringLiteral("No connection string"), QStringLiteral("The connection string is empty."),
                           QSqlError::ConnectionError);
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(m_target.driver)) {
        *error = QSqlError(QStringLiteral("Driver not loaded"),
                           QStringLiteral("The Qt SQL driver %1 is not installed.").arg(m_target.driver),
                           QSqlError::ConnectionError);
        return false;
    }
    if (sqliteFileMissing(error))
        return false;
    QSqlDatabase db = QSqlDatabase::addDatabase(m_target.driver, tc.name);
    db.setDatabaseName(m_target.databaseName);
    QString options = m_target.connectOptions;
    if (m_timeout > 0 && m_target.driver == QLatin1String("QODBC"))
        options += (options.isEmpty() ? QString() : QStringLiteral(";")) +
                   QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(m_timeout);
    db.setConnectOptions(options);
    if (!db.open()) {
        *error = db.lastError();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(tc.name);
        return false;
    }
    if (m_target.driver == QLatin1String("QSQLITE")) {
        // SQLite opens lazily: make sure the file really is a database.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("select count(*) from sqlite_master"))) {
            *error = probe.lastError();
            probe = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(tc.name);
            return false;
        }
    }
    tc.generation = m_generation;
    return true;
}

bool CDbConnection::threadDatabase(QSqlDatabase &db, QSqlError *error)
{
    QSqlError localError;
    QSqlError *err = error ? error : &localError;
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_open) {
        *err = QSqlError(QStringLiteral("Connection closed"),
                         QStringLiteral("Operation is not allowed when the object is closed."),
                         QSqlError::ConnectionError);
        return false;
    }
    if (sqliteFileMissing(err))
        return false;
    ThreadConnection &tc = m_threads[QThread::currentThread()];
    if (tc.name.isEmpty() || tc.generation != m_generation || !QSqlDatabase::database(tc.name, false).isOpen()) {
        if (!openThreadConnection(tc, err))
            return false;
    }
    db = QSqlDatabase::database(tc.name, false);
    return true;
}

void CDbConnection::releaseThread()
{
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_threads.find(QThread::currentThread());
    if (it == m_threads.end())
        return;
    const QString name = it->name;
    m_threads.erase(it);
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
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!connectionString.isEmpty())
            m_connectionString = connectionString;
        m_target = CSqlDialect::target(m_connectionString);
        m_open = true;
        ++m_generation;
        ThreadConnection &tc = m_threads[QThread::currentThread()];
        if (openThreadConnection(tc, &error))
            return true;
        m_open = false;
    }
    recordError(CDbError::codeFor(error), m_target.driver.isEmpty() ? QStringLiteral("Zorvik") : m_target.driver,
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
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_open)
        return;
    m_open = false;
    auto it = m_threads.find(QThread::currentThread());
    if (it != m_threads.end()) {
        QSqlDatabase db = QSqlDatabase::database(it->name, false);
        if (db.isOpen())
            db.close();
    }
}

bool CDbConnection::execute(const QString &statement)
{
    QSqlDatabase db;
    QSqlError error;
    if (threadDatabase(db, &error)) {
        QSqlQuery q(db);
        const QString sql = CSqlDialect::rewrite(dialect(), statement);
        if (q.exec(sql)) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_recordsAffected = q.numRowsAffected();
            return true;
        }
        error = q.lastError();
    }
    recordError(CDbError::codeFor(error), driverName(), CDbError::describe(error));
    return false;
}

bool CDbConnection::runProcedure(const QString &name, int *recordsAffected, QString *errorRecord, quint32 *errorCode,
                                 const char *className)
{
    QSqlDatabase db;
    QSqlError error;
    int affected = 0;
    bool ok = threadDatabase(db, &error);
    if (ok) {
        QSqlQuery q(db);
        if (dialect() == CSqlDialect::Sqlite) {
            // The body kept under the procedure's name, statement by statement.
            q.prepare(CSqlDialect::procedureBodyQuery());
            q.addBindValue(name);
            ok = q.exec();
            if (ok && !q.next()) {
                ok = false;
                error = QSqlError(QString(), QStringLiteral("Could not find stored procedure '%1'.").arg(name),
                                  QSqlError::StatementError);
            }
            if (ok) {
                const QStringList statements = CSqlDialect::splitStatements(q.value(0).toString());
                q = QSqlQuery(db);
                for (const QString &st : statements) {
                    if (!q.exec(CSqlDialect::rewrite(CSqlDialect::Sqlite, st))) {
                        ok = false;
                        break;
                    }
                    affected += qMax(0, q.numRowsAffected());
                }
            }
            if (!ok && error.type() == QSqlError::NoError)
                error = q.lastError();
        } else {
            ok = q.exec(CSqlDialect::callText(name));
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
