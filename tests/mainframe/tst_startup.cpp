#include "AppSandbox.h"
#include "MainFrameTestUtil.h"
#include "app/CClock.h"
#include "app/CStringTable.h"
#include "db/CDbCursor.h"
#include "db/CDbWorker.h"
#include "demo/CClockingSimulator.h"
#include "dialogs/CD_AckInvalidAct.h"
#include "dialogs/CD_New.h"
#include "dialogs/CD_RepLastAct.h"
#include "dialogs/CWarningCenter.h"
#include "panel/CPhotoLoader.h"
#include "panel/C_ZorvikView.h"
#include "views/CChildFrameBase.h"
#include "views/CIconSet.h"
#include "views/C_ChildFrame.h"
#include "views/CommandIds.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QMdiArea>
#include <QMutexLocker>
#include <QPushButton>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStatusBar>
#include <QSysInfo>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <future>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace mainframetest;
using namespace Command;

namespace {

// One small attendance database for every start-up test.
QString testDatabase()
{
    return testsupport::smallDemoDatabase(12, 3);
}

class Startup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        options = testsupport::appOptions(dir);
    }
    void TearDown() override
    {
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
    }

    // Settings written before the program starts, as a previous run would leave them.
    void presetText(const QString &section, const QString &name, const QString &value)
    {
        CSettings s(options.settingsFile);
        s.writeText(section, name, value);
        s.sync();
    }
    void presetInt(const QString &section, const QString &name, int value)
    {
        CSettings s(options.settingsFile);
        s.writeInt(section, name, value);
        s.sync();
    }
    static QString connectionTo(const QString &path)
    {
        return QStringLiteral("Provider=SQLite;Data Source=%1").arg(path);
    }
    QString writePanel(const QString &name)
    {
        C_ZorvikDoc doc;
        QString error;
        const QString path = dir.file(name);
        EXPECT_TRUE(doc.save(path, &error)) << error.toStdString();
        return path;
    }

    testsupport::TempDir dir;
    C_ZorvikApp::Options options;
};

} // namespace

TEST_F(Startup, NoConnectionAndCancelQuits)
{
    C_ZorvikApp app(options);
    CPrompt::queueButton(QMessageBox::Cancel);
    EXPECT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Quit);
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].text, QStringLiteral("You must select database."));
    EXPECT_EQ(asked[0].icon, QMessageBox::Information);
    EXPECT_EQ(asked[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_FALSE(app.live()->isThreadRunning());
}

TEST_F(Startup, CancelledBuilderQuits)
{
    C_ZorvikApp app(options);
    app.setConnectionBuilder([](QWidget *) { return QString(); });
    CPrompt::queueButton(QMessageBox::Ok);
    EXPECT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Quit);
    EXPECT_TRUE(
        CSettings(options.settingsFile).readText(QStringLiteral("Settings"), QStringLiteral("Connection")).isEmpty());
}

TEST_F(Startup, BuiltConnectionIsStoredBeforeItIsTried)
{
    int built = 0;
    {
        C_ZorvikApp app(options);
        app.setConnectionBuilder([&](QWidget *) {
            ++built;
            return QStringLiteral("Provider=SQLite;Data Source=%1").arg(dir.file(QStringLiteral("nowhere.db")));
        });
        CPrompt::queueButton(QMessageBox::Ok);
        EXPECT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
        EXPECT_EQ(built, 1);
        const auto asked = CPrompt::takeAsked();
        ASSERT_EQ(asked.size(), 2);
        EXPECT_EQ(asked[1].text,
                  QStringLiteral("Unable to open database:\n") +
                      app.settings()->readText(QStringLiteral("Settings"), QStringLiteral("Connection")));
        EXPECT_EQ(asked[1].icon, QMessageBox::Critical);
    }
    // The wrong string stays stored: the next start goes straight to its error.
    C_ZorvikApp again(options);
    again.setConnectionBuilder([&](QWidget *) {
        ++built;
        return QString();
    });
    EXPECT_EQ(again.InitInstance(), C_ZorvikApp::StartResult::Running);
    EXPECT_EQ(built, 1);
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].text.startsWith(QStringLiteral("Unable to open database:")));
}

