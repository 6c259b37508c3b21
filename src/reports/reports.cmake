# Template reading, the report objects and the generator: no widgets, so they draw onto any
# painter (screen, image, printer, PDF).
set(_r ${CMAKE_CURRENT_LIST_DIR})
target_sources(zorvik_core PRIVATE
    ${_r}/CLineStyle.h ${_r}/CReportColumn.h
    ${_r}/CReportDevice.cpp ${_r}/CReportDevice.h
    ${_r}/CReportItem.cpp ${_r}/CReportItem.h
    ${_r}/CReportBox.cpp ${_r}/CReportBox.h
    ${_r}/CReportEllipse.cpp ${_r}/CReportEllipse.h
    ${_r}/CReportLine.cpp ${_r}/CReportLine.h
    ${_r}/CReportLabel.cpp ${_r}/CReportLabel.h
    ${_r}/CReportField.cpp ${_r}/CReportField.h
    ${_r}/CReportGrid.cpp ${_r}/CReportGrid.h
    ${_r}/CReportPicture.cpp ${_r}/CReportPicture.h
    ${_r}/CReportReader.cpp ${_r}/CReportReader.h
    ${_r}/CPageTemplate.cpp ${_r}/CPageTemplate.h
    ${_r}/CLineReader.cpp ${_r}/CLineReader.h
    ${_r}/CReportEngine.cpp ${_r}/CReportEngine.h
)
# The statements and rows of the Last activity report.
target_sources(zorvik_core PRIVATE ${_r}/CLastActQuery.cpp ${_r}/CLastActQuery.h ${_r}/CLastActOptions.cpp ${_r}/CLastActOptions.h)
target_sources(zorvik_core PRIVATE ${_r}/CRollCallReport.cpp ${_r}/CRollCallReport.h
    ${_r}/CRollCallEventReport.cpp ${_r}/CRollCallEventReport.h)
