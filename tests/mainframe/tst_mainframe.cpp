#include "MainFrameTestUtil.h"
#include "views/CChildFrameBase.h"
#include "views/CIconSet.h"
#include "views/CSplashWindow.h"
#include "views/CWrappedText.h"
#include "views/C_ChildFrame.h"
#include "views/CommandIds.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QSvgRenderer>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

using namespace mainframetest;
using namespace Command;

namespace {

using MainFrame = FrameFixture;

bool enabled(const C_MainFrame &f, int id)
{
    return f.action(id)->isEnabled();
}

} // namespace

TEST_F(MainFrame, DatabaseCommandsFollowTheDatabaseState)
{
    reference.databaseError = true;
    frame->setConnected(false);
    for (int id : {FileNew, FileOpen, Colours, Employees, OpenAtStartup, NameFormat, Guests, Presences})
        EXPECT_FALSE(enabled(*frame, id)) << id;
    for (int id : {DatabaseServer, CloseAll, AppAbout, LastActivity, AppExit})
        EXPECT_TRUE(enabled(*frame, id)) << id;
    EXPECT_FALSE(enabled(*frame, Languages)); // no language library found
    EXPECT_EQ(frame->connectionPane()->toolTip(),
              QStringLiteral("Not connected to database. Check your database settings."));
    EXPECT_FALSE(frame->connectionPane()->pixmap().isNull());

    reference.databaseError = false;
    frame->setConnected(true);
    EXPECT_EQ(frame->connectionPane()->toolTip(), QStringLiteral("Connected to database"));
    for (int id : {FileNew, FileOpen, Colours, OpenAtStartup, NameFormat, Guests, Presences})
        EXPECT_TRUE(enabled(*frame, id)) << id;
    EXPECT_FALSE(enabled(*frame, Employees)); // no panel active
    frame->trigger(FileNew);
    EXPECT_TRUE(enabled(*frame, Employees));

    // Guests need the guests query; each of the two lists opens once.
    reference.guestsAvailable = false;
    frame->updateCommandStates();
    EXPECT_FALSE(enabled(*frame, Guests));
    reference.guestsAvailable = true;
    frame->trigger(Presences);
    frame->trigger(Guests);
    EXPECT_FALSE(enabled(*frame, Guests));
    EXPECT_FALSE(enabled(*frame, Presences));
    EXPECT_EQ(templates[CDocTemplate::Guests]->documents().size(), 1);
    EXPECT_EQ(templates[CDocTemplate::Guests]->documents().first()->title(), QStringLiteral("Guests"));
    EXPECT_EQ(templates[CDocTemplate::Presences]->documents().first()->title(), QStringLiteral("Presence"));
}

TEST_F(MainFrame, MenusFollowTheActiveWindowKind)
{
    const QList<int> newOpen{FileNew, FileOpen, OpenAtStartup};
    const QList<int> reports{LastActivity}, help{HelpTopics, AppAbout};
    // Every window's View menu ends with the keys of a desk and a wall display.
    const QList<int> keys{Legend, NotYetIn, RefreshNow, FullScreen};
    const QStringList titles{QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Reports"),
                             QStringLiteral("&Help")};

    EXPECT_EQ(frame->menuKind(), C_MainFrame::NoDocumentMenu);
    EXPECT_EQ(menuTitles(*frame), titles);
    QList<QList<int>> expected{newOpen + QList<int>{AppExit},
                               QList<int>{ViewToolbar, ViewStatusBar, ExpandLatest, Guests, Presences, RollCall,
                                          DatabaseServer, Colours, NameFormat, Languages} +
                                   keys,
                               reports, help};
    EXPECT_EQ(menuCommands(*frame), expected);

    frame->trigger(FileNew);
    EXPECT_EQ(frame->menuKind(), C_MainFrame::PanelMenu);
    expected = {newOpen + QList<int>{FileSave, FileSaveAs, FileClose, CloseAll, AppExit},
                QList<int>{ViewToolbar, ViewStatusBar, ExpandLatest, Employees, RemoveAll, Guests, Presences, RollCall,
                           DatabaseServer, Colours, NameFormat, ArrangeHorizontally, ArrangeVertically, ExpandAll,
                           CollapseAll, Find, Languages} +
                    keys,
                reports, help};
    EXPECT_EQ(menuCommands(*frame), expected);

    const QList<int> listView = QList<int>{ViewToolbar,    ViewStatusBar, Guests,     Presences, RollCall,
                                           DatabaseServer, Colours,       NameFormat, Languages} +
                                keys;
    frame->trigger(Guests);
    EXPECT_EQ(frame->menuKind(), C_MainFrame::GuestsMenu);
    expected = {newOpen + QList<int>{ExportCsv, FileClose, CloseAll, AppExit}, listView, reports, help};
    EXPECT_EQ(menuCommands(*frame), expected);

    frame->trigger(Presences);
    EXPECT_EQ(frame->menuKind(), C_MainFrame::PresencesMenu);
    EXPECT_EQ(menuCommands(*frame), expected);

    // The report window's menu: the guests menu with Print, Export PDF and Print preview after
    // Open at startup.
    QList<QList<int>> report = C_MainFrame::menuLayout(C_MainFrame::ReportMenu);
    for (QList<int> &m : report)
        m.removeAll(C_MainFrame::kSeparator), m.removeAll(C_MainFrame::kRecentFiles);
    EXPECT_EQ(report.value(0),
              (newOpen + QList<int>{FilePrint, ExportPdf, PrintPreview, FileClose, CloseAll, AppExit}));
    EXPECT_EQ(report.value(1), listView);

    // Closing the last window brings back the menu without documents.
    frame->closeAll();
    EXPECT_TRUE(testsupport::waitFor([&] { return frame->menuKind() == C_MainFrame::NoDocumentMenu; }));
}

