#include "views/CWindowFactory.h"

#include "app/CAppContext.h"
#include "live/CLiveUpdate.h"
#include "panel/C_ZorvikView.h"
#include "reports/C_ReportView.h"
#include "rollcall/C_ZorvikDocRollCall.h"
#include "rollcall/C_ZorvikViewRollCall.h"
#include "views/C_ChildFrameGuests.h"
#include "views/C_ChildFramePresences.h"
#include "views/C_ZorvikViewGuests.h"
#include "views/C_ZorvikViewPresences.h"

#include <QDir>
#include <QStandardPaths>

CDocument *CWindowFactory::makeDocument(CDocTemplate::Kind kind) const
{
    switch (kind) {
    case CDocTemplate::Guests:
        return new C_ZorvikDocGuests;
    case CDocTemplate::Presences:
        return new C_ZorvikDocPresences;
    case CDocTemplate::RollCall: {
        CAppContext *ctx = CAppContext::current();
        auto *doc = new C_ZorvikDocRollCall(ctx ? ctx->reference() : nullptr, ctx ? ctx->settings() : nullptr,
                                            ctx ? ctx->writableFolder() : QString());
        if (m_onSite)
            doc->setSource(m_onSite);
        // Records where the user looks for documents, not in the program's data folder.
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!documents.isEmpty() && QDir().mkpath(documents + QStringLiteral("/Zorvik")))
            doc->setRecordFolder(documents + QStringLiteral("/Zorvik/"));
        if (ctx && ctx->live())
            doc->setStatus(ctx->live()->status());
        return doc;
    }
    default:
        return new CDocument;
    }
}

CChildFrameBase *CWindowFactory::makeFrame(CDocTemplate::Kind kind, CDocument *doc)
{
    switch (kind) {
    case CDocTemplate::Guests:
        return new C_ChildFrameGuests(doc);
    case CDocTemplate::Presences:
        return new C_ChildFramePresences(doc);
    default:
        return new CChildFrameBase(doc, kind);
    }
}

QWidget *CWindowFactory::makeView(CDocTemplate::Kind kind, CDocument *doc, QWidget *parent)
{
    switch (kind) {
    case CDocTemplate::Panels:
        return new C_ZorvikView(qobject_cast<C_ZorvikDoc *>(doc), parent);
    case CDocTemplate::Guests:
        return new C_ZorvikViewGuests(qobject_cast<C_ZorvikDocGuests *>(doc), parent);
    case CDocTemplate::Presences:
        return new C_ZorvikViewPresences(qobject_cast<C_ZorvikDocPresences *>(doc), parent);
    case CDocTemplate::RollCall:
        return new C_ZorvikViewRollCall(qobject_cast<C_ZorvikDocRollCall *>(doc), parent);
    case CDocTemplate::Reports:
        break;
    }
    return new C_ReportView(parent);
}
