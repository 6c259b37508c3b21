#pragma once

#include <QList>
#include <QObject>
#include <QString>

class CDocument;

// One kind of document, with the documents of that kind in the order they were opened.
// The resource string holds, separated by line feeds: window title, document name, new-file
// name, filter, extension, type identifier and type name.
class CDocTemplate : public QObject
{
    Q_OBJECT
public:
    enum Kind
    {
        Panels,
        Guests,
        Presences,
        Reports,
        RollCall // the roll-call window: no template of its own
    };

    CDocTemplate(Kind kind, int resourceId, QObject *parent = nullptr);
    ~CDocTemplate() override;

    Kind kind() const { return m_kind; }
    int resourceId() const { return m_resourceId; }
    // Field i of the resource string (0 window title ... 6 type name).
    QString resourceField(int i) const;
    QString filter() const { return resourceField(3); }
    QString extension() const { return resourceField(4); }

    const QList<CDocument *> &documents() const { return m_documents; }
    void addDocument(CDocument *doc);
    void removeDocument(CDocument *doc);

signals:
    void documentAdded(CDocument *doc);
    void documentRemoved(CDocument *doc);

private:
    Kind m_kind;
    int m_resourceId;
    QList<CDocument *> m_documents;
};
