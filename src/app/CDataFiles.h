#pragma once

#include <QString>
#include <QStringList>

// Where the program's read-only files are: the report templates and the warning sound. A build
// tree and a portable copy keep them beside the program; an installation keeps them in the
// shared data folder of its prefix (<prefix>/share/zorvik beside <prefix>/lib/zorvik), apart
// from the program and its language libraries, which depend on the processor.
class CDataFiles
{
public:
    // The folders looked in, in order, each ending with "/": the program folder, then the shared
    // data folder. programFolder empty: the folder of the running program.
    static QStringList folders(const QString &programFolder = QString());
    // The first of those folders that holds relativePath. When none does: where an installation
    // would have it (the shared data folder, when it exists), else the program folder.
    static QString find(const QString &relativePath, const QString &programFolder = QString());

    // The application's identifier ("rs.orvane.zorvik"): its desktop file's name without
    // ".desktop", which desktops match its windows against.
    static QString applicationId();
    // The desktop file an installation puts in <prefix>/share/applications; empty when there is
    // none (a build tree, a portable copy).
    static QString desktopFile(const QString &programFolder = QString());
};
