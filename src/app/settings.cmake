target_sources(zorvik_core PRIVATE
    CClock.cpp CClock.h
    CSettings.cpp CSettings.h
    CStringTable.cpp CStringTable.h
    CAppContext.cpp CAppContext.h
    CVersion.cpp CVersion.h
    CAutoLoadList.cpp CAutoLoadList.h
    CRecentFiles.cpp CRecentFiles.h
    CChildCommands.h
    CCommandLine.cpp CCommandLine.h
    CTextMatch.cpp CTextMatch.h
    CListFilterModel.cpp CListFilterModel.h
    CDataFiles.cpp CDataFiles.h
)
target_sources(zorvik_core PRIVATE
    CDocTemplate.cpp CDocTemplate.h
    CDocument.cpp CDocument.h
)
target_sources(zorvik_core PRIVATE CFileWriter.cpp CFileWriter.h)
target_sources(zorvik_core PRIVATE CCsvWriter.cpp CCsvWriter.h)
