#pragma once

class C_MainFrame;
class C_ZorvikApp;

// What every command of the menus, toolbar and accelerators does, in one table: the main
// frame's windows and switches, the panel files, the commands of the active view, the reports
// and, with an application, its dialogs. A command without an entry does nothing.
class CCommandTable
{
public:
    // app may be null (a frame on its own): the dialogs then stay unwired and New makes an
    // empty panel.
    static void install(C_MainFrame *frame, C_ZorvikApp *app);
};
