#include "views/C_ZorvikDocGuests.h"

#include "app/CAppContext.h"
#include "app/CStringTable.h"
#include "db/CReferenceData.h"
#include "views/CGuestsModel.h"

#include <QMutexLocker>

C_ZorvikDocGuests::C_ZorvikDocGuests(QObject *parent) : CDocument(parent), m_model(new CGuestsModel(this))
{
    setTitle(S(1071));
}

C_ZorvikDocGuests::~C_ZorvikDocGuests() = default;

CReferenceData *C_ZorvikDocGuests::reference()
{
    CAppContext *ctx = CAppContext::current();
    return ctx ? ctx->reference() : nullptr;
}

void C_ZorvikDocGuests::initialUpdate()
{
    CReferenceData *ref = reference();
    if (!ref)
        return;
    QMutexLocker lock(&ref->dbMutex);
    updateFromCursor();
}

void C_ZorvikDocGuests::updateFromCursor()
{
    CReferenceData *ref = reference();
    if (!ref)
        return;
    m_model->merge(CGuestsModel::readCursor(ref->cursor(CReferenceData::GuestCursor)));
}

void C_ZorvikDocGuests::onUpdatePass(const CCycleChanges &changes)
{
    if (!changes.everything && !changes.guests)
        return;
    updateFromCursor();
    updateAllViews();
}
