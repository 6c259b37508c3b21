#pragma once

#include <QStringList>

class CAppContext;
class CSettings;

// The ordered panel files that open at start-up ("AutoLoad" "Count" and "File%d") while the
// open-at-startup dialog edits them. Paths compare without regard to case, so one file is
// listed once.
class CAutoLoadList
{
public:
    // The most entries read from the store.
    static constexpr int kMaxEntries = 1000;

    // The non-empty entries of the store below its count, in order.
    void load(const CSettings &settings);
    // Writes the three start-up switches and the list, and copies the switches into the
    // context. Entries beyond the new count stay in the store, unused.
    void save(CSettings &settings, CAppContext &context, int showPresences, int showGuests) const;

    const QStringList &paths() const { return m_paths; }
    int count() const { return int(m_paths.size()); }
    bool contains(const QString &path) const;
    // Appends each path not listed yet; returns how many were added.
    int add(const QStringList &paths);
    void remove(int row);
    // Move a row one place; the row's new index, or row unchanged at either end.
    int moveUp(int row);
    int moveDown(int row);

private:
    QStringList m_paths;
};
