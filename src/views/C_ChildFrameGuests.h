#pragma once

#include "views/CChildFrameBase.h"

// The frame of the guests window (at most one per run).
class C_ChildFrameGuests : public CChildFrameBase
{
    Q_OBJECT
public:
    explicit C_ChildFrameGuests(CDocument *doc, QWidget *parent = nullptr);
};
