target_sources(zorvik_ui PRIVATE CD_ShareRollCall.cpp CD_ShareRollCall.h)
