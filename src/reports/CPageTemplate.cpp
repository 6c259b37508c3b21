#include "reports/CPageTemplate.h"

CReportItem *CPageTemplate::find(const QString &name) const
{
    for (const auto &o : objects) {
        if (o->name == name)
            return o.get();
    }
    return nullptr;
}
