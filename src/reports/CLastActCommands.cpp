#include "reports/CLastActCommands.h"

#include "app/CClock.h"
#include "dialogs/CD_RepLastAct.h"
#include "panel/C_ZorvikDoc.h"
#include "reports/C_ReportFrame.h"
#include "reports/C_ReportView.h"
#include "views/C_MainFrame.h"

namespace {

C_ReportView *openAndBuild(C_MainFrame *frame, const CLastActRequest &request)
{
    C_ReportFrame *report = frame->openReport();
    C_ReportView *view = report ? report->reportView() : nullptr;
    if (view)
        view->build(request);
    return view;
}

} // namespace

C_ReportView *CLastActCommands::lastActivity(C_MainFrame *frame)
{
    CD_RepLastAct dialog(frame);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return openAndBuild(frame, dialog.request());
}

C_ReportView *CLastActCommands::printPanel(C_MainFrame *frame, C_ZorvikDoc *panel)
{
    if (!panel || panel->tabletCount() == 0)
        return nullptr;
    CLastActRequest r;
    r.byGroup = true;
    r.moment = CDateTime::fromLocal(CClock::now(), false);
    r.showInvisible = true;
    // The panel's key order.
    for (CTablet *t : panel->tablets())
        r.employeeKeys << t->employeeId;
    return openAndBuild(frame, r);
}
