#pragma once

#include <QList>
#include <QString>

// What the new-panel dialog hands to a panel: the employee list with its check marks, the
// background image settings and the arrangement.
struct NewPanelRow
{
    QString lastName;
    QString firstName;
    QString mediaNumber;
    QString employeeId;
    bool checked = false;
};

struct NewPanelData
{
    QList<NewPanelRow> rows;
    bool useImage = false;
    QString imagePath;
    bool tile = false;
    int arrangement = 0; // 0 horizontal, 1 vertical
};
