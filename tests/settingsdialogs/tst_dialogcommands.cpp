#include "AppSandbox.h"
#include "DialogTestUtil.h"
#include "TestSupport.h"
#include "app/CAppContext.h"
#include "app/CSettings.h"
#include "app/C_ZorvikApp.h"
#include "db/CConnectionString.h"
#include "db/CDbConnection.h"
#include "db/CDbCursor.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "dialogs/CConnectionBuilder.h"
#include "dialogs/CD_AutoLoad.h"
#include "dialogs/CD_Database.h"
#include "dialogs/CD_NameFormat.h"
#include "dialogs/CD_New.h"
#include "dialogs/CPrompt.h"
#include "live/CLiveUpdate.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"
#include "rollcall/COnSiteList.h"
#include "views/C_MainFrame.h"
#include "views/CommandIds.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>

using namespace dialogtest;

namespace {

QString testDatabase()
{
    return testsupport::smallDemoDatabase(8, 2);
}

// The whole program over a temporary settings file, every prompt answered by the test.
class Commands : public ::testing::Test
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
        testsupport::waitFor([] { return CDbWorker::detachedThreads() == 0; }, 15000);
        CDbConnection::setDefaultTimeouts(0, 0);
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
    }
    void storeConnection(const QString &cs)
    {
        CSettings s(options.settingsFile);
        s.writeText(QStringLiteral("Settings"), QStringLiteral("Connection"), cs);
    }
    C_ZorvikDoc *panelWithTablets(C_ZorvikApp &app, const QString &title)
    {
        auto *doc = new C_ZorvikDoc;
        doc->setTitle(title);
        // Employees of the database: the update pass drops tablets of unknown ones.
        CDbCursor *employees = app.reference()->cursor(CReferenceData::EmployeeCursor);
        employees->moveFirst();
        for (int row = 0; row < 2 && !employees->isEOF(); ++row, employees->moveNext()) {
            QString id;
            employees->getFieldText(QStringLiteral("IDZaposlenog"), id);
            doc->addTablet(row ? "Ilić" : "Novak", row ? "Marko" : "Ana", "0000111" + QString::number(row), id,
                           QRect(0, 24 * row, 168, 24));
        }
        app.mainFrame()->addPanel(doc);
        return doc;
    }

    testsupport::TempDir dir;
    C_ZorvikApp::Options options;
};

} // namespace

TEST_F(Commands, NameFormatRepaintsEveryOpenPanelAtOnceAndSurvivesARestart)
{
    storeConnection(CDemoDatabase::connectionString(testDatabase()));
    {
        C_ZorvikApp app(options);
        ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
        const QList<C_ZorvikDoc *> docs{panelWithTablets(app, "Front"), panelWithTablets(app, "Back")};
        QList<CTablet *> tablets;
        for (C_ZorvikDoc *doc : docs)
            for (CTablet *t : doc->tablets())
                tablets << t;
        // Without polling, the only repaints are the command's own.
        ASSERT_TRUE(app.live()->stop(5000));
        QCoreApplication::processEvents();
        QHash<const CTablet *, int> repaints;
        for (C_ZorvikDoc *doc : docs)
            QObject::connect(doc, &C_ZorvikDoc::tabletChanged, doc, [&repaints](CTablet *t) { ++repaints[t]; });

        // Cancel changes nothing, even with the other button chosen.
        onModal<CD_NameFormat>([](CD_NameFormat *d) {
            d->findChild<QRadioButton *>("firstLast")->setChecked(true);
            d->reject();
        });
        app.mainFrame()->trigger(Command::NameFormat);
        EXPECT_EQ(app.context()->nameFormat.load(), 0);
        EXPECT_TRUE(repaints.isEmpty());

        onModal<CD_NameFormat>([](CD_NameFormat *d) {
            EXPECT_TRUE(d->findChild<QRadioButton *>("lastFirst")->isChecked());
            shoot(d, "name-format");
            d->findChild<QRadioButton *>("firstLast")->setChecked(true);
            d->findChild<QPushButton *>("okButton")->click();
        });
        app.mainFrame()->trigger(Command::NameFormat);
        EXPECT_EQ(app.context()->nameFormat.load(), 1);
        ASSERT_EQ(tablets.size(), 4);
        for (const CTablet *t : std::as_const(tablets))
            EXPECT_EQ(repaints.value(t), 1); // every tablet of both panels, without waiting for a cycle
        EXPECT_EQ(repaints.size(), 4);
        QStringList names;
        for (const CTablet *t : std::as_const(tablets))
            names << t->displayName(app.context()->nameFormat);
        EXPECT_TRUE(names.contains("Ana Novak") && names.contains("Marko Ilić")) << names.join(',').toStdString();
        app.mainFrame()->close();
    }
    C_ZorvikApp again(options);
    ASSERT_EQ(again.InitInstance(), C_ZorvikApp::StartResult::Running);
    EXPECT_EQ(again.context()->nameFormat.load(), 1);
}

