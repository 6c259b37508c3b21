// The board a guard trusts on a wall, on the whole program: every window with live data says
// when they are not current, and a wall display comes back as it was left.
#include "AppSandbox.h"
#include "MainFrameTestUtil.h"
#include "app/CClock.h"
#include "live/CLiveStatus.h"
#include "panel/C_ZorvikView.h"
#include "views/CStaleBanner.h"
#include "views/CStatusLine.h"
#include "views/CTrayIcon.h"
#include "views/C_ChildFrame.h"
#include "views/CommandIds.h"

#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextDocumentFragment>
#include <QToolButton>

using namespace mainframetest;
using testsupport::waitFor;

namespace {

class Wall : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        options = testsupport::appOptions(dir);
        // A database of its own: it goes away in a test.
        database = dir.file(QStringLiteral("attendance.sqlite"));
        ASSERT_TRUE(QFile::copy(testsupport::smallDemoDatabase(12, 3), database));
        CSettings s(options.settingsFile);
        s.writeText(QStringLiteral("Settings"), QStringLiteral("Connection"),
                    QStringLiteral("Provider=SQLite;Data Source=%1").arg(database));
        s.writeInt(QStringLiteral("Settings"), QStringLiteral("Refresh"), 1);
        s.sync();
    }
    void TearDown() override
    {
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
    }
    // A panel of the twelve employees in two columns, opened at start.
    QString writePanel(const QString &name, bool autoLoad = true)
    {
        C_ZorvikDoc doc;
        for (int i = 0; i < 12; ++i)
            doc.addTablet(QStringLiteral("Radovanović-Stojanović"), QStringLiteral("Aleksandar"), QString(),
                          QString::number(1001 + i), QRect(24 + 192 * (i % 2), 24 + 48 * (i / 2), 168, 24));
        const QString path = dir.file(name);
        QString error;
        EXPECT_TRUE(doc.save(path, &error)) << error.toStdString();
        if (autoLoad) {
            CSettings s(options.settingsFile);
            s.writeInt(QStringLiteral("AutoLoad"), QStringLiteral("Count"), 1);
            s.writeText(QStringLiteral("AutoLoad"), QStringLiteral("File0"), path);
            s.sync();
        }
        return path;
    }
    static C_ZorvikView *panelView(C_MainFrame *frame)
    {
        for (CChildFrameBase *f : frame->childFrames())
            if (auto *v = qobject_cast<C_ZorvikView *>(f->view()))
                return v;
        return nullptr;
    }
    static void shot(QWidget *w, const char *name)
    {
        if (!qEnvironmentVariableIsEmpty("ZORVIK_SHOT_DIR"))
            w->grab().save(qEnvironmentVariable("ZORVIK_SHOT_DIR") + u'/' + QLatin1String(name));
    }

    testsupport::TempDir dir;
    C_ZorvikApp::Options options;
    QString database;
};

const QRegularExpression kStale(QStringLiteral("^Not connected since \\d\\d:\\d\\d; as of \\d\\d:\\d\\d$"));

} // namespace

