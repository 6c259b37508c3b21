target_sources(zorvik_ui PRIVATE CHelpWindow.cpp CHelpWindow.h)