TEST_F(Commands, OpenArrangeNowWithAnEmptyListLeavesOnlyThePresencesWindowAndTheDialogOpen)
{
    storeConnection(CDemoDatabase::connectionString(testDatabase()));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    C_MainFrame *frame = app.mainFrame();
    panelWithTablets(app, "Front");
    frame->openGuests();
    frame->openPresences();
    CPrompt::queueButton(QMessageBox::No); // the modified panel is not saved
    bool stayedOpen = false;
    int panels = -1, presences = -1, guests = -1;
    onModal<CD_AutoLoad>([&](CD_AutoLoad *d) {
        d->findChild<QCheckBox *>("presencesCheck")->setChecked(true);
        d->findChild<QPushButton *>("openNowButton")->click();
        stayedOpen = d->isVisible();
        panels = int(app.docTemplate(CDocTemplate::Panels)->documents().size());
        presences = int(app.docTemplate(CDocTemplate::Presences)->documents().size());
        guests = int(app.docTemplate(CDocTemplate::Guests)->documents().size());
        shoot(d, "open-at-startup");
        d->reject();
    });
    frame->trigger(Command::OpenAtStartup);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(panels, 0);
    EXPECT_EQ(presences, 1);
    EXPECT_EQ(guests, 0);
    EXPECT_EQ(app.context()->autoShowPresences, 1);
    EXPECT_EQ(app.settings()->readInt("Settings", "AutoShowPresences"), 1);
}

TEST_F(Commands, DatabaseServerShowsTheValuesInUseAfterAChangeUntilTheRestart)
{
    const QString inUse = CDemoDatabase::connectionString(testDatabase());
    storeConnection(inUse);
    {
        CSettings stored(options.settingsFile);
        stored.writeInt("Settings", "Refresh", -5); // in use: 60 seconds, and so shown
        stored.sync();
    }
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    QStringList shown;
    auto look = [&](bool change) {
        onModal<CD_Database>([&, change](CD_Database *d) {
            shown << d->findChild<QPlainTextEdit *>("connectionString")->toPlainText()
                  << d->findChild<QLineEdit *>("refresh")->text();
            if (change)
                d->findChild<QLineEdit *>("refresh")->setText("7");
            d->findChild<QPushButton *>("okButton")->click();
        });
        app.mainFrame()->trigger(Command::DatabaseServer);
    };
    look(true);
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].text, "You must restart the application in order to use new database settings.");
    EXPECT_EQ(asked[0].icon, QMessageBox::Information);
    EXPECT_EQ(app.settings()->readInt("Settings", "Refresh"), 7);
    look(false);
    EXPECT_EQ(shown, (QStringList{inUse, "60", inUse, "60"}));
}

// A string given with --connection is used for the run and shown as such; OK keeps the stored
// one (even with a change of the interval), so the run's password never reaches the file.
TEST_F(Commands, DatabaseServerNeverStoresTheRunsOwnString)
{
    const QString stored = "Driver=SQLite3;Database=/nowhere/stored.db;PWD=kept";
    storeConnection(stored);
    options.connection = CDemoDatabase::connectionString(testDatabase()) + ";PWD=runsecret";
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    EXPECT_EQ(app.reference()->connectionString(), options.connection);
    QString edited, runOnly;
    onModal<CD_Database>([&](CD_Database *d) {
        edited = d->findChild<QPlainTextEdit *>("connectionString")->toPlainText();
        auto *label = d->findChild<QLabel *>("runOnlyConnection");
        runOnly = label ? label->text() : QString();
        d->findChild<QLineEdit *>("refresh")->setText("9");
        d->findChild<QPushButton *>("okButton")->click();
    });
    app.mainFrame()->trigger(Command::DatabaseServer);
    CPrompt::takeAsked();
    EXPECT_EQ(edited, CConnectionString::masked(stored));
    EXPECT_TRUE(runOnly.contains(CConnectionString::masked(options.connection))) << runOnly.toStdString();
    EXPECT_FALSE(runOnly.contains("runsecret"));
    CSettings file(options.settingsFile);
    EXPECT_EQ(file.readText("Settings", "Connection"), stored);
    EXPECT_EQ(file.readInt("Settings", "Refresh"), 9);
}

