#include "app/CStringTable.h"

#include <gtest/gtest.h>

TEST(StringTable, BuiltInEnglish)
{
    EXPECT_EQ(S(1033), "You must select database.");
    EXPECT_EQ(S(1055), "%Y-%m-%d");
    EXPECT_EQ(CStringTable::format(1039, "/tmp/a.zvl"), "Startup panel file '/tmp/a.zvl' no longer exists.");
    EXPECT_EQ(CStringTable::format(1034, "DSN=x"), "Unable to open database:\nDSN=x");
    EXPECT_EQ(CStringTable::statusText(34014), "Expand all tablets in the current panel");
    EXPECT_EQ(CStringTable::toolTip(34014), "Expand all");
    EXPECT_EQ(S(1029), "\nView\nView\nZorvik Files (*.zvl)\n.zvl\nZorvik.Document\nZorvik Document");
}

TEST(StringTable, OverridesReplaceEntriesAndFallBack)
{
    CStringTable::setOverrides({{"1031", "Sve"}});
    EXPECT_EQ(S(1031), "Sve");
    EXPECT_EQ(S(1071), "Guests");
    CStringTable::setOverrides({});
    EXPECT_EQ(S(1031), "All");
}

TEST(StringTable, ParseHandlesEscapesCommentsAndCrLf)
{
    const auto t = CStringTable::parse("# c\r\n1\ta\\tb\\\\c\r\nbad line\n2\tx\n");
    EXPECT_EQ(t.value("1"), "a\tb\\c");
    EXPECT_EQ(t.value("2"), "x");
    EXPECT_EQ(t.size(), 2);
}
