#pragma once

#include <QSet>
#include <QString>

class CSettings;

// Which activities mean "on the premises" (arrival, break, a meeting on site) is not in the
// attendance database: the user marks them, and they are kept in the settings.
class COnSiteActivities
{
public:
    static QSet<QString> read(const CSettings &settings);
    static void write(CSettings &settings, const QSet<QString> &ids);
};
