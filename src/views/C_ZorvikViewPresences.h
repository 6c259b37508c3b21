#pragma once

#include "app/CChildCommands.h"
#include "views/C_ZorvikDocPresences.h"

#include <QPointer>
#include <QWidget>

class QTableView;
class CListFilterModel;
class CSearchField;
class CD_PresenceBar;

// The presences window's view: the presence bar across the top and a read-only grid below it.
// The bar's choice and its timer rebuild the grid; every update pass refreshes it through the
// document.
class C_ZorvikViewPresences : public QWidget, public CChildCommands
{
    Q_OBJECT
public:
    explicit C_ZorvikViewPresences(C_ZorvikDocPresences *doc, QWidget *parent = nullptr);
    ~C_ZorvikViewPresences() override;

    C_ZorvikDocPresences *document() const { return m_doc; }
    CD_PresenceBar *bar() const { return m_bar; }
    QTableView *grid() const { return m_grid; }

public slots:
    void exportCsv() override;

    // Empties and refills the grid with a wait cursor showing.
    void rebuild();

private:
    void endWait();

    bool m_waiting = false;
    // The document may go first (closing everything at once).
    QPointer<C_ZorvikDocPresences> m_doc;
    CD_PresenceBar *m_bar;
    CListFilterModel *m_filter;
    QTableView *m_grid = nullptr;
    CSearchField *m_search = nullptr;
};
