#include "TestSupport.h"
#include "app/CSettings.h"

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
