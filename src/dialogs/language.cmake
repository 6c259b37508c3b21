target_sources(zorvik_ui PRIVATE
    CD_LangLib.cpp CD_LangLib.h
    CD_Language.cpp CD_Language.h
)
