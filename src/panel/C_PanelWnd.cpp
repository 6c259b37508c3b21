#include "panel/C_PanelWnd.h"

qsizetype C_PanelWnd::pictureCacheBytes() const
{
    if (!m_cache || m_cache->picture.isNull())
        return 0;
    const QPixmap &p = m_cache->picture;
    return qsizetype(p.width()) * p.height() * p.depth() / 8;
}

C_PanelWnd::Cache &C_PanelWnd::cache()
{
    if (!m_cache)
        m_cache = std::make_unique<Cache>();
    return *m_cache;
}

void C_PanelWnd::dropCaches()
{
    m_cache.reset();
    if (m_photoFetched) {
        // Read again from the database when the tablet is shown expanded again.
        m_tablet->setPhotograph(QByteArray());
        m_photoFetched = false;
    }
}
