// The whole program on a large site, as a user runs it: the application object with its main
// frame and every window a desk keeps open (the demo's two panels, "All staff" holding every
// employee, a third panel of every employee, the presences, guests and roll-call windows, the
// legend, "Not yet in" and a Last activity report), polling cycles back to back (Refresh = 0).
//
//   BM_AppLongestGap/N   with every window open:
//                        longest_gap_ms      the longest time the interface thread went without
//                                            handling a 1 ms timer, over ten seconds of clockings
//                                            arriving every 100 ms;
//                        ui_ms_per_pass_0    the interface thread's processor time per update pass
//                                            while nobody clocks, and
//                        ui_ms_per_pass_10   while ten employees clock between passes, everything
//                                            a pass sets off included (lists, head count, painting);
//                        process_ms_per_pass_0, process_ms_per_pass_10  the same for the whole
//                                            process (every thread but the one writing the clockings),
//                                            and process_cores_0, process_cores_10 the cores it kept busy;
//                        longest_slice_ms    the longest slice of an update pass while clockings arrive;
//                        longest_gap_ms_phones  the same while ten phones follow the shared roll
//                                            call (state every 1.5 s, the list's changes when it
//                                            changed), with phone_requests_per_s answered;
//                        rss_mb              the resident set 60 seconds after the start.
//   BM_AppMemory/N       the heap each window holds (heap_*_mb, opened one after the other; the
//                        third panel's per tablet as panel_bytes_per_tablet), the resident set
//                        with all of them open (rss_mb) and after malloc_trim (rss_trimmed_mb).
//   BM_AppStartup/N      from the start of the application object to the first painted panel
//                        (startup_ms), to the end of the first update pass (first_pass_ms), and
//                        the process's resident set once the first pass has been painted (rss_mb),
//                        and the longest slice of that first pass, which visits every tablet
//                        (longest_slice_ms).
//
// Run: QT_QPA_PLATFORM=offscreen ./bench_app   (ZORVIK_BENCH_KEEP=1 keeps the databases)
#include "app/CSettings.h"
#include "app/C_ZorvikApp.h"
#include "demo/CClockingSimulator.h"
#include "demo/CDemoDatabase.h"
#include "demo/CDemoSamples.h"
#include "dialogs/CPrompt.h"
#include "live/CLiveUpdate.h"
#include "panel/C_ZorvikDoc.h"
#include "reports/CLastActCommands.h"
#include "reports/C_ReportView.h"
#include "rollcall/COnSiteActivities.h"
#include "rollcall/CRollCallServer.h"
#include "rollcall/C_ZorvikViewRollCall.h"
#include "views/CChildFrameBase.h"
#include "views/CLegendDock.h"
#include "views/C_ChildFrame.h"
#include "views/C_MainFrame.h"

#include "../support/BenchDatabase.h"
#include "../support/GapMeter.h"
#include "../support/PhonePoller.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <sys/resource.h>
#include <time.h>

namespace {

// A demo database of n employees with photographs, its colour file and its two sample panels.
struct Site
{
    static CDemoDatabase::DemoOptions options(int employees)
    {
        CDemoDatabase::DemoOptions o;
        o.employees = employees;
        o.departments = 40;
        o.historyDays = 0;
        o.photographs = true;
        return o;
    }
    explicit Site(int employees) : db(options(employees))
    {
        QString error;
        if (!CDemoSamples::ensure(db.path, db.dir.path(), &error))
            qFatal("samples: %s", qPrintable(error));
    }
    BenchDatabase db;
};

Site &site(int employees)
{
    static std::map<int, std::unique_ptr<Site>> sites;
    auto &s = sites[employees];
    if (!s)
        s = std::make_unique<Site>(employees);
    return *s;
}

using benchsupport::GapMeter;
using benchsupport::spinFor;

bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs)
        spinFor(5);
    return done();
}

double residentMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? double(fields.at(1).toLongLong()) * double(getpagesize()) / (1024.0 * 1024.0) : 0;
}

// Notes the first paint of a panel's canvas anywhere in the program.
class PaintWatch : public QObject
{
public:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->objectName() == QLatin1String("panelCanvas"))
            painted = true;
        return false;
    }
    bool painted = false;
};

