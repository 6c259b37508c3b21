#pragma once

#include "app/C_ZorvikApp.h"

class CCommandLine;

// The commands that run from a shell and end without a window: trying a connection, and
// writing the Last activity report or a list to a file (what a manager schedules with cron).
// Errors go to standard error with the password hidden; the result is the exit code.
class CBatchRun
{
public:
    // The exit code of --export-report when no employee matches the report's options.
    static constexpr int kNothingToReport = 3;

    static int run(const CCommandLine &commandLine, const C_ZorvikApp::Options &options);

private:
    static int testConnection(const QString &connectionString, const QString &passwordProblem = QString());
    static int exportFile(const CCommandLine &commandLine, const C_ZorvikApp::Options &options);
};
