target_sources(zorvik_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CRollCallModel.cpp ${CMAKE_CURRENT_LIST_DIR}/CRollCallModel.h
    ${CMAKE_CURRENT_LIST_DIR}/COnSiteList.cpp ${CMAKE_CURRENT_LIST_DIR}/COnSiteList.h
    ${CMAKE_CURRENT_LIST_DIR}/CRollCallTicks.cpp ${CMAKE_CURRENT_LIST_DIR}/CRollCallTicks.h
    ${CMAKE_CURRENT_LIST_DIR}/CRollCallDrill.cpp ${CMAKE_CURRENT_LIST_DIR}/CRollCallDrill.h
    ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikDocRollCall.cpp ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikDocRollCall.h
)
target_sources(zorvik_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikViewRollCall.cpp ${CMAKE_CURRENT_LIST_DIR}/C_ZorvikViewRollCall.h
    ${CMAKE_CURRENT_LIST_DIR}/CCsvExport.cpp ${CMAKE_CURRENT_LIST_DIR}/CCsvExport.h
)
