#include "views/CFullScreen.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

void CFullScreen::enter()
{
    m_wasMaximized = m_window->isMaximized();
    m_shown = {!m_window->menuBar()->isHidden(), !m_toolBar->isHidden(), !m_window->statusBar()->isHidden(),
               m_mdi->viewMode() == QMdiArea::TabbedView};
    m_window->menuBar()->hide();
    m_toolBar->hide();
    m_window->statusBar()->hide();
    // Without its tabs: a hidden tab bar would still keep its strip of the area. The windows stay
    // maximized, without title bars, the active one in front.
    if (m_shown[3]) {
        QMdiSubWindow *active = m_mdi->activeSubWindow();
        m_window->setAttribute(Qt::WA_CanHostQMdiSubWindowTitleBar);
        m_mdi->setViewMode(QMdiArea::SubWindowView);
        for (QMdiSubWindow *w : m_mdi->subWindowList())
            w->showMaximized();
        if (active)
            m_mdi->setActiveSubWindow(active);
    }
    m_statusLine->show();
    m_window->showFullScreen();
}

void CFullScreen::leave()
{
    m_window->menuBar()->setVisible(m_shown[0]);
    m_toolBar->setVisible(m_shown[1]);
    m_window->statusBar()->setVisible(m_shown[2]);
    if (m_shown[3]) {
        QMdiSubWindow *active = m_mdi->activeSubWindow();
        m_mdi->setViewMode(QMdiArea::TabbedView);
        m_window->setAttribute(Qt::WA_CanHostQMdiSubWindowTitleBar, false);
        if (active)
            m_mdi->setActiveSubWindow(active);
    }
    m_statusLine->hide();
    if (m_wasMaximized)
        m_window->showMaximized();
    else
        m_window->showNormal();
}
