#pragma once

#include <QStringList>

class CSettings;

// The most recently opened or saved panel files, newest first, kept in section
// "Recent File List" as "File1" to "File8". Without a store the list is empty and stays so.
class CRecentFiles
{
public:
    static constexpr int kCount = 8;

    explicit CRecentFiles(CSettings *settings) : m_settings(settings) {}

    QStringList paths() const;
    // Puts the file first (as an absolute path), once, and drops what falls off the end.
    void add(const QString &path);
    void remove(const QString &path);

    // One file under two spellings (relative, through a link) counts as one.
    static bool samePath(const QString &a, const QString &b);

private:
    void write(const QStringList &list);

    CSettings *m_settings;
};
