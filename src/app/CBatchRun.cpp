#include "app/CBatchRun.h"

#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CCommandLine.h"
#include "app/CCsvWriter.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "db/CConnectionString.h"
#include "db/CDbConnection.h"
#include "db/CDbThread.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "dialogs/CPrompt.h"
#include "live/CLiveUpdate.h"
#include "reports/CLastActOptions.h"
#include "reports/C_ReportView.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/C_ZorvikDocRollCall.h"
#include "views/CGuestsModel.h"
#include "views/CPresencesModel.h"
#include "views/C_ZorvikDocGuests.h"
#include "views/C_ZorvikDocPresences.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <cstdio>

namespace {

void say(const QString &text)
{
    std::fprintf(stdout, "%s\n", qPrintable(text));
    std::fflush(stdout);
}

int fail(const QString &text, const QString &connectionString = QString())
{
    std::fprintf(stderr, "zorvik: %s\n", qPrintable(CConnectionString::hidePasswords(text, connectionString)));
    return 1;
}

// Names the settings file looked in, which may not be the one the user meant (--settings).
QString noString(const CSettings &settings)
{
    return QStringLiteral("No connection string is stored in %1. Give one with --connection STRING "
                          "(or start the program once to choose the database).")
        .arg(QDir::toNativeSeparators(settings.fileName()));
}

} // namespace

int CBatchRun::run(const CCommandLine &commandLine, const C_ZorvikApp::Options &options)
{
    CPrompt::setConsoleMode(true);
    switch (commandLine.action()) {
    case CCommandLine::Action::CheckInstall:
        return C_ZorvikApp::checkInstallation(options.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                                              : options.programFolder);
    case CCommandLine::Action::TestConnection: {
        QString cs = commandLine.testString();
        QString passwordProblem;
        if (cs.isEmpty()) {
            const std::unique_ptr<CSettings> settings = C_ZorvikApp::makeSettings(options);
            QString demo;
            if (options.demo && CDemoDatabase::ensure(&demo, nullptr))
                cs = CDemoDatabase::connectionString(demo);
            else
                cs = C_ZorvikApp::connectionFor(options, *settings, &passwordProblem);
            if (cs.isEmpty())
                return fail(noString(*settings));
        }
        return testConnection(cs, passwordProblem);
    }
    case CCommandLine::Action::ExportReport:
    case CCommandLine::Action::ExportCsv:
        return exportFile(commandLine, options);
    default:
        return 2;
    }
}

int CBatchRun::testConnection(const QString &cs, const QString &passwordProblem)
{
    CDbConnection conn;
    const bool ok = conn.open(cs);
    const QString error = conn.lastErrorDescription();
    conn.close();
    conn.releaseThread();
    const QString where = CConnectionString::describe(cs);
    if (!ok)
        return fail(QStringLiteral("Cannot connect to %1: %2").arg(where, error) +
                        (passwordProblem.isEmpty() ? QString() : u'\n' + passwordProblem),
                    cs);
    say(QStringLiteral("Connected to %1").arg(where));
    return 0;
}

int CBatchRun::exportFile(const CCommandLine &commandLine, const C_ZorvikApp::Options &options)
{
    std::unique_ptr<CSettings> settings = C_ZorvikApp::makeSettings(options);
    QString cs = options.connection;
    if (cs.isEmpty() && options.demo) {
        QString demo, error;
        if (!CDemoDatabase::ensure(&demo, &error))
            return fail(error);
        cs = CDemoDatabase::connectionString(demo);
    }
    QString passwordProblem;
    if (cs.isEmpty())
        cs = C_ZorvikApp::connectionFor(options, *settings, &passwordProblem);
    if (cs.isEmpty())
        return fail(noString(*settings));

    QString folder = options.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : options.programFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    CReferenceData reference;
    CLiveUpdate live(&reference);
    CAppContext context(settings.get(), &reference, &live, folder);
    context.makeCurrent();
    context.nameFormat = settings->readInt(QStringLiteral("Settings"), QStringLiteral("NameFormat"));

    int message = 0;
    if (!reference.open(cs, &message))
        return fail(CStringTable::format(message, CConnectionString::masked(cs)) + u'\n' +
                        reference.connection().lastErrorDescription() +
                        (passwordProblem.isEmpty() ? QString() : u'\n' + passwordProblem),
                    cs);
    reference.buildMaps();
    // One polling cycle fills the live lists (last clockings, day types, guests).
    if (!CDbThread(&reference, 60).cycle())
        return fail(reference.connection().lastErrorDescription(), cs);

    const QString path = commandLine.exportFile();
    QString error;
    if (commandLine.action() == CCommandLine::Action::ExportReport) {
        C_ReportView view;
        view.build(CLastActOptions::load(*settings).toRequest(CDateTime::fromLocal(CClock::now(), false)));
        if (!view.waitForBuild(10 * 60 * 1000))
            return fail(QStringLiteral("The report was not built in time."), cs);
        // A template that cannot be used, named with its file.
        if (!view.loadError().isEmpty())
            return fail(view.loadError());
        if (CPrompt::consoleProblems() > 0)
            return 1; // the reason is already on standard error
        // Nobody matches the options (the notice is on standard error): an answer, not a fault.
        if (view.rowCount() == 0)
            return kNothingToReport;
        if (!view.exportPdf(path, {}, &error))
            return fail(C_ReportView::pdfFailedText(path, error));
        say(QStringLiteral("Wrote %1 (%2 page(s))").arg(QDir::toNativeSeparators(path)).arg(view.pageCount()));
        return 0;
    }

    const QString list = commandLine.exportList();
    // As the window offers it first: the separator this locale's spreadsheets expect.
    const QChar separator = CCsvWriter::separatorFor(QLocale::system());
    bool written = false;
    if (list == QLatin1String("presences")) {
        C_ZorvikDocPresences doc;
        doc.loadActivities();
        if (!doc.rebuild() || !doc.waitForQuery(10 * 60 * 1000))
            return fail(doc.lastError(), cs);
        written = CCsvWriter::write(path, *doc.model(), &error, separator);
    } else if (list == QLatin1String("guests")) {
        if (!reference.guestsAvailable)
            return fail(QStringLiteral("This database has no guests list."));
        C_ZorvikDocGuests doc;
        doc.initialUpdate();
        written = CCsvWriter::write(path, *doc.model(), &error, separator);
    } else {
        C_ZorvikDocRollCall doc(&reference, settings.get(), context.writableFolder());
        doc.refresh();
        written = CCsvWriter::write(path, *doc.model(), &error, separator);
    }
    if (!written)
        return fail(CStringTable::text(QStringLiteral("csv.failed")).arg(QDir::toNativeSeparators(path), error));
    say(QStringLiteral("Wrote %1").arg(QDir::toNativeSeparators(path)));
    return 0;
}
