#include "AppSandbox.h"
#include "ContextSandbox.h"
#include "TdsStandin.h"
#include "TestSupport.h"
#include "app/CSettings.h"
#include "app/CStringTable.h"
#include "app/C_ZorvikApp.h"
#include "db/CConnectionString.h"
#include "db/CDbConnection.h"
#include "db/CDbCursor.h"
#include "db/CDbThread.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "dialogs/CPrompt.h"
#include "live/CLiveUpdate.h"
#include "panel/CPhotoLoader.h"
#include "views/C_MainFrame.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A TCP port on the loopback address. Listening without ever accepting: the kernel completes
// the connection and the server never says a word, as a hung database server does. Not
// listening: nothing is there and a connection is refused at once.
class LoopbackPort
{
public:
    explicit LoopbackPort(bool listening)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &len);
        m_port = ntohs(a.sin_port);
        if (listening) {
            ::listen(m_fd, 16);
        } else {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~LoopbackPort()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    QString connectionString() const
    {
        return QStringLiteral("Driver={FreeTDS};Server=127.0.0.1;Port=%1;Database=att;UID=zorvik;PWD=secret;"
                              "TDS_Version=7.4;ClientCharset=UTF-8")
            .arg(m_port);
    }

private:
    int m_fd = -1;
    quint16 m_port = 0;
};

class Network : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CPrompt::setTestMode(true);
        CPrompt::clearQueue();
        CDbConnection::setDefaultTimeouts(2, 2);
    }
    void TearDown() override
    {
        // Threads left inside a login end at their time-out; wait for them so that none
        // outlives the test.
        testsupport::waitFor([] { return CDbWorker::detachedThreads() == 0; }, 15000);
        CDbConnection::setDefaultTimeouts(0, 0);
        CPrompt::clearQueue();
        CPrompt::setTestMode(false);
    }

    C_ZorvikApp::Options appOptions(const QString &connection) { return testsupport::appOptions(dir, connection); }

    testsupport::TempDir dir;
};

} // namespace

TEST_F(Network, NothingListeningFailsAtOnceAndAHungServerAtTheLoginTimeOutWithoutBlockingOthers)
{
    LoopbackPort refused(false);
    CDbConnection conn;
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(conn.open(refused.connectionString()));
    EXPECT_LT(t.elapsed(), 1500);
    EXPECT_FALSE(conn.isOpen());
    EXPECT_TRUE(conn.lastErrorText().startsWith("Connection String = " + refused.connectionString() + "\n"))
        << conn.lastErrorText().toStdString();
    EXPECT_FALSE(conn.lastErrorDescription().isEmpty());

    // A server that never answers: the login gives up at its time-out (2 s here), and while one
    // thread waits for it the connection object answers every other thread at once.
    LoopbackPort hung(true);
    std::atomic<bool> done{false};
    bool opened = true;
    qint64 took = 0;
    std::thread login([&] {
        QElapsedTimer lt;
        lt.start();
        opened = conn.open(hung.connectionString());
        took = lt.elapsed();
        conn.releaseThread();
        done = true;
    });
    qint64 longestCall = 0;
    while (!done) {
        QElapsedTimer call;
        call.start();
        (void)conn.isOpen();
        (void)conn.lastErrorText();
        longestCall = qMax(longestCall, call.elapsed());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    login.join();
    EXPECT_FALSE(opened);
    EXPECT_GE(took, 1500);
    EXPECT_LT(took, 8000);
    EXPECT_LT(longestCall, 200);
    EXPECT_TRUE(conn.lastErrorText().contains("Code = ")) << conn.lastErrorText().toStdString();
}

TEST_F(Network, StartUpAgainstAHungServerKeepsTheWindowAliveAndEndsInTheUsualMessage)
{
    LoopbackPort hung(true);
    const QString cs = hung.connectionString();
    C_ZorvikApp app(appOptions(cs));
    // The interface thread's timer keeps firing while the login hangs.
    QElapsedTimer clock;
    qint64 last = -1, longestGap = 0;
    bool sawConnecting = false;
    QTimer tick;
    tick.setInterval(20);
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        const qint64 now = clock.elapsed();
        if (last >= 0)
            longestGap = qMax(longestGap, now - last);
        last = now;
        if (app.mainFrame() &&
            app.mainFrame()->messagePane()->text() == CStringTable::text(QStringLiteral("mainframe.connecting")))
            sawConnecting = true;
    });
    clock.start();
    tick.start();
    ASSERT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Running);
    tick.stop();
    EXPECT_GE(clock.elapsed(), 1500); // it did wait for the login
    EXPECT_TRUE(sawConnecting);
    EXPECT_LT(longestGap, 1000);
    EXPECT_TRUE(app.reference()->databaseError);
    EXPECT_FALSE(app.live()->isThreadRunning());
    const QList<CPrompt::Asked> asked = CPrompt::takeAsked();
    ASSERT_EQ(asked.size(), 1);
    // The message names the string with its password hidden.
    EXPECT_EQ(asked.first().text, CStringTable::format(1034, CConnectionString::masked(cs)));
    EXPECT_FALSE(asked.first().text.contains(QStringLiteral("secret")));
    EXPECT_EQ(asked.first().icon, QMessageBox::Critical);
    EXPECT_EQ(app.mainFrame()->messagePane()->text(), CStringTable::text(QStringLiteral("mainframe.ready")));
}

