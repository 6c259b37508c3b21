#include "views/C_MainFrame.h"

#include "app/CAppContext.h"
#include "app/CChildCommands.h"
#include "app/CDocument.h"
#include "app/CRecentFiles.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "app/CVersion.h"
#include "db/CReferenceData.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CHelpWindow.h"
#include "dialogs/CPrompt.h"
#include "panel/C_ZorvikDoc.h"
#include "panel/C_ZorvikView.h"
#include "reports/C_ReportDoc.h"
#include "reports/C_ReportFrame.h"
#include "reports/C_ReportView.h"
#include "views/CFullScreen.h"
#include "views/CIconSet.h"
#include "views/CMainPlacement.h"
#include "views/CPanelFileActions.h"
#include "views/CSplashWindow.h"
#include "views/CStaleBanner.h"
#include "views/C_ChildFrame.h"
#include "views/CommandIds.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Command;

namespace {

QString menuTitle(const char *key)
{
    return CStringTable::text(QStringLiteral("menu.%1").arg(QLatin1String(key)));
}

} // namespace

C_MainFrame::C_MainFrame(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("mainFrame"));
    // The caption is the application's name; the tabs name the documents.
    setWindowTitle(QStringLiteral("Zorvik"));
    setWindowIcon(CIconSet::applicationIcon());
    setAcceptDrops(true);
    resize(1024, 720);

    // The document area, and under it the status line that full screen shows.
    auto *centre = new QWidget(this);
    centre->setObjectName(QStringLiteral("centre"));
    m_mdi = new QMdiArea(centre);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setViewMode(QMdiArea::TabbedView);
    m_mdi->setTabsClosable(true);
    m_mdi->setTabsMovable(true);
    m_mdi->setDocumentMode(true);
    m_statusLine = new CStatusLine(centre);
    m_statusLine->hide();
    auto *centreLayout = new QVBoxLayout(centre);
    centreLayout->setContentsMargins(0, 0, 0, 0);
    centreLayout->setSpacing(0);
    centreLayout->addWidget(m_mdi, 1);
    centreLayout->addWidget(m_statusLine);
    setCentralWidget(centre);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &C_MainFrame::onSubWindowActivated);
    m_files = new CPanelFileActions(this);
    connect(m_files, &CPanelFileActions::recentFilesChanged, this, &C_MainFrame::rebuildMenus);

    createActions();
    createToolBar();
    m_fullScreenBars = std::make_unique<CFullScreen>(this, m_toolBar, m_mdi, m_statusLine);
    m_panes = new CStatusPanes(statusBar());
    setLiveStatus(CStaleBanner::programStatus());
    m_actions[ViewStatusBar]->setChecked(true);
    setConnected(false);
    m_legendDock = new CLegendDock(this);
    addDockWidget(Qt::RightDockWidgetArea, m_legendDock);
    m_legendDock->hide();
    connect(m_legendDock, &QDockWidget::visibilityChanged, this, [this] { updateCommandStates(); });
    createMenus();
    rebuildMenus();
    updateCommandStates();
}

C_MainFrame::~C_MainFrame()
{
    // Frames own their documents; delete them while this frame is still whole, and hear no
    // more of the templates they leave.
    for (CDocTemplate *t : m_templates)
        if (t)
            disconnect(t, nullptr, this, nullptr);
    // A legend still shown is hidden as the frame goes: its news must not reach a frame half gone.
    disconnect(m_legendDock, nullptr, this, nullptr);
    const QList<CChildFrameBase *> frames = findChildren<CChildFrameBase *>();
    for (CChildFrameBase *f : frames) {
        disconnect(f, nullptr, this, nullptr);
        delete f;
    }
}

// ---------------------------------------------------------------- set-up

void C_MainFrame::setTemplates(CDocTemplate *panels, CDocTemplate *guests, CDocTemplate *presences,
                               CDocTemplate *reports)
{
    CDocTemplate *all[] = {panels, guests, presences, reports};
    for (int i = 0; i < 4; ++i) {
        m_templates[i] = all[i];
        if (all[i]) {
            connect(all[i], &CDocTemplate::documentAdded, this, &C_MainFrame::updateCommandStates);
            connect(all[i], &CDocTemplate::documentRemoved, this, &C_MainFrame::updateCommandStates);
        }
    }
    updateCommandStates();
}

