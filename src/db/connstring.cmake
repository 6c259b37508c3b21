target_sources(zorvik_core PRIVATE
    CConnectionString.cpp CConnectionString.h
    COdbcCatalog.cpp COdbcCatalog.h
)
