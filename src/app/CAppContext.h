#pragma once

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
    // The colour file lives in the program folder, unless a folder of its own was set (the
    // demo keeps its colours beside its database).
    QString colourFilePath() const
    {
        return (m_colourFolder.isEmpty() ? m_programFolder : m_colourFolder) + QStringLiteral("ZvPanel.cfg");
    }
    // folder ends with "/".
    void setColourFolder(const QString &folder) { m_colourFolder = folder; }

    // Switches read at start-up (and written back at the end of the run).
    std::atomic<int> expandLatest{1};
    std::atomic<int> nameFormat{0};
    std::atomic<int> refreshSeconds{60};
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
