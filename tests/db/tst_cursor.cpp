#include "TestSupport.h"
#include "db/CDbCommand.h"
#include "db/CDbConnection.h"
#include "db/CDbCursor.h"
#include "db/CDbError.h"
#include "db/CDbWorker.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using testsupport::TempDir;

namespace {

// A small attendance-like database made with plain Qt SQL.
QString makeDatabase(const TempDir &dir)
{
    const QString path = dir.file("att.sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "maker");
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char *sql : {
                 "create table tblLastReg (IDZaposlenog integer, DatumLastReg datetime, IDLogickeAktivnosti integer, "
                 "Note text, Ratio real, Photo blob)",
                 "insert into tblLastReg values (17, '2026-12-08 07:41:05', 3, 'it''s', 0.25, x'FFD8FF')",
                 "insert into tblLastReg values (9, null, 10, null, 1.0, null)",
                 "insert into tblLastReg values (10, '2026-12-07 16:00:00', 3, 'O''Brien', 2.5, x'')",
                 "insert into tblLastReg values (11, '2026-12-07 16:00:00', 4, 'x', 3, null)",
                 "create table zv_procedure (name text, body text)",
                 "insert into zv_procedure values ('sp_mark', 'delete from marks; insert into marks values (1); "
                 "insert into marks values (2)')",
                 "create table marks (n integer)",
             })
            EXPECT_TRUE(q.exec(sql)) << sql;
    }
    QSqlDatabase::removeDatabase("maker");
    return path;
}

QString sqliteString(const QString &path)
{
    return "Provider=SQLite;Data Source=" + path;
}

} // namespace