TEST_F(MainFrame, MenuTextsAcceleratorsAndToolbar)
{
    struct
    {
        int id;
        const char *text;
        const char *keys;
    } items[] = {
        {FileNew, "&New", "Ctrl+N"},         {FileOpen, "&Open...", "Ctrl+O"},  {FileSave, "&Save", "Ctrl+S"},
        {Find, "&Find...", "Ctrl+F"},        {Guests, "Guests", "F8"},          {FileSaveAs, "Save &As...", ""},
        {AppAbout, "&About Zorvik...", ""},  {AppExit, "E&xit", "Ctrl+Q"},      {ExpandLatest, "Expand Latest", ""},
        {FileClose, "&Close", "Ctrl+W"},     {FilePrint, "Print...", "Ctrl+P"}, {RefreshNow, "&Refresh now", "F5"},
        {FullScreen, "F&ull screen", "F11"}, {HelpTopics, "&Help topics", "F1"}};
    for (const auto &i : items) {
        EXPECT_EQ(frame->action(i.id)->text(), QString::fromUtf8(i.text)) << i.id;
        EXPECT_EQ(frame->action(i.id)->shortcut(), QKeySequence(QString::fromUtf8(i.keys))) << i.id;
    }

    EXPECT_EQ(frame->toolBar()->windowTitle(), QStringLiteral("ToolBar"));
    QList<int> buttons;
    for (QAction *a : frame->toolBar()->actions())
        buttons << (a->isSeparator() ? 0 : a->data().toInt());
    const QList<int> expected{FileNew,
                              FileOpen,
                              FileSave,
                              0,
                              DatabaseServer,
                              Colours,
                              Employees,
                              0,
                              ArrangeHorizontally,
                              ArrangeVertically,
                              0,
                              ExpandAll,
                              CollapseAll,
                              0,
                              FilePrint,
                              RollCall,
                              0,
                              AppAbout};
    EXPECT_EQ(buttons, expected);
    for (int id : expected) {
        if (id == 0)
            continue;
        EXPECT_FALSE(frame->action(id)->icon().isNull()) << id;
        EXPECT_EQ(frame->action(id)->icon().actualSize(QSize(16, 16)), QSize(16, 16)) << id;
    }
    EXPECT_EQ(frame->action(ExpandAll)->toolTip(), QStringLiteral("Expand all"));
    EXPECT_EQ(frame->action(ExpandAll)->statusTip(), QStringLiteral("Expand all tablets in the current panel"));
}

TEST_F(MainFrame, ExpandLatestIsCheckedWhileTheSwitchIsOn)
{
    context->expandLatest = 1;
    frame->updateCommandStates();
    EXPECT_TRUE(frame->action(ExpandLatest)->isChecked());
    frame->trigger(ExpandLatest);
    EXPECT_EQ(context->expandLatest.load(), 0);
    EXPECT_FALSE(frame->action(ExpandLatest)->isChecked());
    frame->trigger(ExpandLatest);
    EXPECT_EQ(context->expandLatest.load(), 1);
}

