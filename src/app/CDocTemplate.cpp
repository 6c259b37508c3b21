#include "app/CDocTemplate.h"

#include "app/CDocument.h"
#include "app/CStringTable.h"

CDocTemplate::CDocTemplate(Kind kind, int resourceId, QObject *parent)
    : QObject(parent), m_kind(kind), m_resourceId(resourceId)
{
}

CDocTemplate::~CDocTemplate()
{
    for (CDocument *d : std::as_const(m_documents))
        d->m_template = nullptr;
}

QString CDocTemplate::resourceField(int i) const
{
    return S(m_resourceId).section(u'\n', i, i);
}

void CDocTemplate::addDocument(CDocument *doc)
{
    if (!doc || m_documents.contains(doc))
        return;
    if (doc->m_template)
        doc->m_template->removeDocument(doc);
    doc->m_template = this;
    m_documents.append(doc);
    emit documentAdded(doc);
}

void CDocTemplate::removeDocument(CDocument *doc)
{
    if (m_documents.removeOne(doc)) {
        doc->m_template = nullptr;
        emit documentRemoved(doc);
    }
}
