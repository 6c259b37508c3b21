#include "views/CMenuLayout.h"

#include "views/CommandIds.h"

using namespace Command;

QList<QList<int>> CMenuLayout::menuLayout(MenuKind kind)
{
    const int S = kSeparator, R = kRecentFiles;
    QList<int> file{FileNew, FileOpen, OpenAtStartup};
    QList<int> view{ViewToolbar, ViewStatusBar, S};
    switch (kind) {
    case NoDocumentMenu:
        file << S << R << S << AppExit;
        view << ExpandLatest << S << Guests << Presences << RollCall << S << DatabaseServer << Colours << NameFormat
             << Languages;
        break;
    case PanelMenu:
        file << S << FileSave << FileSaveAs << S << FileClose << CloseAll << S << R << S << AppExit;
        view << ExpandLatest << S << Employees << RemoveAll << S << Guests << Presences << RollCall << S
             << DatabaseServer << Colours << NameFormat << S << ArrangeHorizontally << ArrangeVertically << ExpandAll
             << CollapseAll << Find << S << Languages;
        break;
    case GuestsMenu:
    case PresencesMenu:
    case ReportMenu:
    case RollCallMenu:
        if (kind == ReportMenu || kind == RollCallMenu)
            file << FilePrint << ExportPdf << PrintPreview;
        if (kind != ReportMenu)
            file << S << ExportCsv;
        if (kind == RollCallMenu)
            file << ClearTicks;
        file << S << FileClose << CloseAll << S << R << S << AppExit;
        view << Guests << Presences << RollCall << S << DatabaseServer << Colours << NameFormat << Languages;
        break;
    }
    // The keys of a wall display and a busy desk, in every menu.
    view << S << Legend << NotYetIn << RefreshNow << FullScreen;
    return {file, view, {LastActivity}, {HelpTopics, S, AppAbout}};
}

QList<int> CMenuLayout::toolbarLayout()
{
    const int S = kSeparator;
    return {FileNew,
            FileOpen,
            FileSave,
            S,
            DatabaseServer,
            Colours,
            Employees,
            S,
            ArrangeHorizontally,
            ArrangeVertically,
            S,
            ExpandAll,
            CollapseAll,
            S,
            FilePrint,
            RollCall,
            S,
            AppAbout};
}
