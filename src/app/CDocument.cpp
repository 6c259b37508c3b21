#include "app/CDocument.h"

#include "app/CDocTemplate.h"

CDocument::CDocument(QObject *parent) : QObject(parent) {}

CDocument::~CDocument()
{
    if (m_template)
        m_template->removeDocument(this);
}

void CDocument::setTitle(const QString &title)
{
    if (m_title == title)
        return;
    m_title = title;
    emit titleChanged(title);
}

void CDocument::setPathName(const QString &path)
{
    m_pathName = path;
}

void CDocument::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}
