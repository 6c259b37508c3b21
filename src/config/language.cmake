target_sources(zorvik_core PRIVATE CRLang.cpp CRLang.h ZvLanguageExports.h)
target_link_libraries(zorvik_core PUBLIC ${CMAKE_DL_LIBS})
