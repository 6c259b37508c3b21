#include "MnemonicCheck.h"
#include "TestSupport.h"
#include "app/CAppContext.h"
#include "app/CDocTemplate.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "app/C_ZorvikApp.h"
#include "config/CD_Colors.h"
#include "config/CLatinTranslator.h"
#include "config/CRLang.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CConnectionBuilder.h"
#include "dialogs/CD_AckInvalidAct.h"
#include "dialogs/CD_AutoLoad.h"
#include "dialogs/CD_Database.h"
#include "dialogs/CD_FindName.h"
#include "dialogs/CD_LangLib.h"
#include "dialogs/CD_Language.h"
#include "dialogs/CD_NameFormat.h"
#include "dialogs/CD_New.h"
#include "dialogs/CD_RepLastAct.h"
#include "dialogs/CHelpWindow.h"
#include "dialogs/CPrompt.h"
#include "panel/C_ZorvikDoc.h"
#include "views/CChildFrameBase.h"
#include "views/C_ChildFrame.h"
#include "views/C_MainFrame.h"
#include "views/CommandIds.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kSettings = QStringLiteral("Settings");

// Pictures go to ZORVIK_PICTURES when set, for a person to look at.
void savePicture(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("ZORVIK_PICTURES");
    if (dir.isEmpty())
        return;
    QTest::qWait(50);
    w->grab().save(QDir(dir).filePath(name));
}

// A program folder holding copies of the project's real libraries under chosen names.
class ProgramFolder
{
public:
    ProgramFolder() { QDir(m_dir.path()).mkpath(QStringLiteral("program")); }
    QString path() const { return m_dir.file(QStringLiteral("program")) + u'/'; }
    void add(const char *library, const QString &name) const
    {
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(library), path() + name)) << name.toStdString();
    }
    void addText(const QString &name) const
    {
        QFile f(path() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a library\n");
    }
    QString settingsFile() const { return m_dir.file(QStringLiteral("settings.ini")); }

private:
    testsupport::TempDir m_dir;
};

QString withoutMnemonic(QString text)
{
    text = text.section(u'\t', 0, 0);
    return text.remove(u'&').trimmed();
}

// The English texts that the selected language replaced: none of them may be left on screen.
QSet<QString> replacedEnglish()
{
    QSet<QString> english;
    for (const QString &key : CStringTable::builtInKeys()) {
        const QString en = CStringTable::builtInText(key);
        if (en == CStringTable::text(key))
            continue;
        for (const QString &part : en.split(u'\n', Qt::SkipEmptyParts))
            if (withoutMnemonic(part).size() > 1)
                english.insert(withoutMnemonic(part));
    }
    return english;
}

// Every text a user can see on a window: titles, menus and their tooltips, labels, buttons,
// group boxes, column headings.
QStringList visibleTexts(QWidget *root)
{
    QStringList texts{root->windowTitle()};
    for (QAction *a : root->findChildren<QAction *>()) {
        texts << a->text() << a->toolTip() << a->statusTip();
        if (a->menu())
            texts << a->menu()->title();
    }
    for (QMenu *m : root->findChildren<QMenu *>())
        for (QAction *a : m->actions())
            texts << a->text();
    for (QWidget *w : root->findChildren<QWidget *>()) {
        texts << w->windowTitle() << w->toolTip();
        if (auto *l = qobject_cast<QLabel *>(w))
            texts << l->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(w))
            texts << b->text();
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            texts << g->title();
        else if (auto *v = qobject_cast<QAbstractItemView *>(w); v && v->model())
            for (int c = 0; c < v->model()->columnCount(); ++c)
                texts << v->model()->headerData(c, Qt::Horizontal).toString();
    }
    return texts;
}

void expectNoEnglish(QWidget *root, const QString &what)
{
    const QSet<QString> english = replacedEnglish();
    ASSERT_GT(english.size(), 100);
    for (const QString &t : visibleTexts(root))
        for (const QString &line : t.split(u'\n'))
            EXPECT_FALSE(english.contains(withoutMnemonic(line)))
                << what.toStdString() << " shows English: " << line.toStdString();
}

} // namespace

