target_sources(zorvik_core PRIVATE CCheckListModel.cpp CCheckListModel.h)
target_sources(zorvik_ui PRIVATE CD_New.cpp CD_New.h)
