#pragma once

#include "app/CDocTemplate.h"
#include "rollcall/CRollCallModel.h"
#include "views/CLegendModel.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class CChildFrameBase;
class CDocument;
class CSettings;
class CReferenceData;
class C_ChildFrame;
class C_ReportFrame;
class C_ZorvikDoc;
class CPeopleWindow;
class QDockWidget;
class QLabel;
class QToolButton;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

// The multiple-document main window: menu bar switched by the kind of the active window,
// toolbar, status bar with the database connection indicator, and the tabbed document area
// in which panels, the guests window, the presences window and reports open.
//
// Commands are actions keyed by their command number. Each has a default behaviour here or
// none; setCommandHandler() replaces it, so that a dialog written elsewhere is wired with one
// line. Windows are made through view and document factories for the same reason.
class C_MainFrame : public QMainWindow
{
    Q_OBJECT
public:
    // The menu of each window kind, by its resource number.
    enum MenuKind
    {
        NoDocumentMenu = 1028,
        PanelMenu = 1029,
        GuestsMenu = 1057,
        PresencesMenu = 1072,
        ReportMenu = 1083,
        RollCallMenu = 1091
    };
    // In a menu layout: a separator, and the place of the recent-file list.
    static constexpr int kSeparator = 0;
    static constexpr int kRecentFiles = -1;
    static constexpr int kRecentFileCount = 8;

    using ViewFactory = std::function<QWidget *(CDocument *, QWidget *)>;
    using DocumentFactory = std::function<CDocument *()>;
    using Handler = std::function<void()>;

    explicit C_MainFrame(QWidget *parent = nullptr);
    ~C_MainFrame() override;

    void setTemplates(CDocTemplate *panels, CDocTemplate *guests, CDocTemplate *presences, CDocTemplate *reports);
    CDocTemplate *docTemplate(CDocTemplate::Kind kind) const;
    void setViewFactory(CDocTemplate::Kind kind, ViewFactory factory);
    // Makes the guests and presences documents (a plain document when none is set).
    void setDocumentFactory(CDocTemplate::Kind kind, DocumentFactory factory);
    // Replaces the default behaviour of a command; an empty handler restores it.
    void setCommandHandler(int commandId, Handler handler);
    // Runs when the main window closes, after its placement is stored.
    void setShutdownHandler(Handler handler) { m_shutdown = std::move(handler); }
    void setLanguagesAvailable(bool available);

    // Menus and commands.
    QAction *action(int commandId) const { return m_actions.value(commandId); }
    static QList<QList<int>> menuLayout(MenuKind kind);
    static QList<int> toolbarLayout();
    MenuKind menuKind() const { return m_menuKind; }
    QToolBar *toolBar() const { return m_toolBar; }
    QMdiArea *mdiArea() const { return m_mdi; }
    QLabel *connectionPane() const { return m_connectionPane; }
    QLabel *messagePane() const { return m_messagePane; }
    QLabel *headCountPane() const { return m_headCountPane; }
    // "On site: N · Guests: M" beside the connection icon; the tooltip lists the departments.
    void setHeadCount(int onSite, int guests, const QString &departments);
    bool isConnected() const { return m_connected; }
    // "Open warnings: N" while any illegal-activity warning stands open.
    void setOpenWarnings(int count);
    // The legend of activity colours with today's counts (View > Legend).
    void setActivityCounts(const QList<CLegendModel::Entry> &entries);
    // "Not yet in: N" beside the head count; a click lists them.
    void setNotYetIn(const QList<CRollCallModel::Person> &people);
    QDockWidget *legendDock() const { return m_legendDock; }

    // Windows and documents.
    CChildFrameBase *activeChild() const;
    C_ZorvikDoc *activePanel() const;
    CChildFrameBase *frameOf(const CDocument *doc) const;
    QList<CChildFrameBase *> childFrames() const;
    // Shows a panel document in a new frame (the document goes to the panel template).
    C_ChildFrame *addPanel(C_ZorvikDoc *doc);
    // Opens a panel file (or activates the panel that shows it); reports a failure itself.
    C_ChildFrame *openPanel(const QString &path);
    // The guests or presences window, made when none is open.
    CChildFrameBase *openGuests();
    CChildFrameBase *openPresences();
    // The roll-call window, made when none is open.
    CChildFrameBase *openRollCall();
    // A new, empty report window; its view is built by whoever asked for the report.
    C_ReportFrame *openReport();
    // Saves a panel under its name, or under a name asked for; reports a failure itself.
    bool savePanel(C_ZorvikDoc *doc, bool askName);
    // Offers to save every modified panel; Cancel ends the prompting. Then closes every
    // panel, guests and presences window without further questions.
    void closeAll();

    QStringList recentFiles() const;
    void addRecentFile(const QString &path);
    void removeRecentFile(const QString &path);

    void showSplash();
    void showAbout();
    // The help window (F1), one for the run.
    void showHelp();
    // The active window alone on the whole screen: no menus, toolbar, status bar or tabs.
    void setFullScreen(bool on);
    bool isFullScreenView() const { return m_fullScreen; }

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
    void createStatusBar();
    void createMenus();
    void createLegend();
    void showNotYetIn();
    void fitToScreen();
    void rebuildMenus();
    void runCommand(int commandId);
    void runDefault(int commandId);
    void onSubWindowActivated(QMdiSubWindow *window);
    CChildFrameBase *attach(CChildFrameBase *frame, CDocument *doc);
    CChildFrameBase *openSingle(CDocTemplate::Kind kind, int titleId);
    QWidget *makeView(CDocTemplate::Kind kind, CDocument *doc, QWidget *parent) const;
    bool guardPanelClose(CChildFrameBase *frame);
    int askSave(C_ZorvikDoc *doc);
    void newPanel();
    void openFromDialog();
    void forwardToPanelView(int commandId);
    bool activeViewCanPrint() const;
    bool hasOpen(CDocTemplate::Kind kind) const;
    CSettings *settings() const;
    CReferenceData *reference() const;

    QHash<int, QAction *> m_actions;
    QHash<int, Handler> m_handlers;
    QHash<int, ViewFactory> m_viewFactories;
    QHash<int, DocumentFactory> m_documentFactories;
    QPointer<CDocTemplate> m_templates[5];
    Handler m_shutdown;
    QMdiArea *m_mdi = nullptr;
    QToolBar *m_toolBar = nullptr;
    QLabel *m_connectionPane = nullptr;
    QLabel *m_messagePane = nullptr;
    QLabel *m_headCountPane = nullptr;
    QLabel *m_warningsPane = nullptr;
    QToolButton *m_notYetInButton = nullptr;
    QList<CRollCallModel::Person> m_notYetIn;
    QPointer<CPeopleWindow> m_notYetInWindow;
    QDockWidget *m_legendDock = nullptr;
    CLegendModel *m_legend = nullptr;
    QList<QMenu *> m_menus;
    QAction *m_leaveFullScreen = nullptr;
    QPointer<QWidget> m_help;
    bool m_fullScreen = false;
    bool m_wasMaximized = false;
    std::array<bool, 4> m_barsShown{};
    QList<QAction *> m_recentActions;
    QStringList m_recentPaths;
    MenuKind m_menuKind = NoDocumentMenu;
    bool m_connected = false;
    bool m_firstShow = true;
    bool m_languagesAvailable = false;
    bool m_shutDown = false;
    int m_newCount = 0;
    int m_reportCount = 0;
};
