#include "TdsStandin.h"
#include "TestSupport.h"
#include "app/CVersion.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace {

struct Outcome
{
    int code = -1;
    QString out, err;
};

// The program as a shell runs it: no display, no platform named, its own home for settings and data.
class CommandLine : public ::testing::Test
{
protected:
    // cron: the bare environment cron gives a job (a home and a path, no runtime folder).
    Outcome zorvik(const QStringList &arguments, const QString &program = QStringLiteral(ZV_PROGRAM), bool cron = false)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.file(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.file(QStringLiteral("data")));
        if (cron) {
            env.clear();
            env.insert(QStringLiteral("HOME"), home.path());
            env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        }
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(home.path());
        p.start(program, arguments);
        EXPECT_TRUE(p.waitForFinished(120000)) << arguments.join(u' ').toStdString();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    static QString sqlite(const QString &path) { return QStringLiteral("Provider=SQLite;Data Source=%1").arg(path); }
    // One value from the database, read by Qt SQL directly rather than by the program.
    static QString scalar(const QString &path, const QString &sql)
    {
        QString value;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(path);
            EXPECT_TRUE(db.open());
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec(sql) && q.next()) << sql.toStdString();
            value = q.value(0).toString();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return value;
    }
    testsupport::TempDir home;
};

} // namespace

// --help, --version and a mistyped option behave like any command-line program, with no display.
TEST_F(CommandLine, HelpVersionAndUnknownOptionsNeedNoDisplay)
{
    const Outcome help = zorvik({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0) << help.err.toStdString();
    for (const char *option : {"--demo", "--test-connection", "--connection", "--export-report", "--export-csv",
                               "--check-install", "--version", "--wall"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
    EXPECT_FALSE(help.out.contains(QLatin1String("-platform"))); // Qt's own stay out of the list

    const Outcome version = zorvik({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("Zorvik ") + CVersion::text());

    for (const QStringList &bad :
         {QStringList{QStringLiteral("--dmeo")},
          QStringList{QStringLiteral("--export-csv"), QStringLiteral("people"), QStringLiteral("x.csv")},
          QStringList{QStringLiteral("--export-csv"), QStringLiteral("guests")}, QStringList{QStringLiteral("--wall")},
          QStringList{QStringLiteral("--version"), QStringLiteral("--check-install")}}) {
        const Outcome r = zorvik(bad);
        EXPECT_EQ(r.code, 2) << bad.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_TRUE(zorvik({QStringLiteral("--dmeo")}).err.contains(QLatin1String("dmeo")));
}

// --check-install names only libraries that really are language libraries.
TEST_F(CommandLine, CheckInstallListsOnlyLanguageLibraries)
{
    const QString folder = home.file(QStringLiteral("program"));
    QDir().mkpath(folder);
    const QString program = folder + QStringLiteral("/zorvik");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZV_PROGRAM), program));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZV_TEST_SRPSKI), folder + QStringLiteral("/Srpski.so")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZV_TEST_NOLANG), folder + QStringLiteral("/libhelper.so")));
    const Outcome r = zorvik({QStringLiteral("--check-install")}, program);
    EXPECT_TRUE(r.out.contains(QLatin1String("Srpski.so (Srpski)"))) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QLatin1String("libhelper"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("MISSING sound"))); // only the program was copied
    EXPECT_EQ(r.code, 1);
}

