#pragma once

#include <array>

class QMainWindow;
class QMdiArea;
class QToolBar;

// The active window alone on the whole screen: the main window's menus, toolbar, status bar
// and tabs hidden, and shown again as they were when it ends.
class CFullScreen
{
public:
    CFullScreen(QMainWindow *window, QToolBar *toolBar, QMdiArea *mdi)
        : m_window(window), m_toolBar(toolBar), m_mdi(mdi)
    {
    }

    void enter();
    void leave();

private:
    QMainWindow *m_window;
    QToolBar *m_toolBar;
    QMdiArea *m_mdi;
    bool m_wasMaximized = false;
    std::array<bool, 4> m_shown{};
};
