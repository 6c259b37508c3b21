#include "app/C_ZorvikApp.h"

#include "app/CAppContext.h"
#include "app/CAutoLoadList.h"
#include "app/CClock.h"
#include "app/CCommandTable.h"
#include "app/CConnectionStore.h"
#include "app/CDataFiles.h"
#include "app/CMemoryTrim.h"
#include "app/CNameOrder.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "app/CVersion.h"
#include "app/LogCategories.h"
#include "config/CActivityCodes.h"
#include "config/CColourFile.h"
#include "config/CD_Colors.h"
#include "config/CRLang.h"
#include "db/CConnectionString.h"
#include "db/CDbThread.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "db/RefreshInterval.h"
#include "demo/CClockingSimulator.h"
#include "demo/CDemoDatabase.h"
#include "demo/CDemoSamples.h"
#include "dialogs/CConnectionBuilder.h"
#include "dialogs/CD_AutoLoad.h"
#include "dialogs/CD_Database.h"
#include "dialogs/CD_LangLib.h"
#include "dialogs/CD_Language.h"
#include "dialogs/CD_NameFormat.h"
#include "dialogs/CD_New.h"
#include "dialogs/CDesktopNotifications.h"
#include "dialogs/CPrompt.h"
#include "dialogs/CWarningCenter.h"
#include "live/CLiveUpdate.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"
#include "panel/C_ZorvikView.h"
#include "reports/CReportEngine.h"
#include "rollcall/COnSiteActivities.h"
#include "rollcall/COnSiteList.h"
#include "rollcall/C_ZorvikDocRollCall.h"
#include "rollcall/C_ZorvikViewRollCall.h"
#include "views/CChildFrameBase.h"
#include "views/CIconSet.h"
#include "views/CTrayIcon.h"
#include "views/C_ChildFrame.h"
#include "views/C_MainFrame.h"
#include "views/CommandIds.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QLockFile>
#include <QMdiArea>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

namespace {
const QString kSettings = QStringLiteral("Settings");
const QString kAutoLoad = QStringLiteral("AutoLoad");
// How long closing waits for the database threads before it lets them end on their own.
constexpr int kStopWaitMs = 1500;
} // namespace

QString C_ZorvikApp::lockFilePath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("Zorvik.lock"));
}

int C_ZorvikApp::checkInstallation(const QString &programFolder)
{
    QString folder = programFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    QTextStream out(stdout);
    int missing = 0;
    auto report = [&](const QString &what, const QString &path) {
        const bool there = !path.isEmpty() && QFile::exists(path);
        out << (there ? "found   " : "MISSING ") << what << ": " << QDir::toNativeSeparators(path) << '\n';
        if (!there)
            ++missing;
    };
    for (const char *name : {"Presences.rpt", "PresencesCal.rpt", "PresencesGroups.rpt", "PresencesGroupsCal.rpt",
                             "RollCall.rpt", "RollCallEvent.rpt"})
        report(QStringLiteral("template"), CReportEngine::templatePath(QString::fromLatin1(name)));
    report(QStringLiteral("sound"), CDataFiles::find(QStringLiteral("InvalidAct.wav"), folder));
    // Only what the loader would offer: a library that does not name its language is none.
    CRLang languages;
    languages.Load(folder, nullptr);
    for (const CRLang::Entry &e : languages.entries())
        out << "found   language library: " << QDir::toNativeSeparators(folder + e.fileName) << " (" << e.language
            << ")\n";
    if (languages.entries().isEmpty())
        out << "none    language libraries (English only)\n";
    // Not needed to run; a portable copy has none.
    const QString launcher = CDataFiles::desktopFile(folder);
    if (launcher.isEmpty())
        out << "none    desktop file " << CDataFiles::applicationId() << ".desktop (not installed)\n";
    else
        out << "found   desktop file: " << QDir::toNativeSeparators(launcher) << '\n';
    out << "writes  to: "
        << QDir::toNativeSeparators(CAppContext::writableFolderFor(
               folder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)))
        << '\n';
    out.flush();
    return missing == 0 ? 0 : 1;
}

