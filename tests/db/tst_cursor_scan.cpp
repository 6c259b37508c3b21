// The indexed filters and the scanning baseline used by the benchmarks must give the same rows.
#include "TestSupport.h"
#include "db/CDbConnection.h"
#include "db/CDbCursor.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

using testsupport::TempDir;

namespace {

// Restores the process-wide switch whatever a test does.
struct IndexedFiltersGuard
{
    ~IndexedFiltersGuard() { CDbCursor::setIndexedFilters(true); }
};

QString makeDatabase(const TempDir &dir)
{
    const QString path = dir.file("scan.sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "scanmaker");
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec("create table t (IDZaposlenog integer, IDDana text, IDLogickeAktivnosti integer, "
                           "Note text, Ratio real)"));
        // Repeated day types and activities, nulls, quotes, an empty text and a real number.
        const char *rows[] = {
            "(17, '1', 3, 'it''s', 0.25)",
            "(9, '1', 10, null, 1.0)",
            "(10, '2', 3, 'O''Brien', 2.5)",
            "(11, '1', 3, '', 3)",
            "(12, null, 4, 'x', null)",
            "(13, '1', 3, 'x', 0.25)",
            "(17, '2', 4, 'again', 7)",
            // Texts longer than the index keeps beside a row, and one outside Latin-1.
            "(20, '3', 5, 'a longer note', 1)",
            "(21, '3', 5, 'a longer note', 2)",
            "(22, '3', 6, 'Đorđe', 3)",
            "(23, '3', 6, 'Dorde', 4)",
            "(24, '3', 6, 'sixchr', 5)",
        };
        for (const char *r : rows)
            EXPECT_TRUE(q.exec(QStringLiteral("insert into t values %1").arg(QString::fromUtf8(r))));
    }
    QSqlDatabase::removeDatabase("scanmaker");
    return path;
}

// Every visible row of the cursor, each as the texts of all its columns.
QStringList visibleRows(CDbCursor &cur)
{
    QStringList rows;
    QString text;
    for (cur.moveFirst(); !cur.isEOF(); cur.moveNext()) {
        QStringList cells;
        for (const QString &c : cur.columnNames()) {
            cur.getFieldText(c, text);
            cells << text;
        }
        rows << cells.join(u'|');
    }
    return rows;
}

const QStringList kFilters = {
    "IDZaposlenog = '17'",
    "IDDana = '1'",
    "IDDana = '1' and IDLogickeAktivnosti='3'",
    "IDDana='2' AND [IDLogickeAktivnosti] = '4'",
    "idzaposlenog = '9'",
    "Note = 'it''s'",
    "Note = ''",
    "Ratio = '0.25' and Note = 'x'",
    "IDZaposlenog = 'nobody'",
    "IDDana = '1' and IDLogickeAktivnosti='3' and Note = 'x'",
    "Note = 'a longer note'",
    "Note = 'a longer not'",
    "Note = 'Đorđe'",
    "Note = 'sixchr'",
    "Note = 'sixch'",
};

// The rows of every filter on a freshly opened cursor in one mode.
QList<QStringList> rowsPerFilter(CDbConnection &conn, bool indexed)
{
    CDbCursor::setIndexedFilters(indexed);
    CDbCursor cur(&conn);
    EXPECT_TRUE(cur.open("select * from t order by IDZaposlenog, IDDana"));
    QList<QStringList> result;
    for (const QString &f : kFilters) {
        EXPECT_TRUE(cur.setFilter(f));
        EXPECT_EQ(cur.lastErrorCode(), 0u) << f.toStdString();
        result << visibleRows(cur);
        cur.setFilter(QString());
        EXPECT_EQ(cur.recordCount(), 12);
    }
    return result;
}

} // namespace

TEST(CursorScan, BothModesGiveTheSameRows)
{
    IndexedFiltersGuard guard;
    TempDir dir;
    CDbConnection conn;
    ASSERT_TRUE(conn.open("Provider=SQLite;Data Source=" + makeDatabase(dir)));
    EXPECT_TRUE(CDbCursor::indexedFilters()); // on unless a measurement turns it off

    const QList<QStringList> indexed = rowsPerFilter(conn, true);
    const QList<QStringList> scanned = rowsPerFilter(conn, false);
    ASSERT_EQ(indexed.size(), kFilters.size());
    for (qsizetype i = 0; i < kFilters.size(); ++i)
        EXPECT_EQ(indexed.at(i), scanned.at(i)) << kFilters.at(i).toStdString();

    // The filters really select: a few counts worked out from the rows above.
    EXPECT_EQ(indexed.at(0), QStringList({"17|1|3|it's|0.25", "17|2|4|again|7"}));
    EXPECT_EQ(indexed.at(1).size(), 4);
    EXPECT_EQ(indexed.at(2).size(), 3);
    EXPECT_EQ(indexed.at(3), QStringList({"17|2|4|again|7"}));
    EXPECT_EQ(indexed.at(6).size(), 2); // the empty text and the null
    EXPECT_EQ(indexed.at(7), QStringList({"13|1|3|x|0.25"}));
    EXPECT_TRUE(indexed.at(8).isEmpty());
    EXPECT_EQ(indexed.at(9), QStringList({"13|1|3|x|0.25"}));
    EXPECT_EQ(indexed.at(10), QStringList({"20|3|5|a longer note|1", "21|3|5|a longer note|2"}));
    EXPECT_TRUE(indexed.at(11).isEmpty());
    EXPECT_EQ(indexed.at(12), QStringList({QString::fromUtf8("22|3|6|Đorđe|3")}));
    EXPECT_EQ(indexed.at(13), QStringList({"24|3|6|sixchr|5"}));
    EXPECT_TRUE(indexed.at(14).isEmpty());
}

TEST(CursorScan, SwitchingModesOnAnOpenCursorKeepsItsAnswers)
{
    IndexedFiltersGuard guard;
    TempDir dir;
    CDbConnection conn;
    ASSERT_TRUE(conn.open("Provider=SQLite;Data Source=" + makeDatabase(dir)));
    CDbCursor cur(&conn);
    ASSERT_TRUE(cur.open("select * from t"));

    CDbCursor::setIndexedFilters(false);
    cur.setFilter("IDDana = '1' and IDLogickeAktivnosti = '3'");
    const QStringList scanned = visibleRows(cur);
    // An unknown column is an error in both modes and keeps the previous filter.
    cur.setFilter("Missing = '1'");
    EXPECT_NE(cur.lastErrorCode(), 0u);
    EXPECT_EQ(visibleRows(cur), scanned);

    CDbCursor::setIndexedFilters(true);
    cur.setFilter("IDDana = '1' and IDLogickeAktivnosti = '3'");
    EXPECT_EQ(visibleRows(cur), scanned);
    EXPECT_EQ(scanned.size(), 3);
}
