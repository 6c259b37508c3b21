#include "views/C_ZorvikViewGuests.h"

#include "app/CClock.h"
#include "app/CFileWriter.h"
#include "app/CListFilterModel.h"
#include "app/CStringTable.h"
#include "views/CCsvExport.h"
#include "views/CFilterBypass.h"
#include "views/CGuestsModel.h"
#include "views/CListGrid.h"
#include "views/CSearchField.h"
#include "views/CStaleBanner.h"
#include "views/C_ZorvikDocGuests.h"

#include <QTableView>
#include <QVBoxLayout>

C_ZorvikViewGuests::C_ZorvikViewGuests(C_ZorvikDocGuests *doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_filter(new CListFilterModel(this))
{
    // The grid shows the rows the search finds, in the order of the column clicked.
    m_filter->setSourceModel(doc ? doc->model() : nullptr);
    m_grid = new CListGrid(m_filter, doc ? doc->model()->columnWidths() : QList<int>(), this);
    new CFilterBypass(m_grid, m_filter);
    m_search = new CSearchField(m_filter, m_grid, this, this);
    setObjectName(QStringLiteral("guestsView"));
    m_grid->setObjectName(QStringLiteral("guestsGrid"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // While the data are not current the rows are the last good ones: said above them.
    layout->addWidget(new CStaleBanner(this));
    layout->addWidget(m_search);
    layout->addWidget(m_grid, 1);
    setFocusProxy(m_grid);
    resize(800, 400);
    if (m_doc) {
        setWindowTitle(m_doc->title());
        m_doc->initialUpdate();
    }
}

C_ZorvikViewGuests::~C_ZorvikViewGuests() = default;

void C_ZorvikViewGuests::exportCsv()
{
    CCsvExport::run(this, m_grid->model(),
                    CFileWriter::datedName(CStringTable::text(QStringLiteral("guests.fileName")), CClock::now()));
}
