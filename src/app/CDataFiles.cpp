#include "app/CDataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Both set by the build: the shared data folder seen from the program folder, and the identifier.
#ifndef ZORVIK_DATA_FROM_PROGRAM
#define ZORVIK_DATA_FROM_PROGRAM "../../share/zorvik"
#endif
#ifndef ZORVIK_APP_ID
#define ZORVIK_APP_ID "rs.orvane.zorvik"
#endif

namespace {
QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}
} // namespace

QStringList CDataFiles::folders(const QString &programFolder)
{
    const QString program = withSlash(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder);
    // Relative to the program, not to a fixed prefix: a package unpacked elsewhere, or one
    // installed below /usr/local or /opt, still finds its own data.
    const QString shared = QDir::cleanPath(program + QStringLiteral(ZORVIK_DATA_FROM_PROGRAM));
    return {program, withSlash(shared)};
}

QString CDataFiles::find(const QString &relativePath, const QString &programFolder)
{
    const QStringList candidates = folders(programFolder);
    for (const QString &folder : candidates)
        if (QFileInfo::exists(folder + relativePath))
            return folder + relativePath;
    const QString &expected = QDir(candidates.last()).exists() ? candidates.last() : candidates.first();
    return expected + relativePath;
}

QString CDataFiles::applicationId()
{
    return QStringLiteral(ZORVIK_APP_ID);
}

QString CDataFiles::desktopFile(const QString &programFolder)
{
    // The data folder is <prefix>/share/zorvik; the launchers are in <prefix>/share/applications.
    const QString path = QDir::cleanPath(folders(programFolder).last() + QStringLiteral("../applications/") +
                                         applicationId() + QStringLiteral(".desktop"));
    return QFileInfo::exists(path) ? path : QString();
}
