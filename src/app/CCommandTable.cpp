#include "app/CCommandTable.h"

#include "app/CAppContext.h"
#include "app/CChildCommands.h"
#include "app/C_ZorvikApp.h"
#include "live/CLiveUpdate.h"
#include "panel/C_ZorvikView.h"
#include "reports/CLastActCommands.h"
#include "views/CChildFrameBase.h"
#include "views/CPanelFileActions.h"
#include "views/C_MainFrame.h"
#include "views/CommandIds.h"

#include <QAction>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QToolBar>

using namespace Command;

namespace {

C_ZorvikView *panelView(const C_MainFrame *frame)
{
    CChildFrameBase *child = frame->activePanel() ? frame->activeChild() : nullptr;
    return child ? qobject_cast<C_ZorvikView *>(child->view()) : nullptr;
}

// A command of the active view, when there is one.
void onView(C_MainFrame *frame, void (CChildCommands::*command)())
{
    if (CChildCommands *view = frame->activeCommands())
        (view->*command)();
}

void onPanel(C_MainFrame *frame, void (C_ZorvikView::*command)())
{
    if (C_ZorvikView *view = panelView(frame))
        (view->*command)();
}

} // namespace

void CCommandTable::install(C_MainFrame *frame, C_ZorvikApp *app)
{
    CPanelFileActions *files = frame->fileActions();
    auto on = [frame](int id, C_MainFrame::Handler handler) { frame->setCommandHandler(id, std::move(handler)); };
    auto checked = [frame](int id) { return frame->action(id)->isChecked(); };

    // Files and windows.
    on(FileNew, [files, app] { app ? app->newPanel() : files->newPanel(); });
    on(FileOpen, [files] { files->openFromDialog(); });
    on(FileSave, [frame, files] { files->save(frame->activePanel(), false); });
    on(FileSaveAs, [frame, files] { files->save(frame->activePanel(), true); });
    on(FileClose, [frame] {
        if (QMdiSubWindow *w = frame->mdiArea()->activeSubWindow())
            w->close();
    });
    on(CloseAll, [frame] { frame->closeAll(); });
    on(AppExit, [frame] { frame->close(); });
    on(Guests, [frame] { frame->openGuests(); });
    on(Presences, [frame] { frame->openPresences(); });
    on(RollCall, [frame] { frame->openRollCall(); });

    // The frame's own switches and windows.
    on(ViewToolbar, [frame, checked] { frame->toolBar()->setVisible(checked(ViewToolbar)); });
    on(ViewStatusBar, [frame, checked] { frame->statusBar()->setVisible(checked(ViewStatusBar)); });
    on(Legend, [frame, checked] { frame->legendDock()->setVisible(checked(Legend)); });
    on(FullScreen, [frame, checked] { frame->setFullScreen(checked(FullScreen)); });
    on(NotYetIn, [frame] { frame->showNotYetIn(); });
    on(ExpandLatest, [checked] {
        if (CAppContext *ctx = CAppContext::current())
            ctx->expandLatest = checked(ExpandLatest) ? 1 : 0;
    });
    on(AppAbout, [frame] { frame->showAbout(); });
    on(HelpTopics, [frame] { frame->showHelp(); });

    // The active panel.
    on(ArrangeHorizontally, [frame] { onPanel(frame, &C_ZorvikView::arrangeHorizontally); });
    on(ArrangeVertically, [frame] { onPanel(frame, &C_ZorvikView::arrangeVertically); });
    on(ExpandAll, [frame] { onPanel(frame, &C_ZorvikView::expandAll); });
    on(CollapseAll, [frame] { onPanel(frame, &C_ZorvikView::collapseAll); });
    on(Find, [frame] { onPanel(frame, &C_ZorvikView::find); });
    on(RemoveAll, [frame] { onPanel(frame, &C_ZorvikView::removeAll); });

    // The active list or report; a panel prints as the Last activity report of its employees.
    on(FilePrint, [frame] {
        if (panelView(frame))
            CLastActCommands::printPanel(frame, frame->activePanel());
        else
            onView(frame, &CChildCommands::print);
    });
    on(PrintPreview, [frame] { onView(frame, &CChildCommands::printPreview); });
    on(ExportPdf, [frame] { onView(frame, &CChildCommands::exportPdfAs); });
    on(ExportCsv, [frame] { onView(frame, &CChildCommands::exportCsv); });
    on(ClearTicks, [frame] { onView(frame, &CChildCommands::clearTicks); });
    on(LastActivity, [frame] { CLastActCommands::lastActivity(frame); });

    if (!app)
        return;
    // The application's dialogs.
    on(Employees, [app] { app->editEmployees(); });
    on(Colours, [app] { app->editColours(); });
    on(DatabaseServer, [app] { app->editDatabase(); });
    on(OpenAtStartup, [app] { app->editAutoLoad(); });
    on(NameFormat, [app] { app->editNameFormat(); });
    on(Languages, [app] { app->chooseLanguage(); });
    on(RefreshNow, [app] { app->live()->refreshNow(); });
}
