#include "views/C_ZorvikViewPresences.h"

#include "app/CClock.h"
#include "app/CFileWriter.h"
#include "app/CListFilterModel.h"
#include "app/CStringTable.h"
#include "views/CCsvExport.h"
#include "views/CD_PresenceBar.h"
#include "views/CFilterBypass.h"
#include "views/CListGrid.h"
#include "views/CPresencesModel.h"
#include "views/CSearchField.h"
#include "views/CStaleBanner.h"
#include "views/C_ZorvikDocPresences.h"

#include <QGuiApplication>
#include <QTableView>
#include <QVBoxLayout>

C_ZorvikViewPresences::C_ZorvikViewPresences(C_ZorvikDocPresences *doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_bar(new CD_PresenceBar(doc, this)), m_filter(new CListFilterModel(this))
{
    // The grid shows the rows the search finds, in the order of the column clicked.
    m_filter->setSourceModel(doc ? doc->model() : nullptr);
    m_grid = new CListGrid(m_filter, doc ? doc->model()->columnWidths() : QList<int>(), this);
    new CFilterBypass(m_grid, m_filter);
    m_search = new CSearchField(m_filter, m_grid, this, this);
    setObjectName(QStringLiteral("presencesView"));
    m_grid->setObjectName(QStringLiteral("presencesGrid"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // While the data are not current the rows are the last good ones: said above them.
    layout->addWidget(new CStaleBanner(this));
    layout->addWidget(m_bar);
    layout->addWidget(m_search);
    layout->addWidget(m_grid, 1);
    setFocusProxy(m_grid);
    resize(720, 480);
    connect(m_bar, &CD_PresenceBar::rebuildRequested, this, &C_ZorvikViewPresences::rebuild);
    if (m_doc) {
        connect(m_bar, &CD_PresenceBar::reorderRequested, m_doc, &C_ZorvikDocPresences::reorder);
        setWindowTitle(m_doc->title());
        connect(m_doc, &C_ZorvikDocPresences::queryFinished, this, &C_ZorvikViewPresences::endWait);
        m_doc->rebuild();
    }
}

C_ZorvikViewPresences::~C_ZorvikViewPresences()
{
    endWait();
}

void C_ZorvikViewPresences::endWait()
{
    if (!m_waiting || (m_doc && m_doc->isQueryRunning()))
        return;
    m_waiting = false;
    QGuiApplication::restoreOverrideCursor();
}

void C_ZorvikViewPresences::rebuild()
{
    if (!m_doc)
        return;
    // The wait cursor stays until the rebuild's query has answered.
    if (m_doc->rebuild() && m_doc->isQueryRunning() && !m_waiting) {
        m_waiting = true;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

void C_ZorvikViewPresences::exportCsv()
{
    CCsvExport::run(this, m_grid->model(),
                    CFileWriter::datedName(CStringTable::text(QStringLiteral("presences.fileName")), CClock::now()));
}