// The listing: files that are not language libraries are skipped, the later of two equal names
// wins, the library's texts replace the English ones until it is unloaded, and Qt's own
// buttons follow.
TEST(LanguageLoader, ListsLibrariesAndTheLaterEqualNameWins)
{
    ProgramFolder folder;
    folder.add(ZV_TEST_SRPSKI, QStringLiteral("a-srpski.so"));
    folder.add(ZV_TEST_SRPSKI, QStringLiteral("b-srpski.so"));
    folder.add(ZV_TEST_NOLANG, QStringLiteral("c-other.so"));
    folder.addText(QStringLiteral("d-broken.so"));
    folder.add(ZV_TEST_TESTISH, QStringLiteral("e-testish.so"));
    folder.add(ZV_TEST_SRPSKI, QStringLiteral("f-srpski.so.txt"));
    CSettings settings(folder.settingsFile()); // nothing stored: "Srpski"

    {
        CRLang lang;
        lang.Load(folder.path(), &settings);
        ASSERT_EQ(lang.entryCount(), 3);
        EXPECT_EQ(lang.entries().at(0).fileName, QStringLiteral("a-srpski.so"));
        EXPECT_EQ(lang.entries().at(2).fileName, QStringLiteral("e-testish.so"));
        EXPECT_EQ(lang.languageNames(), QStringList({"Srpski", "Srpski", "Testish"}));
        EXPECT_EQ(lang.selectedIndex(), 1);
        ASSERT_TRUE(lang.hasResourceModule());

        lang.apply();
        EXPECT_EQ(CStringTable::text(QStringLiteral("menu.file")), QStringLiteral("&Datoteka"));
        EXPECT_EQ(CStringTable::statusText(34010), QStringLiteral("Izbor jezika korisničkog interfejsa"));
        EXPECT_EQ(CStringTable::format(1034, QStringLiteral("X")),
                  QStringLiteral("Nije moguće otvoriti bazu podataka:\nX"));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Otkaži"));
        for (const QString &key : CStringTable::builtInKeys())
            EXPECT_FALSE(CStringTable::text(key).isEmpty()) << key.toStdString();
    }
    // Destroyed: English again, for Qt's buttons too.
    EXPECT_EQ(CStringTable::text(QStringLiteral("menu.file")), QStringLiteral("&File"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

// A partial library keeps English where it has no text; a name no library reports selects none;
// at most 100 libraries are listed, and one beyond them is never selected.
TEST(LanguageLoader, PartialLibraryUnknownNameAndTheListLimit)
{
    ProgramFolder folder;
    folder.add(ZV_TEST_SRPSKI, QStringLiteral("Srpski.so"));
    folder.add(ZV_TEST_TESTISH, QStringLiteral("Testish.so"));
    CSettings settings(folder.settingsFile());
    settings.writeText(kSettings, QStringLiteral("Language"), QStringLiteral("Testish"));
    {
        CRLang lang;
        lang.Load(folder.path(), &settings);
        ASSERT_TRUE(lang.hasResourceModule());
        lang.apply();
        EXPECT_EQ(CStringTable::text(QStringLiteral("menu.file")), QStringLiteral("&Testdatei"));
        EXPECT_EQ(S(1032), QStringLiteral("Neustart nötig."));
        EXPECT_EQ(CStringTable::text(QStringLiteral("menu.view")), QStringLiteral("&View"));
        // Its locale brings the system's own translation of Qt (qt6-translations-l10n).
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

        settings.writeText(kSettings, QStringLiteral("Language"), QStringLiteral("srpski"));
        lang.Load(folder.path(), &settings);
        EXPECT_FALSE(lang.hasResourceModule()) << "names compare case-sensitively";
        EXPECT_EQ(lang.entryCount(), 2);
        EXPECT_EQ(CStringTable::text(QStringLiteral("menu.file")), QStringLiteral("&File"));
    }

    ProgramFolder many;
    for (int i = 0; i < 100; ++i)
        many.add(ZV_TEST_SRPSKI, QStringLiteral("lang%1.so").arg(i, 3, 10, QLatin1Char('0')));
    many.add(ZV_TEST_TESTISH, QStringLiteral("zz-testish.so"));
    CSettings manySettings(many.settingsFile());
    manySettings.writeText(kSettings, QStringLiteral("Language"), QStringLiteral("Testish"));
    CRLang lang;
    lang.Load(many.path(), &manySettings);
    EXPECT_EQ(lang.entryCount(), CRLang::kMaxEntries);
    EXPECT_FALSE(lang.hasResourceModule());
}

// The build's check: a Serbian source without an id fails and names the id with its English
// text; --update adds it for the translator, still untranslated.
TEST(LanguageCheck, MissingIdFailsAndIsListed)
{
    testsupport::TempDir dir;
    QFile source(QStringLiteral(ZV_TEST_SRPSKI_TS));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QString ts = QString::fromUtf8(source.readAll());
    const qsizetype from = ts.indexOf(QLatin1String("<message id=\"1079\">"));
    ASSERT_GE(from, 0);
    ts.remove(from, ts.indexOf(QLatin1String("</message>"), from) + 10 - from);
    const QString path = dir.file(QStringLiteral("Srpski.ts"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(ts.toUtf8());
    out.close();

    QProcess check;
    check.start(QStringLiteral(ZV_TEST_CHECKER), {path});
    ASSERT_TRUE(check.waitForFinished(20000));
    EXPECT_EQ(check.exitCode(), 1);
    const QString report = QString::fromUtf8(check.readAllStandardError());
    EXPECT_TRUE(report.contains(QStringLiteral("lacks 1 text")) &&
                report.contains(QStringLiteral("  1079\t") + S(1079)))
        << report.toStdString();

    QProcess update;
    update.start(QStringLiteral(ZV_TEST_CHECKER), {QStringLiteral("--update"), path});
    ASSERT_TRUE(update.waitForFinished(20000));
    EXPECT_EQ(update.exitCode(), 0);
    check.start(QStringLiteral(ZV_TEST_CHECKER), {path});
    ASSERT_TRUE(check.waitForFinished(20000));
    EXPECT_EQ(check.exitCode(), 1) << "an added message is still untranslated";
    QFile updated(path);
    ASSERT_TRUE(updated.open(QIODevice::ReadOnly));
    EXPECT_TRUE(updated.readAll().contains("<message id=\"1079\">"));

    QProcess complete;
    complete.start(QStringLiteral(ZV_TEST_CHECKER), {QStringLiteral(ZV_TEST_SRPSKI_TS)});
    ASSERT_TRUE(complete.waitForFinished(20000));
    EXPECT_EQ(complete.exitCode(), 0) << complete.readAllStandardError().toStdString();
}

// A translation that breaks what the program splits its texts at (a literal "\n" for a line
// feed, "\t" for the shortcut's tab, a lost mnemonic) fails the build and is named.
TEST(LanguageCheck, TextsMustKeepTheShapeOfTheirEnglish)
{
    testsupport::TempDir dir;
    QFile source(QStringLiteral(ZV_TEST_SRPSKI_TS));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString original = QString::fromUtf8(source.readAll());
    const QList<QPair<QString, QString>> broken = {
        {QStringLiteral("<translation>&amp;Prozivka&#9;F9</translation>"),
         QStringLiteral("<translation>&amp;Prozivka\\tF9</translation>")},
        {QStringLiteral("mestu\nProzivka</translation>"), QStringLiteral("mestu\\nProzivka</translation>")},
        {QStringLiteral("<translation>&amp;Prozivka&#9;F9</translation>"),
         QStringLiteral("<translation>Prozivka&#9;F9</translation>")},
    };
    const QStringList ids = {QStringLiteral("menu.34031"), QStringLiteral("34031"), QStringLiteral("menu.34031")};
    for (int i = 0; i < broken.size(); ++i) {
        QString ts = original;
        ASSERT_TRUE(ts.contains(broken[i].first)) << i;
        ts.replace(broken[i].first, broken[i].second);
        const QString path = dir.file(QStringLiteral("Srpski%1.ts").arg(i));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(ts.toUtf8());
        out.close();
        QProcess check;
        check.start(QStringLiteral(ZV_TEST_CHECKER), {path});
        ASSERT_TRUE(check.waitForFinished(20000));
        EXPECT_EQ(check.exitCode(), 1) << i;
        const QString report = QString::fromUtf8(check.readAllStandardError());
        EXPECT_TRUE(report.contains(QStringLiteral("id %1 must have").arg(ids[i]))) << report.toStdString();
    }
}

namespace {

QString testDatabase()
{
    return testsupport::smallDemoDatabase(8, 2);
}

class LanguageStartup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        QDir(lockDir.path()).mkpath(QStringLiteral("lock"));
        options.settingsFile = folder.settingsFile();
        options.lockFolder = lockDir.file(QStringLiteral("lock"));
        options.programFolder = folder.path();
        options.splash = false;
        options.simulator = false;
        CSettings s(options.settingsFile);
        s.writeText(kSettings, QStringLiteral("Connection"),
                    QStringLiteral("Provider=SQLite;Data Source=%1").arg(testDatabase()));
        s.sync();
        CD_LangLib::setTestHook([this](CD_LangLib &dlg) {
            ++warnings;
            EXPECT_TRUE(dlg.showAgain());
            if (uncheckWarning)
                dlg.showAgainBox()->setChecked(false);
            savePicture(&dlg, QStringLiteral("language-warning.png"));
            dlg.okButton()->click();
            return dlg.result();
        });
    }
    void TearDown() override
    {
        CD_LangLib::setTestHook({});
        CD_Language::setTestHook({});
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
    }
    QString stored(const QString &name) const { return CSettings(options.settingsFile).readText(kSettings, name); }

    ProgramFolder folder;
    testsupport::TempDir lockDir;
    C_ZorvikApp::Options options;
    int warnings = 0;
    bool uncheckWarning = false;
};

} // namespace

// Nothing stored and "Srpski" beside the program: Serbian everywhere, and the Languages dialog
// then selects the language in use and OK stores it and asks for a restart.
TEST_F(LanguageStartup, SerbianByDefaultEverywhere)
{
    folder.add(ZV_TEST_SRPSKI, QStringLiteral("Srpski.so"));
    folder.add(ZV_TEST_TESTISH, QStringLiteral("Testish.so"));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    EXPECT_EQ(warnings, 0);
    C_MainFrame *frame = app.mainFrame();
    frame->resize(900, 600);
    EXPECT_EQ(frame->menuBar()->actions().value(0)->text(), QStringLiteral("&Datoteka"));
    EXPECT_TRUE(frame->action(Command::Languages)->isEnabled());
    // Every command keeps its shortcut, and no status line shows an escape sequence.
    EXPECT_EQ(frame->action(Command::RollCall)->shortcut(), QKeySequence(Qt::Key_F9));
    for (QAction *a : frame->actions())
        EXPECT_FALSE(a->text().contains(u'\\') || a->statusTip().contains(u'\\') || a->toolTip().contains(u'\\'))
            << a->objectName().toStdString();

    // A panel, the guests and presences windows and the report window (its templates are
    // read from "Reports" in the current folder).
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ZV_TEST_SOURCE_DIR));
    frame->trigger(Command::Presences);
    frame->trigger(Command::Guests);
    QTimer::singleShot(0, [] {
        if (auto *dlg = qobject_cast<CD_RepLastAct *>(QApplication::activeModalWidget())) {
            expectNoEnglish(dlg, QStringLiteral("last activity options"));
            savePicture(dlg, QStringLiteral("language-replastact.png"));
            dlg->findChild<QPushButton *>(QStringLiteral("ok"))->click();
        }
    });
    frame->trigger(Command::LastActivity);
    QTest::qWait(1000);
    QDir::setCurrent(cwd);
    for (CChildFrameBase *child : frame->childFrames()) {
        child->showMaximized();
        savePicture(frame, QStringLiteral("language-%1.png").arg(child->metaObject()->className()));
    }
    auto *doc = new C_ZorvikDoc;
    doc->setTitle(QStringLiteral("Recepcija"));
    frame->addPanel(doc)->showMaximized();
    savePicture(frame, QStringLiteral("language-panel.png"));
    expectNoEnglish(frame, QStringLiteral("main window"));

    // The dialogs, each as a user would open it.
    CD_New newPanel(doc, frame);
    CD_FindName find(frame);
    TextMap activities{{QStringLiteral("01"), QStringLiteral("Rad")}};
    ColourMap colours;
    CD_Colors colourDialog(activities, colours, folder.path() + QStringLiteral("ZvPanel.cfg"), nullptr, frame);
    CD_AckInvalidAct ack({QStringLiteral("7"), QStringLiteral("Petrović"), QStringLiteral("Ana"),
                          QStringLiteral("9.12.2026."), QStringLiteral("08:15"), QStringLiteral("Pauza")},
                         frame);
    CD_LangLib warning(true, frame);
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=%1").arg(testDatabase());
    CAboutDlg about(cs, true, frame);
    CD_Database database(app.settings(), cs, 60, frame);
    CD_AutoLoad autoLoad(
        app.settings(), app.context(), [] {}, frame);
    CD_NameFormat nameFormat(0, frame);
    CConnectionBuilder builder(frame);
    CHelpWindow help(frame);
    const QList<QPair<QWidget *, QString>> dialogs = {{&help, "help"},
                                                      {&newPanel, "new-panel"},
                                                      {&find, "find"},
                                                      {&colourDialog, "colours"},
                                                      {&ack, "illegal-activity"},
                                                      {&warning, "warning"},
                                                      {&about, "about"},
                                                      {&database, "database"},
                                                      {&autoLoad, "open-at-startup"},
                                                      {&nameFormat, "name-format"},
                                                      {&builder, "connection-builder"}};
    for (const auto &[dlg, name] : dialogs) {
        dlg->show();
        expectNoEnglish(dlg, name);
        EXPECT_TRUE(testsupport::mnemonicConflicts(dlg).isEmpty())
            << name.toStdString() << ": " << testsupport::mnemonicConflicts(dlg).join(u';').toStdString();
        savePicture(dlg, QStringLiteral("language-dialog-%1.png").arg(name));
        dlg->hide();
    }

    bool seen = false;
    CD_Language::setTestHook([&](CD_Language &dlg) {
        seen = true;
        // The built-in English first, then the libraries; the language in use selected.
        EXPECT_EQ(dlg.list()->count(), 3);
        EXPECT_EQ(dlg.list()->item(0)->text(), QStringLiteral("English"));
        EXPECT_EQ(dlg.list()->currentItem()->text(), QStringLiteral("Srpski"));
        EXPECT_TRUE(dlg.warningBox()->isChecked());
        dlg.show();
        expectNoEnglish(&dlg, QStringLiteral("languages"));
        savePicture(&dlg, QStringLiteral("language-dialog-languages.png"));
        dlg.okButton()->click();
        return dlg.result();
    });
    CPrompt::takeAsked();
    frame->trigger(Command::Languages);
    ASSERT_TRUE(seen);
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].text, S(1032));
    EXPECT_TRUE(asked[0].text.startsWith(QStringLiteral("Da bi nova")));
    EXPECT_EQ(asked[0].icon, QMessageBox::Information);
    EXPECT_EQ(stored(QStringLiteral("Language")), QStringLiteral("Srpski"));
}

