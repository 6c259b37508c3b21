#pragma once

#include <array>

class QMainWindow;
class QMdiArea;
class QToolBar;
class QWidget;

// The active window alone on the whole screen: the main window's menus, toolbar, status bar
// and tabs hidden, and shown again as they were when it ends; the slim status line stands in
// for the status bar meanwhile.
class CFullScreen
{
public:
    CFullScreen(QMainWindow *window, QToolBar *toolBar, QMdiArea *mdi, QWidget *statusLine)
        : m_window(window), m_toolBar(toolBar), m_mdi(mdi), m_statusLine(statusLine)
    {
    }

    void enter();
    void leave();

private:
    QMainWindow *m_window;
    QToolBar *m_toolBar;
    QMdiArea *m_mdi;
    QWidget *m_statusLine;
    bool m_wasMaximized = false;
    std::array<bool, 4> m_shown{};
};
