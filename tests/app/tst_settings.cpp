#include "TestSupport.h"
#include "app/CSettings.h"

#include <QFile>
#include <gtest/gtest.h>

using testsupport::TempDir;

TEST(Settings, DefaultsComeFromTheTable)
{
    TempDir dir;
    CSettings s(dir.file("z.ini"));
    EXPECT_EQ(s.readInt("Settings", "Refresh"), 60);
    EXPECT_EQ(s.readInt("Settings", "ExpandLatest"), 1);
    EXPECT_EQ(s.readInt("Settings", "LangWarning"), 1);
    EXPECT_EQ(s.readInt("Settings", "NameFormat"), 0);
    EXPECT_EQ(s.readText("Settings", "Language"), "Srpski");
    EXPECT_EQ(s.readInt("Report", "SelAct"), -1);
    EXPECT_EQ(s.readInt("Report", "SelGroup"), -1);
    EXPECT_EQ(s.readInt("Report", "SelDep3"), 0);
    EXPECT_EQ(s.readText("AutoLoad", "File7"), QString());
    EXPECT_TRUE(s.readBytes("Settings", "ZVPlacement").isEmpty());
}

TEST(Settings, NamesCompareWithoutRegardToCase)
{
    TempDir dir;
    {
        CSettings s(dir.file("z.ini"));
        s.writeBytes("Settings", "ZVPlacement", QByteArray("\x01\x02\x03", 3));
        s.writeInt("settings", "REFRESH", 5);
        s.sync();
    }
    CSettings s(dir.file("z.ini"));
    EXPECT_EQ(s.readBytes("Settings", "ZVPLacement"), QByteArray("\x01\x02\x03", 3));
    EXPECT_EQ(s.readInt("Settings", "Refresh"), 5);
    // Writing under another spelling replaces the one value instead of adding a second.
    s.writeInt("Settings", "refresh", 7);
    EXPECT_EQ(s.readInt("SETTINGS", "Refresh"), 7);
}

TEST(Settings, PanelTitlesWithSeparatorsStayOneValue)
{
    TempDir dir;
    CSettings s(dir.file("z.ini"));
    s.writeBytes("Placement", "Floor 1/Left\\East 50%", "abc");
    s.writeBytes("Placement", "Floor 1", "xyz");
    EXPECT_EQ(s.readBytes("Placement", "floor 1/left\\east 50%"), "abc");
    EXPECT_EQ(s.readBytes("Placement", "Floor 1"), "xyz");
}

TEST(Settings, NonNumberReadsAsDefault)
{
    TempDir dir;
    CSettings s(dir.file("z.ini"));
    s.writeText("Settings", "Refresh", "soon");
    EXPECT_EQ(s.readInt("Settings", "Refresh"), 60);
}

TEST(Settings, StoreHoldingThePasswordIsReadableByItsOwnerOnly)
{
    TempDir dir;
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    // A new store, in a folder that does not exist yet.
    const QString fresh = dir.file("config/Orvane/z.ini");
    {
        CSettings s(fresh);
        EXPECT_EQ(QFile(fresh).permissions() & others, QFile::Permissions());
        s.writeText("Settings", "Connection", "Driver={FreeTDS};Server=db;UID=sa;PWD=secret");
        s.sync();
    }
    EXPECT_EQ(QFile(fresh).permissions() & others, QFile::Permissions());
    EXPECT_EQ(CSettings(fresh).readText("Settings", "Connection"), "Driver={FreeTDS};Server=db;UID=sa;PWD=secret");

    // A store left readable by everyone by an earlier version is closed at the next write.
    const QString old = dir.file("old.ini");
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Settings]\nRefresh=5\n");
    }
    ASSERT_TRUE(QFile::setPermissions(old, ownerOnly | QFile::ReadGroup | QFile::ReadOther));
    CSettings s(old);
    s.writeInt("Settings", "Refresh", 7);
    s.sync();
    EXPECT_EQ(QFile(old).permissions() & others, QFile::Permissions());
    EXPECT_EQ(s.readInt("Settings", "Refresh"), 7);
}
