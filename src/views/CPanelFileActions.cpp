#include "views/CPanelFileActions.h"

#include "app/CAppContext.h"
#include "app/CDocTemplate.h"
#include "app/CRecentFiles.h"
#include "app/CStringTable.h"
#include "dialogs/CPrompt.h"
#include "panel/C_ZorvikDoc.h"
#include "views/C_ChildFrame.h"
#include "views/C_MainFrame.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>

namespace {
const QString kPanelFilter = QStringLiteral("Zorvik Files (*.zvl)");
} // namespace

CPanelFileActions::CPanelFileActions(C_MainFrame *frame) : QObject(frame), m_frame(frame) {}

CDocTemplate *CPanelFileActions::panels() const
{
    return m_frame->docTemplate(CDocTemplate::Panels);
}

void CPanelFileActions::remember(const QString &path)
{
    CAppContext *ctx = CAppContext::current();
    CRecentFiles(ctx ? ctx->settings() : nullptr).add(path);
    emit recentFilesChanged();
}

C_ChildFrame *CPanelFileActions::open(const QString &path)
{
    for (CChildFrameBase *f : m_frame->childFrames()) {
        if (f->kind() == CDocTemplate::Panels && !f->document()->pathName().isEmpty() &&
            CRecentFiles::samePath(f->document()->pathName(), path)) {
            m_frame->mdiArea()->setActiveSubWindow(f);
            return qobject_cast<C_ChildFrame *>(f);
        }
    }
    auto *doc = new C_ZorvikDoc;
    doc->setTitle(QFileInfo(path).completeBaseName());
    if (CDocTemplate *t = panels())
        t->addDocument(doc);
    if (!doc->load(path)) {
        delete doc;
        CPrompt::error(m_frame, CStringTable::text(QStringLiteral("mainframe.openFailed"))
                                    .replace(QLatin1String("%s"), QDir::toNativeSeparators(path)));
        return nullptr;
    }
    C_ChildFrame *frame = m_frame->addPanel(doc);
    remember(path);
    return frame;
}

void CPanelFileActions::openFromDialog()
{
    // Every registered kind of file, as the document templates name them, then any file.
    QStringList filters;
    for (CDocTemplate::Kind kind :
         {CDocTemplate::Panels, CDocTemplate::Guests, CDocTemplate::Presences, CDocTemplate::Reports})
        if (CDocTemplate *t = m_frame->docTemplate(kind); t && !t->filter().isEmpty())
            filters << t->filter();
    if (filters.isEmpty())
        filters << kPanelFilter;
    filters << CStringTable::text(QStringLiteral("mainframe.allFiles"));
    const QString path = CPrompt::openFileName(m_frame, CStringTable::text(QStringLiteral("mainframe.openCaption")),
                                               QString(), filters.join(QStringLiteral(";;")));
    if (path.isEmpty())
        return;
    // Only panels hold anything; a guests, presences or report file opens its (live or
    // empty) window, as the first kind registered for its extension.
    for (CDocTemplate::Kind kind : {CDocTemplate::Guests, CDocTemplate::Presences, CDocTemplate::Reports}) {
        CDocTemplate *t = m_frame->docTemplate(kind);
        if (!t || t->extension().isEmpty() || !path.endsWith(t->extension(), Qt::CaseInsensitive))
            continue;
        if (kind == CDocTemplate::Reports)
            m_frame->openReport();
        else
            m_frame->openSingle(kind);
        return;
    }
    open(path);
}

void CPanelFileActions::newPanel()
{
    auto *doc = new C_ZorvikDoc;
    const QString name = panels() ? panels()->resourceField(2) : QStringLiteral("View");
    doc->setTitle(name + QString::number(++m_newCount));
    m_frame->addPanel(doc);
}

bool CPanelFileActions::save(C_ZorvikDoc *doc, bool askName)
{
    if (!doc)
        return false;
    QString path = doc->pathName();
    if (askName || path.isEmpty()) {
        const QString filter = panels() ? panels()->filter() : kPanelFilter;
        const QString suggested = path.isEmpty() ? doc->title() + QStringLiteral(".zvl") : path;
        path = CPrompt::saveFileName(m_frame, CStringTable::text(QStringLiteral("mainframe.saveAsCaption")), suggested,
                                     filter);
        if (path.isEmpty())
            return false;
        if (!path.endsWith(QLatin1String(".zvl"), Qt::CaseInsensitive))
            path += QStringLiteral(".zvl");
    }
    QString error;
    if (!doc->save(path, &error)) {
        CPrompt::error(m_frame, error);
        return false;
    }
    doc->setTitle(QFileInfo(path).completeBaseName());
    remember(path);
    m_frame->updateCommandStates();
    return true;
}

bool CPanelFileActions::offerToSave(C_ZorvikDoc *doc)
{
    if (!doc || !doc->isModified())
        return true;
    const QString text =
        CStringTable::text(QStringLiteral("mainframe.saveChanges")).replace(QLatin1String("%s"), doc->title());
    switch (CPrompt::message(m_frame, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                             QMessageBox::Warning)) {
    case QMessageBox::Yes:
        return save(doc, false);
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool CPanelFileActions::offerToSaveAll()
{
    if (!panels())
        return true;
    const QList<CDocument *> docs = panels()->documents();
    for (CDocument *d : docs)
        if (!offerToSave(qobject_cast<C_ZorvikDoc *>(d)))
            return false;
    return true;
}
