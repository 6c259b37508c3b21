#pragma once

#include "app/CChildCommands.h"
#include "views/C_ZorvikDocGuests.h"

#include <QPointer>
#include <QWidget>

class QTableView;
class CListFilterModel;
class CSearchField;

// The guests window's view: a read-only grid over the document's rows with fixed column widths.
class C_ZorvikViewGuests : public QWidget, public CChildCommands
{
    Q_OBJECT
public:
    explicit C_ZorvikViewGuests(C_ZorvikDocGuests *doc, QWidget *parent = nullptr);
    ~C_ZorvikViewGuests() override;

    C_ZorvikDocGuests *document() const { return m_doc; }
    QTableView *grid() const { return m_grid; }

public slots:
    void exportCsv() override;

private:
    // The document may go first (closing everything at once).
    QPointer<C_ZorvikDocGuests> m_doc;
    CListFilterModel *m_filter;
    QTableView *m_grid = nullptr;
    CSearchField *m_search = nullptr;
};
