#include "views/C_ZorvikViewRollCall.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "dialogs/CPrompt.h"
#include "reports/CRollCallReport.h"
#include "reports/C_ReportView.h"
#include "views/CCsvExport.h"
#include "views/CIconSet.h"
#include "views/CRollCallModel.h"
#include "views/CommandIds.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

C_ZorvikViewRollCall::C_ZorvikViewRollCall(C_ZorvikDocRollCall *doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_header(new QLabel(this)), m_stale(new QLabel(this)),
      m_departments(new QLabel(this)), m_toolBar(new QToolBar(this)), m_grid(new QTableView(this))
{
    setObjectName(QStringLiteral("rollCallView"));
    m_header->setObjectName(QStringLiteral("rollCallHeader"));
    QFont bold = m_header->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    m_header->setFont(bold);
    m_header->setContentsMargins(6, 4, 6, 0);
    m_stale->setObjectName(QStringLiteral("rollCallStale"));
    m_stale->setStyleSheet(QStringLiteral("color: #c62828; font-weight: bold;"));
    m_stale->setContentsMargins(6, 0, 6, 0);
    m_stale->hide();
    m_departments->setObjectName(QStringLiteral("rollCallDepartments"));
    m_departments->setWordWrap(true);
    m_departments->setContentsMargins(6, 0, 6, 2);

    m_toolBar->setObjectName(QStringLiteral("rollCallToolBar"));
    m_toolBar->setIconSize(QSize(CIconSet::kIconSize, CIconSet::kIconSize));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const struct
    {
        int id;
        void (C_ZorvikViewRollCall::*slot)();
    } commands[] = {{Command::FilePrint, &C_ZorvikViewRollCall::print},
                    {Command::ExportPdf, &C_ZorvikViewRollCall::exportPdfAs},
                    {Command::ExportCsv, &C_ZorvikViewRollCall::exportCsv},
                    {Command::ClearTicks, &C_ZorvikViewRollCall::clearTicks}};
    for (const auto &c : commands) {
        const QString text = CStringTable::text(QStringLiteral("menu.%1").arg(c.id)).section(u'\t', 0, 0);
        QAction *a = m_toolBar->addAction(CIconSet::commandIcon(c.id), QString(text).remove(u'&'));
        a->setObjectName(QStringLiteral("rollCall%1").arg(c.id));
        a->setToolTip(CStringTable::toolTip(c.id));
        connect(a, &QAction::triggered, this, c.slot);
    }

    m_grid->setObjectName(QStringLiteral("rollCallGrid"));
    m_grid->setModel(doc ? doc->model() : nullptr);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    const int widths[CRollCallModel::ColumnCount] = {34, 220, 180, 60, 180, 160};
    for (int c = 0; c < CRollCallModel::ColumnCount; ++c)
        m_grid->setColumnWidth(c, widths[c]);
    m_grid->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_header);
    layout->addWidget(m_stale);
    layout->addWidget(m_departments);
    layout->addWidget(m_grid, 1);
    setFocusProxy(m_grid);
    resize(900, 500);

    if (m_doc) {
        setWindowTitle(m_doc->title());
        connect(m_doc->model(), &QAbstractItemModel::modelAboutToBeReset, this,
                &C_ZorvikViewRollCall::rememberPosition);
        connect(m_doc->model(), &QAbstractItemModel::modelReset, this, &C_ZorvikViewRollCall::restorePosition);
        connect(m_doc, &C_ZorvikDocRollCall::listChanged, this, &C_ZorvikViewRollCall::updateHeader);
        connect(m_doc->model(), &CRollCallModel::ticksChanged, this, &C_ZorvikViewRollCall::updateHeader);
        connect(m_doc, &C_ZorvikDocRollCall::saveFailed, this, [this](const QString &error) {
            CPrompt::error(this, CStringTable::text(QStringLiteral("rollcall.saveFailed"))
                                     .arg(m_doc ? m_doc->ticksFilePath() : QString(), error));
        });
        m_doc->refresh();
    }
    updateHeader();
}