// Installed, the program finds its templates and sound in <prefix>/share/zorvik beside its own
// <prefix>/lib/zorvik; "Reports/" in the current folder comes first, and a portable copy's own
// files beside the program come before the installed ones.
TEST_F(CommandLine, CheckInstallFindsTheDataOfAnInstalledLayout)
{
    const QString built = QFileInfo(QStringLiteral(ZV_PROGRAM)).absolutePath() + u'/';
    const QString lib = home.file(QStringLiteral("usr/lib/zorvik/"));
    const QString share = home.file(QStringLiteral("usr/share/zorvik/"));
    QDir().mkpath(lib);
    QDir().mkpath(share + QStringLiteral("Reports"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZV_PROGRAM), lib + QStringLiteral("zorvik")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZV_TEST_SRPSKI), lib + QStringLiteral("Srpski.so")));
    ASSERT_TRUE(QFile::copy(built + QStringLiteral("InvalidAct.wav"), share + QStringLiteral("InvalidAct.wav")));
    const QStringList templates = QDir(built + QStringLiteral("Reports")).entryList({QStringLiteral("*.rpt")});
    ASSERT_EQ(templates.size(), 6);
    for (const QString &t : templates)
        ASSERT_TRUE(QFile::copy(built + QStringLiteral("Reports/") + t, share + QStringLiteral("Reports/") + t));
    QDir().mkpath(home.file(QStringLiteral("usr/share/applications")));
    QFile launcher(home.file(QStringLiteral("usr/share/applications/rs.orvane.zorvik.desktop")));
    ASSERT_TRUE(launcher.open(QIODevice::WriteOnly));
    launcher.close();
    const QString program = lib + QStringLiteral("zorvik");

    Outcome r = zorvik({QStringLiteral("--check-install")}, program);
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    for (const QString &t : templates)
        EXPECT_TRUE(r.out.contains(QStringLiteral("found   template: %1Reports/%2\n").arg(share, t)))
            << t.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("found   sound: %1InvalidAct.wav\n").arg(share)));
    EXPECT_TRUE(r.out.contains(QStringLiteral("found   language library: %1Srpski.so (Srpski)").arg(lib)));
    EXPECT_TRUE(r.out.contains(QStringLiteral("found   desktop file: %1").arg(launcher.fileName())));

    // The current folder's template first; a portable copy's files beside the program next.
    QDir().mkpath(home.file(QStringLiteral("Reports")));
    ASSERT_TRUE(
        QFile::copy(share + QStringLiteral("Reports/RollCall.rpt"), home.file(QStringLiteral("Reports/RollCall.rpt"))));
    ASSERT_TRUE(QFile::copy(share + QStringLiteral("InvalidAct.wav"), lib + QStringLiteral("InvalidAct.wav")));
    r = zorvik({QStringLiteral("--check-install")}, program);
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("found   template: %1\n").arg(home.file(QStringLiteral("Reports/RollCall.rpt")))));
    EXPECT_TRUE(r.out.contains(QStringLiteral("found   template: %1Reports/Presences.rpt\n").arg(share)));
    EXPECT_TRUE(r.out.contains(QStringLiteral("found   sound: %1InvalidAct.wav\n").arg(lib)));

    // A missing file is reported where the installation should have it.
    ASSERT_TRUE(QFile::remove(lib + QStringLiteral("InvalidAct.wav")));
    ASSERT_TRUE(QFile::remove(share + QStringLiteral("InvalidAct.wav")));
    r = zorvik({QStringLiteral("--check-install")}, program);
    EXPECT_TRUE(r.out.contains(QStringLiteral("MISSING sound: %1InvalidAct.wav\n").arg(share))) << r.out.toStdString();
    EXPECT_EQ(r.code, 1);
}

// --test-connection says where it connected, or why not without the password, and its code
// tells a script which.
TEST_F(CommandLine, TestConnectionReportsWithTheExitCode)
{
    const QString db = testsupport::smallDemoDatabase(12, 3);
    const Outcome ok = zorvik({QStringLiteral("--test-connection"), sqlite(db)});
    EXPECT_EQ(ok.code, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.out.startsWith(QStringLiteral("Connected to "))) << ok.out.toStdString();
    EXPECT_TRUE(ok.out.contains(db));

    const quint16 port = testsupport::closedPort();
    const Outcome refused = zorvik({QStringLiteral("--test-connection=Driver={FreeTDS};Server=127.0.0.1;Port=%1;"
                                                   "UID=sa;PWD=Tajna-77;TDS_Version=7.4")
                                        .arg(port)});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QLatin1String("127.0.0.1"))) << refused.err.toStdString();
    EXPECT_FALSE(refused.err.contains(QLatin1String("Tajna-77")) || refused.out.contains(QLatin1String("Tajna-77")));

    // Nothing stored and nothing given: said, not guessed.
    const Outcome none = zorvik({QStringLiteral("--test-connection")});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.err.contains(QLatin1String("--connection"))) << none.err.toStdString();
}

