#include "ContextSandbox.h"
#include "DialogTestUtil.h"
#include "MnemonicCheck.h"
#include "TestSupport.h"
#include "app/CAppContext.h"
#include "app/CConnectionStore.h"
#include "app/CSettings.h"
#include "app/CVersion.h"
#include "db/CConnectionString.h"
#include "db/CDbConnection.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CConnectionBuilder.h"
#include "dialogs/CD_AutoLoad.h"
#include "dialogs/CD_Database.h"
#include "dialogs/CPrompt.h"
#include "live/CLiveUpdate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace dialogtest;

namespace {

class Dialogs : public ::testing::Test, protected testsupport::ContextSandbox
{
protected:
    Dialogs() : ContextSandbox(QStringLiteral("/")) {}
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
    }
    void TearDown() override
    {
        testsupport::waitFor([] { return CDbWorker::detachedThreads() == 0; }, 15000);
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
    }
    int storedInt(const char *section, const char *name)
    {
        return CSettings(settings->fileName()).readInt(QLatin1String(section), QLatin1String(name));
    }
    QString storedText(const QString &section, const QString &name)
    {
        return CSettings(settings->fileName()).readText(section, name);
    }
    template <class T> static T *child(QWidget *w, const char *name)
    {
        T *c = w->findChild<T *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
};

QStringList rows(QTreeWidget *view)
{
    QStringList out;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        out << view->topLevelItem(i)->text(0);
    return out;
}

void clickRow(QTreeWidget *view, int row)
{
    const QRect r = view->visualItemRect(view->topLevelItem(row));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace

TEST_F(Dialogs, OpenAtStartupListAddsOnceMovesWithinItsEndsAndButtonsFollowOnlyClicks)
{
    CD_AutoLoad dlg(settings.get(), context.get(), {});
    dlg.show();
    auto *view = child<QTreeWidget>(&dlg, "panelList");
    auto *up = child<QPushButton>(&dlg, "upButton");
    auto *down = child<QPushButton>(&dlg, "downButton");
    auto *remove = child<QPushButton>(&dlg, "removeButton");
    EXPECT_EQ(view->headerItem()->text(0), QStringLiteral("Panel"));
    EXPECT_FALSE(up->isEnabled() || down->isEnabled() || remove->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(&dlg, "guestsCheck")->isEnabled());

    // Three files of one choice, in the order the file dialog gives them; again (in other
    // capitals) adds nothing.
    const QStringList three{"/p/Reception.zvl", "/p/Alpha.zvl", "/p/Store.zvl"};
    CPrompt::queueFile(three.join(u';'));
    child<QPushButton>(&dlg, "addButton")->click();
    EXPECT_EQ(rows(view), three);
    CPrompt::queueFile("/P/ALPHA.zvl;/p/Reception.zvl");
    child<QPushButton>(&dlg, "addButton")->click();
    EXPECT_EQ(rows(view), three);
    child<QPushButton>(&dlg, "addButton")->click(); // cancelled
    EXPECT_EQ(rows(view), three);

    // The buttons follow a click in the list, not the moves.
    clickRow(view, 0);
    EXPECT_TRUE(up->isEnabled() && down->isEnabled() && remove->isEnabled());
    up->click();
    EXPECT_EQ(rows(view), three);
    down->click();
    down->click();
    EXPECT_EQ(rows(view), (QStringList{"/p/Alpha.zvl", "/p/Store.zvl", "/p/Reception.zvl"}));
    EXPECT_EQ(view->selectedItems().value(0)->text(0), "/p/Reception.zvl");
    down->click(); // the last row stays last
    EXPECT_EQ(rows(view).last(), "/p/Reception.zvl");

    // Removing all, at once and without a question; the buttons keep their state.
    for (int i = 0; i < 3; ++i) {
        clickRow(view, 0);
        remove->click();
    }
    EXPECT_TRUE(view->topLevelItemCount() == 0 && remove->isEnabled());
    remove->click();                         // nothing selected: nothing happens
    const auto asked = CPrompt::takeAsked(); // the three file dialogs, no question
    ASSERT_EQ(asked.size(), 3);
    for (const auto &a : asked)
        EXPECT_EQ(a.kind, "openMany");
    child<QPushButton>(&dlg, "okButton")->click();
    EXPECT_EQ(storedInt("AutoLoad", "Count"), 0);
}

TEST_F(Dialogs, OpenAtStartupSaveWritesEverySwitchAndLeavesEntriesBeyondTheCount)
{
    settings->writeInt("AutoLoad", "Count", 6);
    for (int i = 0; i < 6; ++i)
        settings->writeText("AutoLoad", QStringLiteral("File%1").arg(i),
                            i == 3 ? QString() : QStringLiteral("/p/%1.zvl").arg(i));
    settings->sync();
    context->autoShowMandatory = 1;
    context->autoShowGuests = 1;

    CD_AutoLoad dlg(settings.get(), context.get(), {});
    dlg.show();
    auto *view = child<QTreeWidget>(&dlg, "panelList");
    EXPECT_EQ(rows(view), (QStringList{"/p/0.zvl", "/p/1.zvl", "/p/2.zvl", "/p/4.zvl", "/p/5.zvl"}));
    // Cancel writes nothing.
    clickRow(view, 0);
    child<QPushButton>(&dlg, "removeButton")->click();
    dlg.reject();
    EXPECT_EQ(storedInt("AutoLoad", "Count"), 6);

    CD_AutoLoad again(settings.get(), context.get(), {});
    again.show();
    view = child<QTreeWidget>(&again, "panelList");
    for (int i = 0; i < 3; ++i) {
        clickRow(view, 1);
        child<QPushButton>(&again, "removeButton")->click();
    }
    child<QCheckBox>(&again, "presencesCheck")->setChecked(true);
    child<QPushButton>(&again, "okButton")->click();

    EXPECT_EQ(storedInt("AutoLoad", "Count"), 2);
    EXPECT_EQ(storedText("AutoLoad", "File0"), "/p/0.zvl");
    EXPECT_EQ(storedText("AutoLoad", "File1"), "/p/5.zvl");
    EXPECT_EQ(storedText("AutoLoad", "File2"), "/p/2.zvl"); // stale, ignored by the count
    EXPECT_EQ(storedText("AutoLoad", "File4"), "/p/4.zvl");
    EXPECT_EQ(storedInt("Settings", "AutoShowPresences"), 1);
    EXPECT_EQ(storedInt("Settings", "AutoShowGuests"), 0);
    EXPECT_EQ(storedInt("Settings", "AutoShowMandatory"), 1);
    EXPECT_EQ(context->autoShowPresences, 1);
    EXPECT_EQ(context->autoShowGuests, 0);
}

TEST_F(Dialogs, DatabaseDialogShowsValuesInUseMasksThePasswordAndWritesAllThreeOnOk)
{
    settings->writeText("Settings", "Connection", "Provider=SQLite;Data Source=/stored/new.db");
    settings->writeInt("Settings", "Refresh", 5);
    const QString inUse = "Driver={FreeTDS};Server=db1;Port=1433;Database=att;UID=sa;PWD=s3cr3t;TDS_Version=7.4";
    CD_Database dlg(settings.get(), inUse, 45);
    dlg.show();
    auto *view = child<QPlainTextEdit>(&dlg, "connectionString");
    auto *refresh = child<QLineEdit>(&dlg, "refresh");
    EXPECT_EQ(view->toPlainText(),
              "Driver={FreeTDS};Server=db1;Port=1433;Database=att;UID=sa;PWD=********;TDS_Version=7.4");
    EXPECT_FALSE(view->toPlainText().contains("s3cr3t"));
    EXPECT_TRUE(view->isReadOnly());
    EXPECT_EQ(refresh->text(), "45");
    shoot(&dlg, "database-dialog");

    // Digits only; a number beyond 32 bits is refused with the message a non-number gets.
    refresh->end(false);
    QTest::keyClicks(refresh, "x1");
    EXPECT_EQ(refresh->text(), "451");
    refresh->setText("2147483648");
    child<QPushButton>(&dlg, "okButton")->click();
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(storedInt("Settings", "Refresh"), 5);
    refresh->clear();
    child<QPushButton>(&dlg, "okButton")->click();
    EXPECT_EQ(CPrompt::takeAsked().value(0).text, asked[0].text);

    // OK without other changes writes all three; 0 is a valid interval.
    refresh->setText("0");
    child<QPushButton>(&dlg, "okButton")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(storedInt("Settings", "Refresh"), 0);
    // No keyring answers in the tests: the string is stored whole, password included, and the
    // caller is told so.
    EXPECT_EQ(storedText("Settings", "Connection"), inUse);
    EXPECT_EQ(dlg.kept(), CConnectionStore::Kept::SettingsFile);
    EXPECT_EQ(storedInt("Settings", "KRVersion"), 1);
}

TEST_F(Dialogs, ChangeOpensNewForNoStringAndEditPrefilledOtherwise)
{
    CD_Database empty(settings.get(), QString(), 60);
    empty.show();
    CConnectionBuilder::Mode mode = CConnectionBuilder::EditSource;
    onModal<CConnectionBuilder>([&](CConnectionBuilder *b) {
        mode = b->mode();
        shoot(b, "connection-builder-new");
        b->reject();
    });
    empty.change();
    EXPECT_EQ(mode, CConnectionBuilder::NewSource);
    EXPECT_TRUE(empty.connectionString().isEmpty()); // cancelled: nothing changes

    const QString old = "Driver={FreeTDS};Server=db1;UID=sa;PWD=s3cr3t;App=Desk";
    CD_Database dlg(settings.get(), old, 60);
    dlg.show();
    QString server, password;
    onModal<CConnectionBuilder>([&](CConnectionBuilder *b) {
        mode = b->mode();
        server = b->findChild<QLineEdit *>("server")->text();
        password = b->findChild<QLineEdit *>("password")->text();
        auto *edit = b->findChild<QLineEdit *>("server");
        edit->selectAll();
        QTest::keyClicks(edit, "db2");
        b->accept();
    });
    dlg.change();
    EXPECT_EQ(mode, CConnectionBuilder::EditSource);
    EXPECT_EQ(server, "db1");
    EXPECT_EQ(password, "s3cr3t");
    EXPECT_EQ(dlg.connectionString(), "Driver={FreeTDS};Server=db2;UID=sa;PWD=s3cr3t;App=Desk");
    EXPECT_EQ(dlg.findChild<QPlainTextEdit *>("connectionString")->toPlainText(),
              "Driver={FreeTDS};Server=db2;UID=sa;PWD=********;App=Desk");
}

TEST_F(Dialogs, BuilderComposesFromFieldsParsesBackAndNeverShowsThePassword)
{
    CConnectionBuilder b;
    b.load("Driver={FreeTDS};ApplicationIntent=ReadOnly;Port=1433;TDS_Version=7.4;ClientCharset=UTF-8");
    b.show();
    const QList<std::pair<const char *, QString>> typed{
        {"server", "sql.example.org"}, {"database", "Kadrovska"}, {"user", "zorvik"}, {"password", "p;w d}"}};
    for (const auto &[name, value] : typed)
        QTest::keyClicks(child<QLineEdit>(&b, name), value);
    auto *port = child<QLineEdit>(&b, "port");
    port->selectAll();
    QTest::keyClicks(port, "14x34"); // digits only
    EXPECT_EQ(port->text(), "1434");
    const QString composed = b.composedString();
    EXPECT_EQ(composed, "Driver={FreeTDS};ApplicationIntent=ReadOnly;Port=1434;TDS_Version=7.4;"
                        "ClientCharset=UTF-8;Server=sql.example.org;Database=Kadrovska;UID=zorvik;PWD={p;w d}}}");
    auto *view = child<QPlainTextEdit>(&b, "connectionString");
    EXPECT_FALSE(view->toPlainText().contains("p;w"));
    EXPECT_TRUE(view->toPlainText().contains("PWD=********"));
    EXPECT_TRUE(child<QComboBox>(&b, "tdsVersion")->isEnabled());
    shoot(&b, "connection-builder");

    // Parsed back, the fields are the same.
    CConnectionBuilder back;
    back.load(composed);
    for (const auto &[name, value] : typed)
        EXPECT_EQ(child<QLineEdit>(&back, name)->text(), value) << name;
    EXPECT_EQ(child<QLineEdit>(&back, "port")->text(), "1434");
    EXPECT_EQ(back.composedString(), composed);

    // Edited by hand: the mask stands for the field's password, a new value replaces it.
    view->setPlainText("Driver={FreeTDS};Server=other;PWD=********;Timeout=5");
    EXPECT_EQ(b.composedString(), "Driver={FreeTDS};Server=other;PWD={p;w d}}};Timeout=5");
    EXPECT_EQ(child<QLineEdit>(&b, "server")->text(), "other");
    EXPECT_TRUE(child<QLineEdit>(&b, "database")->text().isEmpty());
    view->setPlainText("DSN=att;PWD=new");
    EXPECT_EQ(b.composedString(), "DSN=att;PWD=new");
    EXPECT_EQ(child<QLineEdit>(&b, "password")->text(), "new");
    EXPECT_EQ(child<QComboBox>(&b, "dataSource")->currentText(), "att");
    EXPECT_FALSE(child<QComboBox>(&b, "tdsVersion")->isEnabled());
}

TEST_F(Dialogs, TestConnectionRunsOffTheInterfaceThreadAndReportsTheDriversAnswer)
{
    CDbConnection::setDefaultTimeouts(3, 3);
    CConnectionBuilder b;
    b.show();
    auto *test = child<QPushButton>(&b, "testButton");
    auto *result = child<QLabel>(&b, "testResult");
    QSignalSpy finished(&b, &CConnectionBuilder::testFinished);

    b.load(QStringLiteral("Driver={FreeTDS};Server=127.0.0.1;Port=%1;Database=att;UID=sa;PWD=s3cr3t;"
                          "TDS_Version=7.4")
               .arg(closedPort()));
    test->click();
    // The click returns at once; the dialog keeps answering while the driver works.
    EXPECT_TRUE(b.isTesting());
    EXPECT_FALSE(test->isEnabled());
    EXPECT_EQ(result->text(), "Connecting...");
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_TRUE(result->text().startsWith("The connection failed:\n"));
    EXPECT_GT(result->text().size(), QStringLiteral("The connection failed:\n").size() + 5)
        << result->text().toStdString();
    EXPECT_FALSE(result->text().contains("s3cr3t"));
    EXPECT_TRUE(test->isEnabled());
    shoot(&b, "connection-builder-failed");

    // The demo database through the SQLite ODBC driver.
    CDemoDatabase::DemoOptions o;
    o.employees = 5;
    o.departments = 1;
    o.historyDays = 0;
    o.photographs = false;
    QString error;
    const QString path = dir.file("attendance.db");
    ASSERT_TRUE(CDemoDatabase::build(path, o, &error)) << error.toStdString();
    b.load("Driver=SQLite3;Database=" + path);
    EXPECT_TRUE(result->text().isEmpty());
    test->click();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(finished.at(1).at(0).toBool()) << result->text().toStdString();
    EXPECT_EQ(result->text(), "The connection succeeded.");
    CDbConnection::setDefaultTimeouts(0, 0);
}

// Whatever names the source, a data source of odbc.ini, a driver or the demo, the builder keeps
// one kind of it and the string connects as written; its password stays hidden, quoted or not.
TEST_F(Dialogs, EverySourceTheBuilderOffersConnectsAsWritten)
{
    CDemoDatabase::DemoOptions o;
    o.employees = 5;
    o.departments = 1;
    o.historyDays = 0;
    o.photographs = false;
    QString error;
    const QString path = dir.file("attendance.db");
    ASSERT_TRUE(CDemoDatabase::build(path, o, &error)) << error.toStdString();
    // A user data source of our own; the drivers as the system registers them.
    QFile ini(dir.file("odbc.ini")), inst(dir.file("odbcinst.ini")), system("/etc/odbcinst.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly) && inst.open(QIODevice::WriteOnly) && system.open(QIODevice::ReadOnly));
    ini.write(("[attdemo]\nDriver=SQLite3\nDatabase=" + path + "\n").toUtf8());
    inst.write(system.readAll());
    ini.close();
    inst.close();
    const QByteArray oldIni = qgetenv("ODBCINI"), oldSys = qgetenv("ODBCSYSINI");
    qputenv("ODBCINI", ini.fileName().toUtf8());
    qputenv("ODBCSYSINI", dir.path().toUtf8());

    for (const QString &cs : {QStringLiteral("DSN=attdemo;UID=u;PWD=p"), QStringLiteral("UID=u;DSN=attdemo")}) {
        CDbConnection conn;
        EXPECT_TRUE(conn.open(cs)) << cs.toStdString() << ": " << conn.lastErrorDescription().toStdString();
        conn.close();
        conn.releaseThread();
    }
    CConnectionBuilder b;
    b.show();
    auto *sources = child<QComboBox>(&b, "dataSource");
    auto *drivers = child<QComboBox>(&b, "driver");
    auto *view = child<QPlainTextEdit>(&b, "connectionString");
    const int listed = sources->findText("attdemo");
    ASSERT_GE(listed, 0);

    // The demo replaced by a data source, then by a driver: no key of the demo is left over.
    b.load(CDemoDatabase::connectionString(path));
    sources->setCurrentIndex(listed);
    EXPECT_EQ(b.composedString(), "DSN=attdemo");
    QSignalSpy finished(&b, &CConnectionBuilder::testFinished);
    child<QPushButton>(&b, "testButton")->click();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(finished.at(0).at(0).toBool()) << child<QLabel>(&b, "testResult")->text().toStdString();
    b.load(CDemoDatabase::connectionString(path));
    drivers->setCurrentText("FreeTDS");
    QTest::keyClicks(child<QLineEdit>(&b, "server"), "db.example");
    EXPECT_FALSE(b.composedString().contains("Provider") || b.composedString().contains("Data Source"))
        << b.composedString().toStdString();
    drivers->setCurrentText(QString());
    sources->setCurrentIndex(listed);
    EXPECT_FALSE(b.composedString().contains("Driver")) << b.composedString().toStdString();

    // Typed by hand: one entry for a data source not installed here, whatever the keystrokes.
    const int before = sources->count();
    view->clear();
    QTest::keyClicks(view, "DSN=mydsn");
    EXPECT_EQ(sources->count(), before + 1);
    EXPECT_EQ(sources->currentText(), "mydsn");

    // Both kinds in one string: refused, by the connection and by the builder's OK.
    const QString both = CDemoDatabase::connectionString(path) + ";Driver={FreeTDS};Server=db.example";
    CDbConnection conn;
    EXPECT_FALSE(conn.open(both));
    EXPECT_TRUE(conn.lastErrorDescription().contains("Provider=SQLite")) << conn.lastErrorDescription().toStdString();
    conn.releaseThread();
    view->setPlainText(both);
    CPrompt::queueButton(QMessageBox::Ok);
    child<QPushButton>(&b, "okButton")->click();
    EXPECT_EQ(b.result(), int(QDialog::Rejected));
    ASSERT_EQ(CPrompt::takeAsked().size(), 1);

    // A password in quotes is hidden whole; Alt+letter reaches one control each.
    EXPECT_EQ(CConnectionString::masked("UID=u;PWD=\"abc;def\";Server=s"), "UID=u;PWD=********;Server=s");
    EXPECT_TRUE(testsupport::mnemonicConflicts(&b).isEmpty())
        << testsupport::mnemonicConflicts(&b).join(';').toStdString();
    CD_AutoLoad autoLoad(settings.get(), context.get(), [] {});
    autoLoad.show();
    EXPECT_TRUE(testsupport::mnemonicConflicts(&autoLoad).isEmpty())
        << testsupport::mnemonicConflicts(&autoLoad).join(';').toStdString();
    qputenv("ODBCINI", oldIni);
    qputenv("ODBCSYSINI", oldSys);
}

TEST_F(Dialogs, AboutBoxShowsVersionQtAndTheDatabaseWithoutItsPassword)
{
    EXPECT_EQ(CVersion::displayText("2, 7, 14, 4325"), "2.7.14");
    EXPECT_EQ(CVersion::displayText("3"), "3");
    CAboutDlg about("Driver={FreeTDS};Server=db1;Port=1433;Database=att;UID=sa;PWD=s3cr3t", true);
    about.show();
    EXPECT_EQ(about.versionText(), "2.7.14");
    EXPECT_EQ(about.databaseText(), "FreeTDS, db1:1433, att");
    EXPECT_EQ(child<QLabel>(&about, "qtVersion")->text(), QString::fromLatin1(qVersion()));
    EXPECT_EQ(child<QLabel>(&about, "licenceText")->text(), "GNU General Public License, version 3 or later");
    shoot(&about, "about");
    for (QLabel *l : about.findChildren<QLabel *>())
        EXPECT_FALSE(l->text().contains("s3cr3t"));
    EXPECT_EQ(CAboutDlg("", false).databaseText(), "none");
    EXPECT_EQ(CAboutDlg("Provider=SQLite;Data Source=/d/a.db", false).databaseText(),
              "SQLite, /d/a.db\n(not connected)");
}
