target_sources(zorvik_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CGuestsModel.cpp ${CMAKE_CURRENT_LIST_DIR}/CGuestsModel.h
    ${CMAKE_CURRENT_LIST_DIR}/CListGridModel.cpp ${CMAKE_CURRENT_LIST_DIR}/CListGridModel.h
    ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikDocGuests.cpp ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikDocGuests.h
)
target_sources(zorvik_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CListGrid.cpp ${CMAKE_CURRENT_LIST_DIR}/CListGrid.h
    ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikViewGuests.cpp ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikViewGuests.h
)
