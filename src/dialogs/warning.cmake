target_sources(zorvik_core PRIVATE CInvalidActLog.cpp CInvalidActLog.h)
target_sources(zorvik_ui PRIVATE
    CD_AckInvalidAct.cpp CD_AckInvalidAct.h
    CWarningCenter.cpp CWarningCenter.h
)
