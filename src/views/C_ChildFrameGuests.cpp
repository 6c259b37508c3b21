#include "views/C_ChildFrameGuests.h"

C_ChildFrameGuests::C_ChildFrameGuests(CDocument *doc, QWidget *parent)
    : CChildFrameBase(doc, CDocTemplate::Guests, parent)
{
    setObjectName(QStringLiteral("childFrameGuests"));
}