C_ZorvikApp::C_ZorvikApp(const Options &options, QObject *parent)
    : QObject(parent), m_options(options), m_lang(std::make_unique<CRLang>())
{
    CMemoryTrim::configure();
}

C_ZorvikApp::~C_ZorvikApp()
{
    shutdown();
    delete m_frame;
    delete m_simulator;
    delete m_warnings;
    for (CDocTemplate *&t : m_templates) {
        delete t;
        t = nullptr;
    }
    // A worker that a window stopped only now (it could not be reached at shutdown) counts too.
    m_threadsLeft = m_threadsLeft || CDbWorker::detachedThreads() > 0;
    if (m_threadsLeft) {
        // Still in use by a thread inside a database call: never destroyed under it.
        (void)m_startWorker.release();
        (void)m_live.release();
        (void)m_reference.release();
    }
    m_startWorker.reset();
    m_live.reset();
    m_reference.reset();
    m_context.reset();
    m_settings.reset();
}

bool C_ZorvikApp::acquireInstanceLock()
{
    QString folder = m_options.lockFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    m_lock = std::make_unique<QLockFile>(lockFilePath(folder));
    // Never stale by age: only a lock whose process is gone (a crashed run) is taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    // Only a live instance ends this one silently. A folder that cannot be written is no
    // reason to refuse to run: the user is told, and the program runs without the lock.
    if (error == QLockFile::LockFailedError)
        return false;
    const QString why = CStringTable::text(error == QLockFile::PermissionError ? QStringLiteral("mainframe.lockDenied")
                                                                               : QStringLiteral("mainframe.lockError"));
    CPrompt::message(
        nullptr, CStringTable::text(QStringLiteral("mainframe.lockFailed")).arg(QDir::toNativeSeparators(folder), why),
        QMessageBox::Ok, QMessageBox::Warning);
    return true;
}

std::unique_ptr<CSettings> C_ZorvikApp::makeSettings(const Options &options)
{
    // A settings file of its own still lies over the administrator's system file: its presets
    // and locks hold for every configuration.
    if (!options.settingsFile.isEmpty())
        return std::make_unique<CSettings>(CSettings::Files{
            options.settingsFile, CSettings::systemFileFor(QStringLiteral("Orvane"), QStringLiteral("Zorvik"))});
    if (options.demo)
        return std::make_unique<CSettings>(QStringLiteral("Orvane"), QStringLiteral("ZorvikDemo"));
    return std::make_unique<CSettings>(QStringLiteral("Orvane"), QStringLiteral("Zorvik"));
}

QString C_ZorvikApp::connectionFor(const Options &options, const CSettings &settings, QString *error)
{
    return options.connection.isEmpty() ? CConnectionStore::load(settings, error) : options.connection;
}

void C_ZorvikApp::tellPasswordKept(CConnectionStore::Kept kept, QString *text)
{
    if (kept != CConnectionStore::Kept::SettingsFile)
        return;
    const QString notice = CStringTable::text(QStringLiteral("settings.passwordInFile"))
                               .arg(QDir::toNativeSeparators(m_settings->fileName()));
    if (text)
        *text += u'\n' + notice;
    else if (m_frame)
        m_frame->messagePane()->setText(notice);
}

void C_ZorvikApp::createSettings()
{
    m_settings = makeSettings(m_options);
    // A store that cannot be written drops every change: said once, not at every change.
    m_settings->setWriteFailureHandler([this](const QString &file) {
        CPrompt::message(m_frame,
                         CStringTable::text(QStringLiteral("settings.notSaved")).arg(QDir::toNativeSeparators(file)),
                         QMessageBox::Ok, QMessageBox::Warning);
    });
}

void C_ZorvikApp::prepareDemo()
{
    QString error;
    if (!CDemoDatabase::ensure(&m_demoPath, &error)) {
        m_demoPath.clear();
        CPrompt::error(nullptr,
                       CStringTable::text(QStringLiteral("mainframe.demoFailed")).replace(QLatin1String("%s"), error));
        return;
    }
    m_settings->writeText(kSettings, QStringLiteral("Connection"), CDemoDatabase::connectionString(m_demoPath));
    if (!m_settings->contains(QStringLiteral("RollCall"), QStringLiteral("Activities"))) {
        const QStringList onSite = CDemoSamples::onSiteActivities();
        COnSiteActivities::write(*m_settings, QSet<QString>(onSite.begin(), onSite.end()));
    }
    m_settings->sync();
}

