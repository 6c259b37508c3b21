target_sources(zorvik_core PRIVATE
    CDbThread.cpp CDbThread.h
    CLiveUpdate.cpp CLiveUpdate.h
)
