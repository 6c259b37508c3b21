#include "AppSandbox.h"
#include "PresenceTestDb.h"
#include "app/CClock.h"
#include "app/CCsvWriter.h"
#include "app/CStringTable.h"
#include "app/CTextMatch.h"
#include "app/C_ZorvikApp.h"
#include "config/CColoursModel.h"
#include "config/CD_Colors.h"
#include "demo/CDemoSamples.h"
#include "dialogs/CPrompt.h"
#include "live/CLiveUpdate.h"
#include "reports/C_ReportView.h"
#include "rollcall/COnSiteActivities.h"
#include "rollcall/COnSiteList.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/C_ZorvikDocRollCall.h"
#include "rollcall/C_ZorvikViewRollCall.h"
#include "views/CChildFrameBase.h"
#include "views/CGuestsModel.h"
#include "views/CLegendModel.h"
#include "views/C_MainFrame.h"
#include "views/C_ZorvikDocGuests.h"
#include "views/C_ZorvikViewGuests.h"
#include "views/CommandIds.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMutexLocker>
#include <QProcess>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <gtest/gtest.h>

using presencetest::PresenceDb;

namespace {

const QDateTime kNow(QDate(2026, 3, 4), QTime(10, 30, 15));

QSet<QString> demoOnSite()
{
    const QStringList ids = CDemoSamples::onSiteActivities();
    return QSet<QString>(ids.begin(), ids.end());
}

QStringList listedKeys(const CRollCallModel &model)
{
    QStringList out;
    for (const CRollCallModel::Person &p : model.people())
        out << p.key;
    out.sort();
    return out;
}

using testsupport::readCsv;

class RollCall : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CClock::setFixed(kNow);
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        ASSERT_TRUE(db.ok());
        COnSiteActivities::write(*db.context().settings(), demoOnSite());
    }
    void TearDown() override
    {
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
        CClock::reset();
    }
    std::unique_ptr<C_ZorvikDocRollCall> makeDoc()
    {
        return std::make_unique<C_ZorvikDocRollCall>(&db.reference(), db.context().settings(), dir.path() + u'/');
    }
    void reopenLive()
    {
        QMutexLocker lock(&db.reference().dbMutex);
        ASSERT_TRUE(db.reference().reopen(CReferenceData::LastRegistrationCursor));
        ASSERT_TRUE(db.reference().reopen(CReferenceData::GuestCursor));
    }

    PresenceDb db{60};
    testsupport::TempDir dir;
};

} // namespace

