// The program's data path on SQL Server's route: the real FreeTDS ODBC driver against the
// stand-in, which keeps SQL Server's column types and session rules and reports what reached it.
#include "AppSandbox.h"
#include "TdsStandin.h"
#include "TestSupport.h"
#include "app/CClock.h"
#include "app/CLogSink.h"
#include "app/CSettings.h"
#include "app/C_ZorvikApp.h"
#include "config/CColourFile.h"
#include "db/CDbConnection.h"
#include "db/CDbCursor.h"
#include "db/CDbThread.h"
#include "db/CDbWorker.h"
#include "db/COdbcCatalog.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "demo/CDemoSamples.h"
#include "dialogs/CConnectionBuilder.h"
#include "dialogs/CPrompt.h"
#include "live/CLiveUpdate.h"
#include "panel/CPhotoDecoder.h"
#include "panel/CTablet.h"
#include "panel/CTabletPainter.h"
#include "panel/C_ZorvikDoc.h"
#include "reports/CLastActQuery.h"
#include "reports/CReportGrid.h"
#include "reports/C_ReportFrame.h"
#include "reports/C_ReportView.h"
#include "rollcall/COnSiteActivities.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/C_ZorvikDocRollCall.h"
#include "views/CChildFrameBase.h"
#include "views/CGuestsModel.h"
#include "views/CPresencesModel.h"
#include "views/C_MainFrame.h"
#include "views/C_ZorvikDocGuests.h"
#include "views/C_ZorvikDocPresences.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using testsupport::TdsStandin;

namespace {

// A Wednesday: a working day for everybody.
QDateTime testNow()
{
    return QDateTime(QDate(2026, 3, 4), QTime(10, 30, 15));
}

class FreeTds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        CClock::setFixed(testNow());
        m_path = m_dir.file(QStringLiteral("attendance.sqlite"));
        QString error;
        ASSERT_TRUE(TdsStandin::buildDatabase(m_path, 12, testNow(), &facts, &error)) << error.toStdString();
        ASSERT_TRUE(CDemoDatabase::openConnection(QStringLiteral("tds-writer"), m_path, &error));
        ASSERT_TRUE(server.start(m_path)) << server.error().toStdString();
    }
    void TearDown() override
    {
        app.reset();
        server.stop();
        QSqlDatabase::removeDatabase(QStringLiteral("tds-writer"));
        testsupport::waitFor([] { return CDbWorker::detachedThreads() == 0; }, 15000);
        CClock::reset();
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
    }

    // What the attendance system writes, on a connection of the test's own.
    QString sql(const QString &statement)
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("tds-writer")));
        EXPECT_TRUE(q.exec(statement)) << statement.toStdString() << ": " << q.lastError().text().toStdString();
        return q.next() ? q.value(0).toString() : QString();
    }
    void clock(const QString &key, const QString &when, int activity)
    {
        const QString card =
            sql(QStringLiteral("select substr(IDNo, -10, 8) from tblMediaID where IDZaposlenog = %1 and VaziDo is null")
                    .arg(key));
        sql(QStringLiteral("insert into tblReg (IDNo, TerminalskoVremeRegistracije, IDLogickeAktivnosti, IDHACT, "
                           "Nevidljiva) values ('%1', '%2', %3, 1, 0)")
                .arg(card, when)
                .arg(activity));
        sql(QStringLiteral(
                "update tblLastReg set DatumLastReg = '%1', IDLogickeAktivnosti = %2 where IDZaposlenog = %3")
                .arg(when)
                .arg(activity)
                .arg(key));
    }

    // The program as a site runs it: its settings name the stand-in; a panel of four employees
    // opens at start, the demo's colours and on-site activities are in place.
    void startProgram()
    {
        C_ZorvikApp::Options o = testsupport::appOptions(m_dir);
        QString error;
        ASSERT_TRUE(CDemoSamples::ensure(m_path, o.programFolder, &error)) << error.toStdString();
        C_ZorvikDoc panel;
        int row = 0;
        for (const char *key : {"1001", "1002", "1003", "1004"}) {
            panel.addTablet(QStringLiteral("L%1").arg(row), QStringLiteral("F%1").arg(row), QString(),
                            QLatin1String(key), QRect(0, 24 * row, 168, 24));
            ++row;
        }
        const QString panelPath = m_dir.file(QStringLiteral("Front desk.zvl"));
        ASSERT_TRUE(panel.save(panelPath, &error)) << error.toStdString();
        {
            CSettings s(o.settingsFile);
            s.writeText(QStringLiteral("Settings"), QStringLiteral("Connection"), server.connectionString());
            s.writeInt(QStringLiteral("Settings"), QStringLiteral("Refresh"), 1);
            s.writeInt(QStringLiteral("AutoLoad"), QStringLiteral("Count"), 1);
            s.writeText(QStringLiteral("AutoLoad"), QStringLiteral("File0"), panelPath);
            const QStringList onSite = CDemoSamples::onSiteActivities();
            COnSiteActivities::write(s, QSet<QString>(onSite.begin(), onSite.end()));
        }
        app = std::make_unique<C_ZorvikApp>(o);
        ASSERT_EQ(app->InitInstance(), C_ZorvikApp::StartResult::Running);
        ASSERT_TRUE(testsupport::waitFor([&] { return app->mainFrame()->isConnected(); }, 15000));
        m_colourFile = QDir(o.programFolder).filePath(QLatin1String(CColourFile::kFileName));
    }
    // Waits for a condition on the shared cursors' results as the interface thread sees them.
    bool until(const std::function<bool()> &pred) { return testsupport::waitFor(pred, 15000); }

    testsupport::TempDir m_dir;
    QString m_path;
    QString m_colourFile;
    TdsStandin::Facts facts;
    TdsStandin server;
    std::unique_ptr<C_ZorvikApp> app;
};

