#include "TdsStandin.h"

#include "demo/CDemoDatabase.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <atomic>

namespace testsupport {

TdsStandin::~TdsStandin()
{
    stop();
}

QString TdsStandin::program()
{
    const QString fromEnvironment = qEnvironmentVariable("ZORVIK_TDS_STANDIN");
    return fromEnvironment.isEmpty() ? QStringLiteral(ZORVIK_TDS_STANDIN) : fromEnvironment;
}

bool TdsStandin::start(const Options &options)
{
    stop();
    m_error.clear();
    m_port = 0;
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    m_log = m_dir.filePath(QStringLiteral("events-%1.log").arg(QDateTime::currentMSecsSinceEpoch()));
    QStringList args{QStringLiteral("--port"), QString::number(options.port)};
    if (options.demoEmployees > 0)
        args << QStringLiteral("--demo-employees") << QString::number(options.demoEmployees);
    if (!options.database.isEmpty())
        args << QStringLiteral("--database") << options.database;
    if (!options.password.isEmpty())
        args << QStringLiteral("--password") << options.password;
    if (!options.user.isEmpty())
        args << QStringLiteral("--user") << options.user;
    if (options.stall)
        args << QStringLiteral("--stall");
    if (!options.delayText.isEmpty())
        args << QStringLiteral("--delay") << options.delayText << QStringLiteral("--delay-ms")
             << QString::number(options.delayMs);
    const QString statements = qEnvironmentVariable("ZORVIK_STATEMENT_LOG_DIR");
    if (!statements.isEmpty()) {
        static std::atomic<int> started{0};
        QDir().mkpath(statements);
        args
            << QStringLiteral("--statement-log")
            << QDir(statements)
                   .filePath(
                       QStringLiteral("statements-%1-%2.jsonl").arg(QCoreApplication::applicationPid()).arg(++started));
    }
    m_process.setStandardOutputFile(m_log);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), args);
    if (!m_process.waitForStarted(10000)) {
        m_error = m_process.errorString();
        return false;
    }
    // Building a demo database first may take a while.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 60000) {
        QFile f(m_log);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray first = f.readLine();
            if (first.endsWith('\n') && first.startsWith("listening on port ")) {
                m_port = quint16(first.mid(18).trimmed().toUInt());
                return m_port != 0;
            }
        }
        if (m_process.waitForFinished(20)) {
            m_error = QStringLiteral("tds_standin ended (exit code %1)").arg(m_process.exitCode());
            return false;
        }
    }
    m_error = QStringLiteral("tds_standin did not start listening");
    stop();
    return false;
}

bool TdsStandin::start(const QString &database, bool stalled)
{
    Options o;
    o.database = database;
    o.stall = stalled;
    return start(o);
}

void TdsStandin::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    // A signal lets it remove a database it built in a temporary folder.
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString TdsStandin::connectionString(const QString &database, const QString &user, const QString &password) const
{
    return QStringLiteral("Driver={FreeTDS};Server=127.0.0.1;Port=%1;TDS_Version=7.4;ClientCharset=UTF-8;"
                          "Database=%2;UID=%3;PWD=%4")
        .arg(m_port)
        .arg(database, user, password);
}

QStringList TdsStandin::events() const
{
    QFile f(m_log);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    // A line still being written is not an event yet.
    lines.removeLast();
    if (!lines.isEmpty())
        lines.removeFirst();
    return lines;
}

int TdsStandin::count(const QString &line) const
{
    return int(events().count(line));
}

QStringList TdsStandin::startingWith(const QString &prefix) const
{
    QStringList out;
    for (const QString &e : events())
        if (e.startsWith(prefix))
            out << e;
    return out;
}

namespace {

// A JPEG of several tens of kilobytes: noise does not compress.
QByteArray largePhotograph()
{
    QImage image(320, 400, QImage::Format_RGB32);
    QRandomGenerator random(23);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0x00FFFFFFu));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

} // namespace

bool TdsStandin::buildDatabase(const QString &path, int employees, const QDateTime &now, Facts *facts, QString *error)
{
    CDemoDatabase::DemoOptions o;
    o.employees = employees;
    o.departments = 4;
    o.historyDays = 0;
    o.photographs = true;
    o.now = now;
    o.fixedToday = true;
    if (!CDemoDatabase::build(path, o, error))
        return false;

    Facts f;
    f.diacriticsKey = QStringLiteral("1001");
    f.lastName = QStringLiteral("Đorđević-Šćekić Žic Čolak Ćirić");
    f.firstName = QStringLiteral("Đurđa Šćepa Žana Čeda Ćana");
    f.quoteKey = QStringLiteral("1002");
    f.fractionKey = QStringLiteral("1003");
    f.fraction = QDateTime(now.date().addDays(-1), QTime(10, 15, 30, 250));
    f.photograph = largePhotograph();

    const QString name = QStringLiteral("tds-facts-%1").arg(quintptr(QThread::currentThread()));
    bool ok = CDemoDatabase::openConnection(name, path, error);
    if (ok) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        const QString fraction = f.fraction.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        auto run = [&](const QString &sql, const QVariantList &values = {}) {
            QSqlQuery q(db);
            q.prepare(sql);
            for (const QVariant &v : values)
                q.addBindValue(v);
            if (ok && !q.exec()) {
                ok = false;
                if (error)
                    *error = q.lastError().text() + u'\n' + sql;
            }
            return q;
        };
        run(QStringLiteral("update tblZaposleni set Prezime = ?, Ime = ?, Fotografija = ? where IDZaposlenog = ?"),
            {f.lastName, f.firstName, f.photograph, f.diacriticsKey.toInt()});
        run(QStringLiteral("update tblZaposleni set Prezime = 'O''Brien', Ime = 'Seán' where IDZaposlenog = ?"),
            {f.quoteKey.toInt()});
        // The one clocking of the employee (no history) moves to the moment with milliseconds.
        run(QStringLiteral("update tblReg set TerminalskoVremeRegistracije = ? where IDNo = (select substr(IDNo, "
                           "-10, 8) from tblMediaID where IDZaposlenog = ? and VaziDo is null)"),
            {fraction, f.fractionKey.toInt()});
        run(QStringLiteral("update tblLastReg set DatumLastReg = ? where IDZaposlenog = ?"),
            {fraction, f.fractionKey.toInt()});
        QSqlQuery guests = run(QStringLiteral("select count(*) from tblPartnerEvent where [Exit] is null"));
        if (ok && guests.next())
            f.guestsInside = guests.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(name);
    if (ok && facts)
        *facts = f;
    return ok;
}

} // namespace testsupport