// The list is exactly the on-site employees of today plus the guests inside; a newcomer appears
// at the next refresh with the ticks kept, the ticks survive a restart, and an outage keeps the
// list with the stale line.
TEST_F(RollCall, ListFollowsTheDatabaseAndKeepsTicksThroughRefreshRestartAndOutage)
{
    const QStringList ids = CDemoSamples::onSiteActivities();
    QStringList expected;
    for (const QString &id :
         db.rows(QStringLiteral("select IDZaposlenog from tblLastReg where date(DatumLastReg) = '2026-03-04' and "
                                "IDLogickeAktivnosti in (%1)")
                     .arg(ids.join(u','))))
        expected << u'E' + id;
    const QStringList guests =
        db.rows(QStringLiteral("select GuestName || '|' || Enter from tblPartnerEvent where [Exit] is null"));
    ASSERT_FALSE(guests.isEmpty());
    for (const QString &g : guests)
        expected << u'G' + g;
    expected.sort();
    ASSERT_GT(expected.size(), guests.size());

    auto doc = makeDoc();
    doc->refresh();
    CRollCallModel &model = *doc->model();
    EXPECT_EQ(listedKeys(model), expected);
    // Grouped by department, by name inside one; guests last.
    for (int r = 1; r < model.rowCount(); ++r) {
        const auto &a = model.people().at(r - 1), &b = model.people().at(r);
        EXPECT_TRUE(a.guest <= b.guest);
        if (!a.guest && !b.guest) {
            EXPECT_TRUE(a.department < b.department || (a.department == b.department && a.name <= b.name));
        }
    }
    EXPECT_EQ(model.employeeCount() + model.guestCount(), model.rowCount());

    // Tick two people through the view, as the user would (a click and the space bar).
    C_ZorvikViewRollCall view(doc.get());
    view.resize(900, 300);
    view.show();
    ASSERT_TRUE(model.setData(model.index(0, CRollCallModel::TickColumn), Qt::Checked, Qt::CheckStateRole));
    view.grid()->setCurrentIndex(view.grid()->model()->index(2, CRollCallModel::NameColumn));
    QTest::keyClick(view.grid(), Qt::Key_Space);
    const QSet<QString> ticked{model.people().at(0).key, model.people().at(2).key};
    EXPECT_EQ(model.ticks(), ticked);
    // A held space bar is one tick: its repeats neither untick nor tick again.
    view.grid()->setCurrentIndex(view.grid()->model()->index(1, CRollCallModel::NameColumn));
    testsupport::holdKey(view.grid(), Qt::Key_Space, 7);
    EXPECT_EQ(model.ticks(), ticked + QSet<QString>{model.people().at(1).key});
    testsupport::holdKey(view.grid(), Qt::Key_Space, 6);
    EXPECT_EQ(model.ticks(), ticked);
    EXPECT_TRUE(view.findChild<QLabel *>(QStringLiteral("rollCallHeader"))
                    ->text()
                    .contains(QStringLiteral("Ticked: 2 of %1").arg(model.rowCount())));
    view.grid()->verticalScrollBar()->setValue(3);

    // A newcomer: someone not on site clocks an arrival now.
    const QString newcomer =
        db.value(QStringLiteral("select IDZaposlenog from tblLastReg where IDLogickeAktivnosti not in (%1) limit 1")
                     .arg(ids.join(u',')));
    ASSERT_FALSE(newcomer.isEmpty());
    db.exec(QStringLiteral("update tblLastReg set DatumLastReg = '2026-03-04 10:29:00', IDLogickeAktivnosti = 1 "
                           "where IDZaposlenog = %1")
                .arg(newcomer));
    reopenLive();
    doc->refresh();
    EXPECT_TRUE(listedKeys(model).contains(u'E' + newcomer));
    EXPECT_EQ(model.rowCount(), expected.size() + 1);
    EXPECT_EQ(model.ticks(), ticked);
    EXPECT_EQ(view.grid()->verticalScrollBar()->value(), 3);
    if (!qgetenv("ZORVIK_SHOT_DIR").isEmpty())
        view.grab().save(QString::fromLocal8Bit(qgetenv("ZORVIK_SHOT_DIR")) + QStringLiteral("/rollcall.png"));

    // A restart reads the day's file.
    {
        auto again = makeDoc();
        EXPECT_EQ(again->model()->ticks(), ticked);
        EXPECT_EQ(again->ticksFilePath(), dir.file(QStringLiteral("RollCall-20260304.txt")));
    }

    // An outage: the polling thread closes the cursors it could not read.
    CClock::setFixed(kNow.addSecs(600));
    db.reference().databaseError = true;
    db.reference().rebind(CReferenceData::LastRegistrationCursor);
    doc->refresh();
    EXPECT_EQ(model.rowCount(), expected.size() + 1);
    EXPECT_EQ(model.ticks(), ticked);
    EXPECT_EQ(doc->staleText(), QStringLiteral("Not connected since 10:40; list as of 10:30"));
    EXPECT_TRUE(view.findChild<QLabel *>(QStringLiteral("rollCallStale"))->isVisibleTo(&view));

    // Clear ticks starts over, in memory and in the file.
    CPrompt::queueButton(QMessageBox::Yes);
    view.clearTicks();
    EXPECT_TRUE(model.ticks().isEmpty());
    EXPECT_TRUE(makeDoc()->model()->ticks().isEmpty());
}