// The lists and the report a manager schedules: written as the windows would write them, read
// back by readers the program did not write, and --connection never stored.
TEST_F(CommandLine, ExportsWriteTheListsAndTheReportWithoutADisplay)
{
    const QString db = testsupport::smallDemoDatabase(12, 3);
    const QString connection = sqlite(db);
    const QString presences = home.file(QStringLiteral("presences.csv"));
    Outcome r = zorvik({QStringLiteral("--connection"), connection, QStringLiteral("--export-csv"),
                        QStringLiteral("presences"), presences});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QList<QStringList> rows = testsupport::readCsv(presences);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(QString::number(rows.size() - 1),
              scalar(db, QStringLiteral("select count(*) from tblLastReg join viewMediaIDActive on "
                                        "viewMediaIDActive.IDZaposlenog = tblLastReg.IDZaposlenog")));
    EXPECT_EQ(rows.value(1).value(0),
              scalar(db, QStringLiteral("select max(DatumLastReg) from tblLastReg join viewMediaIDActive on "
                                        "viewMediaIDActive.IDZaposlenog = tblLastReg.IDZaposlenog")));

    for (const QString &list : {QStringLiteral("guests"), QStringLiteral("rollcall")}) {
        const QString path = home.file(list + QStringLiteral(".csv"));
        r = zorvik({QStringLiteral("--connection"), connection, QStringLiteral("--export-csv"), list, path});
        EXPECT_EQ(r.code, 0) << list.toStdString() << ": " << r.err.toStdString();
        EXPECT_GE(testsupport::readCsv(path).size(), 1) << list.toStdString();
    }

    const QString pdf = home.file(QStringLiteral("report.pdf"));
    r = zorvik({QStringLiteral("--connection"), connection, QStringLiteral("--export-report"), pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString report = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(report.contains(QLatin1String("Last activity"))) << report.toStdString();
    EXPECT_TRUE(report.contains(rows.value(1).value(1))); // the newest clocking's employee

    // The string was for this run only; a file that cannot be written is an error.
    QFile stored(home.file(QStringLiteral("config/Orvane/Zorvik.conf")));
    EXPECT_FALSE(stored.open(QIODevice::ReadOnly) && stored.readAll().contains(db.toUtf8()));
    r = zorvik({QStringLiteral("--connection"), connection, QStringLiteral("--export-report"),
                home.file(QStringLiteral("missing/folder/report.pdf"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("missing/folder"))) << r.err.toStdString();
}

// What a cron job meets: nobody to report is an answer with an exit code of its own (3), its
// message and no file; an error names the file; and the commands print only their own lines.
TEST_F(CommandLine, CronTellsNobodyToReportFromAFaultAndHearsOnlyItsOwnLines)
{
    // A department without employees (the first by name), chosen in the report's options.
    const QString db = home.file(QStringLiteral("att.sqlite"));
    ASSERT_TRUE(QFile::copy(testsupport::smallDemoDatabase(12, 3), db));
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    {
        QSqlDatabase sql = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("edit"));
        sql.setDatabaseName(db);
        ASSERT_TRUE(sql.open());
        ASSERT_TRUE(QSqlQuery(sql).exec(QStringLiteral("insert into Sektor values (999, ' Nobody here')")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("edit"));
    const QString settings = home.file(QStringLiteral("report.ini"));
    QFile ini(settings);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Report]\nDepAll=1\nSelDep=1\nSelDep0=0\n");
    ini.close();
    const QStringList base{QStringLiteral("--settings"), settings, QStringLiteral("--connection"), sqlite(db)};
    const QString program = QStringLiteral(ZV_PROGRAM);

    const QString pdf = home.file(QStringLiteral("nobody.pdf"));
    Outcome r = zorvik(base + QStringList{QStringLiteral("--export-report"), pdf}, program, true);
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, QStringLiteral("Nothing to report: no employee matches the options.\n"));
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));

    r = zorvik(base + QStringList{QStringLiteral("--export-csv"), QStringLiteral("presences"),
                                  QStringLiteral("/no/such/dir/p.csv")},
               program, true);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("zorvik: The file /no/such/dir/p.csv could not be written: No such file or "
                                    "directory\n"));
}