TEST_F(MainFrame, PlacementWrittenAsZVPlacementIsReadBack)
{
    const QRect wanted(40, 50, 520, 380);
    {
        C_MainFrame other;
        other.setGeometry(wanted);
        settings->writeBytes(QStringLiteral("Settings"), QStringLiteral("ZVPlacement"), other.saveGeometry());
    }
    C_MainFrame shown;
    shown.show();
    EXPECT_TRUE(testsupport::waitFor([&] { return shown.geometry() == wanted; }, 2000)) << shown.geometry().x();

    // Closing stores the current placement under the same value.
    shown.setGeometry(QRect(60, 70, 500, 360));
    shown.close();
    C_MainFrame again;
    EXPECT_TRUE(again.restoreGeometry(settings->readBytes(QStringLiteral("Settings"), QStringLiteral("ZVPLacement"))));
    EXPECT_EQ(again.geometry().size(), QSize(500, 360));

    // Stored on a larger monitor, far to the right and below this screen: fitted to it.
    {
        C_MainFrame big;
        big.setGeometry(QRect(2400, 1300, 1800, 1100));
        settings->writeBytes(QStringLiteral("Settings"), QStringLiteral("ZVPlacement"), big.saveGeometry());
    }
    C_MainFrame fitted;
    fitted.show();
    const QRect avail = fitted.screen()->availableGeometry();
    EXPECT_TRUE(testsupport::waitFor([&] { return avail.contains(fitted.frameGeometry()); }, 2000))
        << fitted.frameGeometry().x() << "," << fitted.frameGeometry().y() << " " << fitted.frameGeometry().width()
        << "x" << fitted.frameGeometry().height();
}

// Cancel keeps every window and every unsaved change; after No for each panel everything closes.
TEST_F(MainFrame, CloseAllClosesNothingAfterCancel)
{
    reference.databaseError = false;
    const QString path = writePanel(QStringLiteral("first.zvl"));
    C_ChildFrame *f1 = frame->openPanel(path);
    ASSERT_TRUE(f1);
    frame->trigger(FileNew);
    C_ZorvikDoc *second = frame->activePanel();
    second->setModified(true);
    f1->panel()->setModified(true);
    frame->openGuests();
    frame->openPresences();
    ASSERT_EQ(frame->childFrames().size(), 4);

    CPrompt::queueButton(QMessageBox::Cancel);
    frame->trigger(CloseAll);
    const auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1); // Cancel ends the prompting
    EXPECT_EQ(asked[0].text, QStringLiteral("Save changes to first?"));
    QTest::qWait(50);
    EXPECT_EQ(frame->childFrames().size(), 4);
    EXPECT_TRUE(second->isModified());
    EXPECT_TRUE(f1->panel()->isModified());

    CPrompt::queueButton(QMessageBox::No);
    CPrompt::queueButton(QMessageBox::No);
    frame->trigger(CloseAll);
    EXPECT_EQ(CPrompt::takeAsked().size(), 2);
    EXPECT_TRUE(testsupport::waitFor([&] { return frame->childFrames().isEmpty(); }));
    EXPECT_TRUE(templates[CDocTemplate::Panels]->documents().isEmpty());
    EXPECT_TRUE(templates[CDocTemplate::Guests]->documents().isEmpty());
    EXPECT_TRUE(templates[CDocTemplate::Presences]->documents().isEmpty());
}

TEST_F(MainFrame, CloseAllSavesWhenAskedTo)
{
    const QString path = writePanel(QStringLiteral("kept.zvl"));
    C_ChildFrame *f = frame->openPanel(path);
    ASSERT_TRUE(f);
    f->panel()->addTablet(QStringLiteral("Doe"), QStringLiteral("Jane"), QStringLiteral("00012345"),
                          QStringLiteral("17"), QRect(48, 24, 168, 24));
    f->panel()->setModified(true);
    CPrompt::queueButton(QMessageBox::Yes);
    frame->closeAll();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<ID>17</ID>"));
}

TEST_F(MainFrame, ClosingAModifiedPanelAsks)
{
    frame->trigger(FileNew);
    C_ZorvikDoc *doc = frame->activePanel();
    doc->setModified(true);
    CPrompt::queueButton(QMessageBox::Cancel);
    frame->trigger(FileClose);
    EXPECT_EQ(CPrompt::takeAsked().size(), 1);
    EXPECT_EQ(frame->childFrames().size(), 1); // still open

    CPrompt::queueButton(QMessageBox::No);
    frame->trigger(FileClose);
    EXPECT_TRUE(testsupport::waitFor([&] { return frame->childFrames().isEmpty(); }));
}