QString cell(const QString &row, int n)
{
    return row.section(u'|', n, n).remove(QStringLiteral("[%red%]"));
}

// Data sources of the test's own: odbc.ini in the test's folder beside the drivers the system
// registers, unixODBC pointed there while the object lives.
class DataSources
{
public:
    explicit DataSources(const testsupport::TempDir &dir) : m_ini(dir.file(QStringLiteral("odbc.ini")))
    {
        QFile system(QStringLiteral("/etc/odbcinst.ini")), drivers(dir.file(QStringLiteral("odbcinst.ini")));
        if (system.open(QIODevice::ReadOnly) && drivers.open(QIODevice::WriteOnly))
            drivers.write(system.readAll());
        for (const char *name : {"ODBCINI", "ODBCSYSINI"})
            m_old.append({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
        qputenv("ODBCINI", m_ini.toUtf8());
        qputenv("ODBCSYSINI", dir.path().toUtf8());
    }
    ~DataSources()
    {
        for (const auto &[name, value] : std::as_const(m_old))
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    // A data source for FreeTDS to the stand-in on port, without user or password.
    void add(const QString &name, quint16 port)
    {
        QFile ini(m_ini);
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write(QStringLiteral("[%1]\nDriver=%2\nServer=127.0.0.1\nPort=%3\nTDS_Version=7.4\nClientCharset=UTF-8\n"
                                 "Database=att\n\n")
                      .arg(name, COdbcCatalog::freeTdsDriver())
                      .arg(port)
                      .toUtf8());
    }

private:
    QString m_ini;
    QList<QPair<const char *, QByteArray>> m_old;
};

} // namespace

// The fault the stand-in exists to show: a "#" table made inside a prepared call (sp_prepexec)
// is gone when that call returns. Made by a batch, it lives for the session, and the Last
// activity report's statements go as batches and find their rows.
TEST_F(FreeTds, SessionTablesLiveInBatchesNotInPreparedCalls)
{
    CDbConnection conn;
    ASSERT_TRUE(conn.open(server.connectionString())) << conn.lastErrorText().toStdString();
    const QString make = QStringLiteral("select IDDana, NazivDana into #days from tblRadniDan");
    CDbCursor read(&conn);

    ASSERT_TRUE(conn.execute(make)) << conn.lastErrorText().toStdString();
    EXPECT_EQ(server.count("rpc sp_prepexec " + make), 1);
    EXPECT_EQ(server.count("drop #days"), 1);
    EXPECT_FALSE(read.open(QStringLiteral("select * from #days"), CDbCursor::Query, CDbConnection::Send::Batch));
    EXPECT_TRUE(read.lastErrorText().contains(QLatin1String("Invalid object name '#days'.")))
        << read.lastErrorText().toStdString();
    EXPECT_EQ(server.count("error 208 Invalid object name '#days'."), 1);

    ASSERT_TRUE(conn.execute(make, CDbConnection::Send::Batch)) << conn.lastErrorText().toStdString();
    EXPECT_EQ(server.count("batch " + make), 1);
    // Visible to the session's batches and, as on SQL Server, inside its prepared calls.
    for (const auto send : {CDbConnection::Send::Batch, CDbConnection::Send::Prepared}) {
        ASSERT_TRUE(read.open(QStringLiteral("select * from #days"), CDbCursor::Query, send))
            << read.lastErrorText().toStdString();
        EXPECT_EQ(read.recordCount(), sql(QStringLiteral("select count(*) from tblRadniDan")).toInt());
    }

    // The report as every real site ran it before: the scratch table made by prepared calls is
    // gone when S2 reads it.
    CLastActRequest request;
    request.moment = CDateTime::fromLocal(testNow());
    CLastActQuery report(request, {});
    ASSERT_TRUE(conn.execute(report.dropStatement()));
    ASSERT_TRUE(conn.execute(report.statement1()));
    EXPECT_FALSE(read.open(report.statement2(), CDbCursor::Query));
    EXPECT_EQ(server.count("error 208 Invalid object name '#tmpLastActTime'."), 1);

    // As the program sends it now: three batches in the session, every employee's row back.
    const int errors = int(server.startingWith("error").size());
    QStringList rows;
    QString error;
    ASSERT_TRUE(report.fetch(conn, rows, &error));
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(rows.size(), sql(QStringLiteral("select count(*) from viewMediaIDActive")).toInt());
    EXPECT_EQ(server.count("batch " + report.dropStatement()), 1);
    EXPECT_EQ(server.count("batch " + report.statement1().simplified()), 1);
    EXPECT_EQ(server.count("batch " + report.statement2().simplified()), 1);
    EXPECT_EQ(server.startingWith("error").size(), errors);
    conn.releaseThread();
}

// What only a SQL Server row shows: varchar in the Windows-1250 collation and nvarchar, an int
// key read as text, a datetime's milliseconds, a NULL exit, an image over many packets.
TEST_F(FreeTds, ValuesKeepWhatTheirTypesCarry)
{
    CDbConnection conn;
    ASSERT_TRUE(conn.open(server.connectionString())) << conn.lastErrorText().toStdString();
    CDbCursor c(&conn);
    QString text;

    ASSERT_TRUE(c.open(QStringLiteral("select * from viewPhoto order by viewPhoto.Prezime, viewPhoto.Ime, "
                                      "viewPhoto.IDZaposlenog ")))
        << c.lastErrorText().toStdString();
    c.setFilter(QStringLiteral("IDZaposlenog = '%1'").arg(facts.diacriticsKey));
    ASSERT_EQ(c.recordCount(), 1);
    EXPECT_TRUE(c.getFieldText(QStringLiteral("Prezime"), text));
    EXPECT_EQ(text, facts.lastName); // varchar, code page 1250
    EXPECT_TRUE(c.getFieldText(QStringLiteral("Ime"), text));
    EXPECT_EQ(text, facts.firstName); // nvarchar
    QByteArray photo;
    ASSERT_TRUE(c.getFieldBytes(QStringLiteral("Fotografija"), photo));
    EXPECT_EQ(photo, facts.photograph);
    EXPECT_GT(photo.size(), 8 * 4096);
    EXPECT_EQ(CPhotoDecoder::decode(photo).size(), QSize(320, 400));
    c.setFilter(QStringLiteral("IDZaposlenog = '%1'").arg(facts.quoteKey));
    ASSERT_EQ(c.recordCount(), 1);
    EXPECT_TRUE(c.getFieldText(QStringLiteral("Prezime"), text));
    EXPECT_EQ(text, QStringLiteral("O'Brien"));
    EXPECT_TRUE(c.getFieldText(QStringLiteral("Ime"), text));
    EXPECT_EQ(text, QStringLiteral("Seán"));

    // Names with diacritics and a quote inside a statement find their rows.
    ASSERT_TRUE(
        c.open(QStringLiteral("select IDZaposlenog from tblZaposleni where Prezime in (%1, %2)")
                   .arg(CSqlDialect::literal(facts.lastName), CSqlDialect::literal(QStringLiteral("O'Brien")))));
    EXPECT_EQ(c.recordCount(), 2);
    EXPECT_TRUE(c.getFieldText(QStringLiteral("IDZaposlenog"), text));
    EXPECT_EQ(text, facts.diacriticsKey);

    ASSERT_TRUE(
        c.open(QStringLiteral("select DatumLastReg from tblLastReg where IDZaposlenog = %1").arg(facts.fractionKey)));
    CDateTime when;
    ASSERT_TRUE(c.getFieldDateTime(QStringLiteral("DatumLastReg"), when));
    EXPECT_NEAR((when.days() - CDateTime::fromLocal(facts.fraction, false).days()) * 86400.0, 0.25, 1e-4);
    EXPECT_TRUE(c.getFieldText(QStringLiteral("DatumLastReg"), text));
    EXPECT_EQ(text, facts.fraction.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));

    ASSERT_TRUE(c.open(QStringLiteral("select GuestName, Enter, [Exit] from ViewPartnerEvents where [Exit] is NULL")));
    ASSERT_EQ(c.recordCount(), facts.guestsInside);
    ASSERT_GT(facts.guestsInside, 0);
    CDateTime exit, enter;
    EXPECT_TRUE(c.getFieldDateTime(QStringLiteral("Exit"), exit));
    EXPECT_TRUE(exit.isNull());
    EXPECT_TRUE(c.getFieldDateTime(QStringLiteral("Enter"), enter));
    EXPECT_TRUE(enter.isValid());
    conn.releaseThread();
}

// The program started against the stand-in: reference data, polling cycles that see new
// clockings, the update pass on a panel, the guests, presences and roll-call lists. No
// statement takes a server cursor (the only one is Qt's own SET at connecting) and none fails.
TEST_F(FreeTds, TheProgramRunsOnTheDriverPath)
{
    ASSERT_NO_FATAL_FAILURE(startProgram());
    CReferenceData &ref = *app->reference();
    C_MainFrame *frame = app->mainFrame();
    {
        QMutexLocker lock(&ref.dbMutex);
        for (int c = 0; c < CReferenceData::CursorCount; ++c)
            EXPECT_TRUE(ref.cursor(CReferenceData::Cursor(c))->isOpen()) << "cursor " << c;
    }
    EXPECT_EQ(ref.departmentMap.size(), 4u);
    EXPECT_EQ(ref.activityMap.size(),
              sql(QStringLiteral("select count(*) from LogickaAktivnost where Kalendarska = 0")).toUInt());

    C_ZorvikDoc *panel = frame->activePanel();
    ASSERT_NE(panel, nullptr);
    CTablet *stale = panel->tablet(facts.fractionKey);
    ASSERT_TRUE(until([&] { return stale->timeText == QLatin1String("10:15"); }));
    EXPECT_EQ(stale->dateText, facts.fraction.date().toString(Qt::ISODate));
    EXPECT_TRUE(stale->isStale());

    // A clocking the attendance system writes reaches the tablet within a cycle or two.
    clock(facts.quoteKey, QStringLiteral("2026-03-04 10:29:15"), CDemoDatabase::WeekendDuty);
    CTablet *t = panel->tablet(facts.quoteKey);
    ASSERT_TRUE(until([&] { return t->activityId == QString::number(CDemoDatabase::WeekendDuty); }));
    EXPECT_EQ(t->dateText, QStringLiteral("2026-03-04"));
    EXPECT_EQ(t->timeText, QStringLiteral("10:29"));
    EXPECT_EQ(t->activityDescription,
              sql(QStringLiteral("select OpisLogAkt from LogickaAktivnost where IDLogickeAktivnosti = %1")
                      .arg(CDemoDatabase::WeekendDuty)));
    EXPECT_FALSE(t->isStale());
    EXPECT_TRUE(t->isIllegal());           // weekend duty on a working day
    EXPECT_EQ(t->geometry().height(), 96); // the newest clocking is enlarged
    ColourMap fromFile;                    // the file sets the colours of activities the map already holds
    fromFile[t->activityId] = kColourWhite;
    CColourFile::load(m_colourFile, fromFile);
    CTabletPainter::Context ctx;
    ctx.colours = &ref.activityColourMap;
    EXPECT_EQ(CTabletPainter::dotColour(*t, ctx), activityQColor(fromFile.at(t->activityId)));
    EXPECT_NE(fromFile.at(t->activityId), kColourWhite);

    clock(facts.diacriticsKey, QStringLiteral("2026-03-04 10:29:45"), CDemoDatabase::Arrival);
    CTablet *arrived = panel->tablet(facts.diacriticsKey);
    ASSERT_TRUE(until([&] { return arrived->timeText == QLatin1String("10:29"); }));
    EXPECT_FALSE(arrived->isIllegal());
    EXPECT_EQ(arrived->geometry().height(), 96);
    EXPECT_EQ(t->geometry().height(), 24);
    // The photograph of a tablet shown enlarged is read through the driver (an image over many
    // packets) when the panel draws it; one never shown so keeps none.
    ASSERT_TRUE(until([&] { return arrived->photograph() == facts.photograph; }));
    EXPECT_TRUE(stale->photograph().isEmpty());
    EXPECT_FALSE(server
                     .startingWith("rpc sp_prepexec select IDZaposlenog, Fotografija from viewPhoto where IDZaposlenog "
                                   "in (")
                     .isEmpty());

    // Guests inside (a NULL exit), presences with names from varchar and nvarchar, the roll call.
    auto *guests = qobject_cast<C_ZorvikDocGuests *>(frame->openGuests()->document());
    ASSERT_NE(guests, nullptr);
    EXPECT_TRUE(until([&] { return guests->model()->rowCount() == facts.guestsInside; }));
    auto *presences = qobject_cast<C_ZorvikDocPresences *>(frame->openPresences()->document());
    ASSERT_NE(presences, nullptr);
    const int employees = sql(QStringLiteral("select count(*) from viewMediaIDActive")).toInt();
    ASSERT_TRUE(until([&] { return presences->model()->rowCount() == employees; }));
    bool named = false;
    for (const auto &row : presences->model()->rows())
        named = named || (row[1] == facts.lastName && row[2] == facts.firstName);
    EXPECT_TRUE(named);
    EXPECT_EQ(presences->model()->rows().first()[1],
              sql(QStringLiteral("select z.Prezime from tblLastReg r join tblZaposleni z on z.IDZaposlenog = "
                                 "r.IDZaposlenog order by r.DatumLastReg desc limit 1")))
        << "the newest clocking first";
    auto *rollCall = qobject_cast<C_ZorvikDocRollCall *>(frame->openRollCall()->document());
    ASSERT_NE(rollCall, nullptr);
    ASSERT_TRUE(until([&] { return rollCall->model()->guestCount() == facts.guestsInside; }));
    bool onSite = false;
    for (const CRollCallModel::Person &p : rollCall->model()->people())
        onSite = onSite || p.key == u'E' + facts.quoteKey;
    EXPECT_TRUE(onSite) << "weekend duty counts as on site";

    for (const QString &call : server.startingWith("rpc sp_cursor"))
        EXPECT_EQ(call, QStringLiteral("rpc sp_cursoropen SET QUOTED_IDENTIFIER ON"));
    EXPECT_GE(server.count("rpc sp_popuni_TekuciRbrUC"), 2);
    EXPECT_GE(server.count("rpc sp_prepexec " + ref.queryText(CReferenceData::LastRegistrationCursor)), 2);
    EXPECT_EQ(server.startingWith("error").join(u'\n'), QString());
}

// The Last activity report through the driver for each of its four templates: departments,
// groups and day types, an O'Brien, names with diacritics and a late row with milliseconds. Its
// scratch table is made and read by batches in the report's own session.
TEST_F(FreeTds, LastActivityReportForEachTemplate)
{
    ASSERT_NO_FATAL_FAILURE(startProgram());
    const QString saved = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ZORVIK_SOURCE_DIR)); // the templates
    CLastActRequest request;
    request.moment = CDateTime::fromLocal(testNow());
    request.sort = 2;
    const CLastActLists lists = CLastActQuery::readLists(*app->reference(), request);
    QStringList departments;
    for (const QString &key : {facts.diacriticsKey, facts.quoteKey, facts.fractionKey}) {
        const QString d = sql(QStringLiteral("select IDSektora from tblZaposleni where IDZaposlenog = ") + key);
        if (!departments.contains(d))
            departments << d;
    }
    for (const QString &d : departments)
        request.departments << int(lists.departmentIds.indexOf(d));
    std::sort(request.departments.begin(), request.departments.end());
    const int expected = sql(QStringLiteral("select count(*) from viewMediaIDActive a join tblZaposleni z on "
                                            "z.IDZaposlenog = a.IDZaposlenog where z.IDSektora in (%1)")
                                 .arg(departments.join(u',')))
                             .toInt();
    const QString quoteGroup = sql(
        QStringLiteral("select d.ID from tblLastReg r join tblLogActGroupDet d on d.LogActID = r.IDLogickeAktivnosti "
                       "where r.IDZaposlenog = %1")
            .arg(facts.quoteKey));

    for (const bool byGroup : {false, true}) {
        for (const bool dayType : {false, true}) {
            request.byGroup = byGroup;
            request.showDayType = dayType;
            C_ReportView *view = app->mainFrame()->openReport()->reportView();
            view->build(request);
            ASSERT_TRUE(view->waitForBuild(30000));
            auto *grid = dynamic_cast<CReportGrid *>(view->engine().FindObject(QStringLiteral("Grid")));
            ASSERT_NE(grid, nullptr) << "template of " << byGroup << dayType;
            const QStringList &rows = grid->rows;
            EXPECT_EQ(rows.size(), expected);
            EXPECT_GT(view->pageCount(), 0);
            int names = 0, quotes = 0, late = 0;
            for (const QString &row : rows) {
                EXPECT_EQ(row.count(u'|'), 5 + int(dayType) + int(byGroup)) << row.toStdString();
                if (dayType) {
                    EXPECT_EQ(cell(row, 6), QStringLiteral("Working day"));
                }
                names += cell(row, 2) == facts.lastName && cell(row, 3) == facts.firstName;
                if (cell(row, 2) == QLatin1String("O'Brien")) {
                    ++quotes;
                    if (byGroup) {
                        EXPECT_EQ(cell(row, 6 + int(dayType)), quoteGroup);
                    }
                }
                late += row.section(u'|', 1, 1) == QStringLiteral("[%red%]") +
                                                       facts.fraction.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                                                       QStringLiteral(" *");
            }
            EXPECT_EQ(names, 1);
            EXPECT_EQ(quotes, 1);
            EXPECT_EQ(late, 1);
        }
    }
    QDir::setCurrent(saved);

    EXPECT_EQ(server.count("batch if object_id('tempdb..#tmpLastActTime') is not null drop table #tmpLastActTime"), 4);
    EXPECT_EQ(server
                  .startingWith("batch select t2.IDZaposlenog, t2.Prezime, t2.Ime, "
                                "max(t3.TerminalskoVremeRegistracije) as LastActTime into #tmpLastActTime")
                  .size(),
              4);
    EXPECT_EQ(server.startingWith("batch select t1.TerminalskoVremeRegistracije").size(), 4);
    for (const QString &e : server.events())
        EXPECT_FALSE(e.startsWith(QLatin1String("rpc")) && e.contains(QLatin1String("tmpLastActTime")))
            << e.toStdString();
    EXPECT_EQ(server.startingWith("error").join(u'\n'), QString());
}

