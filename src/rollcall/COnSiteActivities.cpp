#include "rollcall/COnSiteActivities.h"

#include "app/CSettings.h"

#include <QStringList>
#include <algorithm>

namespace {
const QString kSection = QStringLiteral("RollCall");
const QString kName = QStringLiteral("Activities");
} // namespace

QSet<QString> COnSiteActivities::read(const CSettings &settings)
{
    QSet<QString> out;
    for (const QString &id : settings.readText(kSection, kName).split(u',', Qt::SkipEmptyParts))
        if (!id.trimmed().isEmpty())
            out.insert(id.trimmed());
    return out;
}

void COnSiteActivities::write(CSettings &settings, const QSet<QString> &ids)
{
    QStringList list(ids.begin(), ids.end());
    std::sort(list.begin(), list.end());
    settings.writeText(kSection, kName, list.join(u','));
    settings.sync();
}
