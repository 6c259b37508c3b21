target_sources(zorvik_core PRIVATE CTagDocument.cpp CTagDocument.h)
target_sources(zorvik_core PRIVATE CFileText.cpp CFileText.h)
