target_sources(zorvik_core PRIVATE CPanelFile.cpp CPanelFile.h)
