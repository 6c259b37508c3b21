// tds_standin: a SQL Server stand-in for tests and trials. It speaks TDS 7.4 to the FreeTDS ODBC
// driver on the loopback address and runs what it receives on a SQLite attendance database.
//
//   tds_standin --demo-employees N [--history-days D] [--database FILE]   a fresh demo database
//   tds_standin --database FILE                                          an existing one
//   options: --port P (0: any free port), --password PWD, --user NAME, --stall, --simulate MS,
//            --samples DIR, --statement-log FILE, --delay TEXT [--delay-ms MS]
//
// The first line on standard output is "listening on port P"; then one line per event.

#include "CTdsServer.h"
#include "demo/CClockingSimulator.h"
#include "demo/CDemoDatabase.h"
#include "demo/CDemoSamples.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

// Ends the event loop on SIGTERM and SIGINT, so that a temporary database is removed.
void quitOnSignals()
{
    if (::pipe(g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { QCoreApplication::quit(); });
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
}

int fail(const QString &message)
{
    std::fprintf(stderr, "tds_standin: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("SQL Server stand-in for the FreeTDS route"));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("TCP port, 0 for any free one."),
                                  QStringLiteral("P"), QStringLiteral("0"));
    const QCommandLineOption employees(QStringLiteral("demo-employees"),
                                       QStringLiteral("Build a fresh demo database with N employees."),
                                       QStringLiteral("N"));
    const QCommandLineOption history(QStringLiteral("history-days"),
                                     QStringLiteral("Days of clockings in a fresh demo database."), QStringLiteral("D"),
                                     QStringLiteral("14"));
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("The SQLite database to serve (or to build)."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("Refuse every other password."),
                                      QStringLiteral("PWD"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("Refuse every other user name."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption statementLog(QStringLiteral("statement-log"),
                                          QStringLiteral("Append every statement received to FILE (JSON lines)."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("Answer the batches that hold TEXT only after --delay-ms."),
                                   QStringLiteral("TEXT"));
    const QCommandLineOption delayMs(QStringLiteral("delay-ms"), QStringLiteral("The delay of --delay."),
                                     QStringLiteral("MS"), QStringLiteral("2000"));
    const QCommandLineOption stall(QStringLiteral("stall"),
                                   QStringLiteral("Never answer a request (a hung server); attention is answered."));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Add a clocking every MS milliseconds."), QStringLiteral("MS"));
    const QCommandLineOption samples(QStringLiteral("samples"),
                                     QStringLiteral("Write the demo's sample panels and colours into DIR."),
                                     QStringLiteral("DIR"));
    parser.addOptions(
        {port, employees, history, database, password, user, stall, simulate, samples, statementLog, delay, delayMs});
    parser.process(app);

    QTemporaryDir scratch;
    QString path = parser.value(database);
    if (parser.isSet(employees)) {
        if (path.isEmpty()) {
            if (!scratch.isValid())
                return fail(QStringLiteral("no temporary folder"));
            path = scratch.filePath(QStringLiteral("attendance.sqlite"));
        }
        CDemoDatabase::DemoOptions options;
        options.employees = parser.value(employees).toInt();
        options.historyDays = parser.value(history).toInt();
        QString error;
        if (!CDemoDatabase::build(path, options, &error))
            return fail(error);
    } else if (path.isEmpty() || !QFileInfo(path).isFile()) {
        return fail(QStringLiteral("give --demo-employees N or --database FILE (an existing file)"));
    }
    if (parser.isSet(samples)) {
        QString error;
        if (!CDemoSamples::ensure(path, parser.value(samples), &error))
            return fail(error);
    }

    CTdsServer::Options options;
    options.databasePath = path;
    options.password = parser.value(password);
    options.user = parser.value(user);
    options.statementLog = parser.value(statementLog);
    options.delayText = parser.value(delay);
    options.delayMs = parser.value(delayMs).toInt();
    options.stall = parser.isSet(stall);
    CTdsServer server(options);
    QString error;
    if (!server.listen(quint16(parser.value(port).toUInt()), &error))
        return fail(error);
    quitOnSignals();
    CTdsServer::say(QStringLiteral("listening on port %1").arg(server.port()));

    std::unique_ptr<CClockingSimulator> simulator;
    if (parser.isSet(simulate)) {
        simulator = std::make_unique<CClockingSimulator>(path);
        simulator->setInterval(qMax(100, parser.value(simulate).toInt()));
        simulator->start();
    }
    return QCoreApplication::exec();
}
