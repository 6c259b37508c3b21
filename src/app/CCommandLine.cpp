#include "app/CCommandLine.h"

#include <QCommandLineParser>

namespace {

// Qt's own switches of a graphical program, which QApplication takes off the command line;
// each with whether it takes a value.
const QList<QPair<QString, bool>> &qtSwitches()
{
    static const QList<QPair<QString, bool>> switches = {
        {QStringLiteral("platform"), true},        {QStringLiteral("platformpluginpath"), true},
        {QStringLiteral("platformtheme"), true},   {QStringLiteral("plugin"), true},
        {QStringLiteral("qwindowgeometry"), true}, {QStringLiteral("qwindowicon"), true},
        {QStringLiteral("qwindowtitle"), true},    {QStringLiteral("display"), true},
        {QStringLiteral("geometry"), true},        {QStringLiteral("style"), true},
        {QStringLiteral("stylesheet"), true},      {QStringLiteral("session"), true},
        {QStringLiteral("reverse"), false},        {QStringLiteral("widgetcount"), false},
        {QStringLiteral("nograb"), false},         {QStringLiteral("dograb"), false},
        {QStringLiteral("sync"), false},
    };
    return switches;
}

struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help and ends.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Shows the version and ends.")};
    QCommandLineOption demo{QStringLiteral("demo"),
                            QStringLiteral("Uses the demo database, with settings of its own (your real settings are "
                                           "not touched).")};
    QCommandLineOption nosplash{QStringLiteral("nosplash"), QStringLiteral("Starts without the start-up picture.")};
    QCommandLineOption wall{QStringLiteral("wall"),
                            QStringLiteral("Shows the panel PANEL.zvl alone on the whole screen, at Fit to screen "
                                           "unless a zoom was chosen for it (a wall display)."),
                            QStringLiteral("PANEL.zvl")};
    QCommandLineOption checkInstall{QStringLiteral("check-install"),
                                    QStringLiteral("Lists the report templates, sound and language libraries the "
                                                   "program finds and where it writes, and ends.")};
    QCommandLineOption testConnection{QStringLiteral("test-connection"),
                                      QStringLiteral("Tries the connection string STRING (or the stored one) and "
                                                     "ends: exit code 0 when it connects, 1 when not.")};
    QCommandLineOption connection{QStringLiteral("connection"),
                                  QStringLiteral("Uses STRING as the connection string for this run only; it is "
                                                 "never stored."),
                                  QStringLiteral("STRING")};
    QCommandLineOption settings{QStringLiteral("settings"),
                                QStringLiteral("Keeps the settings in FILE instead of the per-user store (a "
                                               "second configuration, such as a trial against another server)."),
                                QStringLiteral("FILE")};
    QCommandLineOption exportReport{QStringLiteral("export-report"),
                                    QStringLiteral("Writes the Last activity report, with the options last chosen "
                                                   "in Reports > Last activity, to FILE.pdf and ends."),
                                    QStringLiteral("FILE.pdf")};
    QCommandLineOption exportCsv{QStringLiteral("export-csv"),
                                 QStringLiteral("Writes the list LIST (presences, guests or rollcall) to FILE.csv "
                                                "as its window would, and ends."),
                                 QStringLiteral("LIST")};
};

