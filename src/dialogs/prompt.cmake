target_sources(zorvik_ui PRIVATE CPrompt.cpp CPrompt.h)