void C_ZorvikApp::localizeDemo()
{
    if (m_demoPath.isEmpty())
        return;
    // The demo speaks the interface language: its names in the database, and its sample panels
    // and colours beside it. The first demo start opens the panels and the presences window,
    // later ones keep what the user chose since (following the panels' names).
    QString error;
    QHash<QString, QString> renamed;
    const QString folder = QFileInfo(m_demoPath).absolutePath();
    if (!CDemoDatabase::applyLanguage(m_demoPath, &error) ||
        !CDemoSamples::ensure(m_demoPath, folder, &error, &renamed))
        CPrompt::error(nullptr,
                       CStringTable::text(QStringLiteral("mainframe.demoFailed")).replace(QLatin1String("%s"), error));
    if (!m_settings->contains(kAutoLoad, QStringLiteral("Count"))) {
        const QStringList panels = CDemoSamples::panelPaths(folder);
        m_settings->writeInt(kAutoLoad, QStringLiteral("Count"), int(panels.size()));
        for (int i = 0; i < panels.size(); ++i)
            m_settings->writeText(kAutoLoad, QStringLiteral("File%1").arg(i), panels.at(i));
        m_settings->writeInt(kSettings, QStringLiteral("AutoShowPresences"), 1);
    } else if (!renamed.isEmpty()) {
        const int count = m_settings->readInt(kAutoLoad, QStringLiteral("Count"));
        for (int i = 0; i < count && i < CAutoLoadList::kMaxEntries; ++i) {
            const QString key = QStringLiteral("File%1").arg(i);
            const QString path = m_settings->readText(kAutoLoad, key);
            if (renamed.contains(path))
                m_settings->writeText(kAutoLoad, key, renamed.value(path));
        }
    }
    m_settings->sync();
}

C_ZorvikApp::StartResult C_ZorvikApp::InitInstance()
{
    // 1-2. One instance per user.
    if (!acquireInstanceLock())
        return StartResult::AnotherInstance;
    m_started = true;

    // 5-7. Settings, program folder, switches.
    createSettings();
    qCInfo(lcZorvikLive, "Zorvik %s started (settings %s)", qPrintable(CVersion::text()),
           qPrintable(QDir::toNativeSeparators(m_settings->fileName())));
    if (m_options.demo)
        prepareDemo();
    QString folder = m_options.programFolder;
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    m_reference = std::make_unique<CReferenceData>();
    m_live = std::make_unique<CLiveUpdate>(m_reference.get());
    m_context = std::make_unique<CAppContext>(m_settings.get(), m_reference.get(), m_live.get(), folder);
    m_context->makeCurrent();
    if (m_options.demo && !m_demoPath.isEmpty())
        m_context->setColourFolder(QFileInfo(m_demoPath).absolutePath() + u'/');
    m_context->expandLatest = m_settings->readInt(kSettings, QStringLiteral("ExpandLatest"));
    m_context->autoShowPresences = m_settings->readInt(kSettings, QStringLiteral("AutoShowPresences"));
    m_context->autoShowGuests = m_settings->readInt(kSettings, QStringLiteral("AutoShowGuests"));
    m_context->autoShowMandatory = m_settings->readInt(kSettings, QStringLiteral("AutoShowMandatory"));
    m_context->langWarning = m_settings->readInt(kSettings, QStringLiteral("LangWarning"));

    // 8. The language, before any window exists.
    loadLanguage(folder);
    if (m_options.demo)
        localizeDemo();

    // 10. The four document kinds, in this order.
    m_templates[CDocTemplate::Panels] = new CDocTemplate(CDocTemplate::Panels, C_MainFrame::PanelMenu);
    m_templates[CDocTemplate::Guests] = new CDocTemplate(CDocTemplate::Guests, C_MainFrame::GuestsMenu);
    m_templates[CDocTemplate::Presences] = new CDocTemplate(CDocTemplate::Presences, C_MainFrame::PresencesMenu);
    m_templates[CDocTemplate::Reports] = new CDocTemplate(CDocTemplate::Reports, C_MainFrame::ReportMenu);

    // 11-14. The main frame with its splash, shown and painted before any database work.
    m_warnings = new CWarningCenter(folder, m_context->writableFolder());
    createMainFrame();
    m_frame->show();
    QCoreApplication::processEvents();

    // 15. Refresh interval and name format.
    m_context->refreshSeconds = m_settings->readInt(kSettings, QStringLiteral("Refresh"));
    m_context->nameFormat = m_settings->readInt(kSettings, QStringLiteral("NameFormat"));

    // 16. Reference data, maps, colours, start-up panels, polling thread.
    if (openReferenceData()) {
        m_reference->buildMaps();
        m_reference->activityCodeMap = CActivityCodes::make(m_reference->activityMap);
        loadColours();
        m_live->setTemplates(m_templates[CDocTemplate::Panels],
                             {m_templates[CDocTemplate::Guests], m_templates[CDocTemplate::Presences]});
        // A wall display shows its one panel; otherwise the start-up panels, and full screen and
        // the legend as the last run left them.
        if (m_options.wall.isEmpty() || !openWall(m_options.wall)) {
            autoLoad();
            m_frame->restoreViewState();
        }
        m_live->start(m_context->refreshSeconds);
        if (m_options.demo && m_options.simulator && !m_demoPath.isEmpty()) {
            m_simulator = new CClockingSimulator(m_demoPath);
            m_simulator->start();
        }
    } else if (m_quit || m_shutDown) {
        return StartResult::Quit;
    } else {
        m_live->status()->note(false); // no data at all: every window says so
    }
    m_frame->updateCommandStates();
    return StartResult::Running;
}