TEST_F(Startup, DatabaseFailureLeavesTheProgramRunningWithoutData)
{
    presetText(QStringLiteral("Settings"), QStringLiteral("Connection"),
               connectionTo(dir.file(QStringLiteral("gone.db"))));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    C_MainFrame *frame = app.mainFrame();
    ASSERT_TRUE(frame && frame->isVisible());
    EXPECT_TRUE(app.reference()->databaseError);
    EXPECT_FALSE(app.live()->isThreadRunning());
    for (int id : {FileNew, FileOpen, Colours, Employees, OpenAtStartup, NameFormat, Guests, Presences})
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    for (int id : {DatabaseServer, CloseAll, AppAbout, LastActivity})
        EXPECT_TRUE(frame->action(id)->isEnabled()) << id;
    EXPECT_EQ(frame->connectionPane()->toolTip(),
              QStringLiteral("Not connected to database. Check your database settings."));
}

TEST_F(Startup, SecondInstanceEndsSilentlyAndAStaleLockIsTakenOver)
{
    {
        C_ZorvikApp first(options);
        CPrompt::queueButton(QMessageBox::Cancel);
        first.InitInstance(); // holds the lock whatever the database answer
        CPrompt::takeAsked();

        C_ZorvikApp second(options);
        EXPECT_EQ(second.InitInstance(), C_ZorvikApp::StartResult::AnotherInstance);
        EXPECT_EQ(second.mainFrame(), nullptr);
        EXPECT_TRUE(CPrompt::takeAsked().isEmpty());
    }

    // A lock left by a process that is gone (a crashed run).
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    QFile lock(C_ZorvikApp::lockFilePath(options.lockFolder));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(qint64(child)) + '\n' + QCoreApplication::applicationName().toUtf8() + '\n' +
               QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n');
    lock.close();

    C_ZorvikApp third(options);
    CPrompt::queueButton(QMessageBox::Cancel);
    EXPECT_EQ(third.InitInstance(), C_ZorvikApp::StartResult::Quit); // it got past the lock
    CPrompt::takeAsked();

    // A lock folder that cannot be made (a file is in the way; permissions do not stop root):
    // not a second instance, so the user is told and the program runs.
    QFile blocker(dir.file(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    options.lockFolder = dir.file(QStringLiteral("not-a-folder/lock"));
    C_ZorvikApp fourth(options);
    CPrompt::queueButton(QMessageBox::Ok);
    CPrompt::queueButton(QMessageBox::Cancel);
    EXPECT_EQ(fourth.InitInstance(), C_ZorvikApp::StartResult::Quit);
    const auto asked = CPrompt::takeAsked();
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_EQ(asked[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(asked[0].text.contains(options.lockFolder)) << asked[0].text.toStdString();
}

TEST_F(Startup, AutoLoadOpensTheRemainingPanelsAndReportsAMissingOne)
{
    const QString first = writePanel(QStringLiteral("Front desk.zvl"));
    const QString gone = writePanel(QStringLiteral("Old.zvl"));
    ASSERT_TRUE(QFile::remove(gone));
    presetText(QStringLiteral("Settings"), QStringLiteral("Connection"), connectionTo(testDatabase()));
    // A count no one means (a store edited by hand): only the entries that exist are read.
    presetInt(QStringLiteral("AutoLoad"), QStringLiteral("Count"), 2000000000);
    presetText(QStringLiteral("AutoLoad"), QStringLiteral("File0"), first);
    presetText(QStringLiteral("AutoLoad"), QStringLiteral("File1"), QString());
    presetText(QStringLiteral("AutoLoad"), QStringLiteral("File2"), gone);
    presetInt(QStringLiteral("Settings"), QStringLiteral("AutoShowPresences"), 1);

    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].text, QStringLiteral("Startup panel file '%1' no longer exists.").arg(gone));
    EXPECT_EQ(asked[0].icon, QMessageBox::Critical);

    const QList<CDocument *> panels = app.docTemplate(CDocTemplate::Panels)->documents();
    ASSERT_EQ(panels.size(), 1);
    EXPECT_EQ(panels[0]->title(), QStringLiteral("Front desk"));
    EXPECT_EQ(app.docTemplate(CDocTemplate::Presences)->documents().size(), 1);
    // The first panel is the active window.
    EXPECT_EQ(app.mainFrame()->activePanel(), panels[0]);
    EXPECT_TRUE(app.live()->isThreadRunning());
    EXPECT_FALSE(app.reference()->databaseError);
    EXPECT_FALSE(app.reference()->activityMap.empty());
}

// What the program cannot keep, it says: settings in a folder that cannot be written (once, not
// at every change), and warnings that cannot be logged (on the status bar, with the reason).
TEST_F(Startup, SettingsThatCannotBeSavedAndAWarningLogThatCannotBeWrittenAreSaid)
{
    const QString blocker = dir.file(QStringLiteral("blocker"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    options.settingsFile = blocker + QStringLiteral("/settings.ini");
    options.connection = connectionTo(testDatabase());
    const QString log =
        options.programFolder +
        QStringLiteral("/InvalidAct-%1.log").arg(CClock::now().date().toString(QStringLiteral("yyyyMMdd")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), log));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    CPrompt::takeAsked();

    auto *pane = app.mainFrame()->findChild<QLabel *>(QStringLiteral("logProblemPane"));
    ASSERT_NE(pane, nullptr);
    EXPECT_FALSE(pane->isVisibleTo(app.mainFrame()));
    app.warnings()->raise(app.mainFrame(), {"7", "Last", "First", "08.12.2026.", "07:41", "Trip"});
    EXPECT_TRUE(pane->isVisibleTo(app.mainFrame()));
    EXPECT_TRUE(pane->toolTip().contains(log)) << pane->toolTip().toStdString();

    for (int i = 0; i < 2; ++i) {
        app.settings()->writeInt(QStringLiteral("Settings"), QStringLiteral("NameFormat"), i);
        EXPECT_FALSE(app.settings()->sync());
    }
    app.mainFrame()->close();
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(asked[0].text.contains(options.settingsFile)) << asked[0].text.toStdString();
}

TEST_F(Startup, ClosingTheMainWindowWritesTheSwitchesThenStopsTheThread)
{
    presetText(QStringLiteral("Settings"), QStringLiteral("Connection"), connectionTo(testDatabase()));
    presetInt(QStringLiteral("Settings"), QStringLiteral("NameFormat"), 1);
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    EXPECT_EQ(app.context()->nameFormat.load(), 1);
    EXPECT_EQ(app.context()->expandLatest.load(), 1);
    ASSERT_TRUE(app.live()->isThreadRunning());
    // The first cycle switches the status icon to connected.
    EXPECT_TRUE(testsupport::waitFor([&] { return app.mainFrame()->isConnected(); }, 10000));
    EXPECT_EQ(app.mainFrame()->connectionPane()->toolTip(), QStringLiteral("Connected to database"));

    app.mainFrame()->trigger(ExpandLatest); // off
    app.mainFrame()->close();

    EXPECT_TRUE(app.isShutDown());
    EXPECT_FALSE(app.live()->isThreadRunning());
    EXPECT_FALSE(app.reference()->connection().isOpen());
    EXPECT_TRUE(app.reference()->activityMap.empty());
    CSettings stored(options.settingsFile);
    EXPECT_EQ(stored.readInt(QStringLiteral("Settings"), QStringLiteral("ExpandLatest")), 0);
    EXPECT_TRUE(stored.contains(QStringLiteral("Settings"), QStringLiteral("NameFormat")));
    EXPECT_EQ(stored.readInt(QStringLiteral("Settings"), QStringLiteral("NameFormat")), 1);
    // Never changed, so never written: a default the administrator presets keeps applying.
    for (const char *name : {"LangWarning", "Legend", "FullScreen", "FullScreenPanel"})
        EXPECT_FALSE(stored.contains(QStringLiteral("Settings"), QLatin1String(name))) << name;
    EXPECT_FALSE(stored.readBytes(QStringLiteral("Settings"), QStringLiteral("ZVPLacement")).isEmpty());
}

// Quitting while windows still read the database (a report being built, a batch of photographs)
// stops that work before the connection goes; a statement that cannot be stopped within the
// budget is left the data it uses, and the program says so to main, which then ends at once.
TEST_F(Startup, QuittingWhileWindowsReadTheDatabase)
{
    // The writer lets go 300 ms into the quit (within its budget), or only after it.
    for (const bool withinBudget : {true, false}) {
        SCOPED_TRACE(withinBudget);
        const QString db = dir.file(QStringLiteral("held-%1.db").arg(int(withinBudget)));
        ASSERT_TRUE(QFile::copy(testDatabase(), db));
        {
            // A rollback journal: a writer's exclusive lock then holds readers too.
            QSqlDatabase setup = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("setup"));
            setup.setDatabaseName(db);
            ASSERT_TRUE(setup.open());
            QSqlQuery(setup).exec(QStringLiteral("pragma journal_mode = delete"));
            setup.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("setup"));
        presetText(QStringLiteral("Settings"), QStringLiteral("Connection"), connectionTo(db));
        presetInt(QStringLiteral("Settings"), QStringLiteral("Refresh"), 3600);
        // Another program writes: its exclusive lock holds every reader in SQLite's busy wait, as
        // a hung server would, until it lets go.
        std::promise<void> go, letGo;
        std::promise<bool> locked;
        std::thread writer([&db, started = go.get_future(), release = letGo.get_future(), &locked] {
            started.wait();
            bool ok = false;
            {
                QSqlDatabase w = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
                w.setDatabaseName(db);
                QSqlQuery q(w);
                ok = w.open() && q.exec(QStringLiteral("begin exclusive"));
                locked.set_value(ok);
                if (ok) {
                    release.wait();
                    q.exec(QStringLiteral("rollback"));
                }
            }
            QSqlDatabase::removeDatabase(QStringLiteral("writer"));
        });
        auto *app = new C_ZorvikApp(options);
        std::future<bool> lockTaken = locked.get_future();
        bool running = false, goSent = false;
        if (app->InitInstance() == C_ZorvikApp::StartResult::Running &&
            testsupport::waitFor([&] { return app->live()->passCount() > 0; }, 10000)) {
            C_MainFrame *frame = app->mainFrame();
            // A panel whose expanded tablets want their photographs read.
            auto *doc = new C_ZorvikDoc;
            C_ChildFrame *panel = frame->addPanel(doc);
            {
                QMutexLocker lock(&app->reference()->dbMutex);
                CDbCursor *emp = app->reference()->cursor(CReferenceData::EmployeeCursor);
                QString id;
                int y = 0;
                for (emp->moveFirst(); !emp->isEOF() && y < 4 * 96; emp->moveNext(), y += 96) {
                    emp->getFieldText(QStringLiteral("IDZaposlenog"), id);
                    CTablet *t = doc->addTablet(id, id, id, id, QRect(0, y, 168, 24));
                    t->setExpanded(true);
                    t->setExpandedSize(true);
                }
            }
            go.set_value();
            goSent = true;
            auto *view = qobject_cast<C_ZorvikView *>(panel->view());
            const bool taken = lockTaken.get();
            if (taken && view) {
                (void)view->canvas()->grab();
                QTimer::singleShot(0, frame, [] {
                    if (auto *dlg = qobject_cast<CD_RepLastAct *>(QApplication::activeModalWidget()))
                        dlg->findChild<QPushButton *>("ok")->click();
                });
                frame->trigger(LastActivity);
                // The photographs' batch is sent from the event loop; a report that takes a while
                // says so beside the connection state, which stays in sight.
                EXPECT_TRUE(testsupport::waitFor(
                    [&] { return frame->messagePane()->text() == CStringTable::text("report.building"); }, 3000));
                EXPECT_TRUE(frame->connectionPane()->isVisible());
                EXPECT_FALSE(view->canvas()->photoLoader()->isIdle());
                EXPECT_GE(CDbWorker::busyThreads(&app->reference()->connection()), 2);
                running = true;
                std::thread releaser;
                if (withinBudget)
                    releaser = std::thread([&letGo] {
                        std::this_thread::sleep_for(std::chrono::milliseconds(300));
                        letGo.set_value();
                    });
                frame->close();
                if (releaser.joinable())
                    releaser.join();
                EXPECT_TRUE(app->isShutDown());
                EXPECT_EQ(app->threadsLeftRunning(), !withinBudget);
                if (!app->threadsLeftRunning()) {
                    EXPECT_EQ(CDbWorker::busyThreads(&app->reference()->connection()), 0);
                }
            }
        }
        if (!goSent)
            go.set_value();
        if (!running || !withinBudget)
            letGo.set_value();
        writer.join();
        EXPECT_TRUE(running);
        // What main does after a shutdown that left threads: nothing is freed under them. Here the
        // threads end once the writer lets go, and then the object may go.
        EXPECT_TRUE(testsupport::waitFor([] { return CDbWorker::detachedThreads() == 0; }, 40000));
        delete app;
    }
}

TEST_F(Startup, ClosingWithAModifiedPanelCanBeCancelled)
{
    presetText(QStringLiteral("Settings"), QStringLiteral("Connection"), connectionTo(testDatabase()));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    auto *doc = new C_ZorvikDoc;
    doc->setTitle(QStringLiteral("Unsaved"));
    app.mainFrame()->addPanel(doc);
    doc->setModified(true);
    CPrompt::queueButton(QMessageBox::Cancel);
    EXPECT_FALSE(app.mainFrame()->close());
    EXPECT_FALSE(app.isShutDown());
    EXPECT_TRUE(app.live()->isThreadRunning());
    CPrompt::queueButton(QMessageBox::No);
    EXPECT_TRUE(app.mainFrame()->close());
    EXPECT_TRUE(app.isShutDown());
}

TEST_F(Startup, WarningsStillOpenAtExitAreNotLoggedAsAcknowledged)
{
    presetText(QStringLiteral("Settings"), QStringLiteral("Connection"), connectionTo(testDatabase()));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    CWarningCenter *center = app.warnings();
    ASSERT_NE(center, nullptr);
    for (const char *id : {"1001", "1002", "1003"})
        center->raise(app.mainFrame(),
                      InvalidActFields{QString::fromLatin1(id), "Last", "First", "08.12.2026.", "07:41", "Trip"});
    ASSERT_EQ(center->openWindows().size(), 3);
    center->openWindows().first()->findChild<QPushButton *>(QStringLiteral("ok"))->click();
    QCoreApplication::processEvents();

    ASSERT_TRUE(app.mainFrame()->close());
    // What quitting does next: every window left is asked to close.
    QApplication::closeAllWindows();
    QCoreApplication::processEvents();
    EXPECT_EQ(center->openWarnings(), 0);
    EXPECT_FALSE(center->isSoundPlaying());

    const QStringList logs = QDir(options.programFolder).entryList({QStringLiteral("InvalidAct-*.log")});
    ASSERT_EQ(logs.size(), 1);
    QFile log(QDir(options.programFolder).filePath(logs.first()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_EQ(text.count(" + "), 3);
    EXPECT_EQ(text.count(" - "), 1) << text.toStdString();
    EXPECT_TRUE(text.contains(" - 1001 "));
}

// The running program as the user sees it; with ZORVIK_SHOT_DIR set the pictures are kept.
TEST_F(Startup, MainWindowRendersWithItsBars)
{
    presetText(QStringLiteral("Settings"), QStringLiteral("Connection"), connectionTo(testDatabase()));
    const QString panel = writePanel(QStringLiteral("Reception.zvl"));
    presetInt(QStringLiteral("AutoLoad"), QStringLiteral("Count"), 1);
    presetText(QStringLiteral("AutoLoad"), QStringLiteral("File0"), panel);
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    C_MainFrame *frame = app.mainFrame();
    frame->resize(900, 600);
    frame->openPresences();
    frame->mdiArea()->setActiveSubWindow(frame->frameOf(app.docTemplate(CDocTemplate::Panels)->documents().first()));
    ASSERT_TRUE(testsupport::waitFor([&] { return frame->isConnected(); }, 10000));
    // A few employees on the panel, filled by an update pass.
    QList<QStringList> rows;
    {
        QMutexLocker lock(&app.reference()->dbMutex);
        CDbCursor *emp = app.reference()->cursor(CReferenceData::EmployeeCursor);
        for (emp->moveFirst(); !emp->isEOF() && rows.size() < 5; emp->moveNext()) {
            QString id, last, first;
            emp->getFieldText(QStringLiteral("IDZaposlenog"), id);
            emp->getFieldText(QStringLiteral("Prezime"), last);
            emp->getFieldText(QStringLiteral("Ime"), first);
            rows << QStringList{id, last, first};
        }
    }
    C_ZorvikDoc *doc = frame->activePanel();
    ASSERT_TRUE(doc);
    for (int i = 0; i < rows.size(); ++i)
        doc->addTablet(rows[i][1], rows[i][2], QString(), rows[i][0], QRect(24, 24 + 48 * i, 168, 24));
    const int passes = app.live()->passCount();
    doc->requestUpdate();
    EXPECT_TRUE(testsupport::waitFor([&] { return app.live()->passCount() > passes; }, 10000));
    EXPECT_EQ(doc->tabletCount(), rows.size());
    const QImage shot = frame->grab().toImage();
    EXPECT_EQ(shot.size(), frame->size() * shot.devicePixelRatio());
    // The connection icon is drawn, not left blank.
    const QImage icon = frame->connectionPane()->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            colours.insert(icon.pixel(x, y));
    EXPECT_GT(colours.size(), 4);
    const QString out = qEnvironmentVariable("ZORVIK_SHOT_DIR");
    if (!out.isEmpty()) {
        QDir().mkpath(out);
        shot.save(QDir(out).filePath(QStringLiteral("mainframe.png")));
        CIconSet::splashPixmap(QStringLiteral("2.7.14")).save(QDir(out).filePath(QStringLiteral("splash.png")));
    }
}

TEST_F(Startup, NewAndEmployeesOpenTheNewPanelDialog)
{
    presetText(QStringLiteral("Settings"), QStringLiteral("Connection"), connectionTo(testDatabase()));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    QStringList seen;
    // Answers the modal dialog as soon as it is up.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &closer, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<CD_New *>(w); d && d->isVisible()) {
                seen << (d->isEditMode() ? QStringLiteral("edit") : QStringLiteral("new"));
                d->reject();
            }
    });
    closer.start(20);
    app.mainFrame()->trigger(FileNew);
    EXPECT_TRUE(app.docTemplate(CDocTemplate::Panels)->documents().isEmpty()); // cancelled
    auto *doc = new C_ZorvikDoc;
    doc->setTitle(QStringLiteral("Lobby"));
    app.mainFrame()->addPanel(doc);
    app.mainFrame()->trigger(Employees);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("new"), QStringLiteral("edit")}));
}

