# Sharing the roll call with the wardens' phones: the HTTP server, its logic and QR codes.
target_sources(zorvik_share PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CHttpListener.cpp ${CMAKE_CURRENT_LIST_DIR}/CHttpListener.h
    ${CMAKE_CURRENT_LIST_DIR}/CRollCallServer.cpp ${CMAKE_CURRENT_LIST_DIR}/CRollCallServer.h
    ${CMAKE_CURRENT_LIST_DIR}/CQrCode.cpp ${CMAKE_CURRENT_LIST_DIR}/CQrCode.h
)
