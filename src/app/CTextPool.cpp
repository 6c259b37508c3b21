#include "app/CTextPool.h"

QString CTextPool::shared(const QString &text)
{
    const auto it = m_texts.constFind(text);
    if (it != m_texts.cend())
        return *it;
    if (m_texts.size() >= m_bound)
        m_texts.clear();
    m_texts.insert(text);
    return text;
}
