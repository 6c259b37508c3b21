#pragma once

#include <QString>

class QAbstractItemModel;
class QWidget;

// "Export CSV...": asks for a file name, writes what the grid shows and tells the user when the
// file cannot be written.
class CCsvExport
{
public:
    // True when a file was written.
    static bool run(QWidget *parent, const QAbstractItemModel *model, const QString &suggestedName);
};