// The printed roll call: unticked people first, then the ticked, the stale line on the page;
// read back from the PDF with pdftotext.
TEST_F(RollCall, PdfListsUntickedFirstAndCarriesTheStaleLine)
{
    const QString saved = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ZORVIK_SOURCE_DIR)); // the installed templates
    auto doc = makeDoc();
    doc->refresh();
    CRollCallModel &model = *doc->model();
    ASSERT_GT(model.rowCount(), 3);
    const QString tickedName = model.people().at(0).name;
    const QString openName = model.people().at(1).name;
    model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole);
    db.reference().databaseError = true;
    doc->refresh();

    C_ZorvikViewRollCall view(doc.get());
    C_ReportView *report = view.buildReport();
    QDir::setCurrent(saved);
    ASSERT_NE(report, nullptr);
    const QString pdf = dir.file(QStringLiteral("rollcall.pdf"));
    ASSERT_TRUE(report->exportPdf(pdf));
    if (!qgetenv("ZORVIK_SHOT_DIR").isEmpty())
        QFile::copy(pdf, QString::fromLocal8Bit(qgetenv("ZORVIK_SHOT_DIR")) + QStringLiteral("/rollcall.pdf"));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString all = QString::fromUtf8(text.readAllStandardOutput());
    const QStringList pages = all.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), report->pageCount());
    for (const QString &page : pages)
        EXPECT_TRUE(page.contains(QStringLiteral("Not connected since 10:30"))) << page.toStdString();
    const qsizetype open = all.indexOf(QStringLiteral("Not yet ticked (%1)").arg(model.rowCount() - 1));
    const qsizetype ticked = all.indexOf(QStringLiteral("Ticked (1)"));
    ASSERT_GE(open, 0);
    ASSERT_GT(ticked, open);
    EXPECT_GT(all.indexOf(tickedName, ticked), ticked);
    const qsizetype openAt = all.indexOf(openName, open);
    EXPECT_TRUE(openAt > open && openAt < ticked);
}

// CSV from the roll-call and guests windows, read back by Python's csv module: headings, rows,
// diacritics, commas and quotes intact; a file that cannot be written is reported.
TEST_F(RollCall, CsvExportsReadBackWithDiacriticsAndFailuresAreReported)
{
    db.exec(QStringLiteral("insert into tblPartnerEvent (IDPartnera, GuestName, ReasonDescription, IDZaposlenog, "
                           "Enter) select IDPartnera, 'Đorđe \"Đole\" Šćekić, ml.', 'Sastanak', "
                           "(select min(IDZaposlenog) from tblZaposleni), '2026-03-04 09:15:00' from tblPartner "
                           "limit 1"));
    reopenLive();
    auto doc = makeDoc();
    doc->refresh();
    C_ZorvikViewRollCall view(doc.get());
    const QString path = dir.file(QStringLiteral("rollcall.csv"));
    CPrompt::queueFile(path);
    view.exportCsv();
    const QList<QStringList> rows = readCsv(path);
    ASSERT_EQ(rows.size(), doc->model()->rowCount() + 1);
    EXPECT_EQ(rows.first(),
              (QStringList{QStringLiteral("✓"), "Name", "Department", "Time", "Activity / host", "Company"}));
    bool found = false;
    for (int r = 0; r < doc->model()->rowCount(); ++r) {
        EXPECT_EQ(rows.at(r + 1).at(1), doc->model()->people().at(r).name);
        found = found || rows.at(r + 1).at(1) == QStringLiteral("Đorđe \"Đole\" Šćekić, ml.");
    }
    EXPECT_TRUE(found);

    // A guest name typed as a formula stays text; where the decimal separator is a comma the
    // semicolon is offered first, and the file is read back with it.
    db.exec(QStringLiteral("insert into tblPartnerEvent (IDPartnera, GuestName, ReasonDescription, IDZaposlenog, "
                           "Enter) select IDPartnera, '=HYPERLINK(\"http://x\")', '+Sastanak', "
                           "(select min(IDZaposlenog) from tblZaposleni), '2026-03-04 09:20:00' from tblPartner "
                           "limit 1"));
    reopenLive();
    QLocale::setDefault(QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia));
    C_ZorvikDocGuests guests;
    guests.initialUpdate();
    C_ZorvikViewGuests guestsView(&guests);
    const QString guestsPath = dir.file(QStringLiteral("guests.csv"));
    CPrompt::takeAsked();
    CPrompt::queueFile(guestsPath);
    guestsView.exportCsv();
    QLocale::setDefault(QLocale::c());
    EXPECT_TRUE(CPrompt::takeAsked().value(0).filter.startsWith(CStringTable::text("csv.filterSemicolon")));
    const QList<QStringList> guestRows = readCsv(guestsPath, u';');
    ASSERT_EQ(guestRows.size(), guests.model()->rowCount() + 1);
    EXPECT_EQ(guestRows.first().size(), 5);
    EXPECT_EQ(guestRows.first().at(2), QStringLiteral("Guest"));
    QStringList cells;
    for (const QStringList &row : guestRows)
        cells += row;
    EXPECT_TRUE(cells.contains(QStringLiteral("'=HYPERLINK(\"http://x\")")));
    EXPECT_TRUE(cells.contains(QStringLiteral("'+Sastanak")));
    EXPECT_FALSE(cells.contains(QStringLiteral("=HYPERLINK(\"http://x\")")));

    // Into a folder that does not exist: the user is told, nothing is claimed.
    CPrompt::takeAsked();
    CPrompt::queueFile(dir.file(QStringLiteral("missing/folder/out.csv")));
    view.exportCsv();
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked.at(1).text.startsWith(QStringLiteral("The file "))) << asked.at(1).text.toStdString();
    EXPECT_EQ(asked.at(1).icon, QMessageBox::Critical);
}

