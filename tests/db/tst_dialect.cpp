#include "db/CSqlDialect.h"

#include <gtest/gtest.h>

TEST(Dialect, ConnectionStringsSelectDriverAndDialect)
{
    auto t = CSqlDialect::target("Provider=SQLite;Data Source=/tmp/a b.sqlite");
    EXPECT_EQ(t.kind, CSqlDialect::Sqlite);
    EXPECT_EQ(t.driver, "QSQLITE");
    EXPECT_EQ(t.sqliteFile, "/tmp/a b.sqlite");

    t = CSqlDialect::target("Driver={FreeTDS};Server=host;Port=1433;Database=att;UID=u;PWD=p;TDS_Version=7.4");
    EXPECT_EQ(t.kind, CSqlDialect::SqlServer);
    EXPECT_EQ(t.driver, "QODBC");
    EXPECT_EQ(t.databaseName, "Driver={FreeTDS};Server=host;Port=1433;Database=att;UID=u;PWD=p;TDS_Version=7.4");

    t = CSqlDialect::target("Driver={SQLite3};Database=/data/att.db");
    EXPECT_EQ(t.kind, CSqlDialect::Sqlite);
    EXPECT_EQ(t.driver, "QODBC");
    EXPECT_EQ(t.sqliteFile, "/data/att.db");

    EXPECT_TRUE(CSqlDialect::target("").driver.isEmpty());
    EXPECT_EQ(CSqlDialect::keyValue("A=1; pwd={x;y}; B = 2 ", "PWD"), "x;y");
    EXPECT_EQ(CSqlDialect::keyValue("A=1; pwd={x;y}; B = 2 ", "b"), "2");
}

TEST(Dialect, SqlServerStatementsGoOutAsWritten)
{
    const QString s = "select left(a, 2) + 'x' into T from U";
    EXPECT_EQ(CSqlDialect::rewrite(CSqlDialect::SqlServer, s), s);
}

TEST(Dialect, SelectIntoBecomesCreateTableAs)
{
    EXPECT_EQ(
        CSqlDialect::rewriteSelectInto(
            "select a, max(b) as m into tmpX from T where c = (select max(d) from U where e = 'into') group by a "),
        "create table tmpX as select a, max(b) as m from T where c = (select max(d) from U where e = 'into') "
        "group by a");
    // An into inside a sub-select or a literal is not the target.
    const QString plain = "select a from T where b in (select c from D) and x = 'into y from z'";
    EXPECT_EQ(CSqlDialect::rewriteSelectInto(plain), plain);
}

TEST(Dialect, DropIfExists)
{
    EXPECT_EQ(CSqlDialect::rewriteDropIfExists(
                  "if exists (select * from sysobjects where name = 'tmpLastActTime') drop table tmpLastActTime"),
              "drop table if exists tmpLastActTime");
    EXPECT_EQ(CSqlDialect::rewriteDropIfExists("drop table x"), "drop table x");
}

TEST(Dialect, PlusNextToAStringLiteralJoinsStrings)
{
    EXPECT_EQ(CSqlDialect::rewriteStringConcat("(LastName + ' ' + FirstName) as 'Host'"),
              "(LastName || ' ' || FirstName) as 'Host'");
    EXPECT_EQ(CSqlDialect::rewriteStringConcat("\"ID = '\" + G + \"'\""), "\"ID = '\" + G + \"'\"");
    EXPECT_EQ(CSqlDialect::rewriteStringConcat("a + b, 'it''s + fine'+c"), "a + b, 'it''s + fine'||c");
}

TEST(Dialect, LeftAndRightBecomeSubstrNestedIncluded)
{
    EXPECT_EQ(CSqlDialect::rewriteLeftRight("t3.IDNo = left( right( t2.IDNo, 10 ), 8 )"),
              "t3.IDNo = substr(substr(t2.IDNo, -10), 1, 8)");
    EXPECT_EQ(CSqlDialect::rewriteLeftRight("left join X on right(a, n+1) = 'left(b, 2)'"),
              "left join X on substr(a, -(n+1)) = 'left(b, 2)'");
    EXPECT_EQ(CSqlDialect::rewriteLeftRight("select t.left, [right](x) from t"), "select t.left, [right](x) from t");
}

TEST(Dialect, StoredBodiesSplitOutsideQuotes)
{
    EXPECT_EQ(CSqlDialect::splitStatements("delete from a; insert into a values ('x;y');\n ; "),
              (QStringList{"delete from a", "insert into a values ('x;y')"}));
}