TEST_F(Startup, DemoShowsTheSimulatorsClockingsOnASavedPanelWithinOneRefresh)
{
    // The demo database goes to the data folder, here a temporary one.
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.file(QStringLiteral("data")).toUtf8());
    C_ZorvikDoc saved;
    for (int id = 1001; id <= 1150; ++id)
        saved.addTablet(QStringLiteral("L"), QStringLiteral("F"), QString(), QString::number(id),
                        QRect(0, 24 * (id - 1001), 168, 24));
    QString error;
    const QString panelPath = dir.file(QStringLiteral("Everyone.zvl"));
    ASSERT_TRUE(saved.save(panelPath, &error));
    presetInt(QStringLiteral("AutoLoad"), QStringLiteral("Count"), 1);
    presetText(QStringLiteral("AutoLoad"), QStringLiteral("File0"), panelPath);
    presetInt(QStringLiteral("Settings"), QStringLiteral("Refresh"), 1);
    options.demo = true;
    options.simulator = true;

    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    ASSERT_NE(app.simulator(), nullptr);
    app.simulator()->stop(); // clock by hand, so the test knows which tablet must change
    const QList<CDocument *> panels = app.docTemplate(CDocTemplate::Panels)->documents();
    ASSERT_EQ(panels.size(), 1);
    auto *doc = qobject_cast<C_ZorvikDoc *>(panels[0]);
    ASSERT_TRUE(testsupport::waitFor([&] { return app.live()->passCount() >= 1; }, 20000));

    QString employee, activity;
    QObject::connect(app.simulator(), &CClockingSimulator::clocked, app.simulator(),
                     [&](const QString &e, const QString &a, bool) { employee = e, activity = a; });
    ASSERT_TRUE(app.simulator()->step());
    ASSERT_FALSE(employee.isEmpty());
    CTablet *t = doc->tablet(employee);
    ASSERT_NE(t, nullptr);
    const QString time = CClock::now().toString(QStringLiteral("HH:mm"));
    // One refresh interval (one second) plus the cycle in progress.
    EXPECT_TRUE(testsupport::waitFor([&] { return t->activityId == activity && t->timeText == time; }, 3000))
        << t->activityId.toStdString() << " " << t->timeText.toStdString();
    app.shutdown();
    qputenv("XDG_DATA_HOME", oldDataHome);
}