// The Colours dialog's On site column reads and writes the settings; Cancel keeps them.
TEST_F(RollCall, ColoursDialogMarksOnSiteActivities)
{
    CSettings &settings = *db.context().settings();
    COnSiteActivities::write(settings, {QStringLiteral("1")});
    ColourMap colours = db.reference().activityColourMap;
    {
        CD_Colors dlg(db.reference().activityMap, colours, dir.file(QStringLiteral("ZvPanel.cfg")), &settings);
        CColoursModel *model = dlg.model();
        int arrival = -1, departure = -1;
        for (int r = 0; r < model->rowCount(); ++r) {
            if (model->id(r) == QLatin1String("1"))
                arrival = r;
            if (model->id(r) == QLatin1String("2"))
                departure = r;
        }
        ASSERT_GE(arrival, 0);
        ASSERT_GE(departure, 0);
        EXPECT_EQ(model->index(arrival, CColoursModel::OnSiteColumn).data(Qt::CheckStateRole).toInt(), Qt::Checked);
        dlg.grid()->selectRow(departure);
        QTest::keyClick(dlg.grid(), Qt::Key_Space);
        dlg.grid()->selectRow(arrival);
        QTest::keyClick(dlg.grid(), Qt::Key_Space);
        if (!qgetenv("ZORVIK_SHOT_DIR").isEmpty()) {
            dlg.show();
            dlg.grab().save(QString::fromLocal8Bit(qgetenv("ZORVIK_SHOT_DIR")) + QStringLiteral("/colours.png"));
        }
        dlg.reject();
        EXPECT_EQ(COnSiteActivities::read(settings), QSet<QString>{QStringLiteral("1")});
        dlg.accept();
    }
    EXPECT_EQ(COnSiteActivities::read(settings), QSet<QString>{QStringLiteral("2")});
}

