#pragma once

#include "app/CDocTemplate.h"
#include "app/CDocument.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <functional>

// What the three child frames share: the frame owns its document, shows its title (with a
// mark while it is modified) and asks its guard before it closes.
class CChildFrameBase : public QMdiSubWindow
{
    Q_OBJECT
public:
    // False keeps the frame open (the user cancelled, or a save failed).
    using CloseGuard = std::function<bool(CChildFrameBase *)>;

    CChildFrameBase(CDocument *doc, CDocTemplate::Kind kind, QWidget *parent = nullptr);
    ~CChildFrameBase() override;

    CDocument *document() const { return m_document; }
    CDocTemplate::Kind kind() const { return m_kind; }
    QWidget *view() const { return widget(); }

    void setCloseGuard(CloseGuard guard) { m_guard = std::move(guard); }
    // Closes without asking the guard (Close all, shutdown).
    void closeQuietly();
    // Closed, waiting to be deleted.
    bool isClosed() const { return m_closed; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // Runs once the close is certain, while the document is still there.
    virtual void frameClosing() {}

private:
    void updateTitle();

    QPointer<CDocument> m_document;
    CDocTemplate::Kind m_kind;
    CloseGuard m_guard;
    bool m_quiet = false;
    bool m_closed = false;
};
