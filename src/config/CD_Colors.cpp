#include "config/CD_Colors.h"

#include "app/CStringTable.h"
#include "config/CColourButton.h"
#include "config/CColourCellDelegate.h"
#include "config/CColourFile.h"
#include "config/CColoursModel.h"
#include "dialogs/CDialogUnits.h"
#include "dialogs/CPrompt.h"
#include "rollcall/COnSiteActivities.h"

#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <cmath>

namespace {

QRect du(double x, double y, double w, double h)
{
    return CDialogUnits::rect(x, y, w, h);
}

} // namespace

CD_Colors::CD_Colors(const TextMap &activities, ColourMap &colours, const QString &colourFilePath, CSettings *settings,
                     QWidget *parent)
    : QDialog(parent), m_colours(colours), m_path(colourFilePath), m_settings(settings),
      m_model(new CColoursModel(activities, colours, settings ? COnSiteActivities::read(*settings) : QSet<QString>(),
                                this)),
      m_grid(new QTableView(this)), m_button(new CColourButton(this))
{
    setObjectName(QStringLiteral("CD_Colors"));
    setWindowTitle(CStringTable::text(QStringLiteral("dlg.1036.title")));
    setFixedSize(du(0, 0, 211, 161).size());

    m_grid->setObjectName(QStringLiteral("colourGrid"));
    m_grid->setGeometry(du(4, 4, 201, 111));
    m_grid->setModel(m_model);
    m_grid->setItemDelegateForColumn(CColoursModel::ColourColumn, new CColourCellDelegate(m_grid));
    // Colours are edited through the button; only the on-site check box toggles in the grid
    // (with the mouse, or the space bar on the selected row).
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSortingEnabled(false);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *header = m_grid->horizontalHeader();
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setStretchLastSection(false);
    m_grid->setColumnWidth(CColoursModel::ColourColumn, 48);
    m_grid->setColumnWidth(CColoursModel::DescriptionColumn, 180);
    m_grid->setColumnWidth(CColoursModel::IdColumn, 48);
    m_grid->setColumnWidth(CColoursModel::OnSiteColumn, 56);
    m_grid->setColumnHidden(CColoursModel::OnSiteColumn, settings == nullptr);

    m_button->setText(CStringTable::text(QStringLiteral("dlg.1036.1014")));
    m_button->setGeometry(du(4, 119, 50, 14));

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(du(4, 137, 203, 2));

    auto *ok = new QPushButton(CStringTable::text(QStringLiteral("dlg.1036.1")), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(du(101, 142, 50, 14));
    ok->setDefault(true);
    auto *cancel = new QPushButton(CStringTable::text(QStringLiteral("dlg.1036.2")), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(du(157, 142, 50, 14));
    connect(ok, &QPushButton::clicked, this, &CD_Colors::accept);
    connect(cancel, &QPushButton::clicked, this, &CD_Colors::reject);

    setTabOrder(m_grid, m_button);
    setTabOrder(m_button, ok);
    setTabOrder(ok, cancel);

    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &index) { rowActivated(index.row()); });
    // Moving through the rows with the keyboard shows each row's colour on the button too.
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    rowActivated(current.row());
            });
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &index) { editRowColour(index.row()); });
    connect(m_button, &CColourButton::selectionEnded, this, &CD_Colors::applyButtonColour);

    // With no activities the button keeps "Automatic".
    if (m_model->rowCount() > 0) {
        m_grid->selectRow(0);
        m_button->setColour(m_model->colour(0));
    }
    m_grid->installEventFilter(this);
    m_grid->setFocus();
}

bool CD_Colors::eventFilter(QObject *watched, QEvent *event)
{
    // The space bar toggles the selected row's on-site mark, whichever cell is current.
    if (watched == m_grid && event->type() == QEvent::KeyPress && m_settings &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
        const int row = selectedRow();
        if (row >= 0) {
            const QModelIndex cell = m_model->index(row, CColoursModel::OnSiteColumn);
            const bool on = cell.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            m_model->setData(cell, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int CD_Colors::selectedRow() const
{
    const QModelIndexList rows = m_grid->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CD_Colors::rowActivated(int row)
{
    if (row >= 0 && row < m_model->rowCount())
        m_button->setColour(m_model->colour(row));
}

void CD_Colors::editRowColour(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QColor chosen = CPrompt::colour(this, toQColor(m_model->colour(row)));
    if (!chosen.isValid())
        return;
    const ColourValue value = fromQColor(chosen);
    m_model->setColour(row, value);
    m_button->setColour(value);
}

void CD_Colors::applyButtonColour(ColourValue colour)
{
    const int row = selectedRow();
    if (row >= 0)
        m_model->setColour(row, colour);
}

void CD_Colors::accept()
{
    m_model->applyTo(m_colours);
    if (m_settings)
        COnSiteActivities::write(*m_settings, m_model->onSiteIds());
    QString error;
    if (!CColourFile::save(m_path, m_colours, &error))
        CPrompt::error(this, CStringTable::format(1043, m_path));
    QDialog::accept();
}