// One list for every window: made from a snapshot on a thread of its own (DBMutex is free again
// while it is made, and a busy DBMutex only delays the snapshot), the same rows as a list made on
// the spot (only counted while no window shows it), a later request while one is being made gives
// one more list and not a queue, and an unchanged list leaves the window alone.
TEST_F(RollCall, SharedListIsMadeOffTheInterfaceThreadFromASnapshot)
{
    auto direct = makeDoc();
    direct->refresh();
    COnSiteList source(&db.reference(), db.context().settings());
    QList<COnSiteList::Result> made;
    QObject::connect(&source, &COnSiteList::ready, &source, [&](const COnSiteList::Result &r) { made << r; });
    // With no window showing the list, the head count's numbers alone.
    source.refresh();
    ASSERT_TRUE(testsupport::waitFor([&] { return made.size() == 1; }));
    EXPECT_FALSE(made.first().hasPeople);
    EXPECT_TRUE(made.first().people.isEmpty());
    EXPECT_EQ(made.first().employees, direct->model()->employeeCount());
    EXPECT_EQ(made.first().guests, direct->model()->guestCount());
    EXPECT_EQ(made.first().departmentsText, direct->model()->departmentsText());
    made.clear();
    source.addListener();
    source.refresh();
    ASSERT_TRUE(source.isBusy());
    {
        QMutexLocker lock(&db.reference().dbMutex); // held while the list is made
        source.refresh();
        source.refresh();
        ASSERT_TRUE(testsupport::waitFor([&] { return !made.isEmpty(); }));
        QTest::qWait(3 * COnSiteList::kRetryMs);
        EXPECT_EQ(made.size(), 1); // the second one waits for its snapshot
    }
    ASSERT_TRUE(testsupport::waitFor([&] { return made.size() == 2 && !source.isBusy(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(made.size(), 2);
    EXPECT_EQ(made.first().people, direct->model()->people());
    EXPECT_EQ(made.first().employees + made.first().guests, direct->model()->rowCount());
    EXPECT_EQ(made.first().departmentsText, direct->model()->departmentsText());
    EXPECT_FALSE(made.last().changed);
    EXPECT_EQ(made.last().serial, made.first().serial + 1);

    auto doc = makeDoc();
    doc->setSource(&source);
    doc->refresh(); // the latest list at once, a new one asked for
    EXPECT_EQ(doc->model()->people(), made.last().people);
    int resets = 0;
    QObject::connect(doc->model(), &QAbstractItemModel::modelReset, doc->model(), [&] { ++resets; });
    ASSERT_TRUE(testsupport::waitFor([&] { return made.size() == 3; }));
    EXPECT_EQ(resets, 0);
}

// The running program: F9 opens the roll call, and after a pass the status bar's head count
// equals the roll call's totals (one list made for both); the legend counts each activity's last
// clockings of today and "Not yet in" lists whoever has not clocked today, as the database says.
TEST(RollCallApp, HeadCountLegendAndNotYetInAgreeWithTheDatabase)
{
    CPrompt::setTestMode(true);
    testsupport::TempDir dir;
    CDemoDatabase::DemoOptions o;
    o.employees = 30;
    o.historyDays = 0;
    o.photographs = false;
    QString error;
    const QString dbPath = dir.file(QStringLiteral("attendance.db"));
    ASSERT_TRUE(CDemoDatabase::build(dbPath, o, &error)) << error.toStdString();
    const C_ZorvikApp::Options options =
        testsupport::appOptions(dir, QStringLiteral("Provider=SQLite;Data Source=") + dbPath);
    {
        CSettings s(options.settingsFile);
        COnSiteActivities::write(s, demoOnSite());
    }
    // One employee last clocked yesterday and one never did: neither has come in today.
    QMap<QString, int> perActivity; // by description, as the database counts them
    int notYetIn = 0, yesterday = 0;
    {
        QSqlDatabase sql = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        sql.setDatabaseName(dbPath);
        ASSERT_TRUE(sql.open());
        QSqlQuery q(sql);
        q.prepare(QStringLiteral("update tblLastReg set DatumLastReg = ? where IDZaposlenog = 1"));
        q.addBindValue(QDateTime::currentDateTime().addDays(-1));
        ASSERT_TRUE(q.exec());
        ASSERT_TRUE(q.exec(QStringLiteral("delete from tblLastReg where IDZaposlenog = 2")));
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        ASSERT_TRUE(q.exec(QStringLiteral("select a.OpisLogAkt, count(*) from tblLastReg r join LogickaAktivnost a "
                                          "on a.IDLogickeAktivnosti = r.IDLogickeAktivnosti where "
                                          "substr(r.DatumLastReg, 1, 10) = '%1' group by a.OpisLogAkt")
                               .arg(today)));
        while (q.next())
            perActivity.insert(q.value(0).toString(), q.value(1).toInt());
        ASSERT_TRUE(q.exec(QStringLiteral("select count(*) from tblZaposleni e where not exists (select 1 from "
                                          "tblLastReg r where r.IDZaposlenog = e.IDZaposlenog and "
                                          "substr(r.DatumLastReg, 1, 10) = '%1')")
                               .arg(today)));
        ASSERT_TRUE(q.next());
        notYetIn = q.value(0).toInt();
        ASSERT_GE(notYetIn, 2);
        ASSERT_TRUE(q.exec(QStringLiteral("select count(*) from tblLastReg where substr(DatumLastReg, 1, 10) = '%1'")
                               .arg(QDate::currentDate().addDays(-1).toString(Qt::ISODate))));
        ASSERT_TRUE(q.next());
        yesterday = q.value(0).toInt();
        ASSERT_GE(yesterday, 1);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    // The user's documents, where drill records go, in the test's folder; the templates of the
    // sources.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", dir.path().toUtf8());
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ZORVIK_SOURCE_DIR));
    C_ZorvikApp app(options);
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    C_MainFrame *frame = app.mainFrame();
    EXPECT_EQ(frame->action(Command::RollCall)->shortcut(), QKeySequence(QStringLiteral("F9")));
    frame->trigger(Command::RollCall);
    CChildFrameBase *child = frame->activeChild();
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(child->kind(), CDocTemplate::RollCall);
    auto *doc = qobject_cast<C_ZorvikDocRollCall *>(child->document());
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(app.live()->OnMsgUpdateDocs());
    const CRollCallModel &model = *doc->model();
    // The list is made off the interface thread and handed to both when it is ready.
    ASSERT_TRUE(testsupport::waitFor([&] { return model.rowCount() > 0 && !frame->headCountPane()->isHidden(); }));
    EXPECT_EQ(frame->headCountPane()->text(),
              QStringLiteral("On site: %1 · Guests: %2").arg(model.employeeCount()).arg(model.guestCount()));
    // Department names from the database, shown as written (never as markup), one a line.
    EXPECT_EQ(QTextDocumentFragment::fromHtml(frame->headCountPane()->toolTip())
                  .toPlainText()
                  .replace(QChar::LineSeparator, u'\n'),
              model.departmentsText());
    EXPECT_TRUE(frame->action(Command::ExportCsv)->isEnabled());

    frame->trigger(Command::Legend);
    ASSERT_TRUE(frame->legendDock()->isVisible());
    EXPECT_TRUE(frame->action(Command::Legend)->isChecked());
    const QAbstractItemModel *legend = frame->legendDock()->findChild<QTableView *>()->model();
    QMap<QString, int> shown;
    QSet<QString> codes; // each activity has its own short name beside the colour
    for (int r = 0; r < legend->rowCount(); ++r)
        codes.insert(legend->index(r, CLegendModel::CodeColumn).data().toString());
    EXPECT_FALSE(codes.contains(QString()));
    EXPECT_EQ(codes.size(), legend->rowCount());
    for (int r = 0; r < legend->rowCount(); ++r)
        if (const int n = legend->index(r, CLegendModel::CountColumn).data().toInt())
            shown.insert(legend->index(r, CLegendModel::ActivityColumn).data().toString(), n);
    EXPECT_EQ(shown, perActivity);
    EXPECT_GT(legend->rowCount(), shown.size()); // activities nobody has today are listed too

    auto *notYetInButton = frame->findChild<QToolButton *>(QStringLiteral("notYetInButton"));
    ASSERT_TRUE(notYetInButton && notYetInButton->isVisible());
    EXPECT_EQ(notYetInButton->text(), QStringLiteral("Not yet in: %1").arg(notYetIn));
    frame->trigger(Command::NotYetIn); // the same list from the menu and F7
    auto *people = frame->findChild<QTableView *>(QStringLiteral("peopleGrid"));
    ASSERT_TRUE(people && people->isVisible());
    ASSERT_EQ(people->model()->rowCount(), notYetIn);
    int dated = 0; // those who clocked yesterday show that day
    for (int r = 0; r < notYetIn; ++r)
        dated +=
            people->model()->index(r, 2).data().toString() == QDate::currentDate().addDays(-1).toString(Qt::ISODate);
    EXPECT_EQ(dated, yesterday);
    // A row is selected; six others of yesterday come in at once: their rows go and the selection
    // stays where it was.
    const QString selectedName = people->model()->index(1, 0).data().toString();
    people->selectRow(1);
    {
        QSqlDatabase sql = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("comes"));
        sql.setDatabaseName(dbPath);
        ASSERT_TRUE(sql.open());
        QSqlQuery q(sql);
        q.prepare(QStringLiteral("update tblLastReg set DatumLastReg = ? where IDZaposlenog in (select r.IDZaposlenog "
                                 "from tblLastReg r join tblZaposleni z on z.IDZaposlenog = r.IDZaposlenog where "
                                 "r.DatumLastReg < ? and z.Prezime || ' ' || z.Ime <> ? limit 6)"));
        q.addBindValue(QDateTime::currentDateTime().addSecs(-1).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        q.addBindValue(QDate::currentDate().toString(Qt::ISODate));
        q.addBindValue(selectedName);
        ASSERT_TRUE(q.exec());
        ASSERT_EQ(q.numRowsAffected(), 6);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("comes"));
    app.live()->refreshNow();
    ASSERT_TRUE(testsupport::waitFor([&] { return people->model()->rowCount() == notYetIn - 6; }, 20000));
    const QModelIndexList selected = people->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().data().toString(), selectedName);
    if (!qgetenv("ZORVIK_SHOT_DIR").isEmpty()) {
        frame->resize(1000, 600);
        frame->grab().save(QString::fromLocal8Bit(qgetenv("ZORVIK_SHOT_DIR")) + QStringLiteral("/mainframe.png"));
    }

    // Quitting during a drill asks first: No keeps the program and the drill; closing the roll
    // call asks too; Yes ends the drill (its record written) and quits.
    frame->mdiArea()->setActiveSubWindow(child);
    child->widget()->findChild<QAction *>(QStringLiteral("rollCall.startDrill"))->trigger();
    ASSERT_TRUE(doc->drill().isRunning());
    CPrompt::clearQueue();
    CPrompt::takeAsked();
    CPrompt::queueButton(QMessageBox::No);
    EXPECT_FALSE(frame->close());
    CPrompt::queueButton(QMessageBox::No);
    child->close();
    EXPECT_FALSE(app.isShutDown());
    EXPECT_TRUE(doc->drill().isRunning());
    QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].text.startsWith(QStringLiteral("A drill is running")));
    EXPECT_TRUE(asked[0].text.endsWith(QStringLiteral("quit?")));
    EXPECT_TRUE(asked[1].text.endsWith(QStringLiteral("close the roll call?")));
    CPrompt::queueButton(QMessageBox::Yes);
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(app.isShutDown());
    asked = CPrompt::takeAsked();
    ASSERT_GE(asked.size(), 2);
    // The record is in the user's documents, and the message offers to open its folder.
    EXPECT_TRUE(asked[1].text.contains(dir.file(QStringLiteral("Documents/Zorvik/RollCallEvent-"))))
        << asked[1].text.toStdString();
    EXPECT_TRUE(asked[1].buttons.testFlag(QMessageBox::Open));
    EXPECT_EQ(QDir(dir.file(QStringLiteral("Documents/Zorvik"))).entryList({QStringLiteral("*.pdf")}).size(), 1);
    qputenv("HOME", home);
    QDir::setCurrent(cwd);
    CPrompt::setTestMode(false);
}

