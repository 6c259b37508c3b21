#include "reports/CLastActOptions.h"

#include "app/CSettings.h"

namespace {
const QString kSection = QStringLiteral("Report");
}

CLastActOptions CLastActOptions::load(const CSettings &s)
{
    CLastActOptions o;
    o.sort = s.readInt(kSection, QStringLiteral("Sort"));
    o.unvisible = s.readInt(kSection, QStringLiteral("Unvisible"));
    o.lastActAll = s.readInt(kSection, QStringLiteral("LastActAll"));
    o.groupAll = s.readInt(kSection, QStringLiteral("GroupAll"));
    o.selAct = s.readInt(kSection, QStringLiteral("SelAct"));
    o.selGroup = s.readInt(kSection, QStringLiteral("SelGroup"));
    o.depAll = s.readInt(kSection, QStringLiteral("DepAll"));
    o.actOrGroup = s.readInt(kSection, QStringLiteral("ActOrGroup"));
    o.calendar = s.readInt(kSection, QStringLiteral("Calendar"));
    o.invertAct = s.readInt(kSection, QStringLiteral("InvertAct"));
    o.invertGroup = s.readInt(kSection, QStringLiteral("InvertGroup"));
    const int n = s.readInt(kSection, QStringLiteral("SelDep"));
    for (int i = 0; i < n; ++i)
        o.selDeps << s.readInt(kSection, QStringLiteral("SelDep%1").arg(i));
    return o;
}

void CLastActOptions::save(CSettings &s, const CLastActOptions &o)
{
    s.writeInt(kSection, QStringLiteral("Sort"), o.sort);
    s.writeInt(kSection, QStringLiteral("Unvisible"), o.unvisible);
    s.writeInt(kSection, QStringLiteral("LastActAll"), o.lastActAll);
    s.writeInt(kSection, QStringLiteral("GroupAll"), o.groupAll);
    s.writeInt(kSection, QStringLiteral("SelAct"), o.selAct);
    s.writeInt(kSection, QStringLiteral("SelGroup"), o.selGroup);
    s.writeInt(kSection, QStringLiteral("DepAll"), o.depAll);
    s.writeInt(kSection, QStringLiteral("ActOrGroup"), o.actOrGroup);
    s.writeInt(kSection, QStringLiteral("Calendar"), o.calendar);
    s.writeInt(kSection, QStringLiteral("InvertAct"), o.invertAct);
    s.writeInt(kSection, QStringLiteral("InvertGroup"), o.invertGroup);
    s.writeInt(kSection, QStringLiteral("SelDep"), int(o.selDeps.size()));
    for (int i = 0; i < o.selDeps.size(); ++i)
        s.writeInt(kSection, QStringLiteral("SelDep%1").arg(i), o.selDeps.at(i));
    s.sync();
}

CLastActRequest CLastActOptions::toRequest(const CDateTime &moment) const
{
    const CLastActOptions &o = *this;
    CLastActRequest r;
    r.byGroup = o.actOrGroup == 1;
    r.activity = o.lastActAll == 1 ? o.selAct : -1;
    r.group = o.groupAll == 1 ? o.selGroup : -1;
    if (o.depAll == 1)
        r.departments = o.selDeps;
    r.moment = moment;
    r.sort = o.sort;
    r.showInvisible = o.unvisible != 0;
    r.showDayType = o.calendar != 0;
    r.invertActivity = o.invertAct != 0;
    r.invertGroup = o.invertGroup != 0;
    return r;
}