C_ZorvikViewRollCall::~C_ZorvikViewRollCall() = default;

void C_ZorvikViewRollCall::updateHeader()
{
    if (!m_doc)
        return;
    m_header->setText(m_doc->countsText());
    m_departments->setText(m_doc->departmentsText().replace(u'\n', QStringLiteral("  ·  ")));
    const QString stale = m_doc->staleText();
    m_stale->setText(stale);
    m_stale->setVisible(!stale.isEmpty());
}

void C_ZorvikViewRollCall::rememberPosition()
{
    m_scroll = m_grid->verticalScrollBar()->value();
    const QModelIndex current = m_grid->currentIndex();
    m_currentKey = current.isValid() && m_doc ? m_doc->model()->people().value(current.row()).key : QString();
}

void C_ZorvikViewRollCall::restorePosition()
{
    if (m_doc && !m_currentKey.isEmpty()) {
        const QList<CRollCallModel::Person> &people = m_doc->model()->people();
        for (int r = 0; r < people.size(); ++r) {
            if (people.at(r).key == m_currentKey) {
                m_grid->selectionModel()->setCurrentIndex(
                    m_doc->model()->index(r, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                break;
            }
        }
    }
    // The scroll bar's range follows the new rows only after the layout is redone.
    m_grid->doItemsLayout();
    m_grid->verticalScrollBar()->setValue(m_scroll);
}

bool C_ZorvikViewRollCall::eventFilter(QObject *watched, QEvent *event)
{
    // The space bar ticks or unticks the current row, whichever cell is current.
    if (watched == m_grid && event->type() == QEvent::KeyPress && m_doc &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
        const QModelIndex current = m_grid->currentIndex();
        if (current.isValid()) {
            const QModelIndex cell = m_doc->model()->index(current.row(), CRollCallModel::TickColumn);
            m_doc->model()->setData(cell, m_doc->model()->isTicked(current.row()) ? Qt::Unchecked : Qt::Checked,
                                    Qt::CheckStateRole);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

C_ReportView *C_ZorvikViewRollCall::buildReport()
{
    if (!m_doc)
        return nullptr;
    auto *report = new C_ReportView(this);
    report->hide();
    const QString identity =
        (QStringList{CClock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))} + C_ReportView::installationTexts())
            .join(QStringLiteral(" / "));
    if (!CRollCallReport::fill(report->engine(), *m_doc, identity)) {
        CPrompt::error(this,
                       CStringTable::text(QStringLiteral("rollcall.noTemplate"))
                           .arg(QString::fromLatin1(CRollCallReport::kTemplate), report->engine().GetErrorText()));
        delete report;
        return nullptr;
    }
    report->showReport();
    report->engine().SetFieldText(QStringLiteral("TotalPages"), QStringLiteral(" / %1").arg(report->pageCount()));
    return report;
}

void C_ZorvikViewRollCall::print()
{
    if (C_ReportView *report = buildReport()) {
        report->print();
        delete report;
    }
}

void C_ZorvikViewRollCall::printPreview()
{
    if (C_ReportView *report = buildReport()) {
        report->printPreview();
        delete report;
    }
}

void C_ZorvikViewRollCall::exportPdfAs()
{
    if (C_ReportView *report = buildReport()) {
        report->exportPdfAs();
        delete report;
    }
}

void C_ZorvikViewRollCall::exportCsv()
{
    if (m_doc)
        CCsvExport::run(this, m_doc->model(),
                        QStringLiteral("RollCall-%1").arg(CClock::now().toString(QStringLiteral("yyyyMMdd-HHmm"))));
}

void C_ZorvikViewRollCall::clearTicks()
{
    if (!m_doc || m_doc->model()->ticks().isEmpty())
        return;
    if (CPrompt::message(this, CStringTable::text(QStringLiteral("rollcall.clearAsk")),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) == QMessageBox::Yes)
        m_doc->clearTicks();
}