// Connection strings of every form reach the driver whole: Qt 6.4's ODBC driver passes one
// character more than the string, which must not end up in the last value (a password or user
// that the server refuses). The stand-in checks both. A data source that names FreeTDS gets the
// statement time-out as a Driver= string does, so a hung server cannot hold a batch for ever.
TEST_F(FreeTds, ConnectionStringsLogInWhateverTheKeyOrder)
{
    const QString pw = QStringLiteral("Zv-5ecret");
    TdsStandin::Options o;
    o.database = m_path;
    o.password = pw;
    o.user = QStringLiteral("zorvik");
    TdsStandin guarded, stalled;
    ASSERT_TRUE(guarded.start(o)) << guarded.error().toStdString();
    o.stall = true;
    ASSERT_TRUE(stalled.start(o)) << stalled.error().toStdString();
    DataSources sources(m_dir);
    ASSERT_NO_FATAL_FAILURE(sources.add(QStringLiteral("zvtds"), guarded.port()));
    ASSERT_NO_FATAL_FAILURE(sources.add(QStringLiteral("zvstall"), stalled.port()));

    const QString driver = QStringLiteral("Driver={%1};Server=127.0.0.1;Port=%2;TDS_Version=7.4;Database=att;")
                               .arg(COdbcCatalog::freeTdsDriver())
                               .arg(guarded.port());
    QStringList forms{QStringLiteral("DSN=zvtds;UID=zorvik;PWD=") + pw,
                      QStringLiteral("DSN=zvtds;PWD=") + pw + QStringLiteral(";UID=zorvik"),
                      QStringLiteral("UID=zorvik;PWD=") + pw + QStringLiteral(";DSN=zvtds"),
                      QStringLiteral("PWD=") + pw + QStringLiteral(";DSN=zvtds;UID=zorvik;"),
                      driver + QStringLiteral("Timeout=20;UID=zorvik;PWD=") + pw,
                      driver + QStringLiteral("PWD=") + pw + QStringLiteral(";Timeout=20;UID=zorvik")};
    // What the connection builder writes for a data source and for a driver, user and password typed.
    {
        CConnectionBuilder b;
        auto *sourceBox = b.findChild<QComboBox *>(QStringLiteral("dataSource"));
        auto *user = b.findChild<QLineEdit *>(QStringLiteral("user"));
        auto *password = b.findChild<QLineEdit *>(QStringLiteral("password"));
        ASSERT_TRUE(sourceBox && user && password);
        b.load(QString());
        ASSERT_GE(sourceBox->findText(QStringLiteral("zvtds")), 0);
        sourceBox->setCurrentIndex(sourceBox->findText(QStringLiteral("zvtds")));
        QTest::keyClicks(user, QStringLiteral("zorvik"));
        QTest::keyClicks(password, pw);
        forms << b.composedString();
        b.load(driver);
        user->clear();
        password->clear();
        QTest::keyClicks(user, QStringLiteral("zorvik"));
        QTest::keyClicks(password, pw);
        forms << b.composedString();
    }
    for (const QString &cs : std::as_const(forms)) {
        CDbConnection conn;
        EXPECT_TRUE(conn.open(cs)) << cs.toStdString() << ": " << conn.lastErrorDescription().toStdString();
        CDbCursor c(&conn);
        EXPECT_TRUE(c.open(QStringLiteral("select IDZaposlenog from tblZaposleni"))) << cs.toStdString();
        conn.close();
        conn.releaseThread();
    }
    EXPECT_EQ(guarded.count(QStringLiteral("login failed")), 0);
    CDbConnection wrong;
    EXPECT_FALSE(wrong.open(QStringLiteral("DSN=zvtds;UID=zorvik;PWD=wrong;")));
    EXPECT_EQ(guarded.count(QStringLiteral("login failed")), 1) << "the stand-in checks the password";
    wrong.releaseThread();

    // A batch through the data source against a server that never answers fails at the statement
    // time-out (here 2 s), not never.
    CDbConnection::setDefaultTimeouts(5, 2);
    CDbConnection slow;
    ASSERT_TRUE(slow.open(QStringLiteral("DSN=zvstall;UID=zorvik;PWD=") + pw)) << slow.lastErrorText().toStdString();
    QElapsedTimer clock;
    clock.start();
    std::atomic<bool> done{false};
    bool ran = true;
    std::thread batch([&] {
        ran = slow.execute(QStringLiteral("select count(*) from tblZaposleni"), CDbConnection::Send::Batch);
        slow.releaseThread();
        done = true;
    });
    const bool bounded = testsupport::waitFor([&] { return done.load(); }, 20000);
    if (!bounded)
        stalled.stop(); // ends a statement that would otherwise wait for ever
    batch.join();
    CDbConnection::setDefaultTimeouts(0, 0);
    EXPECT_TRUE(bounded) << "the batch was still waiting after 20 s";
    EXPECT_FALSE(ran);
    EXPECT_LT(clock.elapsed(), 15000);
    slow.releaseThread();
}

