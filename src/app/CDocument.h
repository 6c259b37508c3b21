#pragma once

#include "db/CCycleChanges.h"

#include <QObject>
#include <QString>

class CDocTemplate;

// A document of one of the four window kinds (panels, guests, presences, reports). Views
// listen to viewsNeedUpdate(); the update pass calls onUpdatePass() on every open document.
class CDocument : public QObject
{
    Q_OBJECT
public:
    explicit CDocument(QObject *parent = nullptr);
    ~CDocument() override;

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QString pathName() const { return m_pathName; }
    void setPathName(const QString &path);
    bool isModified() const { return m_modified; }
    void setModified(bool modified = true);

    CDocTemplate *docTemplate() const { return m_template; }

    void updateAllViews() { emit viewsNeedUpdate(); }
    // Run by an update pass while the pass holds DBMutex, with what the polling cycles changed
    // since the last one (never nothing).
    virtual void onUpdatePass(const CCycleChanges &changes)
    {
        Q_UNUSED(changes);
        updateAllViews();
    }
    // The same when anything may have changed.
    void onUpdatePass() { onUpdatePass(CCycleChanges::all()); }

signals:
    void titleChanged(const QString &title);
    void modifiedChanged(bool modified);
    void viewsNeedUpdate();

private:
    friend class CDocTemplate;
    QString m_title;
    QString m_pathName;
    bool m_modified = false;
    CDocTemplate *m_template = nullptr;
};