// Open/Arrange now closes and reopens every window while the File menu that started the
// command is still on the call stack; the menu must survive it, from the keyboard and the mouse.
TEST_F(Startup, OpenNowFromTheMenuKeepsTheProgramRunning)
{
    const QString panel = writePanel(QStringLiteral("Front desk.zvl"));
    presetText(QStringLiteral("Settings"), QStringLiteral("Connection"), connectionTo(testDatabase()));
    presetInt(QStringLiteral("AutoLoad"), QStringLiteral("Count"), 1);
    presetText(QStringLiteral("AutoLoad"), QStringLiteral("File0"), panel);
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    C_MainFrame *frame = app.mainFrame();
    QMenu *file = frame->findChild<QMenu *>(QStringLiteral("menu_file"));
    QAction *openAtStartup = frame->action(OpenAtStartup);
    ASSERT_TRUE(file && openAtStartup);

    for (const bool byKeyboard : {true, false}) {
        int pressed = 0;
        // Answers the dialog from inside its own event loop: Open/Arrange now, then close it.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, &answer, [&] {
            auto *dlg = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dlg || dlg->objectName() != QLatin1String("autoLoadDialog"))
                return;
            answer.stop();
            QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("openNowButton")), Qt::LeftButton);
            ++pressed;
            dlg->reject();
        });
        answer.start(10);
        file->popup(frame->mapToGlobal(QPoint(0, 0)));
        // On the screen, not only visible: Qt 6.8's offscreen platform shows a popup later.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
        if (byKeyboard) {
            file->setActiveAction(openAtStartup);
            QTest::keyClick(file, Qt::Key_Return);
        } else {
            // The pointer moves over the item first, as a hand's does: Qt 6.8's menus close on a
            // press that comes without it.
            const QPoint at = file->actionGeometry(openAtStartup).center();
            for (int dx = 8; dx >= 0; --dx)
                QTest::mouseMove(file, at + QPoint(dx, 0));
            QTest::mouseClick(file, Qt::LeftButton, {}, at);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        EXPECT_EQ(pressed, 1) << (byKeyboard ? "keyboard" : "mouse");
        // The panel came back and the menus still work.
        const QList<CDocument *> panels = app.docTemplate(CDocTemplate::Panels)->documents();
        ASSERT_EQ(panels.size(), 1);
        EXPECT_EQ(panels[0]->title(), QStringLiteral("Front desk"));
        EXPECT_EQ(frame->findChild<QMenu *>(QStringLiteral("menu_file")), file);
        EXPECT_TRUE(file->actions().contains(openAtStartup));
    }
    app.shutdown();
}

