#include "views/C_ZorvikViewGuests.h"

#include "views/CGuestsModel.h"
#include "views/CListGrid.h"
#include "views/C_ZorvikDocGuests.h"

#include <QVBoxLayout>

namespace {
QList<int> guestWidths()
{
    QList<int> widths;
    for (int c = 0; c < CGuestsModel::ColumnCount; ++c)
        widths << CGuestsModel::columnWidth(c);
    return widths;
}
} // namespace

C_ZorvikViewGuests::C_ZorvikViewGuests(C_ZorvikDocGuests *doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_grid(new CListGrid(doc ? doc->model() : nullptr, guestWidths(), this))
{
    setObjectName(QStringLiteral("guestsView"));
    m_grid->setObjectName(QStringLiteral("guestsGrid"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    setFocusProxy(m_grid);
    resize(800, 400);
    if (m_doc) {
        setWindowTitle(m_doc->title());
        m_doc->initialUpdate();
    }
}

C_ZorvikViewGuests::~C_ZorvikViewGuests() = default;
