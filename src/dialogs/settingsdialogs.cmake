target_sources(zorvik_ui PRIVATE
    CAboutDlg.cpp CAboutDlg.h
    CConnectionBuilder.cpp CConnectionBuilder.h
    CD_AutoLoad.cpp CD_AutoLoad.h
    CD_Database.cpp CD_Database.h
    CD_NameFormat.cpp CD_NameFormat.h
)
