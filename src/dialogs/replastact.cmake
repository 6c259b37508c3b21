target_sources(zorvik_ui PRIVATE CCheckListCombo.cpp CCheckListCombo.h CD_RepLastAct.cpp CD_RepLastAct.h)
