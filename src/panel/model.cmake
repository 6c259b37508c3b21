target_sources(zorvik_core PRIVATE
    CTablet.cpp CTablet.h
    C_ZorvikDoc.cpp C_ZorvikDoc.h
    NewPanelData.h
)
