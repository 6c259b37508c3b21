// Test entry for widget tests: a widget application on the offscreen platform.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The system settings of this machine (/etc/xdg) never reach a test: an empty folder of its
    // own stands for them, where a test may write the administrator's file.
    QTemporaryDir system;
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, system.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