// A re-read of the employees that fails (here the employee view is gone for a moment) keeps the
// rows there are: the new-panel dialog still lists everyone, the on-site list says it is not
// current instead of counting nobody, and the polling thread reads them again once it can.
TEST_F(Commands, AFailedReReadOfTheEmployeesKeepsTheLastRowsAndSaysSo)
{
    const QString db = dir.file("att.db");
    ASSERT_TRUE(QFile::copy(testDatabase(), db));
    storeConnection(CDemoDatabase::connectionString(db));
    {
        CSettings s(options.settingsFile);
        s.writeInt("Settings", "Refresh", 1);
    }
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    COnSiteList *onSite = app.onSiteList();
    ASSERT_TRUE(testsupport::waitFor([&] { return onSite->hasResult() && !onSite->isBusy(); }, 10000));
    const int everyone = app.reference()->cursor(CReferenceData::EmployeeCursor)->recordCount();
    ASSERT_GT(everyone, 0);
    const COnSiteList::Result before = onSite->latest();

    QSqlDatabase side = QSqlDatabase::addDatabase("QSQLITE", "side");
    side.setDatabaseName(db);
    ASSERT_TRUE(side.open());
    QSqlQuery q(side);
    ASSERT_TRUE(q.exec("select sql from sqlite_master where name = 'viewPhoto'") && q.next());
    const QString view = q.value(0).toString();
    ASSERT_TRUE(q.exec("drop view viewPhoto"));

    panelWithTablets(app, "Panel");
    int listed = -1;
    onModal<CD_New>([&](CD_New *d) {
        testsupport::waitFor([&] { return app.reference()->employeesStale.load(); }, 10000);
        listed = d->findChild<QTreeView *>("employeeList")->model()->rowCount();
        d->reject();
    });
    app.mainFrame()->trigger(Command::Employees);
    EXPECT_EQ(listed, everyone);
    EXPECT_TRUE(app.reference()->cursor(CReferenceData::EmployeeCursor)->isOpen());
    // Lists made now are not today's: they keep the last good count and say so.
    QList<COnSiteList::Result> made;
    QObject::connect(onSite, &COnSiteList::ready, onSite, [&](const COnSiteList::Result &r) { made << r; });
    onSite->refresh();
    ASSERT_TRUE(testsupport::waitFor([&] { return !made.isEmpty(); }, 10000));
    EXPECT_FALSE(made.last().live);
    EXPECT_EQ(onSite->latest().employees, before.employees);
    EXPECT_EQ(onSite->latest().notYetIn.size(), before.notYetIn.size());

    ASSERT_TRUE(q.exec(view));
    q = QSqlQuery();
    side.close();
    side = QSqlDatabase();
    QSqlDatabase::removeDatabase("side");
    EXPECT_TRUE(testsupport::waitFor(
        [&] { return !app.reference()->employeesStale && !app.reference()->databaseError; }, 20000));
    made.clear();
    ASSERT_TRUE(testsupport::waitFor([&] { return !made.isEmpty() && made.last().live; }, 10000));
    EXPECT_EQ(app.reference()->cursor(CReferenceData::EmployeeCursor)->recordCount(), everyone);
}

TEST_F(Commands, StartupWithoutAStringUsesTheBuilderAndMessagesNeverShowThePassword)
{
    // No string stored: the builder asks, and its string is stored and used.
    const QString database = "Driver=SQLite3;Database=" + testDatabase();
    CPrompt::queueButton(QMessageBox::Ok);
    onModal<CConnectionBuilder>([&](CConnectionBuilder *b) {
        EXPECT_EQ(b->mode(), CConnectionBuilder::NewSource);
        b->findChild<QPlainTextEdit *>("connectionString")->setPlainText(database);
        b->findChild<QPushButton *>("okButton")->click();
    });
    {
        C_ZorvikApp app(options);
        ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
        EXPECT_FALSE(app.reference()->databaseError);
        EXPECT_EQ(app.settings()->readText("Settings", "Connection"), database);
        app.mainFrame()->close();
    }
    CPrompt::takeAsked();

    // A server that refuses: the message names the string with its password hidden.
    CDbConnection::setDefaultTimeouts(2, 2);
    const quint16 port = closedPort();
    storeConnection(
        QStringLiteral("Driver={FreeTDS};Server=127.0.0.1;Port=%1;UID=sa;PWD=topsecret;TDS_Version=7.4").arg(port));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].text, QStringLiteral("Unable to open database:\nDriver={FreeTDS};Server=127.0.0.1;Port=%1;"
                                            "UID=sa;PWD=********;TDS_Version=7.4")
                                 .arg(port));
}