TEST_F(Network, ClosingDuringAHungLoginReturnsWithinTheBound)
{
    CDbConnection::setDefaultTimeouts(6, 6);
    LoopbackPort hung(true);
    C_ZorvikApp app(appOptions(hung.connectionString()));
    QElapsedTimer sinceClose;
    QTimer::singleShot(300, [&] {
        sinceClose.start();
        app.mainFrame()->close();
    });
    EXPECT_EQ(app.InitInstance(), C_ZorvikApp::StartResult::Quit);
    ASSERT_TRUE(sinceClose.isValid());
    EXPECT_LT(sinceClose.elapsed(), 2500);
    EXPECT_TRUE(app.isShutDown());
    // The login thread is left to end at its time-out, with the data it uses kept alive.
    EXPECT_TRUE(app.threadsLeftRunning());
    EXPECT_EQ(CDbWorker::detachedThreads(), 1);
    EXPECT_TRUE(testsupport::waitFor([] { return CDbWorker::detachedThreads() == 0; }, 15000));
    EXPECT_TRUE(CPrompt::takeAsked().isEmpty());
}

TEST_F(Network, AStatementOnAStalledServerEndsAtTheStatementTimeOutAndIsCancelled)
{
    testsupport::TdsStandin server;
    ASSERT_TRUE(server.start(testsupport::smallDemoDatabase(5, 1), true)) << server.error().toStdString();
    CDbConnection conn;
    ASSERT_TRUE(conn.open(server.connectionString())) << conn.lastErrorText().toStdString();
    // The driver honours the statement's time-out (2 s here): it gives up and sends the server an
    // attention, which a real server answers by dropping the statement. A batch, which carries the
    // time-out of the connection instead, ends the same way.
    for (const auto send : {CDbConnection::Send::Prepared, CDbConnection::Send::Batch}) {
        const int attentions = server.count("attention");
        CDbCursor cursor(&conn);
        QElapsedTimer t;
        t.start();
        EXPECT_FALSE(cursor.open(QStringLiteral("select IDZaposlenog from tblLastReg"), CDbCursor::Query, send));
        EXPECT_GE(t.elapsed(), 1500);
        EXPECT_LT(t.elapsed(), 8000);
        EXPECT_TRUE(cursor.lastErrorText().contains(QLatin1String("timeout"), Qt::CaseInsensitive))
            << cursor.lastErrorText().toStdString();
        EXPECT_TRUE(testsupport::waitFor([&] { return server.count("attention") == attentions + 1; }, 3000));
    }
    EXPECT_EQ(server.startingWith("rpc sp_prepexec select IDZaposlenog from tblLastReg").size(), 1);
    EXPECT_EQ(server.count("batch select IDZaposlenog from tblLastReg"), 1);
    conn.releaseThread();
}

TEST_F(Network, AServerThatGoesAwayIsReconnectedWhenItComesBack)
{
    const QString database = testsupport::smallDemoDatabase(5, 1);
    auto server = std::make_unique<testsupport::TdsStandin>();
    ASSERT_TRUE(server->start(database)) << server->error().toStdString();
    const quint16 port = server->port();
    const QString cs = server->connectionString();
    CReferenceData ref;
    int message = 0;
    ASSERT_TRUE(ref.open(cs, &message)) << message;
    CDbThread thread(&ref, 1);
    thread.setRunning(true); // the cycles run here, as the thread's loop runs them
    EXPECT_TRUE(thread.cycle());
    EXPECT_FALSE(ref.databaseError);

    server.reset(); // the server goes away: the cycle fails, and so do its reconnections, at once
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(thread.cycle());
    EXPECT_FALSE(thread.cycle());
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_TRUE(ref.databaseError);
    EXPECT_FALSE(ref.connection().isOpen());

    testsupport::TdsStandin back;
    testsupport::TdsStandin::Options again;
    again.database = database;
    again.port = port;
    ASSERT_TRUE(back.start(again)) << back.error().toStdString();
    // The failing step reconnects; the cycle after it runs on the new connection.
    thread.cycle();
    EXPECT_TRUE(thread.cycle());
    EXPECT_FALSE(ref.databaseError);
    EXPECT_TRUE(ref.connection().isOpen());
    EXPECT_GE(back.count("login"), 1);
    ref.connection().releaseThread();
}

