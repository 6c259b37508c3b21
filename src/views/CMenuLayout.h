#pragma once

#include <QList>

// The order of the commands in the menus of each window kind and on the toolbar.
class CMenuLayout
{
public:
    // The menu of each window kind, by its resource number.
    enum MenuKind
    {
        NoDocumentMenu = 1028,
        PanelMenu = 1029,
        GuestsMenu = 1057,
        PresencesMenu = 1072,
        ReportMenu = 1083,
        RollCallMenu = 1091
    };
    // In a layout: a separator, and the place of the recent-file list.
    static constexpr int kSeparator = 0;
    static constexpr int kRecentFiles = -1;

    // File, View, Reports and Help, each a list of command numbers.
    static QList<QList<int>> menuLayout(MenuKind kind);
    static QList<int> toolbarLayout();
};