// The report's moment reads the same whatever the session's language. SQL Server reads
// 'YYYY-MM-DD HH:MM:SS' as year-day-month under british or deutsch, and so does the stand-in; the
// ISO form with a "T" it reads the same under every language.
TEST_F(FreeTds, ReportReadsItsMomentTheSameUnderEveryLanguage)
{
    // After the moment (10:30:15 on 4 March) but before the moment read day first (3 April).
    clock(facts.quoteKey, QStringLiteral("2026-03-04 11:00:00"), CDemoDatabase::Departure);
    const QString upTo = QStringLiteral("select count(*) from tblReg where TerminalskoVremeRegistracije <= '%1'");
    const QString monthFirst = sql(upTo.arg(QStringLiteral("2026-03-04 10:30:15")));
    const QString dayFirst = sql(upTo.arg(QStringLiteral("2026-04-03 10:30:15")));
    ASSERT_NE(monthFirst, dayFirst);
    CLastActRequest request;
    request.moment = CDateTime::fromLocal(testNow());
    const CLastActQuery report(request, {});

    QStringList english;
    for (const char *language : {"us_english", "british", "deutsch"}) {
        CDbConnection conn;
        ASSERT_TRUE(conn.open(server.connectionString() + QStringLiteral(";Language=") + QLatin1String(language)))
            << conn.lastErrorText().toStdString();
        CDbCursor ambiguous(&conn);
        ASSERT_TRUE(ambiguous.open(upTo.arg(QStringLiteral("2026-03-04 10:30:15")), CDbCursor::Query,
                                   CDbConnection::Send::Batch))
            << ambiguous.lastErrorText().toStdString();
        QString n;
        ambiguous.getFieldText(ambiguous.columnNames().value(0), n);
        EXPECT_EQ(n, qstrcmp(language, "us_english") == 0 ? monthFirst : dayFirst) << language;

        QStringList rows;
        QString error;
        ASSERT_TRUE(report.fetch(conn, rows, &error));
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        if (english.isEmpty()) {
            english = rows;
        } else {
            EXPECT_EQ(rows, english) << language;
        }

        // SET DATEFORMAT and SET LANGUAGE in the session turn it the same way.
        if (qstrcmp(language, "us_english") == 0) {
            for (const auto &[set, expected] :
                 {std::pair{"set dateformat dmy", dayFirst}, std::pair{"set language us_english", monthFirst},
                  std::pair{"set language british", dayFirst}}) {
                ASSERT_TRUE(conn.execute(QLatin1String(set), CDbConnection::Send::Batch));
                ASSERT_TRUE(ambiguous.open(QString(), CDbCursor::Query, CDbConnection::Send::Batch));
                ambiguous.getFieldText(ambiguous.columnNames().value(0), n);
                EXPECT_EQ(n, expected) << set;
            }
        }
        conn.releaseThread();
    }
    EXPECT_EQ(english.size(), sql(QStringLiteral("select count(*) from viewMediaIDActive")).toInt());
    bool left = false;
    for (const QString &row : std::as_const(english))
        left =
            left || (cell(row, 2) == QLatin1String("O'Brien") && cell(row, 1) == QLatin1String("2026-03-04 11:00:00"));
    EXPECT_FALSE(left) << "a clocking after the moment is not the last one up to it";
}