// The database goes away: the panel (in full screen too), the presences, guests, legend and "Not
// yet in" windows show the same banner as the roll call, the head count and the tray say as of
// when; when it comes back every banner goes.
TEST_F(Wall, AnOutageShowsOnEveryLiveWindowUntilTheDatabaseIsBack)
{
    writePanel(QStringLiteral("Gate.zvl"));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    C_MainFrame *frame = app.mainFrame();
    frame->resize(1100, 760);
    frame->openPresences();
    frame->openGuests();
    frame->openRollCall();
    frame->legendDock()->show();
    ASSERT_TRUE(waitFor([&] { return app.live()->passCount() >= 1 && frame->headCountPane()->isVisible(); }, 20000));
    auto *notYetIn = frame->statusBar()->findChild<QToolButton *>(QStringLiteral("notYetInButton"));
    ASSERT_TRUE(waitFor([&] { return notYetIn->isVisible(); }, 5000));
    notYetIn->click();
    C_ZorvikView *panel = panelView(frame);
    ASSERT_NE(panel, nullptr);
    frame->mdiArea()->setActiveSubWindow(frame->frameOf(panel->document()));

    // Every banner of a live window, by the window it is in.
    const QList<CStaleBanner *> banners = frame->findChildren<CStaleBanner *>();
    QStringList windows;
    for (CStaleBanner *b : banners)
        for (QWidget *w = b->parentWidget(); w; w = w->parentWidget())
            if (!w->objectName().isEmpty() && w->objectName() != QStringLiteral("qt_scrollarea_viewport")) {
                windows << w->objectName();
                break;
            }
    windows.sort();
    EXPECT_EQ(windows,
              (QStringList{QStringLiteral("guestsView"), QStringLiteral("legendDock"), QStringLiteral("panelView"),
                           QStringLiteral("peopleWindow"), QStringLiteral("presencesView")}));
    auto *rollCallStale = frame->findChild<QLabel *>(QStringLiteral("rollCallStale"));
    ASSERT_NE(rollCallStale, nullptr);
    for (CStaleBanner *b : banners)
        EXPECT_FALSE(b->isVisibleTo(b->parentWidget())) << b->parentWidget()->objectName().toStdString();
    EXPECT_FALSE(frame->headCountPane()->text().contains(QStringLiteral("as of")));
    CTrayIcon *tray = app.trayIcon();
    const QImage liveIcon = tray->icon().pixmap(32).toImage();
    const QString liveTip = tray->toolTip();
    const QString tablet = panel->document()->tablet(QStringLiteral("1001"))->timeText;

    ASSERT_TRUE(QFile::rename(database, database + QStringLiteral(".away")));
    CLiveStatus *status = app.live()->status();
    ASSERT_TRUE(waitFor([&] { return !status->isCurrent(); }, 10000));
    const QString banner = status->staleText();
    EXPECT_TRUE(kStale.match(banner).hasMatch()) << banner.toStdString();
    for (CStaleBanner *b : banners) {
        EXPECT_TRUE(b->isVisibleTo(b->parentWidget())) << b->parentWidget()->objectName().toStdString();
        EXPECT_EQ(b->text(), banner);
    }
    // Above the panel, not over a tablet: the panel moved down by the banner's height.
    EXPECT_EQ(panel->viewport()->geometry().top(), panel->staleBanner()->geometry().bottom() + 1);
    EXPECT_EQ(rollCallStale->text(),
              QString(banner).replace(QStringLiteral("; as of"), QStringLiteral("; list as of")));
    EXPECT_TRUE(rollCallStale->isVisibleTo(rollCallStale->parentWidget()));
    const QString asOf = status->asOfText();
    EXPECT_TRUE(frame->headCountPane()->text().startsWith(
        QStringLiteral("On site: %1 (as of %2)").arg(frame->headCountPane()->text().section(u' ', 2, 2), asOf)))
        << frame->headCountPane()->text().toStdString();
    EXPECT_TRUE(tray->toolTip().contains(banner)) << tray->toolTip().toStdString();
    EXPECT_NE(tray->icon().pixmap(32).toImage(), liveIcon);
    EXPECT_EQ(panel->document()->tablet(QStringLiteral("1001"))->timeText, tablet); // the last good values stay
    shot(frame, "outage-window.png");

    // Full screen hides the status bar: the banner stays over the panel, and the status line says it.
    frame->setFullScreen(true);
    EXPECT_TRUE(frame->statusBar()->isHidden());
    EXPECT_TRUE(panel->staleBanner()->isVisible());
    ASSERT_TRUE(frame->statusLine()->isVisible());
    EXPECT_EQ(frame->statusLine()->connectionText(), QStringLiteral("● ") + banner);
    EXPECT_TRUE(frame->statusLine()->headCountText().contains(QStringLiteral("(as of %1)").arg(asOf)));
    EXPECT_EQ(frame->statusLine()->clockText(), CClock::now().toString(QStringLiteral("HH:mm")));
    shot(frame, "outage-fullscreen.png");

    ASSERT_TRUE(QFile::rename(database + QStringLiteral(".away"), database));
    ASSERT_TRUE(waitFor([&] { return status->isCurrent(); }, 10000));
    for (CStaleBanner *b : banners)
        EXPECT_FALSE(b->isVisibleTo(b->parentWidget())) << b->parentWidget()->objectName().toStdString();
    EXPECT_FALSE(rollCallStale->isVisibleTo(rollCallStale->parentWidget()));
    EXPECT_EQ(panel->viewport()->geometry().top(), panel->contentsRect().top());
    EXPECT_FALSE(frame->headCountPane()->text().contains(QStringLiteral("as of")));
    EXPECT_FALSE(frame->statusLine()->connectionText().contains(QStringLiteral("Not connected")));
    EXPECT_EQ(tray->icon().pixmap(32).toImage(), liveIcon);
    EXPECT_EQ(tray->toolTip(), liveTip);
    frame->setFullScreen(false);
}

