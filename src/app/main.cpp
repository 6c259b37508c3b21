#include "app/CVersion.h"
#include "app/C_ZorvikApp.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationName(QStringLiteral("Zorvik"));
    QApplication::setApplicationVersion(CVersion::text());

    C_ZorvikApp app(C_ZorvikApp::parseArguments(QApplication::arguments()));
    int rc = 0;
    if (app.InitInstance() == C_ZorvikApp::StartResult::Running)
        rc = QApplication::exec();
    app.shutdown();
    if (app.threadsLeftRunning()) {
        // Everything was saved; a thread is stuck in a call to a server that does not answer,
        // and tearing the objects down under it would crash. End here.
        std::fflush(nullptr);
        std::_Exit(rc);
    }
    return rc;
}
