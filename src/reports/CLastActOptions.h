#pragma once

#include "reports/CLastActQuery.h"

#include <QList>

class CSettings;

// The choices of the Last activity options dialog as the settings section "Report" keeps them,
// and the report request they make for a moment.
struct CLastActOptions
{
    int sort = 0;
    int unvisible = 0;
    int lastActAll = 0;
    int groupAll = 0;
    int selAct = -1;
    int selGroup = -1;
    int depAll = 0;
    int actOrGroup = 0;
    int calendar = 0;
    int invertAct = 0;
    int invertGroup = 0;
    QList<int> selDeps; // ticked department positions

    static CLastActOptions load(const CSettings &settings);
    static void save(CSettings &settings, const CLastActOptions &options);
    CLastActRequest toRequest(const CDateTime &moment) const;
};