// A wall display stays one: full screen with its panel, the panel's Fit to screen and the legend
// come back at the next start; --wall shows one panel alone, full screen and fitted, with the
// status line, and leaves the desk's own full screen setting as it was.
TEST_F(Wall, FullScreenZoomAndLegendComeBackAndWallOpensOnePanel)
{
    const QString gate = writePanel(QStringLiteral("Gate.zvl"));
    const QString lobby = writePanel(QStringLiteral("Lobby.zvl"), false);
    {
        C_ZorvikApp app(options);
        ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
        C_MainFrame *frame = app.mainFrame();
        EXPECT_FALSE(frame->isFullScreenView());
        EXPECT_TRUE(frame->legendDock()->isHidden());
        ASSERT_NE(frame->openPanel(lobby), nullptr); // the one shown full screen
        C_ZorvikView *view = qobject_cast<C_ZorvikView *>(frame->activeChild()->view());
        ASSERT_NE(view, nullptr);
        view->fitToScreen();
        frame->trigger(Command::Legend);
        frame->trigger(Command::FullScreen);
        ASSERT_TRUE(frame->isFullScreenView());
        frame->close();
        ASSERT_TRUE(app.isShutDown());
    }
    {
        C_ZorvikApp app(options);
        ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
        C_MainFrame *frame = app.mainFrame();
        EXPECT_TRUE(frame->isFullScreenView());
        EXPECT_TRUE(frame->isFullScreen());
        EXPECT_TRUE(frame->statusLine()->isVisible());
        EXPECT_FALSE(frame->legendDock()->isHidden());
        EXPECT_TRUE(frame->action(Command::Legend)->isChecked());
        ASSERT_NE(frame->activePanel(), nullptr);
        EXPECT_EQ(frame->activePanel()->pathName(), lobby);
        auto *view = qobject_cast<C_ZorvikView *>(frame->activeChild()->view());
        EXPECT_TRUE(view->isFitToScreen());
        EXPECT_EQ(frame->childFrames().size(), 2); // the start-up panel too
        // Leaving full screen is what the next start shows.
        frame->trigger(Command::FullScreen);
        frame->close();
    }
    {
        options.wall = lobby;
        C_ZorvikApp app(options);
        ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
        C_MainFrame *frame = app.mainFrame();
        ASSERT_EQ(frame->childFrames().size(), 1); // the wall's panel alone
        EXPECT_EQ(frame->activePanel()->pathName(), lobby);
        EXPECT_TRUE(frame->isFullScreenView());
        auto *view = qobject_cast<C_ZorvikView *>(frame->activeChild()->view());
        EXPECT_TRUE(view->isFitToScreen());
        ASSERT_TRUE(waitFor([&] { return !frame->headCountPane()->text().isEmpty(); }, 20000));
        // The status line in the panel's zoom, saying what the status bar would.
        ASSERT_TRUE(waitFor([&] { return frame->statusLine()->scale() == view->zoom() / 100.0; }));
        EXPECT_EQ(frame->statusLine()->headCountText(), frame->headCountPane()->text());
        EXPECT_EQ(frame->statusLine()->connectionText(), QStringLiteral("● Connected to database"));
        testsupport::waitFor([] { return false; }, 300);
        shot(frame, "wall.png");
        frame->close();
    }
    // The wall's full screen is not the desk's; a panel only looked at keeps no zoom of its own
    // (a wall display would take it for a choice and not fit it).
    CSettings s(options.settingsFile);
    EXPECT_EQ(s.readInt(QStringLiteral("Settings"), QStringLiteral("FullScreen")), 0);
    EXPECT_FALSE(s.contains(QStringLiteral("Zoom"), gate));
    options.wall.clear();
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    EXPECT_FALSE(app.mainFrame()->isFullScreenView());
}

// Department names in the head count's tooltip are data: a name that looks like markup reads as
// written.
TEST(StatusPanes, DepartmentNamesInTheHeadCountAreShownAsWritten)
{
    QStatusBar bar;
    CStatusPanes panes(&bar);
    const QString departments = QStringLiteral("<b>R&D</b>: 3\nSales & <i>marketing</i>: 4");
    panes.setHeadCount(7, 2, departments);
    EXPECT_EQ(panes.headCountPane()->text(), QStringLiteral("On site: 7 · Guests: 2"));
    EXPECT_EQ(QTextDocumentFragment::fromHtml(panes.headCountPane()->toolTip())
                  .toPlainText()
                  .replace(QChar::LineSeparator, u'\n'),
              departments);
}
