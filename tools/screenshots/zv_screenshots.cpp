// Draws the demo as a newcomer first sees it (the sample panels beside the presences list) and
// the roll call, at the size software centres show, into the folder given on the command line.
// Runs on the offscreen platform with a home folder of its own: nothing of the user's is touched.
#include "app/C_ZorvikApp.h"
#include "live/CLiveUpdate.h"
#include "views/C_MainFrame.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

void waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool shoot(C_MainFrame *frame, const QString &path)
{
    // A moment for the pictures and lists that fill in after a pass.
    waitFor([] { return false; }, 1500);
    const bool saved = frame->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zv_screenshots FOLDER\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QTemporaryDir home;
    for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"})
        qputenv(name, QDir(home.path()).filePath(QString::fromLatin1(name)).toLocal8Bit());
    const QString runtime = QDir(home.path()).filePath(QStringLiteral("XDG_RUNTIME_DIR"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The pictures are shown to everyone in English.
    qputenv("LANGUAGE", "en");
    QApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Zorvik"));

    C_ZorvikApp::Options options;
    options.demo = true;
    options.splash = false;
    C_ZorvikApp app(options);
    if (app.InitInstance() != C_ZorvikApp::StartResult::Running)
        return 1;
    C_MainFrame *frame = app.mainFrame();
    frame->showNormal();
    frame->resize(1280, 720);
    waitFor([&] { return app.live()->passCount() >= 1; }, 30000);
    QDir().mkpath(out);
    bool ok = shoot(frame, QDir(out).filePath(QStringLiteral("panels.png")));
    frame->openRollCall();
    waitFor([&] { return app.live()->passCount() >= 2; }, 30000);
    ok = shoot(frame, QDir(out).filePath(QStringLiteral("rollcall.png"))) && ok;
    app.shutdown();
    return ok ? 0 : 1;
}
