#pragma once

#include "reports/CReportItem.h"

#include <memory>
#include <vector>

// One container of a report: the objects of one template in file order, the kind of page it
// makes and the range of pages it covers (-1 when it is not printed).
class CPageTemplate
{
public:
    enum Kind
    {
        Body = 0,
        FirstPage = 1,
        LastPage = 2
    };

    explicit CPageTemplate(int kind = Body) : type(kind) {}

    // The first object in file order with exactly this name.
    CReportItem *find(const QString &name) const;

    std::vector<std::unique_ptr<CReportItem>> objects;
    int type;
    int firstPage = -1;
    int lastPage = -1;
};