// The program with its own settings, lock and program folders, started against a site.
class App
{
public:
    // everyone: a third panel holding every employee opens after the demo's two.
    explicit App(Site &s, bool everyone = false)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("lock"));
        QDir(m_dir.path()).mkpath(QStringLiteral("program"));
        m_options.settingsFile = m_dir.filePath(QStringLiteral("settings.ini"));
        m_options.lockFolder = m_dir.filePath(QStringLiteral("lock"));
        m_options.programFolder = m_dir.filePath(QStringLiteral("program"));
        m_options.splash = false;
        m_options.simulator = false;
        CSettings settings(m_options.settingsFile);
        const QString section = QStringLiteral("Settings");
        settings.writeText(section, QStringLiteral("Connection"), s.db.connectionString());
        settings.writeInt(section, QStringLiteral("Refresh"), 0);
        settings.writeInt(section, QStringLiteral("AutoShowPresences"), 1);
        settings.writeText(section, QStringLiteral("Language"), QStringLiteral("English"));
        QStringList panels = CDemoSamples::panelPaths(s.db.dir.path());
        if (everyone) {
            const QString third = m_dir.filePath(QStringLiteral("Everyone.zvl"));
            QFile::copy(panels.last(), third);
            panels << third;
        }
        settings.writeInt(QStringLiteral("AutoLoad"), QStringLiteral("Count"), int(panels.size()));
        for (int i = 0; i < panels.size(); ++i)
            settings.writeText(QStringLiteral("AutoLoad"), QStringLiteral("File%1").arg(i), panels.at(i));
        const QStringList onSite = CDemoSamples::onSiteActivities();
        COnSiteActivities::write(settings, QSet<QString>(onSite.begin(), onSite.end()));
        settings.sync();
        QFile::copy(CDemoSamples::colourFilePath(s.db.dir.path()),
                    m_dir.filePath(QStringLiteral("program/ZvPanel.cfg")));
        app = std::make_unique<C_ZorvikApp>(m_options);
    }
    ~App()
    {
        if (app && app->mainFrame())
            app->mainFrame()->close();
        app.reset();
    }

    QTemporaryDir m_dir;
    C_ZorvikApp::Options m_options;
    std::unique_ptr<C_ZorvikApp> app;
};

// Starts the program as a user would; a bench whose program does not start says so.
bool started(App &a, benchmark::State &state)
{
    if (a.app->InitInstance() == C_ZorvikApp::StartResult::Running)
        return true;
    state.SkipWithError("the program did not start");
    return false;
}

// Clockings arrive on a thread of their own, as they would from the terminals: the simulator is
// made, run and deleted there.
class Clockings
{
public:
    explicit Clockings(const QString &path)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [this, path] {
                m_simulator = new CClockingSimulator(path);
                m_simulator->setInterval(qEnvironmentVariableIntValue("SIMMS") ? qEnvironmentVariableIntValue("SIMMS")
                                                                               : 100);
                m_simulator->setIllegalProbability(0);
                m_simulator->start();
            },
            Qt::BlockingQueuedConnection);
    }
    ~Clockings()
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { delete m_simulator; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

private:
    QThread m_thread;
    QObject m_context;
    CClockingSimulator *m_simulator = nullptr;
};