void C_ZorvikApp::createMainFrame()
{
    QApplication::setWindowIcon(CIconSet::applicationIcon());
    m_frame = new C_MainFrame;
    m_frame->setTemplates(m_templates[CDocTemplate::Panels], m_templates[CDocTemplate::Guests],
                          m_templates[CDocTemplate::Presences], m_templates[CDocTemplate::Reports]);
    if (m_options.splash)
        m_frame->showSplash();
    connect(m_live.get(), &CLiveUpdate::connectionStatus, m_frame, &C_MainFrame::setConnected);
    m_frame->setLiveStatus(m_live->status());
    // One list of everyone on site per pass, made off the interface thread, for the head count
    // and the roll-call window alike.
    m_onSite = new COnSiteList(m_reference.get(), m_settings.get(), this);
    connect(m_live.get(), &CLiveUpdate::passFinished, m_onSite, [this] { m_onSite->refresh(m_live->lastChanges()); });
    connect(m_onSite, &COnSiteList::ready, this, &C_ZorvikApp::updateHeadCount);
    // Start-up reads every row and panel file once, and malloc keeps what that freed for later:
    // given back once the first pass has been painted and the lists it set off are made.
    connect(
        m_live.get(), &CLiveUpdate::passFinished, this, [] { CMemoryTrim::afterLargeWork(); },
        Qt::SingleShotConnection);
    m_frame->setShutdownHandler([this] { shutdown(); });
    wireCommands();

    // A tablet that turns illegal opens the warning window over the main frame.
    // The tray and the desktop's notifications tell of warnings too, where the desktop has them.
    m_tray = new CTrayIcon(m_frame, m_frame);
    m_tray->setLiveStatus(m_live->status());
    connect(m_tray, &CTrayIcon::rollCallRequested, m_frame, [this] { m_frame->openRollCall(); });
    if (m_warnings) {
        m_warnings->attachTablets(m_frame);
        connect(m_warnings, &CWarningCenter::openWarningsChanged, m_frame, &C_MainFrame::setOpenWarnings);
        connect(m_warnings, &CWarningCenter::logProblemChanged, m_frame, &C_MainFrame::setLogProblem);
        connect(m_warnings, &CWarningCenter::soundProblemChanged, m_frame, &C_MainFrame::setSoundProblem);
        m_frame->setSoundProblem(m_warnings->soundProblem());
        m_tray->setWarnings(m_warnings);
        if (!m_notifications)
            m_notifications = new CDesktopNotifications(m_warnings);
        m_warnings->setNotifications(m_notifications);
    }
}

