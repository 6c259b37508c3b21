#include "app/CAppContext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
CAppContext *g_current = nullptr;
}

CAppContext::CAppContext(CSettings *settings, CReferenceData *reference, CLiveUpdate *live,
                         const QString &programFolder)
    : m_settings(settings), m_reference(reference), m_live(live), m_programFolder(programFolder)
{
    if (!m_programFolder.isEmpty() && !m_programFolder.endsWith(u'/'))
        m_programFolder += u'/';
}

CAppContext::~CAppContext()
{
    if (g_current == this)
        g_current = nullptr;
}

CAppContext *CAppContext::current()
{
    return g_current;
}

void CAppContext::makeCurrent()
{
    g_current = this;
}

QString CAppContext::writableFolderFor(const QString &programFolder, const QString &perUser)
{
    const QFileInfo info(programFolder);
    // An installed folder says so with a marker: even an administrator who could write there
    // keeps the system folder clean.
    const bool installed = QFile::exists(QDir(programFolder).filePath(QString::fromLatin1(kInstalledMarker)));
    if (!programFolder.isEmpty() && info.isDir() && info.isWritable() && !installed)
        return programFolder.endsWith(u'/') ? programFolder : programFolder + u'/';
    QDir().mkpath(perUser);
    return perUser.endsWith(u'/') ? perUser : perUser + u'/';
}

QString CAppContext::writableFolder() const
{
    if (!m_colourFolder.isEmpty())
        return m_colourFolder;
    return writableFolderFor(m_programFolder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString CAppContext::colourReadPath() const
{
    const QString written = colourFilePath();
    const QString shipped = m_programFolder + QStringLiteral("ZvPanel.cfg");
    return QFile::exists(written) || !QFile::exists(shipped) ? written : shipped;
}
