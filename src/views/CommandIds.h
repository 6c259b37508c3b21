#pragma once

// The command numbers of menus, toolbar and accelerators: the toolkit's standard numbers for
// file and window commands and 34002 to 34037 for the program's own. The string-table entry
// of a number holds its status-line text and tooltip; "menu.<number>" holds its menu text.
namespace Command {
enum Id
{
    FileNew = 57600,
    FileOpen = 57601,
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrint = 57607,
    AppAbout = 57664,
    AppExit = 57665,
    HelpTopics = 57667,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    Colours = 34002,
    Employees = 34003,
    DatabaseServer = 34004,
    OpenAtStartup = 34005,
    CloseAll = 34006,
    NameFormat = 34009,
    Languages = 34010,
    ArrangeHorizontally = 34011,
    ArrangeVertically = 34012,
    ExpandAll = 34014,
    CollapseAll = 34015,
    Find = 34016,
    Guests = 34017,
    Presences = 34018,
    RemoveAll = 34019,
    ExpandLatest = 34020,
    ReportPrev = 34023,
    ReportNext = 34024,
    ReportFirst = 34025,
    ReportLast = 34026,
    ExportPdf = 34027,
    PrintPreview = 34028,
    LastActivity = 34030,
    RollCall = 34031,
    ExportCsv = 34032,
    ClearTicks = 34033,
    RefreshNow = 34034,
    FullScreen = 34035,
    Legend = 34036,
    NotYetIn = 34037,
};
} // namespace Command
