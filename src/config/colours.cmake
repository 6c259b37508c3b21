target_sources(zorvik_core PRIVATE
    CColourFile.cpp CColourFile.h
    CColoursModel.cpp CColoursModel.h
    C_ColorCell.cpp C_ColorCell.h
    COnSiteActivities.cpp COnSiteActivities.h
)
target_sources(zorvik_ui PRIVATE
    CColourCellDelegate.cpp CColourCellDelegate.h
    CD_Colors.cpp CD_Colors.h
)