TEST_F(MainFrame, FailedSaveKeepsThePanelModifiedAndNamesTheFile)
{
    // A path under a regular file can never be written, whoever runs the test.
    QFile blocker(dir.file(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString bad = dir.file(QStringLiteral("blocker/panel.zvl"));

    frame->trigger(FileNew);
    C_ZorvikDoc *doc = frame->activePanel();
    doc->setModified(true);
    EXPECT_TRUE(frame->action(FileSave)->isEnabled());
    CPrompt::queueFile(bad);
    frame->trigger(FileSave); // no name yet: asks for one
    auto asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0].kind, QStringLiteral("save"));
    EXPECT_EQ(asked[1].icon, QMessageBox::Critical);
    EXPECT_TRUE(asked[1].text.contains(QDir::toNativeSeparators(bad))) << asked[1].text.toStdString();
    EXPECT_TRUE(doc->isModified());
    EXPECT_TRUE(frame->action(FileSave)->isEnabled());
    EXPECT_TRUE(frame->recentFiles().isEmpty());

    // Save As adds the extension, renames the panel and clears the modified flag.
    CPrompt::queueFile(dir.file(QStringLiteral("renamed")));
    frame->trigger(FileSaveAs);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("renamed.zvl"))));
    EXPECT_EQ(doc->title(), QStringLiteral("renamed"));
    EXPECT_FALSE(doc->isModified());
    EXPECT_FALSE(frame->action(FileSave)->isEnabled());
    EXPECT_EQ(frame->recentFiles().value(0), dir.file(QStringLiteral("renamed.zvl")));
}

TEST_F(MainFrame, OpenRecentFilesAndDrop)
{
    reference.databaseError = false;
    QStringList paths;
    for (int i = 0; i < 9; ++i)
        paths << writePanel(QStringLiteral("p%1.zvl").arg(i));

    CPrompt::queueFile(paths[0]);
    frame->trigger(FileOpen);
    ASSERT_TRUE(frame->activePanel());
    EXPECT_EQ(frame->activePanel()->title(), QStringLiteral("p0"));
    // The dialog offers every registered kind of file; a guests file opens the guests window.
    const auto offered = CPrompt::takeAsked();
    ASSERT_EQ(offered.size(), 1);
    for (const char *type : {"*.zvl", "*.zvg", "*.zvr", "(*)"})
        EXPECT_TRUE(offered[0].filter.contains(QLatin1String(type))) << offered[0].filter.toStdString();
    CPrompt::queueFile(dir.file(QStringLiteral("visitors.zvg")));
    frame->trigger(FileOpen);
    ASSERT_TRUE(frame->activeChild());
    EXPECT_EQ(frame->activeChild()->kind(), CDocTemplate::Guests);
    frame->activeChild()->closeQuietly();
    // The same file again only activates its panel.
    frame->trigger(FileNew);
    CPrompt::queueFile(paths[0]);
    frame->trigger(FileOpen);
    EXPECT_EQ(frame->activePanel()->title(), QStringLiteral("p0"));
    EXPECT_EQ(templates[CDocTemplate::Panels]->documents().size(), 2);

    for (int i = 1; i < 9; ++i)
        frame->openPanel(paths[i]);
    const QStringList recent = frame->recentFiles();
    ASSERT_EQ(recent.size(), 8);
    EXPECT_EQ(recent.first(), paths[8]);
    EXPECT_EQ(recent.last(), paths[1]);
    // The list is kept in the settings file and shown in the File menu.
    EXPECT_EQ(settings->readText(QStringLiteral("Recent File List"), QStringLiteral("File1")), paths[8]);
    EXPECT_TRUE(frame->findChild<QMenu *>(QStringLiteral("menu_file"))
                    ->actions()
                    .contains(frame->findChild<QAction *>(QStringLiteral("recentFile8"))));

    // An unreadable file is reported and opens nothing.
    EXPECT_FALSE(frame->openPanel(dir.file(QStringLiteral("missing.zvl"))));
    auto asked = CPrompt::takeAsked();
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_EQ(asked.last().icon, QMessageBox::Critical);

    // Files dropped on the window open as panels.
    frame->closeAll();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(paths[3]), QUrl::fromLocalFile(paths[4])});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_EQ(templates[CDocTemplate::Panels]->documents().size(), 2);
}