// The polling thread reconnects (after a failed cycle) while a report runs: the session that made
// the scratch table is gone before S2 reads it. The report is read again in the new session.
TEST_F(FreeTds, ReportSurvivesAReconnectionBetweenItsStatements)
{
    TdsStandin::Options o;
    o.database = m_path;
    o.delayText = QStringLiteral("into #tmpLastActTime");
    o.delayMs = 1500;
    ASSERT_TRUE(server.start(o)) << server.error().toStdString();
    CDbConnection conn;
    ASSERT_TRUE(conn.open(server.connectionString())) << conn.lastErrorText().toStdString();
    CLastActRequest request;
    request.moment = CDateTime::fromLocal(testNow());
    const CLastActQuery report(request, {});

    QStringList rows;
    QString error;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        report.fetch(conn, rows, &error);
        conn.releaseThread();
        done = true;
    });
    // S1 has reached the server and waits for its answer: the reconnection happens now.
    const bool arrived = until([&] { return !server.startingWith(QStringLiteral("batch select t2.")).isEmpty(); });
    if (arrived) {
        EXPECT_TRUE(conn.open()) << conn.lastErrorText().toStdString();
    }
    EXPECT_TRUE(testsupport::waitFor([&] { return done.load(); }, 30000));
    worker.join();
    ASSERT_TRUE(arrived);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(rows.size(), sql(QStringLiteral("select count(*) from viewMediaIDActive")).toInt());
    EXPECT_EQ(server.count(QStringLiteral("error 208 Invalid object name '#tmpLastActTime'.")), 1)
        << "S2 once in the new session, before the report was read again";
    EXPECT_EQ(server.startingWith(QStringLiteral("batch select t2.")).size(), 2);
    conn.releaseThread();
}

