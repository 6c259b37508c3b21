target_sources(zorvik_core PRIVATE
    CDateTime.cpp CDateTime.h
    CDbCommand.cpp CDbCommand.h
    CDbConnection.cpp CDbConnection.h
    CDbCursor.cpp CDbCursor.h
    CDbTable.cpp CDbTable.h
    CDbWorker.cpp CDbWorker.h
    CDbError.cpp CDbError.h
    CSqlDialect.cpp CSqlDialect.h
    DbLog.cpp DbLog.h
    ReferenceMaps.h
)
