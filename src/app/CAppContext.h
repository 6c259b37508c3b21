#pragma once

#include "db/RefreshInterval.h"

#include <QString>
#include <atomic>

class CSettings;
class CReferenceData;
class CLiveUpdate;

// What the application object owns and every part of the program reads: the settings store,
// the reference data, the live update, the program folder and the switches read at start-up.
// The application (or a test) creates one and makes it current.
class CAppContext
{
public:
    CAppContext(CSettings *settings, CReferenceData *reference, CLiveUpdate *live, const QString &programFolder);
    ~CAppContext();

    static CAppContext *current();
    void makeCurrent();

    CSettings *settings() const { return m_settings; }
    CReferenceData *reference() const { return m_reference; }
    CLiveUpdate *live() const { return m_live; }
    // The folder of the program file, ending with "/".
    QString programFolder() const { return m_programFolder; }
    // The colour file is written to the writable folder (below), or to a folder of its own
    // when one was set (the demo keeps its colours beside its database).
    QString colourFilePath() const
    {
        return (m_colourFolder.isEmpty() ? writableFolder() : m_colourFolder) + QStringLiteral("ZvPanel.cfg");
    }
    // The colour file to read: the written one, or until the first save the one that came in a
    // read-only program folder.
    QString colourReadPath() const;
    // folder ends with "/".
    void setColourFolder(const QString &folder) { m_colourFolder = folder; }
    // Where the files the program writes go (the warning log, the roll-call file): the demo's
    // own folder when set, the program folder when it is writable and not an installation (a
    // portable copy), else the per-user data folder. Ends with "/".
    QString writableFolder() const;
    // The same rule for any program folder; perUser is the per-user data folder.
    static QString writableFolderFor(const QString &programFolder, const QString &perUser);
    // The file an installation puts in the program folder.
    static constexpr const char *kInstalledMarker = ".zorvik-installed";

    // Switches read at start-up (and written back at the end of the run).
    std::atomic<int> expandLatest{1};
    std::atomic<int> nameFormat{0};
    std::atomic<int> refreshSeconds{RefreshInterval::kDefaultSeconds};
    int langWarning = 1;
    int autoShowPresences = 0;
    int autoShowGuests = 0;
    int autoShowMandatory = 0;

private:
    CSettings *m_settings;
    CReferenceData *m_reference;
    CLiveUpdate *m_live;
    QString m_programFolder;
    QString m_colourFolder;
};