CDocTemplate *C_MainFrame::docTemplate(CDocTemplate::Kind kind) const
{
    return m_templates[kind];
}

void C_MainFrame::setCommandHandler(int commandId, Handler handler)
{
    if (handler)
        m_handlers.insert(commandId, std::move(handler));
    else
        m_handlers.remove(commandId);
}

void C_MainFrame::setLanguagesAvailable(bool available)
{
    m_languagesAvailable = available;
    updateCommandStates();
}

void C_MainFrame::createActions()
{
    const int ids[] = {FileNew,           FileOpen,      FileClose,    FileSave,      FileSaveAs,   FilePrint,
                       AppAbout,          AppExit,       ViewToolbar,  ViewStatusBar, Colours,      Employees,
                       DatabaseServer,    OpenAtStartup, CloseAll,     NameFormat,    Languages,    ArrangeHorizontally,
                       ArrangeVertically, ExpandAll,     CollapseAll,  Find,          Guests,       Presences,
                       RemoveAll,         ExpandLatest,  LastActivity, ExportPdf,     PrintPreview, RollCall,
                       ExportCsv,         ClearTicks,    RefreshNow,   FullScreen,    HelpTopics,   Legend,
                       NotYetIn};
    for (int id : ids) {
        // "Text\tShortcut": the part after the tab is the accelerator.
        const QString full = CStringTable::text(QStringLiteral("menu.%1").arg(id));
        auto *a = new QAction(full.section(u'\t', 0, 0), this);
        a->setObjectName(QStringLiteral("action%1").arg(id));
        a->setData(id);
        const QString keys = full.section(u'\t', 1);
        if (!keys.isEmpty()) {
            a->setShortcut(QKeySequence(keys, QKeySequence::PortableText));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        a->setStatusTip(CStringTable::statusText(id));
        a->setToolTip(CStringTable::toolTip(id));
        if (CIconSet::hasCommandIcon(id))
            a->setIcon(CIconSet::commandIcon(id));
        m_actions.insert(id, a);
        // Accelerators work whatever menu is shown.
        addAction(a);
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    }
    for (int id : {ViewToolbar, ViewStatusBar, ExpandLatest, FullScreen, Legend})
        m_actions[id]->setCheckable(true);
    // Esc leaves the full screen, and only then means that.
    m_leaveFullScreen = new QAction(this);
    m_leaveFullScreen->setShortcut(QKeySequence(Qt::Key_Escape));
    m_leaveFullScreen->setShortcutContext(Qt::WindowShortcut);
    m_leaveFullScreen->setEnabled(false);
    addAction(m_leaveFullScreen);
    connect(m_leaveFullScreen, &QAction::triggered, this, [this] { setFullScreen(false); });
}

void C_MainFrame::createToolBar()
{
    m_toolBar = new QToolBar(CStringTable::text(QStringLiteral("mainframe.toolbar")), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setIconSize(QSize(CIconSet::kIconSize, CIconSet::kIconSize));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : toolbarLayout()) {
        if (id == kSeparator)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_actions.value(id));
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_actions[ViewToolbar]->setChecked(true);
}

void C_MainFrame::createMenus()
{
    // The four menus and the recent-file entries live as long as the frame. A command may run a
    // dialog (Open at startup, Close all) whose own event loop changes the menus while the menu
    // that started the command is still on the call stack: its contents are replaced, never the
    // menu itself.
    static const char *titles[] = {"file", "view", "reports", "help"};
    for (const char *title : titles) {
        QMenu *menu = menuBar()->addMenu(menuTitle(title));
        menu->setObjectName(QStringLiteral("menu_%1").arg(QLatin1String(title)));
        connect(menu, &QMenu::aboutToShow, this, &C_MainFrame::updateCommandStates);
        m_menus << menu;
    }
    for (int r = 0; r < CRecentFiles::kCount; ++r) {
        auto *a = new QAction(this);
        a->setObjectName(QStringLiteral("recentFile%1").arg(r + 1));
        connect(a, &QAction::triggered, this, [this, r] {
            const QString path = m_recentPaths.value(r);
            if (!openPanel(path)) {
                CRecentFiles(settings()).remove(path);
                rebuildMenus();
            }
        });
        m_recentActions << a;
    }
}

void C_MainFrame::rebuildMenus()
{
    const QList<QList<int>> layout = menuLayout(m_menuKind);
    const QStringList recent = recentFiles();
    m_recentPaths = recent;
    for (int r = 0; r < recent.size(); ++r)
        m_recentActions.at(r)->setText(QStringLiteral("&%1 %2").arg(r + 1).arg(QDir::toNativeSeparators(recent.at(r))));
    for (int i = 0; i < m_menus.size(); ++i) {
        QMenu *menu = m_menus.at(i);
        // The actions belong to the frame; only the separators go with clear().
        menu->clear();
        for (int id : layout.value(i)) {
            if (id == kSeparator) {
                // No doubled or leading separators (an empty recent-file list leaves two).
                if (!menu->actions().isEmpty() && !menu->actions().constLast()->isSeparator())
                    menu->addSeparator();
            } else if (id == kRecentFiles) {
                for (int r = 0; r < recent.size(); ++r)
                    menu->addAction(m_recentActions.at(r));
            } else {
                menu->addAction(m_actions.value(id));
            }
        }
    }
}

// ---------------------------------------------------------------- commands

void C_MainFrame::trigger(int commandId)
{
    if (QAction *a = m_actions.value(commandId)) {
        updateCommandStates();
        a->trigger();
    }
}

void C_MainFrame::runCommand(int commandId)
{
    emit commandTriggered(commandId);
    if (const Handler h = m_handlers.value(commandId))
        h();
    updateCommandStates();
}

bool C_MainFrame::hasOpen(CDocTemplate::Kind kind) const
{
    for (CChildFrameBase *f : childFrames())
        if (f->kind() == kind)
            return true;
    return false;
}

void C_MainFrame::updateCommandStates()
{
    CReferenceData *ref = reference();
    const bool dbOk = ref && !ref->databaseError;
    CChildFrameBase *active = activeChild();
    C_ZorvikDoc *panel = activePanel();
    auto enable = [this](int id, bool on) {
        if (QAction *a = m_actions.value(id))
            a->setEnabled(on);
    };
    for (int id : {FileNew, FileOpen, OpenAtStartup, Colours, NameFormat})
        enable(id, dbOk);
    enable(Employees, dbOk && panel);
    enable(Guests, dbOk && ref->guestsAvailable && !hasOpen(CDocTemplate::Guests));
    enable(Presences, dbOk && !hasOpen(CDocTemplate::Presences));
    enable(Languages, m_languagesAvailable);
    enable(FileSave, panel && panel->isModified());
    enable(FileSaveAs, panel != nullptr);
    enable(FileClose, active != nullptr);
    for (int id : {ArrangeHorizontally, ArrangeVertically, ExpandAll, CollapseAll, Find, RemoveAll})
        enable(id, panel != nullptr);
    CChildCommands *commands = activeCommands();
    enable(FilePrint, commands && commands->canPrint());
    const bool printable =
        active && (active->kind() == CDocTemplate::Reports || active->kind() == CDocTemplate::RollCall);
    enable(ExportPdf, printable);
    enable(PrintPreview, printable);
    enable(RollCall, dbOk || hasOpen(CDocTemplate::RollCall));
    enable(ExportCsv, active && active->kind() != CDocTemplate::Panels && active->kind() != CDocTemplate::Reports);
    enable(ClearTicks, active && active->kind() == CDocTemplate::RollCall);
    enable(RefreshNow, dbOk);
    if (CAppContext *ctx = CAppContext::current())
        m_actions[ExpandLatest]->setChecked(ctx->expandLatest.load() != 0);
    m_actions[ViewToolbar]->setChecked(!m_toolBar->isHidden());
    m_actions[Legend]->setChecked(m_legendDock && !m_legendDock->isHidden());
    m_actions[ViewStatusBar]->setChecked(!statusBar()->isHidden());
}

void C_MainFrame::setConnected(bool connected)
{
    m_connected = connected;
    m_panes->setConnected(connected);
    m_statusLine->setConnected(connected);
    updateCommandStates();
}

void C_MainFrame::setLiveStatus(CLiveStatus *status)
{
    m_panes->setLiveStatus(status);
    m_statusLine->setLiveStatus(status);
}

// ---------------------------------------------------------------- windows

QList<CChildFrameBase *> C_MainFrame::childFrames() const
{
    QList<CChildFrameBase *> out;
    for (QMdiSubWindow *w : m_mdi->subWindowList())
        if (auto *f = qobject_cast<CChildFrameBase *>(w); f && !f->isClosed())
            out << f;
    return out;
}

CChildFrameBase *C_MainFrame::activeChild() const
{
    auto *f = qobject_cast<CChildFrameBase *>(m_mdi->activeSubWindow());
    return f && !f->isClosed() ? f : nullptr;
}

C_ZorvikDoc *C_MainFrame::activePanel() const
{
    CChildFrameBase *f = activeChild();
    return f && f->kind() == CDocTemplate::Panels ? qobject_cast<C_ZorvikDoc *>(f->document()) : nullptr;
}

CChildCommands *C_MainFrame::activeCommands() const
{
    CChildFrameBase *f = activeChild();
    return f ? dynamic_cast<CChildCommands *>(f->view()) : nullptr;
}

CChildFrameBase *C_MainFrame::frameOf(const CDocument *doc) const
{
    for (CChildFrameBase *f : childFrames())
        if (f->document() == doc)
            return f;
    return nullptr;
}

void C_MainFrame::onSubWindowActivated(QMdiSubWindow *window)
{
    MenuKind kind = NoDocumentMenu;
    if (auto *f = qobject_cast<CChildFrameBase *>(window)) {
        switch (f->kind()) {
        case CDocTemplate::Panels:
            kind = PanelMenu;
            break;
        case CDocTemplate::Guests:
            kind = GuestsMenu;
            break;
        case CDocTemplate::Presences:
            kind = PresencesMenu;
            break;
        case CDocTemplate::Reports:
            kind = ReportMenu;
            break;
        case CDocTemplate::RollCall:
            kind = RollCallMenu;
            break;
        }
    } else if (!window && !childFrames().isEmpty()) {
        // Focus left the document area (a dialog, another application): keep the menu.
        kind = m_menuKind;
    }
    if (kind != m_menuKind) {
        m_menuKind = kind;
        rebuildMenus();
    }
    followZoom();
    updateCommandStates();
}

CChildFrameBase *C_MainFrame::attach(CChildFrameBase *frame, CDocument *doc)
{
    QWidget *view = CWindowFactory::makeView(frame->kind(), doc, frame);
    frame->setWidget(view);
    frame->setWindowIcon(frame->kind() == CDocTemplate::Panels     ? CIconSet::applicationIcon()
                         : frame->kind() == CDocTemplate::RollCall ? CIconSet::commandIcon(RollCall)
                                                                   : CIconSet::commandIcon(Employees));
    if (frame->kind() != CDocTemplate::Panels) {
        frame->setCloseGuard([](CChildFrameBase *f) {
            auto *commands = dynamic_cast<CChildCommands *>(f->view());
            return !commands || commands->confirmClose(false);
        });
    } else {
        frame->setCloseGuard(
            [this](CChildFrameBase *f) { return m_files->offerToSave(qobject_cast<C_ZorvikDoc *>(f->document())); });
        // The panel view asks for the Employees command (a double-click on the empty panel).
        if (auto *panelView = qobject_cast<C_ZorvikView *>(view)) {
            connect(panelView, &C_ZorvikView::employeesRequested, m_actions.value(Employees), &QAction::trigger);
            connect(panelView, &C_ZorvikView::zoomChanged, this, &C_MainFrame::followZoom);
        }
    }
    connect(doc, &CDocument::modifiedChanged, this, &C_MainFrame::updateCommandStates);
    connect(frame, &QObject::destroyed, this, [this] {
        if (childFrames().isEmpty())
            onSubWindowActivated(nullptr);
        updateCommandStates();
    });
    // The window's own menu would answer Ctrl+W too, and two owners of a key make it do
    // nothing: File > Close keeps it.
    const QKeySequence closeKey = m_actions.value(FileClose)->shortcut();
    for (QAction *a : frame->actions()) {
        QList<QKeySequence> keys = a->shortcuts();
        if (keys.removeAll(closeKey) > 0)
            a->setShortcuts(keys);
    }
    m_mdi->addSubWindow(frame);
    if (auto *panelFrame = qobject_cast<C_ChildFrame *>(frame))
        panelFrame->restorePlacement(settings());
    frame->show();
    m_mdi->setActiveSubWindow(frame);
    return frame;
}

C_ChildFrame *C_MainFrame::addPanel(C_ZorvikDoc *doc)
{
    if (!doc)
        return nullptr;
    if (CDocTemplate *t = m_templates[CDocTemplate::Panels])
        t->addDocument(doc);
    auto *frame = new C_ChildFrame(doc);
    attach(frame, doc);
    return frame;
}

C_ChildFrame *C_MainFrame::openPanel(const QString &path)
{
    return m_files->open(path);
}

CChildFrameBase *C_MainFrame::openSingle(CDocTemplate::Kind kind)
{
    for (CChildFrameBase *f : childFrames()) {
        if (f->kind() == kind) {
            m_mdi->setActiveSubWindow(f);
            return f;
        }
    }
    CDocument *doc = m_windows.makeDocument(kind);
    doc->setTitle(kind == CDocTemplate::Guests      ? S(1071)
                  : kind == CDocTemplate::Presences ? S(1073)
                                                    : CStringTable::text(QStringLiteral("rollcall.title")));
    if (CDocTemplate *t = m_templates[kind])
        t->addDocument(doc);
    return attach(CWindowFactory::makeFrame(kind, doc), doc);
}

C_ReportFrame *C_MainFrame::openReport()
{
    auto *doc = new C_ReportDoc;
    CDocTemplate *reports = m_templates[CDocTemplate::Reports];
    const QString name = reports ? reports->resourceField(2) : QStringLiteral("Report");
    doc->setTitle(name + QString::number(++m_reportCount));
    if (reports)
        reports->addDocument(doc);
    auto *frame = new C_ReportFrame(doc);
    attach(frame, doc);
    m_mdi->setActiveSubWindow(frame);
    return frame;
}

bool C_MainFrame::closeAll()
{
    // Cancel, or a panel that could not be saved, closes nothing: closing would lose its changes.
    if (!m_files->offerToSaveAll())
        return false;
    for (CChildFrameBase *f : childFrames()) {
        if (f->kind() != CDocTemplate::Reports)
            f->closeQuietly();
    }
    return true;
}

// ---------------------------------------------------------------- recent files

QStringList C_MainFrame::recentFiles() const
{
    return CRecentFiles(settings()).paths();
}

// ---------------------------------------------------------------- small windows

void C_MainFrame::showSplash()
{
    auto *splash = new CSplashWindow(CIconSet::splashPixmap(CVersion::text()), this);
    splash->showSplash();
}

void C_MainFrame::showHelp()
{
    if (!m_help)
        m_help = new CHelpWindow(this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void C_MainFrame::setFullScreen(bool on)
{
    if (on == m_fullScreen)
        return;
    m_fullScreen = on;
    on ? m_fullScreenBars->enter() : m_fullScreenBars->leave();
    m_actions[FullScreen]->setChecked(on);
    m_leaveFullScreen->setEnabled(on);
}

void C_MainFrame::followZoom()
{
    CChildFrameBase *f = activeChild();
    auto *panel = f && f->kind() == CDocTemplate::Panels ? qobject_cast<C_ZorvikView *>(f->view()) : nullptr;
    m_statusLine->setScale(panel ? panel->zoom() / 100.0 : 1.0);
}

void C_MainFrame::storeViewState()
{
    CSettings *s = settings();
    if (!s)
        return;
    // Only what differs from what was read, so that a preset of the system file keeps applying.
    const QString section = QStringLiteral("Settings");
    s->writeIntIfChanged(section, QStringLiteral("Legend"), m_legendDock->isHidden() ? 0 : 1);
    if (m_wall)
        return; // the wall's full screen came from its command line, not from the user
    s->writeIntIfChanged(section, QStringLiteral("FullScreen"), m_fullScreen ? 1 : 0);
    C_ZorvikDoc *panel = m_fullScreen ? activePanel() : nullptr;
    s->writeTextIfChanged(section, QStringLiteral("FullScreenPanel"), panel ? panel->pathName() : QString());
}

void C_MainFrame::restoreViewState()
{
    CSettings *s = settings();
    if (!s)
        return;
    const QString section = QStringLiteral("Settings");
    m_legendDock->setVisible(s->readInt(section, QStringLiteral("Legend")) != 0);
    if (!m_wall && s->readInt(section, QStringLiteral("FullScreen")) != 0) {
        // The panel that was shown full screen, in front again (opened if it is not yet).
        const QString path = s->readText(section, QStringLiteral("FullScreenPanel"));
        if (!path.isEmpty() && QFileInfo::exists(path))
            openPanel(path);
        setFullScreen(true);
    }
    updateCommandStates();
}

void C_MainFrame::showAbout()
{
    CReferenceData *ref = reference();
    CAboutDlg dlg(ref ? ref->connectionString() : QString(), m_connected, this);
    dlg.exec();
}

// ---------------------------------------------------------------- events

bool C_MainFrame::event(QEvent *e)
{
    if (e->type() == QEvent::StatusTip) {
        m_panes->showTip(static_cast<QStatusTipEvent *>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

void C_MainFrame::showEvent(QShowEvent *event)
{
    if (m_firstShow) {
        m_firstShow = false;
        CMainPlacement::restore(this, settings());
        // A placement stored in full screen comes back as a window: full screen is restored
        // with its hidden bars by restoreViewState(), or not at all.
        if (windowState() & Qt::WindowFullScreen)
            setWindowState(windowState() & ~Qt::WindowFullScreen);
    }
    QMainWindow::showEvent(event);
}

void C_MainFrame::closeEvent(QCloseEvent *event)
{
    if (m_shutDown) {
        event->accept();
        return;
    }
    // Pages still being printed or exported: stopped if the user agrees, and the program closes
    // once the job has ended (it is still on the stack below this event).
    if (C_ReportView *job = C_ReportView::runningJob()) {
        event->ignore();
        if (CPrompt::message(this, CStringTable::text(QStringLiteral("report.stopAndClose")).arg(job->jobText()),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) == QMessageBox::Yes) {
            QPointer<C_MainFrame> self(this);
            job->stopJob([self] {
                if (self)
                    self->close();
            });
        }
        return;
    }
    // Nothing is lost by closing the program: a drill or a share under way is ended only when
    // the user says so, each modified panel is offered for saving, and Cancel (or a failed save)
    // keeps the program open.
    for (CChildFrameBase *f : childFrames()) {
        auto *commands = dynamic_cast<CChildCommands *>(f->view());
        if (commands && !commands->confirmClose(true)) {
            event->ignore();
            return;
        }
    }
    if (!m_files->offerToSaveAll()) {
        event->ignore();
        return;
    }
    m_shutDown = true;
    storeViewState();
    CMainPlacement::store(this, settings());
    for (CChildFrameBase *f : childFrames())
        f->closeQuietly();
    if (m_shutdown)
        m_shutdown();
    event->accept();
}

void C_MainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &u : urls) {
        if (u.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void C_MainFrame::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &u : urls)
        if (u.isLocalFile())
            openPanel(u.toLocalFile());
    event->acceptProposedAction();
}

CSettings *C_MainFrame::settings() const
{
    CAppContext *ctx = CAppContext::current();
    return ctx ? ctx->settings() : nullptr;
}

CReferenceData *C_MainFrame::reference() const
{
    CAppContext *ctx = CAppContext::current();
    return ctx ? ctx->reference() : nullptr;
}
