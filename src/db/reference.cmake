target_sources(zorvik_core PRIVATE
    CReferenceData.cpp CReferenceData.h
    CDbMutex.h
)