TEST_F(MainFrame, PanelPlacementIsKeptUnderItsTitle)
{
    const QString path = writePanel(QStringLiteral("Reception.zvl"));
    C_ChildFrame *f = frame->openPanel(path);
    ASSERT_TRUE(f);
    EXPECT_FALSE(settings->contains(QStringLiteral("Placement"), QStringLiteral("Reception")));
    f->close();
    EXPECT_FALSE(settings->readBytes(QStringLiteral("Placement"), QStringLiteral("Reception")).isEmpty());
}

TEST(SplashWindow, ClosesOnTheFirstKeyAndSwallowsIt)
{
    struct KeyCounter : QWidget
    {
        int keys = 0;
        void keyPressEvent(QKeyEvent *) override { ++keys; }
    } target;
    target.show();
    auto *splash = new CSplashWindow(QPixmap(440, 260));
    QPointer<CSplashWindow> guard(splash);
    bool closed = false;
    QObject::connect(splash, &CSplashWindow::closed, splash, [&] { closed = true; });
    splash->showSplash();
    EXPECT_EQ(splash->size(), QSize(440, 260));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&target, &press);
    EXPECT_TRUE(closed);
    EXPECT_EQ(target.keys, 0);
    EXPECT_TRUE(testsupport::waitFor([&] { return guard.isNull(); }));
    // Later keys reach their window.
    QApplication::sendEvent(&target, &press);
    EXPECT_EQ(target.keys, 1);

    // A shortcut key closes it too, without running its command; the next one runs it.
    QAction command(QStringLiteral("New"), &target);
    command.setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    target.addAction(&command);
    int ran = 0;
    QObject::connect(&command, &QAction::triggered, &command, [&] { ++ran; });
    auto *second = new CSplashWindow(QPixmap(440, 260));
    QPointer<CSplashWindow> secondGuard(second);
    second->showSplash();
    target.activateWindow(); // the shortcut's window is the active one, as after a click on it
    ASSERT_TRUE(QTest::qWaitForWindowActive(&target));
    QTest::keyClick(&target, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(ran, 0);
    EXPECT_TRUE(testsupport::waitFor([&] { return secondGuard.isNull(); }));
    QTest::keyClick(&target, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(ran, 1);
}

// Icons come from the desktop's theme where it names them, else the program's own SVG
// pictures: sharp at a pixel ratio of 2, drawn in light ink on a dark theme; the window icon is
// the picture the installation puts in the icon theme.
TEST_F(MainFrame, IconsFollowTheThemeThePixelRatioAndThePalette)
{
    const QIcon own = CIconSet::ownCommandIcon(FileNew);
    const QImage crisp = own.pixmap(QSize(16, 16), 2.0).toImage();
    ASSERT_EQ(crisp.size(), QSize(32, 32));
    const QImage blown = own.pixmap(QSize(16, 16), 1.0).toImage().scaled(32, 32);
    EXPECT_NE(crisp, blown);

    // A theme of the test's own that draws "document-new" in pure green.
    testsupport::TempDir themeDir;
    QDir(themeDir.path()).mkpath(QStringLiteral("testtheme/16x16/actions"));
    QFile index(themeDir.file(QStringLiteral("testtheme/index.theme")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=testtheme\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\n"
                "Type=Fixed\n");
    index.close();
    QImage green(16, 16, QImage::Format_ARGB32);
    green.fill(Qt::green);
    ASSERT_TRUE(green.save(themeDir.file(QStringLiteral("testtheme/16x16/actions/document-new.png"))));
    const QStringList oldPaths = QIcon::themeSearchPaths();
    const QString oldTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themeDir.path()});
    QIcon::setThemeName(QStringLiteral("testtheme"));
    EXPECT_EQ(CIconSet::commandIcon(FileNew).pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::green));
    EXPECT_EQ(CIconSet::commandIcon(Colours).pixmap(16).toImage(),
              CIconSet::ownCommandIcon(Colours).pixmap(16).toImage());
    QIcon::setThemeName(oldTheme);
    QIcon::setThemeSearchPaths(oldPaths);

    // The page outline of "New" at (3.5, 8) in 16ths: dark ink, then light ink on a dark palette.
    const QPalette oldPalette = QApplication::palette();
    EXPECT_LT(own.pixmap(32).toImage().pixelColor(7, 16).lightness(), 100);
    QPalette dark = oldPalette;
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    QApplication::setPalette(dark);
    EXPECT_GT(CIconSet::ownCommandIcon(FileNew).pixmap(32).toImage().pixelColor(7, 16).lightness(), 150);
    QApplication::setPalette(oldPalette);

    QSvgRenderer installed(QStringLiteral(ZORVIK_SOURCE_DIR "/resources/desktop/zorvik.svg"));
    QImage expected(64, 64, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    {
        QPainter p(&expected);
        installed.render(&p);
    }
    EXPECT_EQ(frame->windowIcon().pixmap(64).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), expected);
}

