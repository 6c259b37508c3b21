target_sources(zorvik_core PRIVATE CTagDocument.cpp CTagDocument.h)
