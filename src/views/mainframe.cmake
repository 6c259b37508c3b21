target_sources(zorvik_ui PRIVATE
    CommandIds.h
    CIconSet.cpp CIconSet.h
    CSvgIconEngine.cpp CSvgIconEngine.h
    CSplashWindow.cpp CSplashWindow.h
    CChildFrameBase.cpp CChildFrameBase.h
    C_ChildFrame.cpp C_ChildFrame.h
    C_ChildFrameGuests.cpp C_ChildFrameGuests.h
    C_ChildFramePresences.cpp C_ChildFramePresences.h
    C_MainFrame.cpp C_MainFrame.h
    CPanelFileActions.cpp CPanelFileActions.h
    CWindowFactory.cpp CWindowFactory.h
    CStatusPanes.cpp CStatusPanes.h
    CLegendDock.cpp CLegendDock.h
    CMenuLayout.cpp CMenuLayout.h
    CMainPlacement.cpp CMainPlacement.h
    CFullScreen.cpp CFullScreen.h
    CTrayIcon.cpp CTrayIcon.h
    CSearchField.cpp CSearchField.h
    CLegendModel.cpp CLegendModel.h
    CPeopleWindow.cpp CPeopleWindow.h
)
