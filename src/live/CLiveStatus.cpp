#include "live/CLiveStatus.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "db/CReferenceData.h"

bool CLiveStatus::isCurrent(const CReferenceData &ref)
{
    return !ref.databaseError && !ref.employeesStale;
}

void CLiveStatus::note(bool current)
{
    note(current, CClock::now());
}

void CLiveStatus::note(bool current, const QDateTime &at)
{
    if (current) {
        // Every good read moves "as of"; the news goes out when the minute shown changes too.
        const bool shownChanged = !m_since.isNull() || moment(m_asOf) != moment(at);
        m_since = QDateTime();
        m_asOf = at;
        if (shownChanged)
            emit changed();
        return;
    }
    if (!m_since.isNull())
        return; // still the outage that started then
    m_since = at;
    emit changed();
}

QString CLiveStatus::moment(const QDateTime &at)
{
    if (at.isNull())
        return CStringTable::text(QStringLiteral("rollcall.never"));
    // An outage over midnight must not read as one of minutes.
    return at.date() == CClock::now().date() ? at.toString(QStringLiteral("HH:mm"))
                                             : at.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString CLiveStatus::asOfText() const
{
    return moment(m_asOf);
}

QString CLiveStatus::staleText(const QString &key) const
{
    if (m_since.isNull())
        return QString();
    return CStringTable::text(key).arg(moment(m_since), asOfText());
}
