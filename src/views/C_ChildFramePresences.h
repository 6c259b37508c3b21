#pragma once

#include "views/CChildFrameBase.h"

// The frame of the presences window (at most one per run).
class C_ChildFramePresences : public CChildFrameBase
{
    Q_OBJECT
public:
    explicit C_ChildFramePresences(CDocument *doc, QWidget *parent = nullptr);
};
