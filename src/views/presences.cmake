target_sources(zorvik_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CPresencesModel.cpp ${CMAKE_CURRENT_LIST_DIR}/CPresencesModel.h
    ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikDocPresences.cpp ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikDocPresences.h
)
target_sources(zorvik_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CD_PresenceBar.cpp ${CMAKE_CURRENT_LIST_DIR}/CD_PresenceBar.h
    ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikViewPresences.cpp ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikViewPresences.h
)