void setUp(QCommandLineParser &parser, Options &o, QList<QCommandLineOption> &hidden)
{
    parser.setApplicationDescription(
        QStringLiteral("Zorvik shows, live, every employee's last clocking from a time-and-attendance database.\n"
                       "Without a command it starts the program. The commands --test-connection, --export-report\n"
                       "and --export-csv need no display: on failure they print the error (the password hidden)\n"
                       "on standard error and end with exit code 1. --export-report ends with exit code 3,\n"
                       "writing no file, when no employee matches the report's options."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({o.help, o.version, o.demo, o.nosplash, o.settings, o.wall, o.checkInstall, o.testConnection,
                       o.connection, o.exportReport, o.exportCsv});
    parser.addPositionalArgument(QStringLiteral("STRING"),
                                 QStringLiteral("With --test-connection: the connection string to try."),
                                 QStringLiteral("[STRING]"));
    parser.addPositionalArgument(QStringLiteral("FILE.csv"), QStringLiteral("With --export-csv: the file to write."),
                                 QStringLiteral("[FILE.csv]"));
    for (const auto &[name, takesValue] : qtSwitches()) {
        QCommandLineOption opt(name);
        if (takesValue)
            opt.setValueName(QStringLiteral("value"));
        opt.setFlags(QCommandLineOption::HiddenFromHelp);
        hidden << opt;
    }
    parser.addOptions(hidden);
}

} // namespace

const QStringList &CCommandLine::csvLists()
{
    static const QStringList lists{QStringLiteral("presences"), QStringLiteral("guests"), QStringLiteral("rollcall")};
    return lists;
}

QString CCommandLine::helpText() const
{
    QCommandLineParser parser;
    Options o;
    QList<QCommandLineOption> hidden;
    setUp(parser, o, hidden);
    return parser.helpText();
}

bool CCommandLine::parse(const QStringList &arguments)
{
    *this = CCommandLine();
    QCommandLineParser parser;
    Options o;
    QList<QCommandLineOption> hidden;
    setUp(parser, o, hidden);
    // "--test-connection=STRING" reads like the other options with a value.
    QStringList args = arguments;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i).startsWith(QLatin1String("--test-connection="))) {
            const QString value = args.at(i).mid(int(qstrlen("--test-connection=")));
            args[i] = QStringLiteral("--test-connection");
            args.insert(i + 1, value);
        }
    }
    if (!parser.parse(args)) {
        m_error = parser.errorText();
        return false;
    }
    m_demo = parser.isSet(o.demo);
    m_splash = !parser.isSet(o.nosplash);
    m_connection = parser.value(o.connection);
    m_settingsFile = parser.value(o.settings);
    m_wallPanel = parser.value(o.wall);
    if (parser.isSet(o.wall) && m_wallPanel.isEmpty()) {
        m_error = QStringLiteral("--wall needs the panel file to show.");
        return false;
    }
    QStringList positional = parser.positionalArguments();

    // One command at most; the first named decides, a second is an error.
    QList<Action> actions;
    if (parser.isSet(o.help))
        actions << Action::Help;
    if (parser.isSet(o.version))
        actions << Action::Version;
    if (parser.isSet(o.checkInstall))
        actions << Action::CheckInstall;
    if (parser.isSet(o.testConnection))
        actions << Action::TestConnection;
    if (parser.isSet(o.exportReport))
        actions << Action::ExportReport;
    if (parser.isSet(o.exportCsv))
        actions << Action::ExportCsv;
    // --help wins over everything, as users expect of it.
    if (actions.contains(Action::Help)) {
        m_action = Action::Help;
        return true;
    }
    if (actions.size() > 1) {
        m_error = QStringLiteral("Give one command at a time.");
        return false;
    }
    m_action = actions.isEmpty() ? Action::Run : actions.first();
    switch (m_action) {
    case Action::TestConnection:
        if (positional.size() > 1) {
            m_error = QStringLiteral("--test-connection takes one connection string; quote it.");
            return false;
        }
        m_testString = positional.value(0);
        break;
    case Action::ExportReport:
        m_exportFile = parser.value(o.exportReport);
        if (!positional.isEmpty()) {
            m_error = QStringLiteral("Unexpected argument '%1'.").arg(positional.first());
            return false;
        }
        break;
    case Action::ExportCsv:
        m_exportList = parser.value(o.exportCsv).toLower();
        if (!csvLists().contains(m_exportList)) {
            m_error = QStringLiteral("--export-csv: unknown list '%1'; use presences, guests or rollcall.")
                          .arg(parser.value(o.exportCsv));
            return false;
        }
        if (positional.size() != 1) {
            m_error = QStringLiteral("--export-csv needs one file name after the list.");
            return false;
        }
        m_exportFile = positional.first();
        break;
    default:
        // A file named on the command line is not opened.
        break;
    }
    if ((m_action == Action::ExportReport || m_action == Action::ExportCsv) && m_exportFile.isEmpty()) {
        m_error = QStringLiteral("No file name to write to.");
        return false;
    }
    return true;
}
