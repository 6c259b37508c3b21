#pragma once

#include <QStringList>

class CReportEngine;
class C_ZorvikDocRollCall;

// The printed roll call: the people not yet ticked off first, then the ticked ones, each part
// in department order; the counts and, while the data is stale, the stale line on every page.
class CRollCallReport
{
public:
    static constexpr const char *kTemplate = "RollCall.rpt";

    // The grid rows: No., tick, name, department, time, activity or host, company.
    static QStringList gridRows(const C_ZorvikDocRollCall &doc);
    // Loads the template into a new report and fills every field but the page count; false
    // (with the engine's error text) when the template cannot be read.
    static bool fill(CReportEngine &engine, const C_ZorvikDocRollCall &doc, const QString &identity);
};
