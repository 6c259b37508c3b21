#include "rollcall/C_ZorvikViewRollCall.h"

#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CFileWriter.h"
#include "app/CListFilterModel.h"
#include "app/CStringTable.h"
#include "dialogs/CPrompt.h"
#include "reports/C_ReportView.h"
#include "rollcall/CD_ShareRollCall.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/CRollCallReport.h"
#include "rollcall/CRollCallServer.h"
#include "views/CCsvExport.h"
#include "views/CFilterBypass.h"
#include "views/CIconSet.h"
#include "views/CSearchField.h"
#include "views/CSteadyText.h"
#include "views/CTextDelegate.h"
#include "views/CWrappedText.h"
#include "views/CommandIds.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScrollBar>
#include <QSplitter>
#include <QStringListModel>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString text(const char *key)
{
    return CStringTable::text(QLatin1String(key));
}

QString elapsed(qint64 s)
{
    s = std::max<qint64>(0, s);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

C_ZorvikViewRollCall::C_ZorvikViewRollCall(C_ZorvikDocRollCall *doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_header(new QLabel(this)), m_stale(new QLabel(this)),
      m_saveProblem(new QLabel(this)), m_departments(new CWrappedText(this)), m_toolBar(new QToolBar(this)),
      m_grid(new QTableView(this)), m_filter(new CListFilterModel(this)), m_sharing(new QLabel(this)),
      m_drill(new QLabel(this)), m_missingPanel(new QWidget(this)), m_missing(new QListView(m_missingPanel)),
      m_missingModel(new QStringListModel(this)), m_missingRefresh(new QTimer(this)), m_second(new QTimer(this)),
      m_server(new CRollCallServer(doc, this))
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
    m_saveProblem->setObjectName(QStringLiteral("rollCallSaveProblem"));
    m_saveProblem->setStyleSheet(
        QStringLiteral("background: #c62828; color: #fff; font-weight: bold; padding: 4px 6px;"));
    m_saveProblem->setWordWrap(true);
    m_saveProblem->hide();
    m_departments->setObjectName(QStringLiteral("rollCallDepartments"));
    m_departments->setContentsMargins(6, 0, 6, 2);
    // Departments, names, addresses and file names are shown as they are, never as markup.
    for (QLabel *l : {m_header, m_stale, m_saveProblem})
        l->setTextFormat(Qt::PlainText);

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
    // Sharing and drills; their shortcuts work anywhere in the window.
    const struct
    {
        const char *key;
        const char *shortcut;
        void (C_ZorvikViewRollCall::*slot)();
        bool separatorBefore;
    } extra[] = {{"share", "Ctrl+Shift+H", &C_ZorvikViewRollCall::share, true},
                 {"stopSharing", nullptr, &C_ZorvikViewRollCall::stopSharing, false},
                 {"startDrill", "Ctrl+Shift+D", &C_ZorvikViewRollCall::startExercise, true},
                 {"startEvacuation", "Ctrl+Shift+E", &C_ZorvikViewRollCall::startEvacuation, false},
                 {"end", "Ctrl+Shift+X", &C_ZorvikViewRollCall::endDrill, false}};
    for (const auto &c : extra) {
        if (c.separatorBefore)
            m_toolBar->addSeparator();
        const QString key = QLatin1String(c.key);
        QAction *a = m_toolBar->addAction(CStringTable::text(QStringLiteral("rollcall.") + key));
        a->setObjectName(QStringLiteral("rollCall.") + key);
        a->setToolTip(CStringTable::text(QStringLiteral("rollcall.%1.tip").arg(key)));
        if (c.shortcut) {
            a->setShortcut(QKeySequence(QLatin1String(c.shortcut)));
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(a);
        }
        connect(a, &QAction::triggered, this, c.slot);
        m_actions.insert(key, a);
    }

    m_sharing->setObjectName(QStringLiteral("rollCallSharing"));
    m_sharing->setTextFormat(Qt::PlainText);
    m_sharing->setStyleSheet(QStringLiteral("background: #e3f2fd; color: #0d3c61; padding: 4px 6px;"));
    m_sharing->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_sharing->hide();
    m_drill->setObjectName(QStringLiteral("rollCallDrill"));
    m_drill->setTextFormat(Qt::PlainText);
    m_drill->setStyleSheet(QStringLiteral("background: #fff3c4; color: #5d4300; font-weight: bold; padding: 4px 6px;"));
    m_drill->hide();
    auto *missingTitle = new QLabel(text("rollcall.missingTitle"), m_missingPanel);
    missingTitle->setBuddy(m_missing);
    QFont titleFont = missingTitle->font();
    titleFont.setBold(true);
    missingTitle->setFont(titleFont);
    m_missing->setObjectName(QStringLiteral("rollCallMissing"));
    m_missing->setModel(m_missingModel);
    m_missing->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_missing->setUniformItemSizes(true);
    m_missing->installEventFilter(this);
    auto *missingLayout = new QVBoxLayout(m_missingPanel);
    missingLayout->setContentsMargins(4, 0, 0, 0);
    missingLayout->addWidget(missingTitle);
    missingLayout->addWidget(m_missing, 1);
    m_missingPanel->hide();
    m_missingRefresh->setSingleShot(true);
    m_missingRefresh->setInterval(200);
    connect(m_missingRefresh, &QTimer::timeout, this, &C_ZorvikViewRollCall::updateMissing);
    m_second->setInterval(1000);
    connect(m_second, &QTimer::timeout, this, [this] {
        updateSharing();
        updateDrill();
    });
    connect(m_server, &CRollCallServer::sharingChanged, this, &C_ZorvikViewRollCall::updateSharing);

    m_grid->setObjectName(QStringLiteral("rollCallGrid"));
    // The rows the search finds, in department order until a column heading is clicked.
    m_filter->setSourceModel(doc ? doc->model() : nullptr);
    m_grid->setModel(m_filter);
    m_grid->setItemDelegate(new CTextDelegate(m_grid)); // the tick column is drawn by the style
    m_bypass = new CFilterBypass(m_grid, m_filter);
    m_search = new CSearchField(m_filter, m_grid, this, this);
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
    layout->addWidget(m_saveProblem);
    layout->addWidget(m_departments);
    layout->addWidget(m_sharing);
    layout->addWidget(m_drill);
    layout->addWidget(m_search);
    auto *split = new QSplitter(this);
    split->addWidget(m_grid);
    split->addWidget(m_missingPanel);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    layout->addWidget(split, 1);
    setFocusProxy(m_grid);
    resize(900, 500);
    // Closing the window ends sharing and an open drill: its frame's close is watched.
    if (parent)
        parent->installEventFilter(this);

    if (m_doc) {
        setWindowTitle(m_doc->title());
        connect(m_doc->model(), &QAbstractItemModel::modelAboutToBeReset, this,
                &C_ZorvikViewRollCall::rememberPosition);
        connect(m_doc->model(), &QAbstractItemModel::modelReset, this, &C_ZorvikViewRollCall::restorePosition);
        connect(m_doc, &C_ZorvikDocRollCall::listChanged, this, &C_ZorvikViewRollCall::updateHeader);
        connect(m_doc->model(), &CRollCallModel::ticksChanged, this, &C_ZorvikViewRollCall::updateHeader);
        connect(m_doc->model(), &CRollCallModel::ticksChanged, m_missingRefresh, qOverload<>(&QTimer::start));
        connect(m_doc, &C_ZorvikDocRollCall::listChanged, m_missingRefresh, qOverload<>(&QTimer::start));
        connect(m_doc, &C_ZorvikDocRollCall::drillChanged, this, [this] {
            updateDrill();
            updateMissing();
        });
        connect(m_doc, &C_ZorvikDocRollCall::saveStateChanged, this, &C_ZorvikViewRollCall::updateSaveProblem);
        m_doc->refresh();
    }
    updateHeader();
    updateSaveProblem();
    updateSharing();
    updateDrill();
}

void C_ZorvikViewRollCall::updateSaveProblem()
{
    const bool failing = m_doc && !m_doc->ticksSaved();
    if (failing)
        m_saveProblem->setText(
            text("rollcall.saveFailed").arg(QDir::toNativeSeparators(m_doc->ticksFilePath()), m_doc->saveError()));
    m_saveProblem->setVisible(failing);
}

C_ZorvikViewRollCall::~C_ZorvikViewRollCall()
{
    windowClosing();
}

void C_ZorvikViewRollCall::updateHeader()
{
    if (!m_doc)
        return;
    CSteadyText::set(m_header, m_doc->countsText());
    m_departments->setText(m_doc->departmentsText().replace(u'\n', QStringLiteral("  ·  ")));
    const QString stale = m_doc->staleText();
    m_stale->setText(stale);
    m_stale->setVisible(!stale.isEmpty());
}

void C_ZorvikViewRollCall::rememberPosition()
{
    m_scroll = m_grid->verticalScrollBar()->value();
    const QModelIndex current = m_bypass->toSource(m_grid->currentIndex());
    m_currentKey = current.isValid() && m_doc ? m_doc->model()->people().value(current.row()).key : QString();
}

void C_ZorvikViewRollCall::restorePosition()
{
    if (m_doc && !m_currentKey.isEmpty()) {
        const QList<CRollCallModel::Person> &people = m_doc->model()->people();
        for (int r = 0; r < people.size(); ++r) {
            if (people.at(r).key == m_currentKey) {
                m_grid->selectionModel()->setCurrentIndex(m_bypass->fromSource(m_doc->model()->index(r, 0)),
                                                          QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
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
    if (watched == parentWidget() && event->type() == QEvent::Close) {
        // The window's frame is closing: asked here, before anything ends.
        if (!confirmClose(false)) {
            event->ignore();
            return true;
        }
        windowClosing();
        return false;
    }
    // A tick is one deliberate press of the space bar: a held key's repeats never tick or untick
    // anyone (the user has not looked at the next person).
    const bool space = (watched == m_missing || watched == m_grid) && m_doc &&
                       (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
                       static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space;
    if (space && (event->type() == QEvent::KeyRelease || static_cast<QKeyEvent *>(event)->isAutoRepeat()))
        return true;
    // In the missing list, the space bar ticks the current person, who leaves the list; no one
    // else becomes current, so a second press ticks nobody until the next person is chosen.
    if (space && watched == m_missing) {
        const int row = m_missing->currentIndex().row();
        if (row >= 0 && row < m_missingKeys.size()) {
            m_doc->model()->setTick(m_missingKeys.at(row), true);
            updateMissing();
        }
        return true;
    }
    // The space bar ticks or unticks the current row, whichever cell is current.
    if (space && watched == m_grid) {
        const QModelIndex current = m_bypass->toSource(m_grid->currentIndex());
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
                        CFileWriter::datedName(CStringTable::text(QStringLiteral("rollcall.fileName")), CClock::now()));
}

void C_ZorvikViewRollCall::clearTicks()
{
    if (!m_doc || m_doc->model()->ticks().isEmpty())
        return;
    if (CPrompt::message(this, CStringTable::text(QStringLiteral("rollcall.clearAsk")),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) == QMessageBox::Yes)
        m_doc->clearTicks();
}

bool C_ZorvikViewRollCall::confirmClose(bool quitting)
{
    const bool drill = m_doc && m_doc->drill().isRunning();
    const bool sharing = m_server->isSharing();
    if (m_closing || m_closeConfirmed || (!drill && !sharing))
        return true;
    // Ending a drill writes its record, and stopping the share ends every warden's link: never
    // without the user's word.
    const QString then = text(quitting ? "rollcall.askQuit" : "rollcall.askClose");
    const QString question = drill && sharing ? text("rollcall.askDrillPhones").arg(m_server->phoneCount()).arg(then)
                             : drill          ? text("rollcall.askDrill").arg(then)
                                              : text("rollcall.askPhones").arg(m_server->phoneCount()).arg(then);
    m_closeConfirmed =
        CPrompt::message(this, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) == QMessageBox::Yes;
    return m_closeConfirmed;
}

void C_ZorvikViewRollCall::closeEvent(QCloseEvent *event)
{
    windowClosing();
    QWidget::closeEvent(event);
}

void C_ZorvikViewRollCall::windowClosing()
{
    if (m_closing)
        return;
    m_closing = true;
    m_second->stop();
    m_server->stop();
    if (m_shareDialog)
        m_shareDialog->close();
    if (m_doc && m_doc->drill().kind() != CRollCallDrill::None) {
        QString pdf, csv, error;
        if (m_doc->endDrill(&pdf, &csv, &error))
            recordWritten(pdf, csv);
        else
            CPrompt::error(this, text("rollcall.recordFailed").arg(error));
    }
}

void C_ZorvikViewRollCall::share()
{
    if (!m_doc || m_closing)
        return;
    if (!m_shareDialog) {
        CAppContext *context = CAppContext::current();
        m_shareDialog = new CD_ShareRollCall(m_server, context ? context->settings() : nullptr, this);
        m_shareDialog->setAttribute(Qt::WA_DeleteOnClose);
        m_shareDialog->setWindowFlag(Qt::Window);
    }
    m_shareDialog->show();
    m_shareDialog->raise();
    m_shareDialog->activateWindow();
}

CD_ShareRollCall *C_ZorvikViewRollCall::shareDialog() const
{
    return m_shareDialog;
}

void C_ZorvikViewRollCall::stopSharing()
{
    m_server->stop();
}

void C_ZorvikViewRollCall::updateSharing()
{
    const bool sharing = m_server->isSharing();
    if (sharing) {
        QStringList where;
        for (const QHostAddress &a : m_server->addresses())
            where << QUrl(m_server->url(a)).adjusted(QUrl::RemoveFragment).toString();
        m_sharing->setText(text("rollcall.sharing").arg(where.join(QStringLiteral(", "))).arg(m_server->phoneCount()));
    }
    m_sharing->setVisible(sharing);
    m_actions.value(QStringLiteral("stopSharing"))->setEnabled(sharing);
    const bool needsTimer = sharing || (m_doc && m_doc->drill().isRunning());
    if (needsTimer && !m_second->isActive() && !m_closing)
        m_second->start();
    else if (!needsTimer)
        m_second->stop();
}

void C_ZorvikViewRollCall::startDrill(CRollCallDrill::Kind kind)
{
    if (!m_doc || m_doc->drill().kind() != CRollCallDrill::None)
        return;
    // A drill normally starts with nobody ticked; ticks of an earlier call may be kept.
    if (const int ticked = m_doc->model()->tickedCount(); ticked > 0) {
        const QMessageBox::StandardButton answer =
            CPrompt::message(this, text("rollcall.startAsk").arg(ticked),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question);
        if (answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::Yes)
            m_doc->clearTicks();
    }
    m_doc->startDrill(kind);
}

void C_ZorvikViewRollCall::endDrill()
{
    if (!m_doc || m_doc->drill().kind() == CRollCallDrill::None)
        return;
    const bool evacuation = m_doc->drill().kind() == CRollCallDrill::Evacuation;
    if (CPrompt::message(this, text(evacuation ? "rollcall.endAsk.evacuation" : "rollcall.endAsk.exercise"),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) != QMessageBox::Yes)
        return;
    QString pdf, csv, error;
    if (m_doc->endDrill(&pdf, &csv, &error))
        recordWritten(pdf, csv);
    else
        CPrompt::error(this, text("rollcall.recordFailed").arg(error));
}

void C_ZorvikViewRollCall::recordWritten(const QString &pdf, const QString &csv)
{
    // Open shows the folder, where the record is to be printed or sent on.
    if (CPrompt::message(
            this, text("rollcall.recordWritten").arg(QDir::toNativeSeparators(pdf), QDir::toNativeSeparators(csv)),
            QMessageBox::Ok | QMessageBox::Open, QMessageBox::Information) == QMessageBox::Open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(pdf).absolutePath()));
}

void C_ZorvikViewRollCall::updateDrill()
{
    const CRollCallDrill *drill = m_doc ? &m_doc->drill() : nullptr;
    const bool open = drill && drill->kind() != CRollCallDrill::None;
    m_actions.value(QStringLiteral("startDrill"))->setEnabled(!open && m_doc);
    m_actions.value(QStringLiteral("startEvacuation"))->setEnabled(!open && m_doc);
    m_actions.value(QStringLiteral("end"))->setEnabled(open);
    m_drill->setVisible(open);
    m_missingPanel->setVisible(open);
    if (!open)
        return;
    const QString what =
        text(drill->kind() == CRollCallDrill::Evacuation ? "rollcall.evacuation" : "rollcall.exercise");
    if (drill->isRunning())
        m_drill->setText(text("rollcall.drillBanner")
                             .arg(what, drill->start().toString(QStringLiteral("HH:mm:ss")),
                                  elapsed(drill->start().secsTo(CClock::now())))
                             .arg(m_missingKeys.size()));
    else
        m_drill->setText(text("rollcall.drillNotEnded").arg(what, m_doc->recordError()));
    if (drill->isRunning() && !m_second->isActive() && !m_closing)
        m_second->start();
}

void C_ZorvikViewRollCall::updateMissing()
{
    if (!m_doc || m_doc->drill().kind() == CRollCallDrill::None) {
        m_missingKeys.clear();
        m_missingModel->setStringList({});
        return;
    }
    // The current person stays current while still missing; one who was found leaves no one
    // current (never the next person in the list, who has not been seen).
    const QString current = m_missingKeys.value(m_missing->currentIndex().row());
    const QList<CRollCallModel::Person> missing = m_doc->stillMissing();
    QStringList lines;
    m_missingKeys.clear();
    lines.reserve(missing.size());
    for (const CRollCallModel::Person &p : missing) {
        lines << QStringLiteral("%1 \u2014 %2").arg(p.name, p.department);
        m_missingKeys << p.key;
    }
    m_missingModel->setStringList(lines);
    const qsizetype still = current.isEmpty() ? -1 : m_missingKeys.indexOf(current);
    if (still >= 0)
        m_missing->setCurrentIndex(m_missingModel->index(int(still)));
    else
        m_missing->selectionModel()->clear();
    updateDrill();
}
