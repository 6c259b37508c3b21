target_sources(zorvik_ui PRIVATE
    C_ZorvikApp.cpp C_ZorvikApp.h
    CBatchRun.cpp CBatchRun.h
    CCommandTable.cpp CCommandTable.h
)
