target_sources(zorvik_ui PRIVATE CD_FindName.cpp CD_FindName.h)
