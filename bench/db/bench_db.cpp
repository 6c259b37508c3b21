// The client-side cursor on a large site (50,000 last registrations): opening it next to a plain
// Qt SQL loop over the same statement, the heap its rows take, and the equality-filter lookups of
// the update pass.
#include "db/CDbConnection.h"
#include "db/CDbCursor.h"
#include "demo/CDemoDatabase.h"

#include "../support/BenchDatabase.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr int kEmployees = 50000;
constexpr int kLookups = 10000;
const QString kQuery =
    QStringLiteral("select IDZaposlenog, DatumLastReg, IDLogickeAktivnosti from tblLastReg order by IDZaposlenog");

struct Site
{
    BenchDatabase db;
    QString path;
    CDbConnection connection;
    QStringList ids; // kLookups employees spread over the table

    static CDemoDatabase::DemoOptions options()
    {
        CDemoDatabase::DemoOptions o = CDemoDatabase::largeOptions(kEmployees);
        o.now = QDateTime(QDate(2026, 3, 4), QTime(17, 0, 0));
        return o;
    }

    Site() : db(options()), path(db.path)
    {
        if (!connection.open(db.connectionString()))
            qFatal("%s", qPrintable(connection.lastErrorText()));
        CDbCursor all(&connection);
        if (!all.open(kQuery) || all.recordCount() != kEmployees)
            qFatal("unexpected table: %s", qPrintable(all.lastErrorText()));
        QString id;
        const int step = kEmployees / kLookups;
        for (int r = 0; !all.isEOF(); all.moveNext(), ++r)
            if (r % step == 0 && all.getFieldText(QStringLiteral("IDZaposlenog"), id))
                ids << id;
    }

    // What a plain program would do: a forward-only query, every column of every row read
    // into a QVariant.
    qint64 rawLoop()
    {
        QSqlDatabase sql;
        QSqlError error;
        if (!connection.threadDatabase(sql, &error))
            qFatal("no connection");
        QSqlQuery q(sql);
        q.setForwardOnly(true);
        if (!q.exec(kQuery))
            qFatal("query failed");
        const int n = q.record().count();
        qint64 cells = 0;
        while (q.next()) {
            for (int c = 0; c < n; ++c) {
                QVariant v = q.value(c);
                benchmark::DoNotOptimize(v);
                ++cells;
            }
        }
        return cells;
    }

    // As the polling thread opens it: expecting the rows of its last read.
    int openCursor()
    {
        CDbCursor cursor(&connection);
        cursor.setSizeHint(kEmployees);
        if (!cursor.open(kQuery))
            qFatal("%s", qPrintable(cursor.lastErrorText()));
        return cursor.recordCount();
    }
};

Site &site()
{
    static Site s;
    return s;
}

void BM_RawQtLoop(benchmark::State &state)
{
    Site &s = site();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.rawLoop());
    state.counters["rows"] = kEmployees;
}

void BM_CursorOpen(benchmark::State &state)
{
    Site &s = site();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.openCursor());
    state.counters["rows"] = kEmployees;
}

// Both in turn inside one loop, so that the machine's load weighs on each alike; the ratio is
// the cursor's time over the raw loop's.
void BM_CursorOverRaw(benchmark::State &state)
{
    Site &s = site();
    qint64 rawNs = 0;
    qint64 cursorNs = 0;
    QElapsedTimer t;
    for (auto _ : state) {
        t.start();
        benchmark::DoNotOptimize(s.rawLoop());
        rawNs += t.nsecsElapsed();
        t.start();
        benchmark::DoNotOptimize(s.openCursor());
        cursorNs += t.nsecsElapsed();
    }
    const double n = double(state.iterations());
    state.counters["raw_ms"] = double(rawNs) / n / 1e6;
    state.counters["cursor_ms"] = double(cursorNs) / n / 1e6;
    state.counters["ratio"] = rawNs > 0 ? double(cursorNs) / double(rawNs) : 0.0;
}

// Heap taken by the rows of an open cursor (glibc's count of bytes in use, before and after),
// per row, next to the row's data: each integer as 4 bytes (SQL Server's int), each text as its
// UTF-8 bytes (the date-time as SQLite keeps it, 19), nothing for a null.
void BM_CursorHeapPerRow(benchmark::State &state)
{
    Site &s = site();
    double perRow = 0, dataPerRow = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        auto cursor = std::make_unique<CDbCursor>(&s.connection);
        cursor->setSizeHint(kEmployees);
        cursor->open(kQuery);
        const size_t after = mallinfo2().uordblks;
        perRow = double(after - before) / kEmployees;
        qint64 data = 0;
        QString text;
        const QStringList columns = cursor->columnNames();
        for (cursor->moveFirst(); !cursor->isEOF(); cursor->moveNext())
            for (const QString &c : columns) {
                cursor->getFieldText(c, text);
                bool number = false;
                text.toLongLong(&number);
                data += number ? 4 : text.toUtf8().size();
            }
        dataPerRow = double(data) / kEmployees;
    }
    state.counters["heap_per_row"] = perRow;
    state.counters["data_per_row"] = dataPerRow;
    state.counters["heap_over_data"] = perRow / dataPerRow;
}

// The first filter on a column builds its index: opening plus that first lookup.
void BM_OpenAndFirstFilter(benchmark::State &state)
{
    Site &s = site();
    for (auto _ : state) {
        CDbCursor cursor(&s.connection);
        cursor.open(kQuery);
        cursor.setFilter(QStringLiteral("IDZaposlenog = '%1'").arg(s.ids.first()));
        benchmark::DoNotOptimize(cursor.recordCount());
    }
}

// One lookup as the update pass makes it: filter, count, read a field, clear the filter.
void BM_FilterLookup(benchmark::State &state)
{
    Site &s = site();
    CDbCursor cursor(&s.connection);
    cursor.open(kQuery);
    cursor.setFilter(QStringLiteral("IDZaposlenog = '%1'").arg(s.ids.first())); // builds the index
    cursor.setFilter(QString());
    QStringList filters;
    for (const QString &id : std::as_const(s.ids))
        filters << QStringLiteral("IDZaposlenog = '%1'").arg(id);
    const QString column = QStringLiteral("IDLogickeAktivnosti");
    QString activity;
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const QString &f : std::as_const(filters)) {
            cursor.setFilter(f);
            if (cursor.recordCount() == 1 && cursor.getFieldText(column, activity))
                ++found;
            cursor.setFilter(QString());
        }
        benchmark::DoNotOptimize(found);
    }
    if (found != kLookups)
        state.SkipWithError("a lookup missed its row");
    state.counters["lookups"] = kLookups;
    // Seconds per lookup.
    state.counters["per_lookup"] =
        benchmark::Counter(kLookups, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_RawQtLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CursorOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CursorOverRaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CursorHeapPerRow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenAndFirstFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterLookup)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    site();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
