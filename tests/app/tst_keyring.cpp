// The connection's password in a real Secret Service: gnome-keyring-daemon, unlocked, on a
// D-Bus session bus of the test's own (no desktop's keyring is ever touched). The program and
// its commands find the password there, or in the administrator's password file.
#include "TdsStandin.h"
#include "TestSupport.h"
#include "app/CConnectionStore.h"
#include "app/CSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString kPassword = QStringLiteral("Zv-s3cret#42");

// A session bus and a keyring daemon on it, both children of the test, ended with it.
class SecretService
{
public:
    bool start(QString *error)
    {
        QDir(m_home.path()).mkpath(QStringLiteral("run"));
        QFile::setPermissions(m_home.file(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString busDaemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        const QString keyring = QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon"));
        if (busDaemon.isEmpty() || keyring.isEmpty()) {
            *error = QStringLiteral("dbus-daemon or gnome-keyring-daemon is not installed (scripts/deps.sh)");
            return false;
        }
        // A bus that starts no service by itself: the session's configuration would start a second
        // keyring daemon (with the real home, and no login keyring) when a request comes before
        // the test's own daemon has taken its name, and every request would then fail.
        const QString config = m_home.file(QStringLiteral("bus.conf"));
        QFile configFile(config);
        if (!configFile.open(QIODevice::WriteOnly) ||
            configFile.write(
                "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                "<auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>") < 0) {
            *error = QStringLiteral("cannot write %1").arg(config);
            return false;
        }
        configFile.close();
        m_bus.start(busDaemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                                QStringLiteral("--print-address=1")});
        if (!m_bus.waitForReadyRead(10000)) {
            *error = QStringLiteral("dbus-daemon did not start");
            return false;
        }
        address = QString::fromUtf8(m_bus.readLine()).trimmed();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.file(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.file(QStringLiteral("run")));
        m_keyring.setProcessEnvironment(env);
        // --unlock reads the login keyring's password from standard input, making the keyring.
        m_keyring.start(keyring, {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                                  QStringLiteral("--components=secrets")});
        if (!m_keyring.waitForStarted(10000)) {
            *error = QStringLiteral("gnome-keyring-daemon did not start");
            return false;
        }
        m_keyring.write("keyring-password");
        m_keyring.closeWriteChannel();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
        return true;
    }
    ~SecretService()
    {
        for (QProcess *p : {&m_keyring, &m_bus}) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
            p->waitForFinished(5000);
        }
    }
    QString address;

private:
    testsupport::TempDir m_home;
    QProcess m_bus;
    QProcess m_keyring;
};

QString fileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(Keyring, PasswordLivesInTheSecretServiceAndTheProgramItsCommandsAndPasswordFilesFindIt)
{
    SecretService secrets;
    QString error;
    ASSERT_TRUE(secrets.start(&error)) << error.toStdString();
    testsupport::TempDir dir;
    const QString db = dir.file(QStringLiteral("att.sqlite"));
    testsupport::TdsStandin::Facts facts;
    ASSERT_TRUE(testsupport::TdsStandin::buildDatabase(db, 6, QDateTime::currentDateTime(), &facts, &error))
        << error.toStdString();
    testsupport::TdsStandin server;
    testsupport::TdsStandin::Options serverOptions;
    serverOptions.database = db;
    serverOptions.password = kPassword; // every other password is refused
    ASSERT_TRUE(server.start(serverOptions)) << server.error().toStdString();
    const QString whole = server.connectionString(QStringLiteral("att"), QStringLiteral("zorvik"), kPassword);

    // Stored: the string without its password in the file, the password in the keyring. The
    // daemon may take a moment to own its name on the bus.
    const QString settingsPath = dir.file(QStringLiteral("zorvik.ini"));
    CConnectionStore::Kept kept = CConnectionStore::Kept::SettingsFile;
    for (int i = 0; i < 50 && kept != CConnectionStore::Kept::SecretStore; ++i) {
        CSettings settings(settingsPath);
        kept = CConnectionStore::store(settings, whole);
        if (kept != CConnectionStore::Kept::SecretStore)
            QThread::msleep(100);
    }
    ASSERT_EQ(kept, CConnectionStore::Kept::SecretStore);
    const QString file = fileText(settingsPath);
    EXPECT_FALSE(file.contains(QStringLiteral("s3cret"))) << file.toStdString();
    EXPECT_TRUE(file.contains(QStringLiteral("127.0.0.1"))) << file.toStdString();
    const QString bare = CConnectionStore::withoutPassword(whole);
    QString secret;
    ASSERT_TRUE(CConnectionStore::readSecret(bare, &secret));
    EXPECT_EQ(secret, kPassword);
    EXPECT_EQ(CConnectionStore::load(CSettings(settingsPath)),
              CConnectionStore::withoutPassword(whole) + QStringLiteral(";PWD=%1").arg(kPassword));

    // The assembled program's connection test finds the password the same way (and the server
    // would refuse the string without it).
    auto testConnection = [&](const QString &settingsFile) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), secrets.address);
        env.remove(QStringLiteral("DISPLAY"));
        // The program looks for the administrator's file in XDG_CONFIG_DIRS: the test's folder.
        const QString system = CSettings::systemFileFor(QStringLiteral("Orvane"), QStringLiteral("Zorvik"));
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), QFileInfo(system).dir().absolutePath().section(u'/', 0, -2));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ZV_PROGRAM),
                {QStringLiteral("--settings"), settingsFile, QStringLiteral("--test-connection")});
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
    };
    const auto found = testConnection(settingsPath);
    EXPECT_EQ(found.first, 0) << found.second.toStdString();
    EXPECT_FALSE(found.second.contains(kPassword));

    // A new string takes the old password out of the keyring.
    {
        CSettings settings(settingsPath);
        CConnectionStore::store(settings, QStringLiteral("Provider=SQLite;Data Source=%1").arg(db));
    }
    EXPECT_FALSE(CConnectionStore::readSecret(bare, &secret));

    // A desk without a keyring entry: the administrator's system file names the string and a
    // password file; the user's own file names nothing.
    const QString passwordFile = dir.file(QStringLiteral("password"));
    {
        QFile f(passwordFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kPassword.toUtf8() + "\n");
    }
    const QString system = CSettings::systemFileFor(QStringLiteral("Orvane"), QStringLiteral("Zorvik"));
    {
        QSettings admin(system, QSettings::IniFormat);
        admin.setValue(QStringLiteral("Settings/Connection"), bare);
        admin.setValue(QStringLiteral("Settings/PasswordFile"), passwordFile);
    }
    const QString deskFile = dir.file(QStringLiteral("desk.ini"));
    EXPECT_EQ(CConnectionStore::load(CSettings(CSettings::Files{deskFile, system})),
              CConnectionStore::withoutPassword(whole) + QStringLiteral(";PWD=%1").arg(kPassword));
    const auto fromFile = testConnection(deskFile);
    EXPECT_EQ(fromFile.first, 0) << fromFile.second.toStdString();
    // A password file that cannot be read is named in the error, and no password is made up.
    QFile::remove(passwordFile);
    QString why;
    EXPECT_EQ(CConnectionStore::load(CSettings(CSettings::Files{deskFile, system}), &why), bare);
    EXPECT_TRUE(why.contains(passwordFile)) << why.toStdString();
    QFile::remove(system);
}
