target_sources(zorvik_core PRIVATE
    CClock.cpp CClock.h
    CSettings.cpp CSettings.h
    CStringTable.cpp CStringTable.h
)
