#include "dialogs/CLockedNote.h"

#include "app/CStringTable.h"

CLockedNote::CLockedNote(const QString &objectName, QWidget *parent)
    : QLabel(CStringTable::text(QStringLiteral("settings.locked")), parent)
{
    setObjectName(objectName);
    setEnabled(false);
}
