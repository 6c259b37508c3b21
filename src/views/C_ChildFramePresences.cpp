#include "views/C_ChildFramePresences.h"

C_ChildFramePresences::C_ChildFramePresences(CDocument *doc, QWidget *parent)
    : CChildFrameBase(doc, CDocTemplate::Presences, parent)
{
    setObjectName(QStringLiteral("childFramePresences"));
}