// Written files stay beside a portable program and go to the user's folder for an installed one.
TEST(RollCallFiles, InstalledProgramWritesToTheUserFolder)
{
    testsupport::TempDir dir;
    const QString program = dir.file(QStringLiteral("program"));
    const QString user = dir.file(QStringLiteral("user"));
    QDir().mkpath(program);
    EXPECT_EQ(CAppContext::writableFolderFor(program, user), program + u'/');
    QFile marker(QDir(program).filePath(QString::fromLatin1(CAppContext::kInstalledMarker)));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    EXPECT_EQ(CAppContext::writableFolderFor(program, user), user + u'/');
    EXPECT_TRUE(QFileInfo(user).isDir());
}

// At the assembly point: a department or a name typed finds the rows to tick, the space bar
// ticks the row found (not the row that stood there before), and sorting by the tick column
// puts the ticked people last and keeps them so as the list is read again.
TEST_F(RollCall, SearchAndSortFindTheRowToTick)
{
    auto doc = makeDoc();
    doc->refresh();
    CRollCallModel &model = *doc->model();
    ASSERT_GT(model.employeeCount(), 3);
    C_ZorvikViewRollCall view(doc.get());
    view.resize(900, 300);
    view.show();
    // The grid shows the roll call itself until a search or a sort needs the filter.
    auto shown = [&view] { return view.grid()->model(); };
    const CRollCallModel::Person target = model.people().at(model.employeeCount() - 1);
    auto *search = view.findChild<QLineEdit *>(QStringLiteral("searchEdit"));
    ASSERT_TRUE(search);
    search->setText(CTextMatch::fold(target.department).toUpper());
    ASSERT_GE(shown()->rowCount(), 1);
    for (int r = 0; r < shown()->rowCount(); ++r)
        EXPECT_EQ(shown()->index(r, CRollCallModel::DepartmentColumn).data().toString(), target.department);
    search->setText(target.name);
    ASSERT_EQ(shown()->rowCount(), 1);
    view.grid()->setCurrentIndex(shown()->index(0, CRollCallModel::NameColumn));
    QTest::keyClick(view.grid(), Qt::Key_Space);
    EXPECT_EQ(model.ticks(), QSet<QString>{target.key});

    search->clear();
    QHeaderView *h = view.grid()->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(0) + 5, h->height() / 2));
    auto lastTicked = [&] {
        return shown()->index(shown()->rowCount() - 1, CRollCallModel::NameColumn).data().toString() == target.name &&
               shown()->index(shown()->rowCount() - 1, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    };
    EXPECT_TRUE(lastTicked());
    reopenLive();
    doc->refresh();
    EXPECT_TRUE(lastTicked());
}

