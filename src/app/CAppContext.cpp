#include "app/CAppContext.h"

namespace {
CAppContext *g_current = nullptr;
}

CAppContext::CAppContext(CSettings *settings, CReferenceData *reference, CLiveUpdate *live,
                         const QString &programFolder)
    : m_settings(settings), m_reference(reference), m_live(live), m_programFolder(programFolder)
{
    if (!m_programFolder.isEmpty() && !m_programFolder.endsWith(u'/'))
        m_programFolder += u'/';
}

CAppContext::~CAppContext()
{
    if (g_current == this)
        g_current = nullptr;
}

CAppContext *CAppContext::current()
{
    return g_current;
}

void CAppContext::makeCurrent()
{
    g_current = this;
}
