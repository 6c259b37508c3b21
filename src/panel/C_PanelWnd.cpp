#include "panel/C_PanelWnd.h"

qsizetype C_PanelWnd::pictureCacheBytes() const
{
    return m_picture.isNull() ? 0 : qsizetype(m_picture.width()) * m_picture.height() * m_picture.depth() / 8;
}

void C_PanelWnd::dropCaches()
{
    m_picture = QPixmap();
    m_photo.clear();
    if (m_photoFetched && m_tablet) {
        // Read again from the database when the tablet is shown expanded again.
        m_tablet->photograph = QByteArray();
        m_photoFetched = false;
    }
}
