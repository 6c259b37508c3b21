// Test entry for the core library: a GUI application on the offscreen platform, so that
// images, fonts and painting work without a display.
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The system settings of this machine (/etc/xdg) never reach a test: an empty folder of its
    // own stands for them, where a test may write the administrator's file.
    QTemporaryDir system;
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, system.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