TEST(Cursor, ReadsAllRowsAndConvertsByType)
{
    TempDir dir;
    const QString path = makeDatabase(dir);
    CDbConnection conn;
    ASSERT_TRUE(conn.open(sqliteString(path))) << conn.lastErrorText().toStdString();
    CDbCursor cur(&conn);
    ASSERT_TRUE(cur.open("   select * from tblLastReg order by IDZaposlenog"));
    EXPECT_EQ(cur.query(), "select * from tblLastReg order by IDZaposlenog");
    EXPECT_EQ(cur.recordCount(), 4);

    cur.moveFirst();
    QString text;
    ASSERT_TRUE(cur.getFieldText("IDZaposlenog", text));
    EXPECT_EQ(text, "9");
    CDateTime dt = CDateTime::fromParts(2000, 1, 1);
    ASSERT_TRUE(cur.getFieldDateTime("DatumLastReg", dt));
    EXPECT_TRUE(dt.isNull());
    EXPECT_TRUE(cur.getFieldText("Note", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(cur.getFieldText("Ratio", text));
    EXPECT_EQ(text, "1");

    cur.moveNext();
    ASSERT_TRUE(cur.getFieldText("datumlastreg", text)); // names ignore case
    EXPECT_EQ(text, "2026-12-07 16:00:00");
    ASSERT_TRUE(cur.getFieldText("DatumLastReg", text, "%d.%m.%Y."));
    EXPECT_EQ(text, "07.12.2026.");
    EXPECT_TRUE(cur.getFieldText("Ratio", text));
    EXPECT_EQ(text, "2.5");

    cur.moveNext();
    cur.moveNext();
    ASSERT_TRUE(cur.getFieldDateTime("DatumLastReg", dt));
    EXPECT_EQ(dt.format("%H:%M:%S"), "07:41:05");
    QByteArray bytes;
    ASSERT_TRUE(cur.getFieldBytes("Photo", bytes));
    EXPECT_EQ(bytes, QByteArray("\xFF\xD8\xFF"));
    EXPECT_EQ(cur.getFieldSize("Photo"), 3);
    // Not a date: fails and leaves the value as it was.
    CDateTime keep = CDateTime::fromParts(2001, 2, 3);
    EXPECT_FALSE(cur.getFieldDateTime("Note", keep));
    EXPECT_EQ(keep.format("%Y"), "2001");
    // A missing field reads as empty text and records a readable error.
    text = "stale";
    EXPECT_FALSE(cur.getFieldText("NoSuchColumn", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(
        cur.lastErrorText().startsWith("Query = select * from tblLastReg order by IDZaposlenog\nCDbCursor Error\n"));
    EXPECT_TRUE(cur.lastErrorText().contains("NoSuchColumn"));

    cur.moveNext();
    EXPECT_TRUE(cur.isEOF());
    EXPECT_FALSE(cur.getFieldText("IDZaposlenog", text));
}

TEST(Cursor, ConversionTableValueByValue)
{
    QString t;
    const auto conv = [&](const QVariant &v, const QString &fmt = {}) {
        t.clear();
        const bool ok = CDbCursor::valueToText(v, t, fmt, CSqlDialect::SqlServer);
        return std::make_pair(ok, t);
    };
    EXPECT_EQ(conv(QVariant::fromValue<short>(-12)), std::make_pair(true, QString("-12")));
    EXPECT_EQ(conv(QVariant::fromValue<uchar>(200)), std::make_pair(true, QString("200")));
    EXPECT_EQ(conv(QVariant(int(-2147483647 - 1))), std::make_pair(true, QString("-2147483648")));
    EXPECT_EQ(conv(QVariant(uint(4294967295u))), std::make_pair(true, QString("4294967295")));
    EXPECT_EQ(conv(QVariant(qlonglong(12345678901LL))), std::make_pair(true, QString("12345678901")));
    EXPECT_EQ(conv(QVariant(float(1.0f / 3.0f))), std::make_pair(true, QString("0.3333333433")));
    EXPECT_EQ(conv(QVariant(0.1)), std::make_pair(true, QString("0.10000000000000000555")));
    EXPECT_EQ(conv(QVariant(2.0)), std::make_pair(true, QString("2")));
    EXPECT_EQ(conv(QVariant(true)), std::make_pair(true, QString("T")));
    EXPECT_EQ(conv(QVariant(false)), std::make_pair(true, QString("F")));
    EXPECT_EQ(conv(QVariant(QString("Šćž"))), std::make_pair(true, QString("Šćž")));
    EXPECT_EQ(conv(QVariant(QDateTime(QDate(2026, 12, 8), QTime(7, 41, 5)))),
              std::make_pair(true, QString("2026-12-08 07:41:05")));
    EXPECT_EQ(conv(QVariant(QDateTime(QDate(2026, 12, 8), QTime(7, 41, 5))), "%H:%M"),
              std::make_pair(true, QString("07:41")));
    EXPECT_EQ(conv(QVariant()), std::make_pair(true, QString()));
    EXPECT_EQ(conv(QVariant(QMetaType(QMetaType::Int))), std::make_pair(true, QString()));
    // Types without a text form give empty text and false.
    EXPECT_EQ(conv(QVariant(QByteArray("\x01\x02"))), std::make_pair(false, QString()));
    EXPECT_EQ(conv(QVariant(QStringList{"a"})), std::make_pair(false, QString()));
}

// The rows are kept by column in a compact form of their own; every cell must still read as the
// driver's value would under the conversion table: SQLite's mixed types in one column, date-time
// texts that are no dates, the extremes of integers, nulls, empty texts and bytes. Filters find
// the same rows by text, and an integer column is not matched by another spelling of a number.
TEST(Cursor, ColumnsReadAsTheDriversValues)
{
    TempDir dir;
    const QString path = dir.file("mixed.sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "mixed");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char *sql : {
                 "create table t (k integer, a, d text, n integer)",
                 "insert into t values (1, 1, '2026-12-08 07:41:05', 0)",
                 "insert into t values (2, 'x', '2026-13-45 99:99:99', -9223372036854775808)",
                 "insert into t values (3, 2.5, null, 9223372036854775807)",
                 "insert into t values (4, null, '', 17)",
                 "insert into t values (5, x'00ff', '2026-12-08 07:41:05', 17)",
                 "insert into t values (6, '1', '2026-12-08T07:41:05', -5)",
             })
            ASSERT_TRUE(q.exec(sql)) << sql;
    }
    QSqlDatabase::removeDatabase("mixed");
    CDbConnection conn;
    ASSERT_TRUE(conn.open(sqliteString(path)));
    const QString query = "select * from t order by k";
    CDbCursor cur(&conn);
    ASSERT_TRUE(cur.open(query));
    QSqlDatabase raw;
    ASSERT_TRUE(conn.threadDatabase(raw, nullptr));
    auto q = std::make_unique<QSqlQuery>(raw);
    ASSERT_TRUE(q->exec(query));
    int rows = 0;
    for (cur.moveFirst(); q->next(); cur.moveNext(), ++rows) {
        ASSERT_FALSE(cur.isEOF());
        for (int c = 0; c < 4; ++c) {
            const QString column = cur.columnNames().at(c);
            const QVariant v = q->value(c);
            for (const QString &format : {QString(), QString("%d.%m.%Y. %H:%M")}) {
                QString expected, got;
                const bool ok = CDbCursor::valueToText(v, expected, format, CSqlDialect::Sqlite);
                EXPECT_EQ(cur.getFieldText(column, got, format), ok) << rows << column.toStdString();
                EXPECT_EQ(got, expected) << rows << column.toStdString();
            }
            // A value that is no date leaves the one given as it was.
            const CDateTime before = CDateTime::fromParts(2001, 2, 3);
            CDateTime expected = before, got = before;
            const bool ok = CDbCursor::valueToDateTime(v, expected, CSqlDialect::Sqlite);
            EXPECT_EQ(cur.getFieldDateTime(column, got), ok) << rows << column.toStdString();
            EXPECT_EQ(got.status(), (ok ? expected : before).status()) << rows << column.toStdString();
            EXPECT_EQ(got.days(), (ok ? expected : before).days()) << rows << column.toStdString();
            const bool binary = v.metaType().id() == QMetaType::QByteArray;
            QByteArray bytes;
            EXPECT_EQ(cur.getFieldBytes(column, bytes), binary);
            EXPECT_EQ(bytes, binary ? v.toByteArray() : QByteArray());
        }
    }
    EXPECT_EQ(rows, 6);
    EXPECT_TRUE(cur.isEOF());

    const auto keys = [&](const QString &filter) {
        QStringList out;
        cur.setFilter(filter);
        QString k;
        for (cur.moveFirst(); !cur.isEOF(); cur.moveNext()) {
            cur.getFieldText("k", k);
            out << k;
        }
        cur.setFilter({});
        return out.join(u',');
    };
    EXPECT_EQ(keys("a = '1'"), "1,6"); // an integer and a text that read alike
    EXPECT_EQ(keys("a = '2.5'"), "3");
    EXPECT_EQ(keys("d = '2026-13-45 99:99:99'"), "2");
    EXPECT_EQ(keys("d = ''"), "3,4");
    EXPECT_EQ(keys("n = '-9223372036854775808'"), "2");
    EXPECT_EQ(keys("n = '17'"), "4,5");
    for (const char *other : {"017", "+17", "17.0", " 17", "-0", "00", "9223372036854775808"})
        EXPECT_EQ(keys(QString("n = '%1'").arg(other)), "") << other;
    EXPECT_EQ(keys("n = '0'"), "1");
    EXPECT_EQ(keys("n = '-5' and a = '1'"), "6");
    q.reset();
    raw = QSqlDatabase();
    conn.releaseThread();
}

TEST(Cursor, FiltersAnsweredLocally)
{
    TempDir dir;
    CDbConnection conn;
    ASSERT_TRUE(conn.open(sqliteString(makeDatabase(dir))));
    CDbCursor cur(&conn);
    ASSERT_TRUE(cur.open("SELECT IDZaposlenog, DatumLastReg, IDLogickeAktivnosti, Note from tblLastReg order by 1"));
    EXPECT_EQ(cur.recordCount(), 4);
    // A bare table name opens as the whole table, whether the kind is unknown or a query.
    for (int kind : {CDbCursor::Unknown, CDbCursor::Query, CDbCursor::Table}) {
        CDbCursor table(&conn);
        EXPECT_TRUE(table.open("  tblLastReg", kind)) << kind << table.lastErrorText().toStdString();
        EXPECT_EQ(table.recordCount(), 4);
    }

    EXPECT_TRUE(cur.setFilter("IDZaposlenog = '17'"));
    EXPECT_EQ(cur.recordCount(), 1);
    QString text;
    cur.getFieldText("IDLogickeAktivnosti", text);
    EXPECT_EQ(text, "3");

    EXPECT_TRUE(cur.setFilter("IDZaposlenog = '1'")); // text, not prefix
    EXPECT_EQ(cur.recordCount(), 0);
    EXPECT_TRUE(cur.isEOF());
    EXPECT_TRUE(cur.setFilter("IDZaposlenog = '017'")); // text, not number
    EXPECT_EQ(cur.recordCount(), 0);

    EXPECT_TRUE(cur.setFilter(""));
    EXPECT_EQ(cur.recordCount(), 4);

    EXPECT_TRUE(cur.setFilter("IDLogickeAktivnosti = '3' and IDZaposlenog='10'"));
    EXPECT_EQ(cur.recordCount(), 1);
    cur.getFieldText("Note", text);
    EXPECT_EQ(text, "O'Brien");
    EXPECT_TRUE(cur.setFilter("IDLogickeAktivnosti = '3'"));
    EXPECT_EQ(cur.recordCount(), 2);
    // Rows stay in cursor order under a filter.
    cur.moveFirst();
    cur.getFieldText("IDZaposlenog", text);
    EXPECT_EQ(text, "10");
    cur.moveNext();
    cur.getFieldText("IDZaposlenog", text);
    EXPECT_EQ(text, "17");

    EXPECT_TRUE(cur.setFilter("Note = 'O''Brien'"));
    EXPECT_EQ(cur.recordCount(), 1);
    EXPECT_TRUE(cur.setFilter("Note = 'it''s'"));
    EXPECT_EQ(cur.recordCount(), 1);
    EXPECT_TRUE(cur.setFilter("DatumLastReg = '2026-12-07 16:00:00'"));
    EXPECT_EQ(cur.recordCount(), 2);
    // Null fields match the empty text.
    EXPECT_TRUE(cur.setFilter("Note = ''"));
    EXPECT_EQ(cur.recordCount(), 1);

    // A filter of another form is refused with a recorded error; the previous one stays.
    EXPECT_TRUE(cur.setFilter("IDZaposlenog > 3"));
    EXPECT_EQ(cur.recordCount(), 1);
    EXPECT_EQ(cur.lastErrorCode(), CDbError::kUnsupportedFilter);
    EXPECT_TRUE(cur.setFilter("Nope = '1'"));
    EXPECT_EQ(cur.lastErrorCode(), CDbError::kUnsupportedFilter);
    cur.setFilter({});
    EXPECT_EQ(cur.recordCount(), 4);
}

TEST(Cursor, FilterParser)
{
    QList<QPair<QString, QString>> c;
    ASSERT_TRUE(CDbCursor::parseFilter("IDDana = '2' and IDLogickeAktivnosti='5'", c));
    ASSERT_EQ(c.size(), 2);
    EXPECT_EQ(c[1], qMakePair(QString("IDLogickeAktivnosti"), QString("5")));
    ASSERT_TRUE(CDbCursor::parseFilter("[My Col] = 'a and b' AND x = ''''", c));
    EXPECT_EQ(c[0], qMakePair(QString("My Col"), QString("a and b")));
    EXPECT_EQ(c[1], qMakePair(QString("x"), QString("'")));
    EXPECT_FALSE(CDbCursor::parseFilter("a = 'unterminated", c));
    EXPECT_FALSE(CDbCursor::parseFilter("a = 'x' or b = 'y'", c));
    EXPECT_FALSE(CDbCursor::parseFilter("a = 1", c));
    EXPECT_FALSE(CDbCursor::parseFilter("a = 'x' andb = 'y'", c));
}

TEST(Cursor, ErrorsAreRecordedNeverThrown)
{
    TempDir dir;
    CDbConnection conn;
    ASSERT_TRUE(conn.open(sqliteString(makeDatabase(dir))));
    CDbCursor cur(&conn);
    EXPECT_FALSE(cur.open("select * from NoSuchTable"));
    EXPECT_FALSE(cur.isOpen());
    EXPECT_EQ(cur.recordCount(), 0);
    EXPECT_EQ(cur.lastErrorCode(), CDbError::kErrorsInCommand);
    const QString e = cur.lastErrorText();
    EXPECT_TRUE(e.startsWith("Query = select * from NoSuchTable\nCDbCursor Error\n\tCode = 80040e14\n"
                             "\tCode meaning = IDispatch error #3092\n\tSource = QSQLITE\n\tDescription = "))
        << e.toStdString();
    EXPECT_TRUE(e.contains("NoSuchTable"));
    EXPECT_TRUE(e.endsWith("\n"));

    QString own;
    EXPECT_FALSE(conn.execute("update NoSuchTable set a = 1", CDbConnection::Send::Prepared, &own));
    EXPECT_TRUE(conn.lastErrorText().startsWith("Connection String = Provider=SQLite;Data Source="));
    EXPECT_TRUE(conn.lastErrorText().contains("\nCDbConnection Error\n\tCode = 80040e14\n"));
    EXPECT_TRUE(own.contains("NoSuchTable")) << own.toStdString();
    // A failure the driver gives no words for still reads as a failure.
    EXPECT_FALSE(CDbError::describe(QSqlError()).isEmpty());

    CDbCommand cmd(&conn, "sp_missing", CDbCommand::StoredProcedure);
    EXPECT_FALSE(cmd.execute());
    EXPECT_TRUE(cmd.lastErrorText().startsWith("CDbCommand Error\n\tCode = 80040e14\n"));
    EXPECT_TRUE(cmd.lastErrorText().contains("sp_missing"));

    CDbCursor unbound;
    EXPECT_FALSE(unbound.open("select 1"));
    EXPECT_FALSE(unbound.lastErrorText().isEmpty());
}

TEST(Connection, MissingFileWrongDriverAndNonDatabase)
{
    TempDir dir;
    CDbConnection conn;
    EXPECT_FALSE(conn.open(sqliteString(dir.file("missing.sqlite"))));
    EXPECT_FALSE(conn.isOpen());
    EXPECT_FALSE(QFile::exists(dir.file("missing.sqlite"))); // never created by opening
    EXPECT_TRUE(conn.lastErrorText().contains("missing.sqlite"));
    EXPECT_TRUE(conn.lastErrorText().contains("CDbConnection Error\n\tCode = 80004005\n\tCode meaning = "
                                              "Unspecified error\n"));

    QFile junk(dir.file("junk.sqlite"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_FALSE(conn.open(sqliteString(dir.file("junk.sqlite"))));
    EXPECT_FALSE(conn.lastErrorDescription().isEmpty());

    EXPECT_FALSE(conn.open("Driver={No Such Driver};Server=nowhere;Database=x"));
    EXPECT_FALSE(conn.lastErrorDescription().isEmpty());
    EXPECT_TRUE(conn.lastErrorText().startsWith("Connection String = Driver={No Such Driver};"));

    EXPECT_FALSE(conn.open(""));
    CDbCursor cur(&conn);
    EXPECT_FALSE(cur.open("select 1"));
}

TEST(Connection, StoredProcedureRunsItsBody)
{
    TempDir dir;
    CDbConnection conn;
    ASSERT_TRUE(conn.open(sqliteString(makeDatabase(dir))));
    CDbCommand cmd(&conn, "sp_mark", CDbCommand::StoredProcedure);
    ASSERT_TRUE(cmd.execute()) << cmd.lastErrorText().toStdString();
    ASSERT_TRUE(cmd.execute());
    CDbCursor cur(&conn);
    ASSERT_TRUE(cur.open("select n from marks"));
    EXPECT_EQ(cur.recordCount(), 2);
    ASSERT_TRUE(conn.execute("select 1 into marks2 from marks"));
    ASSERT_TRUE(cur.open("select * from marks2"));
    EXPECT_EQ(cur.recordCount(), 2);
    ASSERT_TRUE(conn.execute("if exists (select * from sysobjects where name = 'marks2') drop table marks2"));
    EXPECT_FALSE(cur.open("select * from marks2"));
}

TEST(Connection, VanishedFileIsALostConnectionUntilItReturns)
{
    TempDir dir;
    const QString path = makeDatabase(dir);
    CDbConnection conn;
    ASSERT_TRUE(conn.open(sqliteString(path)));
    CDbCursor cur(&conn);
    ASSERT_TRUE(cur.open("select * from tblLastReg"));
    ASSERT_TRUE(QFile::rename(path, path + ".away"));
    EXPECT_FALSE(cur.open());
    EXPECT_FALSE(cur.lastErrorText().isEmpty());
    ASSERT_TRUE(QFile::rename(path + ".away", path));
    EXPECT_TRUE(cur.open());
    EXPECT_EQ(cur.recordCount(), 4);
}

TEST(Connection, OdbcRouteWithTheSqliteDriver)
{
    TempDir dir;
    const QString path = makeDatabase(dir);
    CDbConnection conn;
    if (!QSqlDatabase::isDriverAvailable("QODBC"))
        GTEST_SKIP() << "Qt ODBC driver not installed";
    ASSERT_TRUE(conn.open("Driver=SQLite3;Database=" + path)) << conn.lastErrorText().toStdString();
    EXPECT_EQ(conn.dialect(), CSqlDialect::Sqlite);
    CDbCursor cur(&conn);
    ASSERT_TRUE(cur.open("select IDZaposlenog, DatumLastReg, Note, Photo from tblLastReg order by IDZaposlenog"))
        << cur.lastErrorText().toStdString();
    EXPECT_EQ(cur.recordCount(), 4);
    EXPECT_TRUE(cur.setFilter("IDZaposlenog = '17'"));
    ASSERT_EQ(cur.recordCount(), 1);
    QString text;
    ASSERT_TRUE(cur.getFieldText("DatumLastReg", text, "%d.%m.%Y. %H:%M"));
    EXPECT_EQ(text, "08.12.2026. 07:41");
    CDateTime dt;
    ASSERT_TRUE(cur.getFieldDateTime("DatumLastReg", dt));
    EXPECT_EQ(dt.format("%Y-%m-%d %H:%M:%S"), "2026-12-08 07:41:05");
    ASSERT_TRUE(cur.getFieldText("Note", text));
    EXPECT_EQ(text, "it's");
    CDbCommand cmd(&conn, "sp_mark", CDbCommand::StoredProcedure);
    EXPECT_TRUE(cmd.execute()) << cmd.lastErrorText().toStdString();
}

// Work in the background (the polling thread, the workers of the lists and photographs) runs with
// a smaller share of the processor than the thread that asked for it, the window's.
TEST(Worker, BackgroundThreadsYieldToTheInterface)
{
    errno = 0;
    const int interfaceNice = getpriority(PRIO_PROCESS, id_t(gettid()));
    ASSERT_EQ(errno, 0);
    CDbWorker worker(nullptr);
    std::atomic<int> workerNice{-100};
    std::atomic<bool> done{false};
    worker.run([&] {
        workerNice = getpriority(PRIO_PROCESS, id_t(gettid()));
        done = true;
    });
    ASSERT_TRUE(testsupport::waitFor([&] { return done.load(); }));
    EXPECT_EQ(workerNice.load(), qMin(19, interfaceNice + 5));
    EXPECT_EQ(getpriority(PRIO_PROCESS, id_t(gettid())), interfaceNice); // the caller keeps its own
}
