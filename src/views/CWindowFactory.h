#pragma once

#include "app/CDocTemplate.h"

class CChildFrameBase;
class CDocument;
class COnSiteList;
class QWidget;

// Makes the documents, views and frames of the main frame's window kinds, over the shared data
// of the current application context.
class CWindowFactory
{
public:
    // The list of everyone on site that the roll-call windows show.
    void setOnSiteSource(COnSiteList *source) { m_onSite = source; }

    // The document and frame of a window that opens at most once (guests, presences, roll call).
    CDocument *makeDocument(CDocTemplate::Kind kind) const;
    static CChildFrameBase *makeFrame(CDocTemplate::Kind kind, CDocument *doc);
    // The view of any window kind over its document.
    static QWidget *makeView(CDocTemplate::Kind kind, CDocument *doc, QWidget *parent);

private:
    COnSiteList *m_onSite = nullptr;
};
