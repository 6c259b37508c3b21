#pragma once

#include <QStringList>

// What unixODBC has installed: the driver names of odbcinst.ini and the data source names of
// the system and user odbc.ini files, as its driver manager lists them.
class COdbcCatalog
{
public:
    static QStringList drivers();
    static QStringList dataSources();
    // The driver a data source of odbc.ini uses; empty for an unknown data source.
    static QString dataSourceDriver(const QString &dataSource);
    // The first installed driver whose name mentions FreeTDS, else "FreeTDS".
    static QString freeTdsDriver();
    static bool isFreeTds(const QString &driver);
};
