#include "app/C_ZorvikApp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationName(QStringLiteral("Zorvik"));
    QApplication::setApplicationVersion(QStringLiteral("2.7.14"));

    C_ZorvikApp app(C_ZorvikApp::parseArguments(QApplication::arguments()));
    if (app.InitInstance() != C_ZorvikApp::StartResult::Running)
        return 0;
    return QApplication::exec();
}