void C_ZorvikApp::wireCommands()
{
    m_frame->setOnSiteSource(m_onSite);
    CCommandTable::install(m_frame, this);
    m_frame->setLanguagesAvailable(m_lang->entryCount() > 0);
}

void C_ZorvikApp::editEmployees()
{
    if (C_ZorvikDoc *doc = m_frame->activePanel()) {
        CD_New dlg(doc, m_frame);
        dlg.exec();
    }
}

void C_ZorvikApp::loadLanguage(const QString &folder)
{
    // The demo follows the desktop's language until the user chooses one.
    m_lang->Load(folder, m_settings.get(), m_options.demo ? CRLang::demoDefault(QLocale()) : QString());
    if (m_lang->hasResourceModule()) {
        m_lang->apply();
        return;
    }
    // English chosen on purpose: nothing to warn about.
    if (m_lang->isBuiltInChosen() || !m_context->langWarning)
        return;
    CD_LangLib dlg(m_context->langWarning != 0);
    if (dlg.run() == QDialog::Accepted)
        m_context->langWarning = dlg.showAgain() ? 1 : 0;
}

void C_ZorvikApp::chooseLanguage()
{
    const int selected = m_lang->hasResourceModule() ? m_lang->selectedIndex() : -1;
    CD_Language dlg(QStringList{CRLang::kBuiltIn} + m_lang->languageNames(), m_settings.get(),
                    m_context->langWarning != 0, m_frame,
                    selected >= 0 ? m_lang->entries().at(selected).language : CRLang::kBuiltIn);
    if (dlg.run() != QDialog::Accepted)
        return;
    m_context->langWarning = dlg.warnIfNone() ? 1 : 0;
    if (dlg.changed())
        CPrompt::message(m_frame, S(1032), QMessageBox::Ok, QMessageBox::Information);
}

void C_ZorvikApp::newPanel()
{
    // The dialog asks for the panel's window once the user confirms, and fills it.
    CD_New dlg(
        [this](const QString &title) {
            auto *doc = new C_ZorvikDoc;
            doc->setTitle(title);
            C_ChildFrame *frame = m_frame->addPanel(doc);
            CD_New::NewPanel panel;
            panel.document = doc;
            auto *area = qobject_cast<QAbstractScrollArea *>(frame->view());
            panel.clientSize = area ? area->viewport()->size() : frame->view()->size();
            return panel;
        },
        m_frame);
    dlg.exec();
}

bool C_ZorvikApp::openReferenceData()
{
    QString passwordProblem;
    QString cs = connectionFor(m_options, *m_settings, &passwordProblem);
    auto passwordKept = CConnectionStore::Kept::NoPassword;
    if (cs.isEmpty()) {
        if (CPrompt::message(m_frame, S(1033), QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Information) !=
            QMessageBox::Ok) {
            m_quit = true;
            return false;
        }
        if (m_builder) {
            cs = m_builder(m_frame);
        } else {
            CConnectionBuilder builder(m_frame);
            if (builder.New())
                cs = builder.connectionString();
        }
        if (cs.isEmpty()) {
            m_quit = true;
            return false;
        }
        // Stored before it is tried: a wrong string takes the next start straight to its error.
        passwordKept = CConnectionStore::store(*m_settings, cs);
    }
    // The connection and the cursors are opened on a thread of their own: a slow or silent
    // server must not freeze the window, which stays painted and answers while it waits. Until
    // the data are there the program is without data (database commands disabled).
    m_reference->databaseError = true;
    m_frame->updateCommandStates();
    m_frame->messagePane()->setText(CStringTable::text(QStringLiteral("mainframe.connecting")));
    m_startWorker = std::make_unique<CDbWorker>(&m_reference->connection());
    auto message = std::make_shared<int>(0);
    auto opened = std::make_shared<bool>(false);
    QEventLoop wait;
    CReferenceData *ref = m_reference.get();
    m_startWorker->run([ref, cs, message, opened] { *opened = ref->open(cs, message.get()); },
                       [this] {
                           if (m_connectWait)
                               m_connectWait->quit();
                       });
    m_connectWait = &wait;
    wait.exec();
    m_connectWait = nullptr;
    if (m_shutDown)
        return false; // the window was closed meanwhile
    m_startWorker->stop(kStopWaitMs);
    m_startWorker.reset();
    m_frame->messagePane()->setText(CStringTable::text(QStringLiteral("mainframe.ready")));
    tellPasswordKept(passwordKept);
    if (!*opened) {
        m_reference->databaseError = true;
        // The string names the database; its password stays hidden. A password file that could
        // not be read is the likelier cause, so it is named too.
        QString text = CStringTable::format(*message, CConnectionString::masked(cs));
        if (!passwordProblem.isEmpty())
            text += u'\n' + passwordProblem;
        CPrompt::message(m_frame, text, QMessageBox::Ok, QMessageBox::Critical);
        return false;
    }
    m_reference->databaseError = false;
    return true;
}

