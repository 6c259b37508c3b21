#pragma once

#include <QString>
#include <QStringList>

// The program's command line, read before any window or display exists: what to do (start the
// program, or one of the commands that print, test or export and end) and the switches.
// Qt's own switches (-platform, -style and the like) are accepted and left to Qt.
class CCommandLine
{
public:
    enum class Action
    {
        Run,            // the program with its windows
        Help,           // --help
        Version,        // --version
        CheckInstall,   // --check-install
        TestConnection, // --test-connection [STRING]
        ExportReport,   // --export-report FILE.pdf
        ExportCsv       // --export-csv presences|guests|rollcall FILE.csv
    };

    // False for a command line that cannot be used; error() says why.
    bool parse(const QStringList &arguments);
    QString error() const { return m_error; }
    QString helpText() const;

    Action action() const { return m_action; }
    bool demo() const { return m_demo; }
    bool splash() const { return m_splash; }
    // --connection STRING, for this run only; empty when not given.
    QString connection() const { return m_connection; }
    // --settings FILE: a settings file of its own instead of the per-user store; empty when not given.
    QString settingsFile() const { return m_settingsFile; }
    // --wall PANEL.zvl: the panel alone, full screen; empty when not given.
    QString wallPanel() const { return m_wallPanel; }
    // The string --test-connection was given, else --connection; empty for the stored one.
    QString testString() const { return m_testString.isEmpty() ? m_connection : m_testString; }
    QString exportFile() const { return m_exportFile; }
    // For --export-csv: "presences", "guests" or "rollcall".
    QString exportList() const { return m_exportList; }

    static const QStringList &csvLists();

private:
    Action m_action = Action::Run;
    bool m_demo = false;
    bool m_splash = true;
    QString m_connection;
    QString m_settingsFile;
    QString m_wallPanel;
    QString m_testString;
    QString m_exportFile;
    QString m_exportList;
    QString m_error;
};