// Quitting stops at a panel that could not be saved; a recent file that is gone leaves the list
// when chosen.
TEST_F(MainFrame, QuittingKeepsAnUnsavedPanelAndRecentFilesDropWhatIsGone)
{
    QFile blocker(dir.file(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    frame->trigger(FileNew);
    frame->activePanel()->setModified(true);
    CPrompt::queueButton(QMessageBox::Yes);
    CPrompt::queueFile(dir.file(QStringLiteral("blocker/panel.zvl")));
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(frame->childFrames().size(), 1);
    EXPECT_TRUE(frame->activePanel()->isModified());
    CPrompt::takeAsked();

    const QString path = writePanel(QStringLiteral("gone.zvl"));
    C_ChildFrame *gone = frame->openPanel(path);
    ASSERT_TRUE(gone);
    gone->closeQuietly();
    ASSERT_TRUE(QFile::remove(path));
    frame->findChild<QAction *>(QStringLiteral("recentFile1"))->trigger();
    EXPECT_TRUE(frame->recentFiles().isEmpty());
}

TEST_F(MainFrame, CountsThatChangeAtEveryPassRepaintTheirPanesWithoutReflowingTheWindow)
{
    // What a pass sets off around the counts: the window laid out again, a label restyled.
    struct Watch : QObject
    {
        int reflows = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            reflows += e->type() == QEvent::LayoutRequest || e->type() == QEvent::StyleChange;
            return false;
        }
    } watch;
    frame->show();
    frame->setConnected(true);
    frame->setHeadCount(1200, 3, QStringLiteral("Sales: 1200"));
    QApplication::processEvents();
    for (QWidget *w : {static_cast<QWidget *>(frame.get()), static_cast<QWidget *>(frame->statusBar()),
                       frame->findChild<QWidget *>(QStringLiteral("statusLineConnection"))})
        w->installEventFilter(&watch);
    auto *pane = frame->findChild<QLabel *>(QStringLiteral("headCountPane"));
    for (int onSite = 1201; onSite < 1300; onSite += 7) {
        frame->setHeadCount(onSite, 3, QStringLiteral("Sales: %1").arg(onSite));
        QApplication::processEvents();
        EXPECT_GE(pane->width(), pane->sizeHint().width()) << onSite;
    }
    EXPECT_EQ(watch.reflows, 0);
    // A count that needs more room gets it.
    frame->setHeadCount(123456789, 3, QString());
    QApplication::processEvents();
    EXPECT_GE(pane->width(), pane->sizeHint().width());
}

// The head count by department changes at every pass: its window is laid out again only when the
// text needs another number of lines, and the text always has the room it needs.
TEST(WrappedText, ANewTextReflowsTheWindowOnlyForAnotherHeight)
{
    struct Watch : QObject
    {
        int reflows = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            reflows += e->type() == QEvent::LayoutRequest;
            return false;
        }
    } watch;
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *text = new CWrappedText(&window);
    layout->addWidget(text);
    layout->addWidget(new QWidget(&window), 1);
    window.resize(300, 400);
    const auto departments = [](int count, int n) {
        QStringList parts;
        for (int i = 0; i < n; ++i)
            parts << QStringLiteral("Department %1: %2").arg(i).arg(count + i);
        return parts.join(QStringLiteral("  ·  "));
    };
    text->setText(departments(100, 6));
    window.show();
    QApplication::processEvents();
    window.installEventFilter(&watch);
    const int height = text->height();
    EXPECT_GE(height, 3 * text->fontMetrics().height()); // six departments do not fit one line at 300 px
    for (int count = 101; count < 140; count += 3) {
        text->setText(departments(count, 6));
        QApplication::processEvents();
    }
    EXPECT_EQ(watch.reflows, 0);
    EXPECT_EQ(text->height(), height);
    text->setText(departments(100, 12));
    QApplication::processEvents();
    EXPECT_GT(watch.reflows, 0);
    EXPECT_EQ(text->height(), text->heightForWidth(text->width()));
    EXPECT_GT(text->height(), height);
}
