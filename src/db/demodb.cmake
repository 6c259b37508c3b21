target_sources(zorvik_core PRIVATE
    CDemoDatabase.cpp CDemoDatabase.h
    CDemoSamples.cpp CDemoSamples.h
    CClockingSimulator.cpp CClockingSimulator.h
)