void C_ZorvikApp::loadColours()
{
    CColourFile::load(m_context->colourReadPath(), m_reference->activityColourMap);
}

int C_ZorvikApp::autoLoad()
{
    int opened = 0;
    CAutoLoadList list;
    list.load(*m_settings);
    for (const QString &path : list.paths()) {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly)) {
            CPrompt::message(m_frame, CStringTable::format(1039, path), QMessageBox::Ok, QMessageBox::Critical);
            continue;
        }
        probe.close();
        if (m_frame->openPanel(path))
            ++opened;
    }
    for (CChildFrameBase *f : m_frame->childFrames())
        if (f->kind() == CDocTemplate::Guests || f->kind() == CDocTemplate::Presences)
            f->closeQuietly();
    if (m_context->autoShowPresences)
        m_frame->openPresences();
    if (opened > 0) {
        const QList<CDocument *> panels = m_templates[CDocTemplate::Panels]->documents();
        if (!panels.isEmpty())
            if (CChildFrameBase *f = m_frame->frameOf(panels.first()))
                m_frame->mdiArea()->setActiveSubWindow(f);
    }
    return opened;
}

bool C_ZorvikApp::openWall(const QString &path)
{
    m_frame->setWallMode(true);
    C_ChildFrame *frame = m_frame->openPanel(path);
    if (!frame) {
        m_frame->setWallMode(false);
        return false;
    }
    if (auto *view = qobject_cast<C_ZorvikView *>(frame->view()); view && !view->hasStoredZoom())
        view->fitToScreen();
    m_frame->restoreViewState(); // the legend as it was
    m_frame->setFullScreen(true);
    return true;
}

void C_ZorvikApp::updateHeadCount(const COnSiteList::Result &list)
{
    // The same list as the roll call's, so that both always show the same total; a failing
    // database keeps the last count.
    if (m_frame && list.live)
        m_frame->setHeadCount(list.employees, list.guests, list.departmentsText);
    if (m_tray && list.live)
        m_tray->setHeadCount(list.employees, list.guests);
    if (!m_frame || !list.live || !m_reference)
        return;
    // The legend: every activity in its colour with today's count, in the order of the colours
    // dialog (activity description).
    QList<CLegendModel::Entry> legend;
    for (const auto &[id, description] : m_reference->activityMap) {
        const auto colour = m_reference->activityColourMap.find(id);
        const auto code = m_reference->activityCodeMap.find(id);
        legend.append(
            {description, toQColor(colour == m_reference->activityColourMap.end() ? kColourWhite : colour->second),
             list.perActivity.value(id), code == m_reference->activityCodeMap.end() ? QString() : code->second});
    }
    std::stable_sort(legend.begin(), legend.end(), [](const CLegendModel::Entry &a, const CLegendModel::Entry &b) {
        return CNameOrder::less(a.activity, b.activity);
    });
    m_frame->setActivityCounts(legend);
    m_frame->setNotYetIn(list.notYetIn, list.incremental ? &list.notYetInDelta : nullptr, list.serial);
}

void C_ZorvikApp::editColours()
{
    CD_Colors dlg(m_reference->activityMap, m_reference->activityColourMap, m_context->colourFilePath(),
                  m_settings.get(), m_frame);
    if (dlg.exec() == QDialog::Accepted)
        repaintPanels();
}

