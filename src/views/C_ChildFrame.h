#pragma once

#include "views/CChildFrameBase.h"

class CSettings;
class C_ZorvikDoc;

// The frame of one panel. Its placement is kept in section "Placement" under the panel's
// title: written when the frame closes, read back when a panel of that title opens.
class C_ChildFrame : public CChildFrameBase
{
    Q_OBJECT
public:
    explicit C_ChildFrame(C_ZorvikDoc *doc, QWidget *parent = nullptr);

    C_ZorvikDoc *panel() const;
    // Applies the stored placement of the panel's title; false when none is stored.
    bool restorePlacement(CSettings *settings);
    void storePlacement(CSettings *settings);

protected:
    void frameClosing() override;
};