// A service manager's stop, Ctrl+C and a closed terminal end the program as Quit does (the
// stop logged, settings written, exit code 0), both while it runs and while its first-start
// question is open; before, the signal killed it where it stood.
TEST_F(CommandLine, StopSignalsQuitCleanly)
{
    const struct
    {
        QStringList arguments;
        int signal;
        const char *name;
    } runs[] = {{{QStringLiteral("--demo"), QStringLiteral("--nosplash")}, SIGTERM, "SIGTERM"},
                {{QStringLiteral("--demo"), QStringLiteral("--nosplash")}, SIGINT, "SIGINT"},
                {{QStringLiteral("--nosplash")}, SIGHUP, "SIGHUP"}};
    for (const auto &run : runs) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.file(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.file(QStringLiteral("data")));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZV_PROGRAM), run.arguments);
        QByteArray err;
        ASSERT_TRUE(testsupport::waitFor(
            [&] {
                p.waitForReadyRead(100);
                err += p.readAllStandardError();
                return err.contains("started");
            },
            60000))
            << run.name;
        QThread::msleep(1500); // into the main loop, or the first-start question
        ASSERT_EQ(::kill(pid_t(p.processId()), run.signal), 0);
        EXPECT_TRUE(p.waitForFinished(30000)) << run.name;
        err += p.readAllStandardError();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << run.name;
        EXPECT_EQ(p.exitCode(), 0) << run.name;
        EXPECT_TRUE(err.contains(QByteArray("Stopping on ") + run.name)) << err.toStdString();
        EXPECT_TRUE(err.contains("Zorvik stopped")) << err.toStdString();
    }
}

// The same commands as a site runs them: through the FreeTDS driver against the SQL Server
// stand-in, names with diacritics and quotes intact, the report's statements as batches.
TEST_F(CommandLine, ExportsThroughFreeTdsFromTheSqlServerStandIn)
{
    const QString db = home.file(QStringLiteral("server.db"));
    testsupport::TdsStandin::Facts facts;
    QString error;
    ASSERT_TRUE(testsupport::TdsStandin::buildDatabase(db, 20, QDateTime::currentDateTime(), &facts, &error))
        << error.toStdString();
    testsupport::TdsStandin server;
    ASSERT_TRUE(server.start(db)) << server.error().toStdString();
    const QString connection = server.connectionString();

    const Outcome tested = zorvik({QStringLiteral("--test-connection"), connection});
    EXPECT_EQ(tested.code, 0) << tested.err.toStdString();
    EXPECT_TRUE(tested.out.contains(QStringLiteral("127.0.0.1:%1").arg(server.port()))) << tested.out.toStdString();

    const QString pdf = home.file(QStringLiteral("report.pdf"));
    Outcome r = zorvik({QStringLiteral("--connection"), connection, QStringLiteral("--export-report"), pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString report = QString::fromUtf8(text.readAllStandardOutput());
    // The long name ends with an ellipsis in its narrow column; its diacritics arrive intact.
    EXPECT_TRUE(report.contains(facts.lastName.left(12)) && report.contains(QLatin1String("O'Brien")))
        << report.toStdString();
    EXPECT_EQ(server.startingWith(QStringLiteral("batch if object_id('tempdb..#tmpLastActTime')")).size(), 1);

    const QString presences = home.file(QStringLiteral("presences.csv"));
    r = zorvik({QStringLiteral("--connection"), connection, QStringLiteral("--export-csv"), QStringLiteral("presences"),
                presences});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    bool named = false;
    for (const QStringList &row : testsupport::readCsv(presences))
        named = named || (row.value(1) == facts.lastName && row.value(2) == facts.firstName);
    EXPECT_TRUE(named);

    const QString guests = home.file(QStringLiteral("guests.csv"));
    r = zorvik(
        {QStringLiteral("--connection"), connection, QStringLiteral("--export-csv"), QStringLiteral("guests"), guests});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(testsupport::readCsv(guests).size(), facts.guestsInside + 1);

    // The server gone: the error on standard error, the password never.
    server.stop();
    r = zorvik({QStringLiteral("--connection"), connection, QStringLiteral("--export-csv"), QStringLiteral("rollcall"),
                home.file(QStringLiteral("rollcall.csv"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_FALSE(r.err.contains(QLatin1String("secret")) || r.out.contains(QLatin1String("secret")))
        << r.err.toStdString();
}