// The attendance database's collation, Serbian_Latin_100_CI_AS: "=" and LIKE on names ignore
// case and trailing blanks and keep accents.
TEST_F(FreeTds, NamesCompareWithoutCaseOrTrailingBlanks)
{
    CDbConnection conn;
    ASSERT_TRUE(conn.open(server.connectionString())) << conn.lastErrorText().toStdString();
    CDbCursor c(&conn);
    auto keys = [&](const QString &where) {
        EXPECT_TRUE(c.open(QStringLiteral("select IDZaposlenog from tblZaposleni where ") + where +
                           QStringLiteral(" order by IDZaposlenog")))
            << c.lastErrorText().toStdString();
        QStringList out;
        for (c.moveFirst(); !c.isEOF(); c.moveNext()) {
            QString key;
            c.getFieldText(QStringLiteral("IDZaposlenog"), key);
            out << key;
        }
        return out;
    };
    const QStringList quote{facts.quoteKey}, diacritics{facts.diacriticsKey};
    EXPECT_EQ(keys(QStringLiteral("Prezime = 'o''BRIEN   '")), quote);
    EXPECT_EQ(keys(QStringLiteral("Ime = 'SEÁN'")), quote);
    EXPECT_EQ(keys(QStringLiteral("Ime = 'Sean'")), QStringList()) << "accents count";
    EXPECT_EQ(keys(QStringLiteral("Prezime in ('%1')").arg(facts.lastName.toLower())), diacritics);
    EXPECT_EQ(keys(QStringLiteral("Prezime like 'đORĐ%'")), diacritics);
    EXPECT_EQ(keys(QStringLiteral("Prezime like 'o''bri_n'")), quote);
    EXPECT_EQ(keys(QStringLiteral("Prezime like '[n-p]''b%' and Ime like 'se[aá]n'")), quote);
    EXPECT_EQ(keys(QStringLiteral("Prezime like 'O''Brien '")), QStringList()) << "the pattern's blank counts";
    conn.releaseThread();
}

