#include "views/CFullScreen.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>

void CFullScreen::enter()
{
    QTabBar *tabs = m_mdi->findChild<QTabBar *>();
    m_wasMaximized = m_window->isMaximized();
    m_shown = {!m_window->menuBar()->isHidden(), !m_toolBar->isHidden(), !m_window->statusBar()->isHidden(),
               tabs && !tabs->isHidden()};
    m_window->menuBar()->hide();
    m_toolBar->hide();
    m_window->statusBar()->hide();
    if (tabs)
        tabs->hide();
    m_window->showFullScreen();
}

void CFullScreen::leave()
{
    QTabBar *tabs = m_mdi->findChild<QTabBar *>();
    m_window->menuBar()->setVisible(m_shown[0]);
    m_toolBar->setVisible(m_shown[1]);
    m_window->statusBar()->setVisible(m_shown[2]);
    if (tabs)
        tabs->setVisible(m_shown[3]);
    if (m_wasMaximized)
        m_window->showMaximized();
    else
        m_window->showNormal();
}