// A name that no library reports: English, the warning, the command still enabled; unchecking
// the warning's box stops it from the next start on. Cancel in the dialog changes nothing.
// The demo speaks the desktop's language without storing it: a demo first run in English follows
// a later Serbian desktop in its names, its sample panels (renamed, the start-up list following)
// and Qt's own dialogs, in Latin letters.
TEST_F(LanguageStartup, DemoFollowsTheDesktopsLanguage)
{
    folder.add(ZV_TEST_SRPSKI, QStringLiteral("Srpski.so"));
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", lockDir.file(QStringLiteral("data")).toUtf8());
    options.demo = true;
    const QLocale desktop;
    auto activity = [](C_ZorvikApp &app) {
        return app.reference()->activityMap.at(QString::number(CDemoDatabase::Arrival));
    };
    for (const QLocale &locale : {QLocale(QLocale::English), QLocale(QLocale::Serbian, QLocale::LatinScript)}) {
        QLocale::setDefault(locale);
        C_ZorvikApp app(options);
        ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
        const bool serbian = locale.language() == QLocale::Serbian;
        EXPECT_EQ(activity(app), serbian ? QStringLiteral("Dolazak") : QStringLiteral("Arrival"));
        const QString first = app.settings()->readText(QStringLiteral("AutoLoad"), QStringLiteral("File0"));
        EXPECT_EQ(QFileInfo(first).fileName(),
                  serbian ? QStringLiteral("Recepcija.zvl") : QStringLiteral("Reception.zvl"));
        EXPECT_TRUE(QFile::exists(first));
        EXPECT_EQ(app.docTemplate(CDocTemplate::Panels)->documents().size(), 2);
        EXPECT_FALSE(app.settings()->contains(kSettings, QStringLiteral("Language")));
        if (serbian) {
            const QString qtText = QCoreApplication::translate("QFileSystemModel", "Date Modified");
            EXPECT_NE(qtText, QStringLiteral("Date Modified"));
            EXPECT_FALSE(qtText.contains(QRegularExpression(QStringLiteral("\\p{Cyrillic}")))) << qtText.toStdString();
        }
        app.shutdown();
    }
    EXPECT_EQ(CLatinTranslator::toLatin(QStringLiteral("Љубав, ЉУБАВ, Џеп, Ђурђевак")),
              QStringLiteral("Ljubav, LJUBAV, Džep, Đurđevak"));
    QLocale::setDefault(desktop);
    qputenv("XDG_DATA_HOME", dataHome);
}

