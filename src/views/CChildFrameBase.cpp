#include "views/CChildFrameBase.h"

#include "app/CDocument.h"

#include <QCloseEvent>

CChildFrameBase::CChildFrameBase(CDocument *doc, CDocTemplate::Kind kind, QWidget *parent)
    : QMdiSubWindow(parent), m_document(doc), m_kind(kind)
{
    setAttribute(Qt::WA_DeleteOnClose);
    if (doc) {
        doc->setParent(this);
        connect(doc, &CDocument::titleChanged, this, &CChildFrameBase::updateTitle);
        connect(doc, &CDocument::modifiedChanged, this, &QWidget::setWindowModified);
        setWindowModified(doc->isModified());
    }
    updateTitle();
}

CChildFrameBase::~CChildFrameBase()
{
    // The view goes first: it shows the document's parts (a panel's tablets), the document
    // knows nothing of it.
    delete widget();
    delete m_document.data();
}

void CChildFrameBase::closeQuietly()
{
    m_quiet = true;
    close();
}

void CChildFrameBase::closeEvent(QCloseEvent *event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    if (!m_quiet && m_guard && !m_guard(this)) {
        event->ignore();
        return;
    }
    m_closed = true;
    frameClosing();
    // The document leaves its kind at once, not when the frame is finally deleted: the update
    // pass and the command states must not see a closed window.
    if (m_document && m_document->docTemplate())
        m_document->docTemplate()->removeDocument(m_document);
    QMdiSubWindow::closeEvent(event);
}

void CChildFrameBase::updateTitle()
{
    const QString title = m_document ? m_document->title() : QString();
    setWindowTitle(title + QStringLiteral("[*]"));
}
