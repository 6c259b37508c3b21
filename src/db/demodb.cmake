target_sources(zorvik_core PRIVATE
    CDemoDatabase.cpp CDemoDatabase.h
    CClockingSimulator.cpp CClockingSimulator.h
)
