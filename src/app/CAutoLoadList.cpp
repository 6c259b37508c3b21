#include "app/CAutoLoadList.h"

#include "app/CAppContext.h"
#include "app/CSettings.h"

#include <QMap>

namespace {
const QString kAutoLoad = QStringLiteral("AutoLoad");
const QString kSettings = QStringLiteral("Settings");
} // namespace

void CAutoLoadList::load(const CSettings &settings)
{
    m_paths.clear();
    const int count = settings.readInt(kAutoLoad, QStringLiteral("Count"));
    // Only the entries that exist are read, whatever the count claims (a store edited by hand
    // may say two thousand million), and no more than a person would open at start-up.
    QMap<int, QString> byNumber;
    const QString stem = QStringLiteral("File");
    for (const QString &name : settings.names(kAutoLoad)) {
        if (!name.startsWith(stem, Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int n = name.mid(stem.size()).toInt(&ok);
        if (ok && n >= 0 && n < count && name.mid(stem.size()) == QString::number(n))
            byNumber.insert(n, name);
    }
    for (const QString &name : std::as_const(byNumber)) {
        if (m_paths.size() >= kMaxEntries)
            break;
        const QString path = settings.readText(kAutoLoad, name);
        if (!path.isEmpty())
            m_paths << path;
    }
}

void CAutoLoadList::save(CSettings &settings, CAppContext &context, int showPresences, int showGuests) const
{
    settings.writeInt(kSettings, QStringLiteral("AutoShowPresences"), showPresences);
    settings.writeInt(kSettings, QStringLiteral("AutoShowGuests"), showGuests);
    settings.writeInt(kSettings, QStringLiteral("AutoShowMandatory"), context.autoShowMandatory);
    context.autoShowGuests = showGuests;
    context.autoShowPresences = showPresences;
    settings.writeInt(kAutoLoad, QStringLiteral("Count"), count());
    for (int i = 0; i < count(); ++i)
        settings.writeText(kAutoLoad, QStringLiteral("File%1").arg(i), m_paths.at(i));
    settings.sync();
}

bool CAutoLoadList::contains(const QString &path) const
{
    return m_paths.contains(path, Qt::CaseInsensitive);
}

int CAutoLoadList::add(const QStringList &paths)
{
    int added = 0;
    for (const QString &p : paths) {
        if (p.isEmpty() || contains(p))
            continue;
        m_paths << p;
        ++added;
    }
    return added;
}

void CAutoLoadList::remove(int row)
{
    if (row >= 0 && row < count())
        m_paths.removeAt(row);
}

int CAutoLoadList::moveUp(int row)
{
    if (row <= 0 || row >= count())
        return row;
    m_paths.swapItemsAt(row, row - 1);
    return row - 1;
}

int CAutoLoadList::moveDown(int row)
{
    if (row < 0 || row >= count() - 1)
        return row;
    m_paths.swapItemsAt(row, row + 1);
    return row + 1;
}
