// How long the interface thread can go without handling an event while the database works:
// polling cycles back to back on a 20,000-employee site with a panel of 500 tablets, and the
// program starting against a server that accepts the connection and never answers. A 1 ms
// timer on the interface thread records the longest gap between its ticks.
#include "app/CAppContext.h"
#include "app/CClock.h"
#include "app/CDocTemplate.h"
#include "app/CSettings.h"
#include "app/C_ZorvikApp.h"
#include "db/CDbConnection.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "dialogs/CPrompt.h"
#include "live/CLiveUpdate.h"
#include "panel/C_ZorvikDoc.h"

#include "../support/BenchDatabase.h"
#include "../support/GapMeter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using benchsupport::GapMeter;
using benchsupport::spinFor;

void BM_GapWhileCyclesRunBackToBack(benchmark::State &state)
{
    CDemoDatabase::DemoOptions o = CDemoDatabase::largeOptions(20000);
    BenchDatabase db(o);
    QTemporaryDir dir;
    CSettings settings(dir.filePath(QStringLiteral("z.ini")));
    CReferenceData reference;
    int message = 0;
    if (!reference.open(db.connectionString(), &message))
        qFatal("reference data: %d", message);
    reference.buildMaps();
    CLiveUpdate live(&reference);
    CDocTemplate panels(CDocTemplate::Panels, 1029);
    live.setTemplates(&panels, {});
    CAppContext context(&settings, &reference, &live, dir.path());
    context.makeCurrent();
    auto *doc = new C_ZorvikDoc;
    panels.addDocument(doc);
    CDbCursor *employees = reference.cursor(CReferenceData::EmployeeCursor);
    int t = 0;
    for (employees->moveFirst(); !employees->isEOF() && t < 500 * 40; employees->moveNext(), ++t) {
        if (t % 40)
            continue;
        QString id;
        employees->getFieldText(QStringLiteral("IDZaposlenog"), id);
        doc->addTablet(QStringLiteral("Last"), QStringLiteral("First"), QString(), id,
                       QRect(168 * (t / 40 % 20), 24 * (t / 800), 168, 24));
    }
    live.start(0, 1);
    while (live.passCount() < 1)
        spinFor(10);
    for (auto _ : state) {
        const int passes = live.passCount();
        GapMeter meter;
        spinFor(5000);
        state.counters["longest_gap_ms"] = meter.longestMs();
        state.counters["passes_in_5s"] = live.passCount() - passes;
    }
    live.stop();
    delete doc;
}

void BM_GapWhileTheLoginHangs(benchmark::State &state)
{
    // A port that completes the connection and then says nothing.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    ::listen(fd, 16);
    const QString cs = QStringLiteral("Driver={FreeTDS};Server=127.0.0.1;Port=%1;Database=att;UID=u;PWD=p;"
                                      "TDS_Version=7.4")
                           .arg(ntohs(a.sin_port));
    CDbConnection::setDefaultTimeouts(5, 5);
    CPrompt::setTestMode(true);
    for (auto _ : state) {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("lock"));
        C_ZorvikApp::Options options;
        options.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
        options.lockFolder = dir.filePath(QStringLiteral("lock"));
        options.programFolder = dir.path();
        options.splash = false;
        options.simulator = false;
        {
            CSettings s(options.settingsFile);
            s.writeText(QStringLiteral("Settings"), QStringLiteral("Connection"), cs);
        }
        C_ZorvikApp app(options);
        QElapsedTimer took;
        took.start();
        GapMeter meter;
        app.InitInstance();
        state.counters["longest_gap_ms"] = meter.longestMs();
        state.counters["login_s"] = double(took.elapsed()) / 1000.0;
        CPrompt::takeAsked();
    }
    ::close(fd);
}

} // namespace

BENCHMARK(BM_GapWhileCyclesRunBackToBack)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_GapWhileTheLoginHangs)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