TEST_F(Network, StoppingAWorkerCancelsItsStatementInFlight)
{
    testsupport::TdsStandin server;
    ASSERT_TRUE(server.start(testsupport::smallDemoDatabase(5, 1), true)) << server.error().toStdString();
    CDbConnection conn;
    conn.setCommandTimeout(20);
    ASSERT_TRUE(conn.open(server.connectionString())) << conn.lastErrorText().toStdString();
    std::atomic<int> result{-1};
    const int attentions = server.count("attention");
    {
        CDbWorker worker(&conn);
        worker.run([&] {
            CDbCursor cursor(&conn);
            result = cursor.open(QStringLiteral("select IDZaposlenog from tblLastReg")) ? 1 : 0;
        });
        ASSERT_TRUE(testsupport::waitFor(
            [&] { return !server.startingWith("rpc sp_prepexec select IDZaposlenog").isEmpty(); }, 5000));
        QElapsedTimer t;
        t.start();
        EXPECT_TRUE(worker.stop(1500)); // ended, long before the statement's 20 s
        EXPECT_LT(t.elapsed(), 1500);
    }
    EXPECT_EQ(result, 0);
    EXPECT_GT(server.count("attention"), attentions);
    conn.releaseThread();
}

// A batch of photographs that fails on a server that does not answer is not tried again once per
// employee (each try waits for the statement time-out): the others wait for a later try.
TEST_F(Network, APhotographBatchOnAStalledServerIsNotRetriedPerEmployee)
{
    testsupport::TdsStandin server;
    ASSERT_TRUE(server.start(testsupport::smallDemoDatabase(5, 1), true)) << server.error().toStdString();
    testsupport::ContextSandbox sandbox;
    ASSERT_TRUE(sandbox.reference.connection().open(server.connectionString()));
    QList<CPhotoLoader::Result> results;
    {
        CPhotoLoader loader;
        QObject::connect(&loader, &CPhotoLoader::ready, &loader, [&](const CPhotoLoader::Result &r) { results << r; });
        for (int i = 1; i <= 6; ++i)
            loader.request(QString::number(i), QByteArray(), QRect(0, 0, 64, 80));
        ASSERT_TRUE(testsupport::waitFor([&] { return loader.isIdle(); }, 40000));
    }
    ASSERT_EQ(results.size(), 6);
    for (const CPhotoLoader::Result &r : results)
        EXPECT_TRUE(r.failed) << r.employeeId.toStdString();
    int photoStatements = 0;
    for (const QString &line : server.events())
        if (line.contains(QLatin1String("Fotografija")))
            ++photoStatements;
    EXPECT_EQ(photoStatements, 1);
}

// A wrong password is refused by the server with its login error; the right one gets in.
TEST_F(Network, AWrongPasswordIsRefusedWithTheServersLoginError)
{
    testsupport::TdsStandin server;
    testsupport::TdsStandin::Options guarded;
    guarded.database = testsupport::smallDemoDatabase(5, 1);
    guarded.password = QStringLiteral("right");
    ASSERT_TRUE(server.start(guarded)) << server.error().toStdString();
    CDbConnection conn;
    EXPECT_FALSE(conn.open(server.connectionString(QStringLiteral("att"), QStringLiteral("zorvik"), "wrong")));
    EXPECT_TRUE(conn.lastErrorDescription().contains(QLatin1String("Login failed for user 'zorvik'")))
        << conn.lastErrorDescription().toStdString();
    EXPECT_EQ(server.count("login failed"), 1);
    EXPECT_EQ(server.count("error 18456 Login failed for user 'zorvik'."), 1);
    EXPECT_TRUE(conn.open(server.connectionString(QStringLiteral("att"), QStringLiteral("zorvik"), "right")))
        << conn.lastErrorText().toStdString();
    EXPECT_EQ(server.count("login"), 1);
    conn.releaseThread();
}
