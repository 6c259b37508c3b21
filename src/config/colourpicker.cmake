target_sources(zorvik_core PRIVATE
    CColourPalette.cpp CColourPalette.h
    CColourPopupLayout.cpp CColourPopupLayout.h
)
target_sources(zorvik_ui PRIVATE
    CColourButton.cpp CColourButton.h
    CColourPalettePopup.cpp CColourPalettePopup.h
)