// Thirty desks, one administrator: the system file presets values and locks some. A locked value
// is read from there whatever the user's file says, shown disabled in its dialog and never
// written; a value the user never changed is not written at the end of the run, so a later
// change of the system file still reaches the desk; --connection still overrides for one run.
TEST_F(Commands, TheAdministratorsFileLocksValuesAndPresetsThoseTheUserNeverChanged)
{
    const QString system = CSettings::systemFileFor(QStringLiteral("Orvane"), QStringLiteral("Zorvik"));
    const QString adminString = CDemoDatabase::connectionString(testDatabase());
    {
        QSettings admin(system, QSettings::IniFormat);
        admin.setValue("Settings/Connection", adminString);
        admin.setValue("Settings/Refresh", 30);
        admin.setValue("Settings/NameFormat", 1);
        admin.setValue("AutoLoad/Count", 1);
        admin.setValue("AutoLoad/File0", "/srv/zorvik/Reception.zvl");
        admin.setValue("Settings/Locked", QStringList{"Connection", "Refresh", "AutoLoad/*"});
    }
    {
        CSettings user(options.settingsFile);
        user.writeText("Settings", "Connection", "Provider=SQLite;Data Source=/nowhere/users-own.db");
        user.writeInt("Settings", "Refresh", 5);
        user.sync();
    }
    {
        C_ZorvikApp app(options);
        ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
        EXPECT_EQ(app.reference()->connectionString(), adminString);
        EXPECT_EQ(app.context()->refreshSeconds, 30);
        EXPECT_EQ(app.context()->nameFormat, 1);
        bool changeEnabled = true, refreshEnabled = true;
        QStringList notes;
        onModal<CD_Database>([&](CD_Database *d) {
            changeEnabled = d->findChild<QPushButton *>("changeButton")->isEnabled();
            refreshEnabled = d->findChild<QLineEdit *>("refresh")->isEnabled();
            for (const char *name : {"connectionLocked", "refreshLocked"})
                if (auto *note = d->findChild<QLabel *>(name))
                    notes << note->text();
            d->findChild<QPushButton *>("okButton")->click();
        });
        app.mainFrame()->trigger(Command::DatabaseServer);
        CPrompt::takeAsked();
        bool addEnabled = true;
        onModal<CD_AutoLoad>([&](CD_AutoLoad *d) {
            addEnabled = d->findChild<QPushButton *>("addButton")->isEnabled();
            if (auto *note = d->findChild<QLabel *>("autoLoadLocked"))
                notes << note->text();
            d->reject();
        });
        app.mainFrame()->trigger(Command::OpenAtStartup);
        CPrompt::takeAsked();
        EXPECT_FALSE(addEnabled);
        EXPECT_FALSE(changeEnabled);
        EXPECT_FALSE(refreshEnabled);
        EXPECT_EQ(notes, QStringList(3, "Set by your administrator"));
        // Writes to a locked value are dropped, whoever tries.
        app.settings()->writeInt("Settings", "Refresh", 2);
        EXPECT_EQ(app.settings()->readInt("Settings", "Refresh"), 30);
        app.shutdown();
    }
    const QSettings userFile(options.settingsFile, QSettings::IniFormat);
    EXPECT_EQ(userFile.value("Settings/Refresh").toInt(), 5);
    for (const char *name : {"NameFormat", "LangWarning", "ExpandLatest"})
        EXPECT_FALSE(userFile.contains(QStringLiteral("Settings/") + QLatin1String(name))) << name;
    {
        QSettings admin(system, QSettings::IniFormat);
        admin.setValue("Settings/NameFormat", 0);
    }
    const std::unique_ptr<CSettings> next = C_ZorvikApp::makeSettings(options);
    EXPECT_EQ(next->readInt("Settings", "NameFormat"), 0);
    options.connection = "Provider=SQLite;Data Source=/this/run/only.db";
    EXPECT_EQ(C_ZorvikApp::connectionFor(options, *next), options.connection);
    QFile::remove(system);
}