void C_ZorvikApp::editDatabase()
{
    // The values in use, not the stored ones: a change waits for the next start. A string given
    // for this run only is shown as such; the dialog then edits the stored one.
    QString current = m_options.connection.isEmpty() ? m_reference->connectionString() : QString();
    if (current.isEmpty())
        current = CConnectionStore::load(*m_settings);
    CD_Database dlg(m_settings.get(), current, RefreshInterval::seconds(m_context->refreshSeconds), m_frame,
                    m_options.connection);
    if (dlg.exec() != QDialog::Accepted)
        return;
    QString text = S(1078);
    tellPasswordKept(dlg.kept(), &text);
    CPrompt::message(m_frame, text, QMessageBox::Ok, QMessageBox::Information);
}

void C_ZorvikApp::editAutoLoad()
{
    CD_AutoLoad dlg(
        m_settings.get(), m_context.get(),
        [this] {
            // Cancelled (or a panel could not be saved): the windows stay as they are.
            if (!m_frame->closeAll())
                return;
            autoLoad();
            m_frame->updateCommandStates();
        },
        m_frame);
    dlg.exec();
}

void C_ZorvikApp::editNameFormat()
{
    CD_NameFormat dlg(m_context->nameFormat, m_frame, m_settings->isLocked(kSettings, QStringLiteral("NameFormat")));
    if (dlg.exec() != QDialog::Accepted)
        return;
    m_context->nameFormat = dlg.format();
    repaintPanels();
}

void C_ZorvikApp::repaintPanels()
{
    for (CDocument *d : m_templates[CDocTemplate::Panels]->documents())
        if (auto *doc = qobject_cast<C_ZorvikDoc *>(d))
            for (CTablet *t : doc->tablets())
                t->invalidateAll();
}

QStringList C_ZorvikApp::unsavedPanels() const
{
    QStringList titles;
    if (m_templates[CDocTemplate::Panels])
        for (CDocument *d : m_templates[CDocTemplate::Panels]->documents())
            if (d->isModified())
                titles << d->title();
    return titles;
}

void C_ZorvikApp::shutdown()
{
    if (m_shutDown || !m_started)
        return;
    m_shutDown = true;
    // Warnings still open go with the program; the closing of all windows at quit must not
    // acknowledge them in the log.
    if (m_warnings)
        m_warnings->dismissAll();
    // 1. The switches (the placement was stored by the main frame), each only when the user
    // changed it: a value never touched keeps following the administrator's system file.
    m_settings->writeIntIfChanged(kSettings, QStringLiteral("NameFormat"), m_context->nameFormat);
    m_settings->writeIntIfChanged(kSettings, QStringLiteral("LangWarning"), m_context->langWarning);
    m_settings->writeIntIfChanged(kSettings, QStringLiteral("ExpandLatest"), m_context->expandLatest);
    m_settings->sync();
    // 2. Clear the running switch and wait for the threads, but not for ever: a thread inside a
    // call to a hung server ends by itself at its time-out, and the program must still close.
    if (m_simulator)
        m_simulator->stop();
    QElapsedTimer clock;
    clock.start();
    const auto left = [&clock] { return int(qMax<qint64>(0, kStopWaitMs - clock.elapsed())); };
    bool joined = m_live->stop(kStopWaitMs);
    if (m_startWorker)
        joined = m_startWorker->stop(left()) && joined;
    // Every other thread on the connection too (a report being built, the presences query, a
    // batch of photographs): their windows go later, after the connection would be gone.
    joined = CDbWorker::stopAll(&m_reference->connection(), left()) && joined;
    if (m_connectWait)
        m_connectWait->quit();
    CTablet::setWarningHandler({});
    if (!joined || CDbWorker::detachedThreads() > 0) {
        // The data stay alive for the threads still using them; the process ends without them.
        qCInfo(lcZorvikLive, "Zorvik stopped (a database call still running is left to its time-out)");
        m_threadsLeft = true;
        return;
    }
    // 3. Then the cursors and the connection, and the maps.
    qCInfo(lcZorvikLive, "Zorvik stopped");
    m_reference->closeAll();
    m_reference->departmentMap.clear();
    m_reference->activityMap.clear();
    m_reference->activityColourMap.clear();
}