TEST_F(LanguageStartup, UnknownLanguageWarnsUntilTurnedOff)
{
    folder.add(ZV_TEST_SRPSKI, QStringLiteral("Srpski.so"));
    {
        CSettings s(options.settingsFile);
        s.writeText(kSettings, QStringLiteral("Language"), QStringLiteral("Klingon"));
        s.sync();
    }
    uncheckWarning = true;
    {
        C_ZorvikApp app(options);
        ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
        EXPECT_EQ(warnings, 1);
        EXPECT_EQ(app.mainFrame()->menuBar()->actions().value(0)->text(), QStringLiteral("&File"));
        ASSERT_TRUE(app.mainFrame()->action(Command::Languages)->isEnabled());

        bool seen = false;
        CD_Language::setTestHook([&](CD_Language &dlg) {
            seen = true;
            EXPECT_EQ(dlg.list()->currentRow(), 0);
            EXPECT_FALSE(dlg.warningBox()->isChecked()) << "opened with the switch just turned off";
            dlg.warningBox()->setChecked(true);
            dlg.cancelButton()->click();
            return dlg.result();
        });
        app.mainFrame()->trigger(Command::Languages);
        EXPECT_TRUE(seen);
        EXPECT_TRUE(CPrompt::takeAsked().isEmpty());
        EXPECT_EQ(stored(QStringLiteral("Language")), QStringLiteral("Klingon"));
    }
    EXPECT_EQ(CSettings(options.settingsFile).readInt(kSettings, QStringLiteral("LangWarning")), 0);
    C_ZorvikApp again(options);
    ASSERT_EQ(again.InitInstance(), C_ZorvikApp::StartResult::Running);
    EXPECT_EQ(warnings, 1);
}

