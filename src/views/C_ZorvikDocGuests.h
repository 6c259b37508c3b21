#pragma once

#include "app/CDocument.h"

class CGuestsModel;
class CReferenceData;

// The guests window's document: never modified and never saved. It owns the rows of the grid
// and follows the shared GuestCursor, which the polling thread reopens every cycle.
class C_ZorvikDocGuests : public CDocument
{
    Q_OBJECT
public:
    explicit C_ZorvikDocGuests(QObject *parent = nullptr);
    ~C_ZorvikDocGuests() override;

    CGuestsModel *model() const { return m_model; }

    // The first fill when the window opens; takes DBMutex around its reading of the cursor.
    void initialUpdate();
    // Follows the GuestCursor; the caller holds DBMutex (the update pass does).
    void updateFromCursor();
    void onUpdatePass(const CCycleChanges &changes) override;
    using CDocument::onUpdatePass;

private:
    static CReferenceData *reference();

    CGuestsModel *m_model;
};