// The keys a desk and a wall display expect, on the whole program: F5 reads the database at
// once, F11 shows the active window alone and F11 or Esc returns, F1 opens the help, Ctrl+W
// closes the active window and Ctrl+Q quits.
TEST_F(Startup, StandardKeysOnTheWholeProgram)
{
    presetText(QStringLiteral("Settings"), QStringLiteral("Connection"), connectionTo(testDatabase()));
    presetInt(QStringLiteral("Settings"), QStringLiteral("Refresh"), 600);
    presetInt(QStringLiteral("Settings"), QStringLiteral("AutoShowPresences"), 1);
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    C_MainFrame *frame = app.mainFrame();
    frame->activateWindow();
    ASSERT_TRUE(testsupport::waitFor([&] { return frame->isActiveWindow() && app.live()->passCount() >= 1; }, 20000));

    const int passes = app.live()->passCount();
    QTest::keyClick(frame, Qt::Key_F5);
    EXPECT_TRUE(testsupport::waitFor([&] { return app.live()->passCount() > passes; }, 5000));

    QTest::keyClick(frame, Qt::Key_F11);
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_TRUE(frame->menuBar()->isHidden() && frame->toolBar()->isHidden() && frame->statusBar()->isHidden());
    QTest::keyClick(frame, Qt::Key_Escape);
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_FALSE(frame->menuBar()->isHidden() || frame->toolBar()->isHidden() || frame->statusBar()->isHidden());
    QTest::keyClick(frame, Qt::Key_F11);
    QTest::keyClick(frame, Qt::Key_F11);
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_FALSE(frame->menuBar()->isHidden());

    QTest::keyClick(frame, Qt::Key_F1);
    auto *help = frame->findChild<QDialog *>(QStringLiteral("helpWindow"));
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->isVisible());
    help->close();

    frame->activateWindow();
    ASSERT_TRUE(testsupport::waitFor([&] { return frame->isActiveWindow(); }));
    ASSERT_EQ(frame->childFrames().size(), 1); // the presences window
    EXPECT_TRUE(testsupport::waitFor([&] { return frame->activeChild() != nullptr; }, 2000));
    QTest::keyClick(frame, Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(testsupport::waitFor([&] { return frame->childFrames().isEmpty(); }, 2000));
    ASSERT_TRUE(testsupport::waitFor([&] { return frame->isActiveWindow(); }));
    QTest::keyClick(frame, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(testsupport::waitFor([&] { return app.isShutDown(); }, 3000));
}
