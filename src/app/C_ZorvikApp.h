#pragma once

#include "app/CConnectionStore.h"
#include "app/CDocTemplate.h"
#include "rollcall/COnSiteList.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class CAppContext;
class CDbWorker;
class CRLang;
class QEventLoop;
class CClockingSimulator;
class CNotifications;
class CTrayIcon;
class CLiveUpdate;
class CReferenceData;
class CSettings;
class CWarningCenter;
class C_MainFrame;
class QLockFile;
class QWidget;

// The program's root: keeps a single instance running, reads the settings, registers the four
// document kinds, creates the main frame, opens the reference data, reopens the start-up panels
// and starts the polling thread; at the end it writes the switches back, stops the thread and
// closes the connection. It lives beside the QApplication for the whole run.
class C_ZorvikApp : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        bool demo = false;     // the demo database, with settings of its own
        bool splash = true;    // the start-up picture
        bool simulator = true; // clockings in the demo database while the demo runs
        QString settingsFile;  // --settings FILE; empty: the per-user store
        QString lockFolder;    // empty: the per-user runtime folder
        QString programFolder; // empty: the folder of the executable
        QString connection;    // --connection: used for this run only, never stored
        QString wall;          // --wall PANEL.zvl: that panel alone, full screen
    };
    enum class StartResult
    {
        Running,         // the event loop may run
        AnotherInstance, // another instance holds the lock: end silently
        Quit             // the user declined to choose a database
    };

    static QString lockFilePath(const QString &folder);
    // Says on standard output where the program finds its report templates, its sound and its
    // language libraries, and where it writes; 0 when templates and sound are all there.
    static int checkInstallation(const QString &programFolder);
    // The settings store of a run with these options (a file, the demo's scope or the real one).
    static std::unique_ptr<CSettings> makeSettings(const Options &options);
    // The connection string of a run: --connection, else the stored one with its password
    // (CConnectionStore); *error says why a password file could not be read.
    static QString connectionFor(const Options &options, const CSettings &settings, QString *error = nullptr);

    explicit C_ZorvikApp(const Options &options, QObject *parent = nullptr);
    ~C_ZorvikApp() override;

    // Start-up, in order; see StartResult.
    StartResult InitInstance();
    // Opens the start-up panels ("AutoLoad"), closes the guests and presences windows and
    // opens the presences window when asked to; returns the number of panels opened.
    int autoLoad();
    // A wall display (--wall): the one panel, full screen, at Fit to screen unless its file has
    // a zoom of its own; false when the panel could not be opened (the user was told).
    bool openWall(const QString &path);
    // Writes the switches, stops the polling thread and closes the connection; runs once.
    void shutdown();
    bool isShutDown() const { return m_shutDown; }
    // Titles of the open panels with changes not saved (what a stop without questions drops).
    QStringList unsavedPanels() const;
    // True after a shutdown that had to leave a database thread running (a hung server): the
    // process must then end without running destructors under it.
    bool threadsLeftRunning() const { return m_threadsLeft; }

    // Where warnings go as desktop notifications (the desktop's service unless replaced, as a
    // test does); set before InitInstance.
    void setNotifications(CNotifications *notifications) { m_notifications = notifications; }
    CTrayIcon *trayIcon() const { return m_tray; }

    // Asks for a connection string when none is stored (the connection builder unless replaced).
    void setConnectionBuilder(std::function<QString(QWidget *)> builder) { m_builder = std::move(builder); }

    C_MainFrame *mainFrame() const { return m_frame; }
    CSettings *settings() const { return m_settings.get(); }
    CReferenceData *reference() const { return m_reference.get(); }
    CLiveUpdate *live() const { return m_live.get(); }
    CAppContext *context() const { return m_context.get(); }
    CWarningCenter *warnings() const { return m_warnings; }
    CClockingSimulator *simulator() const { return m_simulator; }
    COnSiteList *onSiteList() const { return m_onSite; }
    CDocTemplate *docTemplate(CDocTemplate::Kind kind) const { return m_templates[kind]; }
    CRLang *language() const { return m_lang.get(); }

    // The application's commands (CCommandTable wires them to the menus).
    void newPanel();
    void editEmployees();
    void editColours();
    void editDatabase();
    void editAutoLoad();
    void editNameFormat();
    void chooseLanguage();

private:
    bool acquireInstanceLock();
    void createSettings();
    void prepareDemo();
    void localizeDemo();
    void createMainFrame();
    void wireCommands();
    // False when the data could not be opened, or when the user declined (m_quit).
    bool openReferenceData();
    void loadColours();
    void repaintPanels();
    // The status bar's head count from every list of everyone on site.
    void updateHeadCount(const COnSiteList::Result &list);
    void loadLanguage(const QString &folder);
    // Says in one line that no keyring took the password: appended to text, else in the status bar.
    void tellPasswordKept(CConnectionStore::Kept kept, QString *text = nullptr);

    Options m_options;
    // Created with the application object and kept to its end: the selected library is the
    // source of the texts for the whole run.
    std::unique_ptr<CRLang> m_lang;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CReferenceData> m_reference;
    std::unique_ptr<CLiveUpdate> m_live;
    std::unique_ptr<CDbWorker> m_startWorker;
    QEventLoop *m_connectWait = nullptr;
    std::unique_ptr<CAppContext> m_context;
    CDocTemplate *m_templates[4] = {};
    C_MainFrame *m_frame = nullptr;
    CWarningCenter *m_warnings = nullptr;
    CNotifications *m_notifications = nullptr;
    CTrayIcon *m_tray = nullptr;
    COnSiteList *m_onSite = nullptr;
    CClockingSimulator *m_simulator = nullptr;
    QString m_demoPath;
    std::function<QString(QWidget *)> m_builder;
    bool m_quit = false;
    bool m_shutDown = false;
    bool m_started = false;
    bool m_threadsLeft = false;
};
