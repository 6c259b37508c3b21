#pragma once

#include <QLabel>

// "Set by your administrator", beside a value the system settings lock: shown greyed like the
// controls it explains.
class CLockedNote : public QLabel
{
    Q_OBJECT
public:
    CLockedNote(const QString &objectName, QWidget *parent);
};
