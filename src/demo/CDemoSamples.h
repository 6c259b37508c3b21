#pragma once

#include "db/ReferenceMaps.h"

#include <QHash>
#include <QString>
#include <QStringList>

// What the demo shows on its first start besides the database: two sample panels and a colour
// file with a colour for every activity, all kept beside the demo database, never in the program
// folder of an installation.
class CDemoSamples
{
public:
    // The panels, in the order they open: "Reception" (about forty employees with photographs,
    // the first row expanded) and "All staff" (everyone, in rows sorted by name), named in the
    // interface language.
    static QStringList panelPaths(const QString &folder);
    static QString colourFilePath(const QString &folder);
    // The demo's colour of every activity.
    static ColourMap colours();
    // The demo's activities that mean "on the premises" (arrival, break and its return,
    // overtime, weekend duty).
    static QStringList onSiteActivities();

    // Writes whatever of the samples is missing in folder from the database at databasePath;
    // files that are there (the user may have changed them) are kept, and those named in another
    // language are renamed (old path to new in *renamed). False with *error when a file cannot be
    // written or the database cannot be read.
    static bool ensure(const QString &databasePath, const QString &folder, QString *error,
                       QHash<QString, QString> *renamed = nullptr);

    static constexpr int kReceptionSize = 40;
    static constexpr int kPerRow = 8;
};
