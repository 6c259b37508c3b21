// From a forbidden clocking in the database to the warning window and the log line, with the
// real polling thread, update pass, tablets and warning center.
#include "TestSupport.h"
#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CDocTemplate.h"
#include "app/CSettings.h"
#include "db/CReferenceData.h"
#include "demo/CClockingSimulator.h"
#include "demo/CDemoDatabase.h"
#include "dialogs/CD_AckInvalidAct.h"
#include "dialogs/CNotifications.h"
#include "dialogs/CWarningCenter.h"
#include "live/CLiveUpdate.h"
#include "panel/CTablet.h"
#include "panel/C_ZorvikDoc.h"
#include "views/CIconSet.h"
#include "views/CTrayIcon.h"

#include <QFile>
#include <QMainWindow>
#include <gtest/gtest.h>

using testsupport::waitFor;

namespace {

// Notifications as the desktop would get them, kept for the test to read.
class RecordingNotifications : public CNotifications
{
public:
    quint32 notify(const QString &title, const QString &body) override
    {
        sent << title + u'\n' + body;
        return quint32(sent.size());
    }
    void withdraw(quint32 id) override { withdrawn << id; }
    QStringList sent;
    QList<quint32> withdrawn;
};

} // namespace

TEST(EndToEnd, ForbiddenClockingOnAPanelOpensTheWarningAndWritesTheLog)
{
    testsupport::TempDir dir;
    const QDateTime now(QDate(2026, 3, 8), QTime(9, 15, 0)); // a Sunday
    CClock::setFixed(now);
    const QString path = dir.file("att.sqlite");
    CDemoDatabase::DemoOptions o;
    o.employees = 12;
    o.historyDays = 2;
    o.now = now;
    o.fixedToday = true;
    QString error;
    ASSERT_TRUE(CDemoDatabase::build(path, o, &error)) << error.toStdString();

    CSettings settings(dir.file("settings.ini"));
    CReferenceData ref;
    CLiveUpdate live(&ref);
    CDocTemplate panels(CDocTemplate::Panels, 1029);
    live.setTemplates(&panels, {});
    CAppContext context(&settings, &ref, &live, dir.path());
    context.makeCurrent();
    ASSERT_TRUE(ref.open("Provider=SQLite;Data Source=" + path, nullptr));
    ref.buildMaps();
    // Every activity a colour of its own, as a colour file would give them.
    int hue = 0;
    for (const auto &[id, description] : ref.activityMap)
        ref.activityColourMap[id] = fromQColor(QColor::fromHsv((hue += 37) % 360, 200, 220));

    QMainWindow mainWindow;
    CWarningCenter warnings(context.programFolder());
    warnings.attachTablets(&mainWindow);
    // The desktop's notifications, recorded; the tray as the desktop would show it.
    RecordingNotifications notifications;
    warnings.setNotifications(&notifications);
    CTrayIcon tray(&mainWindow);
    tray.setWarnings(&warnings);
    tray.setHeadCount(7, 2);

    // A panel with every employee.
    C_ZorvikDoc doc;
    panels.addDocument(&doc);
    CDbCursor *emp = ref.cursor(CReferenceData::EmployeeCursor);
    int row = 0;
    for (emp->moveFirst(); !emp->isEOF(); emp->moveNext()) {
        QString id, last, first;
        emp->getFieldText("IDZaposlenog", id);
        emp->getFieldText("Prezime", last);
        emp->getFieldText("Ime", first);
        doc.addTablet(last, first, QString(), id, QRect(0, 24 * row++, 168, 24));
    }
    live.start(0, 20);
    ASSERT_TRUE(waitFor([&] { return live.passCount() >= 1; }));
    EXPECT_EQ(warnings.openWarnings(), 0);

    CClockingSimulator simulator(path);
    simulator.setIllegalProbability(1.0);
    simulator.setGuestProbability(0.0);
    QString employee, activity;
    bool forbidden = false;
    QObject::connect(&simulator, &CClockingSimulator::clocked, &simulator,
                     [&](const QString &e, const QString &a, bool f) {
                         employee = e;
                         activity = a;
                         forbidden = f;
                     });
    ASSERT_TRUE(simulator.step()) << simulator.lastError().toStdString();
    ASSERT_TRUE(forbidden);

    ASSERT_TRUE(waitFor([&] { return warnings.openWarnings() == 1; }, 10000));
    // The window in the activity's colour, with the photograph read from the database.
    CD_AckInvalidAct *window = warnings.openWindows().first();
    EXPECT_EQ(window->activityColour(), toQColor(ref.activityColourMap.at(activity)));
    EXPECT_TRUE(waitFor([&] { return window->hasPhotograph(); }, 10000));
    CTablet *t = doc.tablet(employee);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->isIllegal());
    EXPECT_EQ(t->activityId, activity);
    EXPECT_TRUE(warnings.isSoundPlaying());

    QFile log(dir.file("InvalidAct-20260308.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_TRUE(text.contains(" *** START ***\r\n"));
    const QByteArray raised = QString(" + %1 %2 %3 08.03.2026. 09:15 %4\r\n")
                                  .arg(employee, t->lastName, t->firstName, ref.activityMap.at(activity))
                                  .toUtf8();
    EXPECT_TRUE(text.contains(raised)) << text.toStdString();

    // Later cycles see the same registration: no second warning, no second notification.
    const int passes = live.passCount();
    ASSERT_TRUE(waitFor([&] { return live.passCount() > passes + 3; }));
    EXPECT_EQ(warnings.openWarnings(), 1);
    ASSERT_EQ(notifications.sent.size(), 1);
    EXPECT_TRUE(notifications.sent[0].contains(t->lastName) &&
                notifications.sent[0].contains(ref.activityMap.at(activity)))
        << notifications.sent[0].toStdString();
    EXPECT_TRUE(tray.toolTip().contains(QStringLiteral("7")) &&
                tray.toolTip().contains(QStringLiteral("Open warnings: 1")))
        << tray.toolTip().toStdString();
    const QImage badge = tray.icon().pixmap(32).toImage();
    EXPECT_NE(badge, CIconSet::applicationIcon().pixmap(32).toImage());
    EXPECT_GT(badge.pixelColor(17, 18).red(), 150); // the red disc at the corner
    EXPECT_LT(badge.pixelColor(17, 18).green(), 100);
    // A click on the notification brings its warning forward.
    mainWindow.show();
    mainWindow.activateWindow();
    ASSERT_TRUE(waitFor([&] { return mainWindow.isActiveWindow(); }));
    emit notifications.activated(1);
    EXPECT_TRUE(waitFor([&] { return warnings.openWindows().first()->isActiveWindow(); }, 2000));
    // So does a click on the tray icon while a warning is open.
    mainWindow.activateWindow();
    ASSERT_TRUE(waitFor([&] { return mainWindow.isActiveWindow(); }));
    tray.activate();
    EXPECT_TRUE(waitFor([&] { return warnings.openWindows().first()->isActiveWindow(); }, 2000));
    EXPECT_TRUE(notifications.withdrawn.isEmpty());

    // Acknowledging stops the alarm, writes the acknowledged line and takes the notification away.
    warnings.openWindows().first()->accept();
    ASSERT_TRUE(waitFor([&] { return warnings.openWarnings() == 0; }));
    EXPECT_FALSE(warnings.isSoundPlaying());
    EXPECT_EQ(notifications.withdrawn, QList<quint32>{1});
    // With no warning open, a click on the tray brings the main window forward.
    tray.activate();
    EXPECT_TRUE(waitFor([&] { return mainWindow.isActiveWindow(); }, 2000));
    log.seek(0);
    EXPECT_TRUE(log.readAll().contains(QByteArray(raised).replace(" + ", " - ")));
    live.stop();
    CTablet::setWarningHandler({});
    CClock::reset();
}
