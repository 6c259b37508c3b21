#include "views/C_ChildFrame.h"

#include "app/CAppContext.h"
#include "app/CSettings.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"

namespace {
const QString kSection = QStringLiteral("Placement");
}

C_ChildFrame::C_ChildFrame(C_ZorvikDoc *doc, QWidget *parent) : CChildFrameBase(doc, CDocTemplate::Panels, parent)
{
    setObjectName(QStringLiteral("childFrame"));
}

C_ZorvikDoc *C_ChildFrame::panel() const
{
    return qobject_cast<C_ZorvikDoc *>(document());
}

bool C_ChildFrame::restorePlacement(CSettings *settings)
{
    if (!settings || !panel() || panel()->title().isEmpty())
        return false;
    const QByteArray placement = settings->readBytes(kSection, panel()->title());
    return !placement.isEmpty() && restoreGeometry(placement);
}

void C_ChildFrame::storePlacement(CSettings *settings)
{
    if (settings && panel() && !panel()->title().isEmpty())
        settings->writeBytes(kSection, panel()->title(), saveGeometry());
}

void C_ChildFrame::frameClosing()
{
    if (CAppContext *ctx = CAppContext::current())
        storePlacement(ctx->settings());
}