// Names sort in Serbian Latin order (C, Č, Ć, D, Dž, Đ ... S, Š ... Z, Ž), in the report by last
// name as in any ORDER BY, through FreeTDS and on the SQLite database directly alike.
TEST_F(FreeTds, NamesSortInSerbianLatinOrder)
{
    const QStringList alphabetical{QStringLiteral("Cvijić"), QStringLiteral("čolak"), QStringLiteral("Ćirić"),
                                   QStringLiteral("Dabić"),  QStringLiteral("Dušić"), QStringLiteral("Džonić"),
                                   QStringLiteral("Đurić"),  QStringLiteral("sava"),  QStringLiteral("Šimić"),
                                   QStringLiteral("Zec"),    QStringLiteral("Žarko")};
    QStringList keys;
    for (int i = 0; i < alphabetical.size(); ++i) {
        // Given in reverse, so that neither the keys' nor the rows' order is the answer.
        const QString key = QString::number(1001 + i);
        sql(QStringLiteral("update tblZaposleni set Prezime = %1, Ime = 'A' where IDZaposlenog = %2")
                .arg(CSqlDialect::literal(alphabetical.at(alphabetical.size() - 1 - i)), key));
        keys << key;
    }
    CLastActRequest request;
    request.moment = CDateTime::fromLocal(testNow());
    request.sort = 2;
    request.employeeKeys = keys;
    const CLastActQuery report(request, {});
    for (const QString &cs : {server.connectionString(), CDemoDatabase::connectionString(m_path)}) {
        CDbConnection conn;
        ASSERT_TRUE(conn.open(cs)) << conn.lastErrorText().toStdString();
        CDbCursor c(&conn);
        ASSERT_TRUE(c.open(QStringLiteral("select Prezime from viewPhoto where IDZaposlenog in (%1) order by Prezime")
                               .arg(keys.join(u','))))
            << c.lastErrorText().toStdString();
        QStringList sorted;
        for (c.moveFirst(); !c.isEOF(); c.moveNext()) {
            QString name;
            c.getFieldText(QStringLiteral("Prezime"), name);
            sorted << name;
        }
        EXPECT_EQ(sorted, alphabetical) << cs.toStdString();
        QStringList rows;
        QString error;
        ASSERT_TRUE(report.fetch(conn, rows, &error));
        QStringList names;
        for (const QString &row : std::as_const(rows))
            names << cell(row, 2);
        EXPECT_EQ(names, alphabetical) << cs.toStdString() << error.toStdString();
        conn.releaseThread();
    }
}

