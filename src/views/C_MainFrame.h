#pragma once

#include "app/CDocTemplate.h"
#include "views/CLegendDock.h"
#include "views/CMenuLayout.h"
#include "views/CStatusLine.h"
#include "views/CStatusPanes.h"
#include "views/CWindowFactory.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class CChildCommands;
class CLiveStatus;
class CFullScreen;
class CChildFrameBase;
class CDocument;
class CSettings;
class CReferenceData;
class C_ChildFrame;
class C_ReportFrame;
class C_ZorvikDoc;
class COnSiteList;
class CPanelFileActions;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

// The multiple-document main window: menu bar switched by the kind of the active window,
// toolbar, status bar with the database connection indicator, and the tabbed document area
// in which panels, the guests window, the presences window and reports open.
//
// Commands are actions keyed by their command number; what each does is set with
// setCommandHandler() (CCommandTable holds them all). Panel files go through
// CPanelFileActions, the windows are made by CWindowFactory.
class C_MainFrame : public QMainWindow, public CMenuLayout
{
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    explicit C_MainFrame(QWidget *parent = nullptr);
    ~C_MainFrame() override;

    void setTemplates(CDocTemplate *panels, CDocTemplate *guests, CDocTemplate *presences, CDocTemplate *reports);
    CDocTemplate *docTemplate(CDocTemplate::Kind kind) const;
    // The list of everyone on site that the roll-call window shows.
    void setOnSiteSource(COnSiteList *source) { m_windows.setOnSiteSource(source); }
    CPanelFileActions *fileActions() const { return m_files; }
    // What a command does; an empty handler leaves it doing nothing.
    void setCommandHandler(int commandId, Handler handler);
    // Runs when the main window closes, after its placement is stored.
    void setShutdownHandler(Handler handler) { m_shutdown = std::move(handler); }
    void setLanguagesAvailable(bool available);

    // Menus and commands.
    QAction *action(int commandId) const { return m_actions.value(commandId); }
    MenuKind menuKind() const { return m_menuKind; }
    QToolBar *toolBar() const { return m_toolBar; }
    QMdiArea *mdiArea() const { return m_mdi; }
    QLabel *connectionPane() const { return m_panes->connectionPane(); }
    QLabel *messagePane() const { return m_panes->messagePane(); }
    QLabel *headCountPane() const { return m_panes->headCountPane(); }
    // View > Not yet in (F7): the list the status bar's button shows.
    void showNotYetIn() { m_panes->showNotYetIn(); }
    bool isConnected() const { return m_connected; }
    // The status bar's (and the full screen's status line's) head count, open warnings,
    // alarm and "Not yet in".
    void setHeadCount(int onSite, int guests, const QString &departments)
    {
        m_panes->setHeadCount(onSite, guests, departments);
        m_statusLine->setHeadCount(onSite, guests);
    }
    void setOpenWarnings(int count)
    {
        m_panes->setOpenWarnings(count);
        m_statusLine->setOpenWarnings(count);
    }
    void setLogProblem(const QString &text) { m_panes->setLogProblem(text); }
    void setSoundProblem(const QString &text)
    {
        m_panes->setSoundProblem(text);
        m_statusLine->setSoundProblem(text);
    }
    // The judge of whether the data are current, for the head count and the status line.
    void setLiveStatus(CLiveStatus *status);
    CStatusPanes *statusPanes() const { return m_panes; }
    CStatusLine *statusLine() const { return m_statusLine; }
    void setNotYetIn(const QList<CRollCallModel::Person> &people, const CRollCallModel::Delta *delta = nullptr,
                     quint64 serial = 0)
    {
        m_panes->setNotYetIn(people, delta, serial);
    }
    // The legend of activity colours with today's counts (View > Legend).
    void setActivityCounts(const QList<CLegendModel::Entry> &entries) { m_legendDock->setEntries(entries); }
    QDockWidget *legendDock() const { return m_legendDock; }

    // Windows and documents.
    CChildFrameBase *activeChild() const;
    C_ZorvikDoc *activePanel() const;
    // The commands of the active window's view; null when none is active.
    CChildCommands *activeCommands() const;
    CChildFrameBase *frameOf(const CDocument *doc) const;
    QList<CChildFrameBase *> childFrames() const;
    // Shows a panel document in a new frame (the document goes to the panel template).
    C_ChildFrame *addPanel(C_ZorvikDoc *doc);
    // Opens a panel file (or activates the panel that shows it); reports a failure itself.
    C_ChildFrame *openPanel(const QString &path);
    // The guests, presences or roll-call window: activated when open, made when not.
    CChildFrameBase *openSingle(CDocTemplate::Kind kind);
    CChildFrameBase *openGuests() { return openSingle(CDocTemplate::Guests); }
    CChildFrameBase *openPresences() { return openSingle(CDocTemplate::Presences); }
    CChildFrameBase *openRollCall() { return openSingle(CDocTemplate::RollCall); }
    // A new, empty report window; its view is built by whoever asked for the report.
    C_ReportFrame *openReport();
    // Offers the modified panels for saving, then closes every window but the reports; false,
    // with nothing closed, after Cancel or a failed save.
    bool closeAll();

    QStringList recentFiles() const;

    void showSplash();
    void showAbout();
    // The help window (F1), one for the run.
    void showHelp();
    // The active window alone on the whole screen: no menus, toolbar, status bar or tabs.
    void setFullScreen(bool on);
    bool isFullScreenView() const { return m_fullScreen; }
    // Full screen (with the panel it showed) and the legend as the last run left them; a wall
    // display started with --wall keeps what it was told and stores nothing of full screen.
    void restoreViewState();
    void setWallMode(bool wall) { m_wall = wall; }

public slots:
    void setConnected(bool connected);
    void updateCommandStates();
    void trigger(int commandId);

signals:
    void commandTriggered(int commandId);

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createActions();
    void createToolBar();
    void createMenus();
    void rebuildMenus();
    void runCommand(int commandId);
    void onSubWindowActivated(QMdiSubWindow *window);
    CChildFrameBase *attach(CChildFrameBase *frame, CDocument *doc);
    bool hasOpen(CDocTemplate::Kind kind) const;
    CSettings *settings() const;
    CReferenceData *reference() const;
    void storeViewState();
    // The status line's text follows the zoom of the panel shown.
    void followZoom();

    QHash<int, QAction *> m_actions;
    QHash<int, Handler> m_handlers;
    CWindowFactory m_windows;
    CPanelFileActions *m_files = nullptr;
    QPointer<CDocTemplate> m_templates[5];
    Handler m_shutdown;
    QMdiArea *m_mdi = nullptr;
    QToolBar *m_toolBar = nullptr;
    CStatusPanes *m_panes = nullptr;
    CLegendDock *m_legendDock = nullptr;
    CStatusLine *m_statusLine = nullptr;
    QList<QMenu *> m_menus;
    QAction *m_leaveFullScreen = nullptr;
    QPointer<QWidget> m_help;
    std::unique_ptr<CFullScreen> m_fullScreenBars;
    bool m_fullScreen = false;
    QList<QAction *> m_recentActions;
    QStringList m_recentPaths;
    MenuKind m_menuKind = NoDocumentMenu;
    bool m_connected = false;
    bool m_firstShow = true;
    bool m_languagesAvailable = false;
    bool m_shutDown = false;
    bool m_wall = false;
    int m_reportCount = 0;
};
