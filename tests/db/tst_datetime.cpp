#include "db/CDateTime.h"

#include <QDateTime>

#include <gtest/gtest.h>

TEST(DateTime, DayCountsFollowTheEpochOf30December1899)
{
    EXPECT_DOUBLE_EQ(CDateTime::fromParts(1899, 12, 30).days(), 0.0);
    EXPECT_DOUBLE_EQ(CDateTime::fromParts(1900, 1, 1).days(), 2.0);
    EXPECT_DOUBLE_EQ(CDateTime::fromParts(1899, 12, 30, 18).days(), 0.75);
    // Before the epoch the fraction is the time of day with the whole days negative.
    EXPECT_DOUBLE_EQ(CDateTime::fromParts(1899, 12, 29, 6).days(), -1.25);
    int y, mo, d, h, mi, s;
    ASSERT_TRUE(CDateTime(-1.25).toParts(y, mo, d, h, mi, s));
    EXPECT_EQ(QDate(y, mo, d), QDate(1899, 12, 29));
    EXPECT_EQ(h, 6);
    EXPECT_EQ(CDateTime::fromParts(10000, 1, 1).status(), CDateTime::Invalid);
    EXPECT_EQ(CDateTime::fromParts(2026, 2, 30).status(), CDateTime::Invalid);
}

TEST(DateTime, FormattingNullInvalidAndValid)
{
    EXPECT_EQ(CDateTime::null().format("%d.%m.%Y."), "");
    EXPECT_EQ(CDateTime::invalid().format("%H:%M"), "Invalid DateTime");
    const CDateTime t = CDateTime::fromParts(2026, 12, 8, 7, 41, 5);
    EXPECT_EQ(t.format("%d.%m.%Y."), "08.12.2026.");
    EXPECT_EQ(t.format("%H:%M"), "07:41");
    EXPECT_EQ(t.format("%Y-%m-%d %H:%M:%S"), "2026-12-08 07:41:05");
    EXPECT_EQ(t.format("%Y%m%d"), "20261208");
    // Output longer than 256 bytes does not fit and gives nothing rather than a cut text.
    EXPECT_EQ(t.format(QString(300, u'x')), "");
}

TEST(DateTime, RoundsToTheNearestSecond)
{
    const double almostMidnight = CDateTime::fromParts(2026, 12, 8).days() + (86399.6 / 86400.0);
    EXPECT_EQ(CDateTime(almostMidnight).format("%Y-%m-%d %H:%M:%S"), "2026-12-09 00:00:00");
}

TEST(DateTime, SameMomentUsesHalfASecond)
{
    const CDateTime a = CDateTime::fromParts(2026, 12, 8, 7, 41, 0);
    EXPECT_TRUE(a.sameMoment(CDateTime(a.days() + 0.49 / 86400.0)));
    EXPECT_FALSE(a.sameMoment(CDateTime(a.days() + 0.51 / 86400.0)));
    EXPECT_TRUE(CDateTime::null().sameMoment(CDateTime::null()));
    EXPECT_FALSE(CDateTime::invalid().sameMoment(CDateTime::invalid()));
    EXPECT_FALSE(CDateTime::null().sameMoment(CDateTime(0.0)));
    EXPECT_FALSE(a.sameMoment(CDateTime(a.days(), CDateTime::Invalid)));
}

TEST(DateTime, WholeDaysRoundByHalfASecond)
{
    const CDateTime now = CDateTime::fromParts(2026, 12, 8, 8, 0, 0);
    const CDateTime dayBefore = CDateTime::fromParts(2026, 12, 7, 8, 0, 0);
    EXPECT_EQ(CDateTime::wholeDaysBetween(now, dayBefore), 1);
    // 23:59:59.4 old: the half second does not lift it to a whole day.
    EXPECT_EQ(CDateTime::wholeDaysBetween(now, CDateTime(dayBefore.days() + 0.6 / 86400.0)), 0);
    // 23:59:59.6 old counts as a whole day.
    EXPECT_EQ(CDateTime::wholeDaysBetween(now, CDateTime(dayBefore.days() + 0.4 / 86400.0)), 1);
    EXPECT_EQ(CDateTime::wholeDaysBetween(now, CDateTime::fromParts(2026, 12, 7, 23, 59)), 0);
    EXPECT_EQ(CDateTime::wholeDaysBetween(dayBefore, now), -1);
    // A server's datetime keeps its milliseconds: 23:59:59.4 old is not a day.
    const QDateTime clocked(QDate(2026, 12, 7), QTime(8, 0, 0, 600));
    EXPECT_EQ(CDateTime::wholeDaysBetween(now, CDateTime::fromLocal(clocked)), 0);
    EXPECT_EQ(CDateTime::wholeDaysBetween(now, CDateTime::fromLocal(clocked, false)), 1);
    // A null value counts as day 0.
    EXPECT_GT(CDateTime::wholeDaysBetween(now, CDateTime::null()), 40000);
}

TEST(DateTime, StoredText)
{
    EXPECT_TRUE(CDateTime::looksLikeStoredText("2026-12-08 07:41:00"));
    EXPECT_FALSE(CDateTime::looksLikeStoredText("2026-12-08T07:41:00"));
    EXPECT_FALSE(CDateTime::looksLikeStoredText("Doe Jane"));
    EXPECT_EQ(CDateTime::fromText("2026-12-08 07:41:09").format("%H:%M:%S"), "07:41:09");
    EXPECT_TRUE(CDateTime::fromText("").isNull());
    EXPECT_EQ(CDateTime::fromText("yesterday").status(), CDateTime::Invalid);
}

TEST(DateTime, NumericFormatsAgreeWithStrftime)
{
    // The program's own formats are done without strftime; other conversions still use it.
    const CDateTime t = CDateTime::fromParts(987, 3, 4, 5, 6, 7);
    EXPECT_EQ(t.format("%Y|%y|%m|%d|%H|%M|%S|%%"), "987|87|03|04|05|06|07|%");
    EXPECT_EQ(CDateTime::fromParts(2026, 12, 8).format("%A %j"), "Tuesday 342");
    EXPECT_EQ(CDateTime::fromParts(2026, 12, 8).format("%d.%m.%Y. Šć"), "08.12.2026. Šć");
    EXPECT_EQ(CDateTime::fromParts(2026, 12, 8).dayKey(), 20261208);
    EXPECT_EQ(CDateTime(CDateTime::fromParts(2026, 12, 8, 23, 59, 59).days() + 0.7 / 86400).dayKey(), 20261209);
    EXPECT_EQ(CDateTime::null().dayKey(), -1);
    EXPECT_EQ(CDateTime::invalid().dayKey(), -2);
}