// A change of many rows at the top, in the middle and at the end is made in one pass: the list
// equals the one made a row at a time, the department counts follow and a selected row stays
// selected; a change that does not fit the list is refused and leaves it as it was.
TEST(RollCallDelta, ManyRowsChangeAsOneAndAMisfitIsRefused)
{
    const auto person = [](int i) {
        CRollCallModel::Person p;
        p.key = QStringLiteral("E%1").arg(i);
        p.name = QStringLiteral("Name %1").arg(i);
        p.department = QStringLiteral("Dept %1").arg(i % 3);
        return p;
    };
    QList<CRollCallModel::Person> people;
    for (int i = 0; i < 12; ++i)
        people << person(i);
    CRollCallModel model;
    model.setPeople(people);
    const QPersistentModelIndex selected = model.index(6, CRollCallModel::NameColumn);
    CRollCallModel::Delta delta;
    delta.removed = {QStringLiteral("E0"), QStringLiteral("E5"), QStringLiteral("E11")};
    delta.inserted = {{0, person(20)}, {4, person(21)}, {10, person(22)}, {12, person(23)}};
    QList<CRollCallModel::Person> expected = people;
    for (const QString &key : delta.removed)
        expected.removeIf([&key](const CRollCallModel::Person &p) { return p.key == key; });
    for (const auto &[row, p] : delta.inserted)
        expected.insert(row, p);
    ASSERT_GT(delta.removed.size() + delta.inserted.size(), CRollCallModel::kRowSignals);
    EXPECT_TRUE(model.changePeople(delta, expected.size()));
    EXPECT_EQ(model.people(), expected);
    EXPECT_EQ(selected.data().toString(), people.at(6).name);
    QMap<QString, int> departments;
    for (const auto &p : expected)
        ++departments[p.department];
    EXPECT_EQ(model.departmentCounts(), departments);

    CRollCallModel::Delta misfit;
    misfit.inserted = {{3, person(30)}, {1, person(31)}, {5, person(32)}, {6, person(33)}, {7, person(34)}};
    EXPECT_FALSE(model.changePeople(misfit, expected.size() + misfit.inserted.size()));
    EXPECT_EQ(model.people(), expected);
}