// The first panel the program opened (the demo's reception), whose Last activity report a desk keeps open.
C_ZorvikDoc *firstPanel(C_MainFrame *frame)
{
    for (CChildFrameBase *f : frame->childFrames())
        if (auto *doc = qobject_cast<C_ZorvikDoc *>(f->document()))
            return doc;
    return nullptr;
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double processCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Ten employees clock at once whenever asked, on a thread of their own, which keeps count of
// the processor time it takes (not the program's).
class TenClockings : public QObject
{
public:
    explicit TenClockings(const QString &path)
    {
        moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            this,
            [this, path] {
                m_simulator = new CClockingSimulator(path);
                m_simulator->setIllegalProbability(0);
                m_simulator->setGuestProbability(0);
            },
            Qt::BlockingQueuedConnection);
    }
    ~TenClockings()
    {
        QMetaObject::invokeMethod(
            this, [this] { delete m_simulator; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    void clock()
    {
        QMetaObject::invokeMethod(this, [this] {
            const double before = threadCpuMs();
            for (int i = 0; i < 10; ++i)
                m_simulator->step();
            m_cpuMs = m_cpuMs + (threadCpuMs() - before);
            ++m_batches;
        });
    }
    double cpuMs() const { return m_cpuMs; }
    int batches() const { return m_batches; }

private:
    QThread m_thread;
    CClockingSimulator *m_simulator = nullptr;
    std::atomic<double> m_cpuMs{0};
    std::atomic<int> m_batches{0};
};

// Processor time of the interface thread and of the process per update pass over ms.
struct PerPass
{
    double ui = 0, process = 0, passes = 0;
    double cores = 0; // the process's processor time over the time measured
};

PerPass perPass(CLiveUpdate *live, int ms, const std::function<double()> &excludedMs = {})
{
    const int passes = live->passCount();
    const double ui = threadCpuMs(), process = processCpuMs(), excluded = excludedMs ? excludedMs() : 0;
    spinFor(ms);
    PerPass r;
    r.passes = qMax(1, live->passCount() - passes);
    r.ui = (threadCpuMs() - ui) / r.passes;
    r.process = (processCpuMs() - process - ((excludedMs ? excludedMs() : 0) - excluded)) / r.passes;
    r.cores = r.process * r.passes / double(ms);
    return r;
}

void BM_AppLongestGap(benchmark::State &state)
{
    Site &s = site(int(state.range(0)));
    for (auto _ : state) {
        QElapsedTimer sinceStart;
        sinceStart.start();
        App a(s, true);
        if (!started(a, state))
            return;
        C_MainFrame *frame = a.app->mainFrame();
        frame->openGuests();
        frame->openRollCall();
        frame->legendDock()->setVisible(true);
        if (!spinUntil([&] { return a.app->live()->passCount() >= 2; }, 600000)) {
            state.SkipWithError("no update pass");
            return;
        }
        auto *notYetIn = frame->statusBar()->findChild<QToolButton *>(QStringLiteral("notYetInButton"));
        if (!notYetIn || !spinUntil([&] { return notYetIn->isVisible(); }, 600000)) {
            state.SkipWithError("no Not yet in");
            return;
        }
        notYetIn->click();
        C_ReportView *report = CLastActCommands::printPanel(frame, firstPanel(frame));
        if (!report || !report->waitForBuild(600000)) {
            state.SkipWithError("no report");
            return;
        }
        spinFor(2000);
        CLiveUpdate *live = a.app->live();
        {
            // Clockings every 100 ms, as a busy site's terminals send them.
            Clockings clockings(s.db.path);
            spinFor(1000);
            const int passes = live->passCount();
            live->resetLongestSlice();
            GapMeter meter;
            spinFor(10000);
            state.counters["longest_gap_ms"] = meter.longestMs();
            state.counters["longest_slice_ms"] = live->longestSliceMs();
            state.counters["passes_per_s"] = double(live->passCount() - passes) / 10.0;
        }
        {
            // Ten wardens' phones follow the shared roll call while the site clocks: their
            // requests are answered on the interface thread, the list is built off it.
            auto *rollCall = frame->findChild<C_ZorvikViewRollCall *>();
            CRollCallServer *server = rollCall ? rollCall->server() : nullptr;
            if (!server || !server->start({QHostAddress(QHostAddress::LocalHost)}, 0, nullptr)) {
                state.SkipWithError("the roll call could not be shared");
                return;
            }
            PhonePoller phones(QStringLiteral("http://127.0.0.1:%1").arg(server->port()), server->key().toLatin1(), 10);
            Clockings clockings(s.db.path);
            spinFor(3000);
            const int lists = phones.lists(), states = phones.states();
            GapMeter meter;
            spinFor(10000);
            state.counters["longest_gap_ms_phones"] = meter.longestMs();
            state.counters["phone_requests_per_s"] = double(phones.lists() - lists + phones.states() - states) / 10.0;
            state.counters["phone_errors"] = phones.errors();
            server->stop();
        }
        spinFor(2000);
        const PerPass idle = perPass(live, 5000);
        state.counters["ui_ms_per_pass_0"] = idle.ui;
        state.counters["process_ms_per_pass_0"] = idle.process;
        state.counters["process_cores_0"] = idle.cores;
        {
            TenClockings ten(s.db.path);
            QObject context;
            QObject::connect(live, &CLiveUpdate::passFinished, &context, [&ten] { ten.clock(); });
            ten.clock();
            spinFor(1000);
            const int batches = ten.batches();
            const int passes = live->passCount();
            const PerPass busy = perPass(live, 10000, [&ten] { return ten.cpuMs(); });
            state.counters["ui_ms_per_pass_10"] = busy.ui;
            state.counters["process_ms_per_pass_10"] = busy.process;
            state.counters["process_cores_10"] = busy.cores;
            state.counters["clocked_per_pass"] =
                10.0 * double(ten.batches() - batches) / double(qMax(1, live->passCount() - passes));
        }
        {
            Clockings clockings(s.db.path);
            spinFor(int(qMax<qint64>(0, 60000 - sinceStart.elapsed())));
        }
        state.counters["rss_mb"] = residentMb();
    }
}

void BM_AppStartup(benchmark::State &state)
{
    Site &s = site(int(state.range(0)));
    for (auto _ : state) {
        malloc_trim(0);
        const double before = residentMb();
        PaintWatch watch;
        qApp->installEventFilter(&watch);
        QElapsedTimer clock;
        clock.start();
        App a(s);
        if (!started(a, state))
            return;
        spinUntil([&] { return watch.painted; }, 600000);
        state.counters["startup_ms"] = double(clock.elapsed());
        qApp->removeEventFilter(&watch);
        spinUntil([&] { return a.app->live()->passCount() >= 1; }, 600000);
        state.counters["first_pass_ms"] = double(clock.elapsed());
        state.counters["longest_slice_ms"] = a.app->live()->longestSliceMs(); // of a whole pass
        state.PauseTiming();
        spinFor(2000); // the first pass painted, photographs of the expanded tablets shown
        // ZORVIK_BENCH_SHOT=folder: a picture of the main window as the user sees it then.
        if (const QString shots = qEnvironmentVariable("ZORVIK_BENCH_SHOT"); !shots.isEmpty())
            a.app->mainFrame()->grab().save(shots + QStringLiteral("/app-%1.png").arg(state.range(0)));
        state.counters["rss_mb"] = residentMb();
        state.counters["rss_growth_mb"] = residentMb() - before;
        state.ResumeTiming();
    }
}

// What each window holds: the heap in use (malloc's own count, so freed but kept pages do not
// blur it) after the start (the demo's two panels and presences), then after each further window
// opens, the last pass of each painted. Tablets of a third panel of every employee are counted
// per tablet (panel_bytes_per_tablet); rss_mb is the resident set with everything open, and
// rss_trimmed_mb the same once malloc has given back what it keeps.
double heapMb()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

void BM_AppMemory(benchmark::State &state)
{
    Site &s = site(int(state.range(0)));
    for (auto _ : state) {
        App a(s);
        if (!started(a, state))
            return;
        C_MainFrame *frame = a.app->mainFrame();
        CLiveUpdate *live = a.app->live();
        // Until a pass that started after the window opened has ended, and painted.
        const auto settle = [&] {
            const int passes = live->passCount();
            spinUntil([&] { return live->passCount() >= passes + 2; }, 600000);
            spinFor(1500);
        };
        state.PauseTiming();
        settle();
        double last = heapMb();
        state.counters["heap_start_mb"] = last;
        const auto step = [&](const char *name) {
            settle();
            const double now = heapMb();
            state.counters[name] = now - last;
            last = now;
        };
        const QString third = a.m_dir.filePath(QStringLiteral("Everyone.zvl"));
        QFile::copy(CDemoSamples::panelPaths(s.db.dir.path()).last(), third);
        C_ChildFrame *panel = frame->openPanel(third);
        step("heap_panel_mb");
        const int tablets = panel ? qobject_cast<C_ZorvikDoc *>(panel->document())->tabletCount() : 0;
        state.counters["panel_bytes_per_tablet"] = state.counters["heap_panel_mb"] * 1024.0 * 1024.0 / qMax(1, tablets);
        frame->openGuests();
        step("heap_guests_mb");
        frame->openRollCall();
        step("heap_rollcall_mb");
        frame->legendDock()->setVisible(true);
        step("heap_legend_mb");
        if (auto *notYetIn = frame->statusBar()->findChild<QToolButton *>(QStringLiteral("notYetInButton")))
            notYetIn->click();
        step("heap_notyetin_mb");
        C_ReportView *report = CLastActCommands::printPanel(frame, firstPanel(frame));
        if (report)
            report->waitForBuild(600000);
        step("heap_report_mb");
        state.counters["heap_mb"] = last;
        state.counters["rss_mb"] = residentMb();
        QElapsedTimer trim;
        trim.start();
        malloc_trim(0);
        state.counters["trim_ms"] = double(trim.nsecsElapsed()) / 1e6;
        state.counters["rss_trimmed_mb"] = residentMb();
        state.ResumeTiming();
    }
}

// The same key presses as bench_presence's BM_SearchKeyPress, typed into the presences window
// of the whole program (every employee listed, the update passes running): the time from each
// key press to its events handled, and the longest gap of the interface thread meanwhile.
void BM_AppSearchKeyPress(benchmark::State &state)
{
    Site &s = site(int(state.range(0)));
    for (auto _ : state) {
        App a(s);
        if (!started(a, state))
            return;
        C_MainFrame *frame = a.app->mainFrame();
        CChildFrameBase *presences = frame->openPresences();
        auto *search = presences ? presences->findChild<QLineEdit *>(QStringLiteral("searchEdit")) : nullptr;
        auto *grid = presences ? presences->findChild<QTableView *>(QStringLiteral("presencesGrid")) : nullptr;
        if (!search || !grid || !spinUntil([&] { return grid->model()->rowCount() > 0; }, 600000)) {
            state.SkipWithError("no presences list");
            return;
        }
        spinFor(1000);
        GapMeter meter;
        double total = 0;
        int presses = 0;
        for (const char key : QByteArrayLiteral("petro")) {
            QElapsedTimer t;
            t.start();
            QKeyEvent press(QEvent::KeyPress, QChar(key).toUpper().unicode(), Qt::NoModifier, QString(QChar(key)));
            QCoreApplication::sendEvent(search, &press);
            QCoreApplication::processEvents();
            total += t.nsecsElapsed() / 1e6;
            if (qEnvironmentVariableIsSet("ZORVIK_BENCH_TRACE"))
                std::fprintf(stderr, "key %c: %.1f ms\n", key, t.nsecsElapsed() / 1e6);
            ++presses;
        }
        state.counters["ms_per_key"] = total / presses;
        state.counters["longest_gap_ms"] = meter.longestMs();
        state.counters["found"] = grid->model()->rowCount();
    }
}

} // namespace

BENCHMARK(BM_AppSearchKeyPress)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AppLongestGap)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AppMemory)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AppStartup)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1);

// With ZORVIK_BENCH_TRACE set, every event the interface thread takes longer than 20 ms to handle
// is named on standard error (receiver's class and name, event type), to find what holds it.
class TracingApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *e) override
    {
        if (!m_trace || m_depth > 0)
            return QApplication::notify(receiver, e);
        ++m_depth;
        QElapsedTimer t;
        t.start();
        QByteArray what = QByteArray(receiver->metaObject()->className()) + " " + receiver->objectName().toUtf8() +
                          " event " + QByteArray::number(int(e->type()));
        if (const auto *timer = qobject_cast<const QTimer *>(receiver))
            what += " interval " + QByteArray::number(timer->interval());
        if (const QObject *parent = receiver->parent())
            what += QByteArray(" in ") + parent->metaObject()->className() + " " + parent->objectName().toUtf8();
        const bool done = QApplication::notify(receiver, e);
        --m_depth;
        if (t.elapsed() > 20)
            std::fprintf(stderr, "%lld ms: %s\n", t.elapsed(), what.constData());
        return done;
    }

private:
    bool m_trace = qEnvironmentVariableIsSet("ZORVIK_BENCH_TRACE");
    int m_depth = 0;
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TracingApplication app(argc, argv);
    CPrompt::setTestMode(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
