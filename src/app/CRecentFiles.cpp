#include "app/CRecentFiles.h"

#include "app/CSettings.h"

#include <QFileInfo>

namespace {
const QString kSection = QStringLiteral("Recent File List");

QString key(int i)
{
    return QStringLiteral("File%1").arg(i);
}
} // namespace

QStringList CRecentFiles::paths() const
{
    QStringList out;
    if (!m_settings)
        return out;
    for (int i = 1; i <= kCount; ++i) {
        const QString p = m_settings->readText(kSection, key(i), QString());
        if (!p.isEmpty())
            out << p;
    }
    return out;
}

void CRecentFiles::add(const QString &path)
{
    if (!m_settings || path.isEmpty())
        return;
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList list = paths();
    list.removeIf([&](const QString &p) { return samePath(p, full); });
    list.prepend(full);
    while (list.size() > kCount)
        list.removeLast();
    write(list);
}

void CRecentFiles::remove(const QString &path)
{
    if (!m_settings)
        return;
    QStringList list = paths();
    list.removeIf([&](const QString &p) { return samePath(p, path); });
    write(list);
}

bool CRecentFiles::samePath(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    const QString ca = fa.canonicalFilePath(), cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

void CRecentFiles::write(const QStringList &list)
{
    for (int i = 1; i <= kCount; ++i) {
        if (i <= list.size())
            m_settings->writeText(kSection, key(i), list[i - 1]);
        else
            m_settings->remove(kSection, key(i));
    }
}