// English chosen while a Serbian library ships: no library loaded, no warning, and the
// Languages dialog offers both. A demo starts in the desktop's language.
TEST_F(LanguageStartup, EnglishCanBeChosenAgain)
{
    folder.add(ZV_TEST_SRPSKI, QStringLiteral("Srpski.so"));
    {
        CSettings s(options.settingsFile);
        s.writeText(kSettings, QStringLiteral("Language"), QStringLiteral("English"));
        s.sync();
    }
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    EXPECT_EQ(warnings, 0);
    EXPECT_FALSE(app.language()->hasResourceModule());
    EXPECT_EQ(app.mainFrame()->menuBar()->actions().value(0)->text(), QStringLiteral("&File"));
    bool seen = false;
    CD_Language::setTestHook([&](CD_Language &dlg) {
        seen = true;
        EXPECT_EQ(dlg.list()->count(), 2);
        EXPECT_EQ(dlg.list()->currentItem()->text(), QStringLiteral("English"));
        dlg.list()->setCurrentRow(1);
        dlg.okButton()->click();
        return dlg.result();
    });
    app.mainFrame()->trigger(Command::Languages);
    EXPECT_TRUE(seen);
    EXPECT_EQ(stored(QStringLiteral("Language")), QStringLiteral("Srpski"));

    EXPECT_EQ(CRLang::demoDefault(QLocale(QStringLiteral("sr_RS"))), QStringLiteral("Srpski"));
    EXPECT_EQ(CRLang::demoDefault(QLocale(QStringLiteral("sr_Latn_RS"))), QStringLiteral("Srpski"));
    EXPECT_EQ(CRLang::demoDefault(QLocale(QStringLiteral("en_US"))), QStringLiteral("English"));
    EXPECT_EQ(CRLang::demoDefault(QLocale(QStringLiteral("de_DE"))), QStringLiteral("English"));
}

// No language library at all: English, the warning, and Languages disabled.
TEST_F(LanguageStartup, NoLibraryDisablesTheCommand)
{
    folder.add(ZV_TEST_NOLANG, QStringLiteral("other.so"));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    EXPECT_EQ(warnings, 1);
    EXPECT_FALSE(app.mainFrame()->action(Command::Languages)->isEnabled());
}
