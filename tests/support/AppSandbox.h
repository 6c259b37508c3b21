#pragma once

#include "TestSupport.h"
#include "app/CSettings.h"
#include "app/C_ZorvikApp.h"

#include <QDir>

namespace testsupport {

// The whole program in a temporary folder: its settings file, lock folder and program folder,
// no splash and no simulator; connection, when given, stored as the program's own.
inline C_ZorvikApp::Options appOptions(const TempDir &dir, const QString &connection = QString())
{
    QDir(dir.path()).mkpath(QStringLiteral("lock"));
    QDir(dir.path()).mkpath(QStringLiteral("program"));
    C_ZorvikApp::Options o;
    o.settingsFile = dir.file(QStringLiteral("settings.ini"));
    o.lockFolder = dir.file(QStringLiteral("lock"));
    o.programFolder = dir.file(QStringLiteral("program"));
    o.splash = false;
    o.simulator = false;
    if (!connection.isEmpty()) {
        CSettings s(o.settingsFile);
        s.writeText(QStringLiteral("Settings"), QStringLiteral("Connection"), connection);
        s.sync();
    }
    return o;
}

} // namespace testsupport