// A datetime is kept in three-hundredths of a second: 23:59:59.999 is midnight of the next day,
// .002 is .003.
TEST_F(FreeTds, DatetimesRoundToThreeHundredthsOfASecond)
{
    sql(QStringLiteral("update tblLastReg set DatumLastReg = '2026-03-03 23:59:59.999' where IDZaposlenog = %1")
            .arg(facts.quoteKey));
    sql(QStringLiteral("update tblLastReg set DatumLastReg = '2026-03-04 10:00:00.002' where IDZaposlenog = %1")
            .arg(facts.diacriticsKey));
    CDbConnection conn;
    ASSERT_TRUE(conn.open(server.connectionString())) << conn.lastErrorText().toStdString();
    CDbCursor c(&conn);
    ASSERT_TRUE(
        c.open(QStringLiteral("select IDZaposlenog, DatumLastReg from tblLastReg where IDZaposlenog in (%1, %2)")
                   .arg(facts.quoteKey, facts.diacriticsKey)));
    ASSERT_TRUE(c.filterEquals(c.columnIndex(u"IDZaposlenog"), facts.quoteKey) && c.recordCount() == 1);
    CDateTime when;
    QString text;
    ASSERT_TRUE(c.getFieldDateTime(QStringLiteral("DatumLastReg"), when));
    EXPECT_DOUBLE_EQ(when.days(), CDateTime::fromParts(2026, 3, 4, 0, 0, 0).days());
    EXPECT_TRUE(c.getFieldText(QStringLiteral("DatumLastReg"), text));
    EXPECT_EQ(text, QStringLiteral("2026-03-04 00:00:00"));
    ASSERT_TRUE(c.filterEquals(c.columnIndex(u"IDZaposlenog"), facts.diacriticsKey) && c.recordCount() == 1);
    ASSERT_TRUE(c.getFieldDateTime(QStringLiteral("DatumLastReg"), when));
    // 1/300 s, as the driver gives it to the millisecond.
    EXPECT_NEAR((when.days() - CDateTime::fromParts(2026, 3, 4, 10, 0, 0).days()) * 86400.0, 0.003, 0.0004);
    conn.releaseThread();
}

namespace {
QMutex logLock;
QStringList logLines;
void captureLog(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    const QMutexLocker lock(&logLock);
    if (context.category && QByteArray(context.category).startsWith("zorvik."))
        logLines << QString::fromLatin1(context.category) + u' ' + message;
}
} // namespace

// The operational log, captured through Qt's message handler: a lost connection once (not once per
// failing cycle), with the server and the driver's error but never the password, and its return
// with how long it was gone. On standard error each line carries the time and its category.
TEST_F(FreeTds, TheLogSaysWhenTheConnectionWasLostAndWhenItCameBack)
{
    const QtMessageHandler previous = qInstallMessageHandler(captureLog);
    CReferenceData reference;
    int message = 0;
    ASSERT_TRUE(reference.open(server.connectionString(), &message));
    CDbThread polling(&reference, 1);
    polling.setRunning(true); // a failed cycle reconnects only while running
    ASSERT_TRUE(polling.cycle());
    const quint16 port = server.port();
    server.stop();
    EXPECT_FALSE(polling.cycle());
    EXPECT_FALSE(polling.cycle());
    QThread::msleep(1100);
    TdsStandin::Options o;
    o.database = m_path;
    o.port = port;
    ASSERT_TRUE(server.start(o)) << server.error().toStdString();
    bool back = false;
    for (int i = 0; i < 5 && !back; ++i)
        back = polling.cycle();
    EXPECT_TRUE(back);
    qInstallMessageHandler(previous);
    reference.closeAll();
    reference.connection().releaseThread();

    const QMutexLocker lock(&logLock);
    const QString where = QStringLiteral("127.0.0.1:%1").arg(port);
    const QStringList lost = logLines.filter(QStringLiteral("zorvik.db Connection lost to "));
    ASSERT_EQ(lost.size(), 1) << logLines.join(u'\n').toStdString();
    EXPECT_TRUE(lost[0].contains(where)) << lost[0].toStdString();
    EXPECT_GT(lost[0].size(), lost[0].indexOf(QStringLiteral(": ")) + 2) << "the driver's error";
    const QStringList restored = logLines.filter(QStringLiteral("zorvik.db Connection restored to "));
    ASSERT_EQ(restored.size(), 1) << logLines.join(u'\n').toStdString();
    EXPECT_TRUE(restored[0].contains(where));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("after 0:00:0[1-9]$")).match(restored[0]).hasMatch())
        << restored[0].toStdString();
    for (const QString &line : logLines)
        EXPECT_FALSE(line.contains(QStringLiteral("secret"))) << line.toStdString();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} zorvik\.db warning: Lost$)"))
            .match(QString::fromUtf8(CLogSink::line(QtWarningMsg, "zorvik.db", QStringLiteral("Lost"))))
            .hasMatch())
        << CLogSink::line(QtWarningMsg, "zorvik.db", QStringLiteral("Lost")).toStdString();
}
