#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CReportEngine;
class C_ZorvikDocRollCall;

// The record of a drill or an evacuation: start, end, the counts, who ticked whom and when
// (and which ticks were only in memory, the ticks file not written), and who was never found. Printed through the
// report engine and written as CSV.
class CRollCallEventReport
{
public:
    static constexpr const char *kTemplate = "RollCallEvent.rpt";

    struct Line
    {
        bool found = false;
        bool left = false; // clocked out during the event without a tick
        QString at;        // when ticked, "HH:mm:ss"; empty for a tick of unknown time
        QString by;        // the warden, or the desk
        QString name;
        QString department;
        QString detail;
        QString company;
        bool inMemoryOnly = false; // ticked while the ticks file could not be written
    };
    // Everyone listed during the event: the never found first (department, name), then the
    // found in the order they were ticked.
    static QList<Line> lines(const C_ZorvikDocRollCall &doc);
    // Loads the template into a new report and fills every field but the page count; false
    // (with the engine's error text) when the template cannot be read.
    static bool fill(CReportEngine &engine, const C_ZorvikDocRollCall &doc);
    static QByteArray csv(const C_ZorvikDocRollCall &doc);
    // Both files, each written whole or not at all.
    static bool write(const C_ZorvikDocRollCall &doc, const QString &pdfPath, const QString &csvPath, QString *error);
};
