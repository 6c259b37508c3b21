#pragma once

class C_MainFrame;
class C_ReportView;
class C_ZorvikDoc;

// The two ways to the Last activity report: Reports > Last activity (the options dialog, then a
// new report window) and a panel's Print (the panel's employees, now, no dialog).
class CLastActCommands
{
public:
    // Null when the dialog was cancelled.
    static C_ReportView *lastActivity(C_MainFrame *frame);
    // Null for a panel without employees.
    static C_ReportView *printPanel(C_MainFrame *frame, C_ZorvikDoc *panel);
};
