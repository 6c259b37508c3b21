#include "app/CBatchRun.h"
#include "app/CCommandLine.h"
#include "app/CDataFiles.h"
#include "app/CLogSink.h"
#include "app/CStopSignals.h"
#include "app/CVersion.h"
#include "app/C_ZorvikApp.h"
#include "app/LogCategories.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <memory>
#include <utility>

namespace {

void nameApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Zorvik"));
    QCoreApplication::setApplicationVersion(CVersion::text());
    // Wayland matches the windows to their launcher (icon, name) by this.
    QGuiApplication::setDesktopFileName(CDataFiles::applicationId());
}

// Cron and service managers start a program in the "C" locale, whose character set is ASCII.
// Names and paths are UTF-8: the character set becomes UTF-8 before Qt starts, which otherwise
// makes the same switch itself with a warning on standard error (mailed by cron every run).
void useUtf8()
{
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
        return;
    const char *ctype = std::setlocale(LC_CTYPE, nullptr);
    if (!ctype || (std::strcmp(ctype, "C") != 0 && std::strcmp(ctype, "POSIX") != 0))
        return; // a locale of another character set was chosen: left to its owner
    // LC_ALL, when set, outranks LC_CTYPE; "C.UTF-8" is "C" in everything but the characters.
    qputenv(qEnvironmentVariableIsEmpty("LC_ALL") ? "LC_CTYPE" : "LC_ALL", "C.UTF-8");
    std::setlocale(LC_ALL, "");
}

} // namespace

int main(int argc, char **argv)
{
    useUtf8();
    // The command line is read before anything needs a display: --help, --version and the
    // commands run from a shell work over a remote login and from cron.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CCommandLine commandLine;
    if (!commandLine.parse(arguments)) {
        std::fprintf(stderr, "zorvik: %s\nTry 'zorvik --help' for the options.\n", qPrintable(commandLine.error()));
        return 2;
    }
    C_ZorvikApp::Options options;
    options.demo = commandLine.demo();
    options.splash = commandLine.splash();
    options.connection = commandLine.connection();
    options.settingsFile = commandLine.settingsFile();
    // Autostart runs in the home folder: the panel's path stays right whatever folder that is.
    if (!commandLine.wallPanel().isEmpty())
        options.wall = QFileInfo(commandLine.wallPanel()).absoluteFilePath();

    switch (commandLine.action()) {
    case CCommandLine::Action::Help: {
        QCoreApplication app(argc, argv); // names the program in the usage line
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return 0;
    }
    case CCommandLine::Action::Version:
        std::printf("Zorvik %s\n", qPrintable(CVersion::text()));
        return 0;
    case CCommandLine::Action::Run:
        break;
    default: {
        // Reports and lists are drawn and formatted with the platform that needs no display.
        std::unique_ptr<QTemporaryDir> runtime;
        std::unique_ptr<QCoreApplication> app;
        if (commandLine.action() == CCommandLine::Action::ExportReport ||
            commandLine.action() == CCommandLine::Action::ExportCsv) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            // Cron gives no runtime folder, and Qt's start would say so on standard error, where
            // a command prints only its own lines: a private one for this run (mode 0700).
            if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
                runtime = std::make_unique<QTemporaryDir>();
                if (runtime->isValid())
                    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
            }
            app = std::make_unique<QApplication>(argc, argv);
        } else {
            app = std::make_unique<QCoreApplication>(argc, argv);
        }
        nameApplication();
        // A command prints only its own lines; its log says only what went wrong.
        CLogSink::install(true);
        return CBatchRun::run(commandLine, options);
    }
    }

    QApplication qapp(argc, argv);
    nameApplication();
    CLogSink::install();
    C_ZorvikApp app(options);
    // A service manager's stop or the end of the session quits like Quit, without questions:
    // nobody is there to answer them.
    CStopSignals stopSignals;
    bool stopping = false;
    QObject::connect(&stopSignals, &CStopSignals::stopRequested, &qapp, [&stopping, &app](int signal) {
        if (!std::exchange(stopping, true)) {
            const QStringList unsaved = app.unsavedPanels();
            if (unsaved.isEmpty())
                qCInfo(lcZorvikLive, "Stopping on %s", CStopSignals::name(signal));
            else
                qCWarning(lcZorvikLive, "Stopping on %s; changes not saved to the panels: %s",
                          CStopSignals::name(signal), qPrintable(unsaved.join(QStringLiteral(", "))));
        }
        QCoreApplication::exit(0);
    });
    int rc = 0;
    // A stop during start-up (its dialogs' loops end) must not be followed by the main loop.
    if (app.InitInstance() == C_ZorvikApp::StartResult::Running && !stopping)
        rc = QApplication::exec();
    app.shutdown();
    if (app.threadsLeftRunning()) {
        // Everything was saved; a thread is stuck in a call to a server that does not answer,
        // and tearing the objects down under it would crash. End here.
        std::fflush(nullptr);
        std::_Exit(rc);
    }
    return rc;
}
