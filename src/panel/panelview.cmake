# Drawing and decoding (no widgets) in the core; the windows in the user-interface library.
target_sources(zorvik_core PRIVATE
    CPhotoDecoder.cpp CPhotoDecoder.h
    CTabletPhoto.cpp CTabletPhoto.h
    CPhotoLoader.cpp CPhotoLoader.h
    CTabletPainter.cpp CTabletPainter.h
    CPanelBackground.cpp CPanelBackground.h
    CPanelGeometry.h
)
target_sources(zorvik_ui PRIVATE
    C_PanelWnd.cpp C_PanelWnd.h
    C_PanelCanvas.cpp C_PanelCanvas.h
    C_ZorvikView.cpp C_ZorvikView.h
)
