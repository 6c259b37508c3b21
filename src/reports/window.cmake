# The report window: document (no widgets), view and frame.
target_sources(zorvik_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/C_ReportDoc.cpp ${CMAKE_CURRENT_LIST_DIR}/C_ReportDoc.h)
target_sources(zorvik_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/C_ReportView.cpp ${CMAKE_CURRENT_LIST_DIR}/C_ReportView.h
    ${CMAKE_CURRENT_LIST_DIR}/C_ReportFrame.cpp ${CMAKE_CURRENT_LIST_DIR}/C_ReportFrame.h
)
# Reports > Last activity and a panel's Print.
target_sources(zorvik_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CLastActCommands.cpp ${CMAKE_CURRENT_LIST_DIR}/CLastActCommands.h)
