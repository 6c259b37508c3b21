// Refreshing the presences list of a large site: 50,000 employees of whom 100 clocked since the
// last refresh. The hashed merge is measured next to the plain walk over the result (every grid
// row compared with every result row), which is measured on smaller lists because it grows with
// the square of the size; and what a refresh costs the interface thread next to replacing the
// rows wholesale.
#include "app/CAppContext.h"
#include "app/CListFilterModel.h"
#include "app/CSettings.h"
#include "db/CDbCursor.h"
#include "db/CReferenceData.h"
#include "demo/CDemoDatabase.h"
#include "views/CPresencesModel.h"
#include "views/C_ZorvikDocPresences.h"

#include "../support/BenchDatabase.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using Rows = QList<CPresencesModel::Row>;
constexpr int kEmployees = 50000;
constexpr int kChanged = 100;

struct Site
{
    BenchDatabase db;
    QString path;
    std::unique_ptr<CSettings> settings;
    CReferenceData reference;
    std::unique_ptr<CAppContext> context;
    QStringList employees;
    int round = 0;

    static CDemoDatabase::DemoOptions options()
    {
        CDemoDatabase::DemoOptions o = CDemoDatabase::largeOptions(kEmployees);
        o.now = QDateTime(QDate(2026, 3, 4), QTime(10, 30, 0));
        return o;
    }

    Site() : db(options()), path(db.path)
    {
        QString error;
        if (!CDemoDatabase::openConnection(QStringLiteral("bench-writer"), path, &error))
            qFatal("%s", qPrintable(error));
        settings = std::make_unique<CSettings>(db.file(QStringLiteral("z.ini")));
        int message = 0;
        if (!reference.open(db.connectionString(), &message))
            qFatal("reference data: %d", message);
        reference.buildMaps();
        context = std::make_unique<CAppContext>(settings.get(), &reference, nullptr, db.dir.path());
        context->makeCurrent();
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("bench-writer")));
        q.exec(QStringLiteral("select IDZaposlenog from tblLastReg"));
        while (q.next())
            employees << q.value(0).toString();
    }

    // kChanged employees clock in: a new moment and another activity each.
    void clockIn()
    {
        ++round;
        QSqlDatabase writer = QSqlDatabase::database(QStringLiteral("bench-writer"));
        writer.transaction();
        QSqlQuery q(writer);
        q.prepare(QStringLiteral("update tblLastReg set DatumLastReg = ?, IDLogickeAktivnosti = ? where "
                                 "IDZaposlenog = ?"));
        for (int i = 0; i < kChanged; ++i) {
            const int e = (round * 7919 + i * 199) % int(employees.size());
            q.addBindValue(QStringLiteral("2026-03-04 11:%1:%2")
                               .arg(round / 60 % 60, 2, 10, QLatin1Char('0'))
                               .arg(round % 60, 2, 10, QLatin1Char('0')));
            q.addBindValue(1 + (round + i) % 12);
            q.addBindValue(employees.at(e));
            q.exec();
        }
        writer.commit();
    }

    // The first n rows of the query's result, read as the refresh reads them.
    Rows read(int n)
    {
        CDbCursor cursor(&reference.connection());
        cursor.open(C_ZorvikDocPresences::queryText(nullptr) + QStringLiteral(" limit %1").arg(n));
        Rows rows;
        QString activity;
        for (cursor.moveFirst(); !cursor.isEOF(); cursor.moveNext()) {
            CPresencesModel::Row r;
            cursor.getFieldText(QStringLiteral("DatumLastReg"), r[0]);
            cursor.getFieldText(QStringLiteral("Prezime"), r[1]);
            cursor.getFieldText(QStringLiteral("Ime"), r[2]);
            cursor.getFieldText(QStringLiteral("IDNo"), r[3]);
            cursor.getFieldText(QStringLiteral("IDLogickeAktivnosti"), activity);
            const auto it = reference.activityMap.find(activity);
            r[4] = it == reference.activityMap.end() ? QString() : it->second;
            rows << r;
        }
        return rows;
    }
};

Site &site()
{
    static Site s;
    return s;
}

// The same list with kChanged rows changed in place (another activity and moment).
Rows changed(Rows rows)
{
    for (int i = 0; i < kChanged && i < rows.size(); ++i) {
        CPresencesModel::Row &r = rows[(qsizetype(i) * 7919) % rows.size()];
        r[0] = QStringLiteral("2026-03-04 12:00:00");
        r[4] = r[4] == QLatin1String("Break") ? QStringLiteral("Arrival") : QStringLiteral("Break");
    }
    return rows;
}

// The plain walk: for every grid row, walk the whole result; then for every result row, walk
// the whole grid.
void walk(QList<CPresencesModel::Row> &grid, const Rows &result)
{
    QList<bool> marked(grid.size(), false);
    for (qsizetype r = 0; r < grid.size(); ++r) {
        bool found = false;
        for (qsizetype k = 0; k < result.size() && !found; ++k)
            found = result.at(k)[3] == grid.at(r)[3];
        marked[r] = !found;
    }
    for (qsizetype r = grid.size() - 1; r >= 0; --r)
        if (marked.at(r))
            grid.removeAt(r);
    for (const CPresencesModel::Row &row : result) {
        qsizetype at = -1;
        for (qsizetype r = 0; r < grid.size() && at < 0; ++r)
            if (grid.at(r)[3] == row[3])
                at = r;
        if (at >= 0) {
            grid[at][0] = row[0];
            grid[at][1] = row[1];
            grid[at][2] = row[2];
            grid[at][4] = row[4];
        } else {
            grid.append(row);
        }
    }
}

// Merge only: the grid follows a result of n rows of which kChanged changed.
void BM_HashedMerge(benchmark::State &state)
{
    const int n = int(state.range(0));
    const Rows a = site().read(n);
    const Rows b = changed(a);
    CPresencesModel model;
    model.merge(a);
    bool toB = true;
    for (auto _ : state) {
        model.merge(toB ? b : a);
        toB = !toB;
    }
    state.counters["rows"] = double(model.rowCount());
}

void BM_WalkMerge(benchmark::State &state)
{
    const int n = int(state.range(0));
    const Rows a = site().read(n);
    const Rows b = changed(a);
    Rows grid = a;
    bool toB = true;
    for (auto _ : state) {
        walk(grid, toB ? b : a);
        toB = !toB;
    }
    state.counters["rows"] = double(grid.size());
}

Rows deepCopy(const Rows &rows)
{
    Rows copy;
    copy.reserve(rows.size());
    for (const CPresencesModel::Row &r : rows)
        copy.append({QString(r[0].constData(), r[0].size()), QString(r[1].constData(), r[1].size()),
                     QString(r[2].constData(), r[2].size()), QString(r[3].constData(), r[3].size()),
                     QString(r[4].constData(), r[4].size())});
    return copy;
}

// The interface thread's part of a refresh (the changes, worked out beforehand off it, applied
// to the grid) next to replacing the grid's rows wholesale with the same result, in turn inside
// one loop; ratio is the refresh's time over the replacement's. plan_ms: the comparison, which
// runs on the query's thread.
void BM_RefreshOverReplace(benchmark::State &state)
{
    const int n = int(state.range(0));
    const Rows a = site().read(n);
    const Rows b = changed(a);
    CPresencesModel model;
    model.replace(a);
    bool toB = true;
    qint64 applyNs = 0, replaceNs = 0, planNs = 0;
    QElapsedTimer t;
    for (auto _ : state) {
        const Rows &next = toB ? b : a;
        t.start();
        const CPresencesModel::MergePlan plan = CPresencesModel::plan(model.rows(), next);
        planNs += t.nsecsElapsed();
        t.start();
        model.apply(plan);
        applyNs += t.nsecsElapsed();
        // The same result wholesale, into a grid holding the other one; both rows of their own,
        // as queries hand them over, so that the old ones are freed as they would be.
        CPresencesModel other;
        other.replace(deepCopy(toB ? a : b));
        Rows copy = deepCopy(next);
        t.start();
        other.replace(copy);
        copy = Rows();
        replaceNs += t.nsecsElapsed();
        toB = !toB;
    }
    const double iterations = double(state.iterations());
    state.counters["apply_ms"] = double(applyNs) / iterations / 1e6;
    state.counters["replace_ms"] = double(replaceNs) / iterations / 1e6;
    state.counters["plan_ms"] = double(planNs) / iterations / 1e6;
    state.counters["ratio"] = replaceNs > 0 ? double(applyNs) / double(replaceNs) : 0.0;
    state.counters["rows"] = double(model.rowCount());
}

// The whole refresh of the window: the query on the database, reading the rows, the merge.
void BM_Refresh(benchmark::State &state)
{
    Site &s = site();
    C_ZorvikDocPresences doc;
    doc.rebuild();
    doc.waitForQuery();
    for (auto _ : state) {
        state.PauseTiming();
        s.clockIn();
        state.ResumeTiming();
        if (!(doc.refresh() && doc.waitForQuery()))
            state.SkipWithError("query failed");
    }
    state.counters["rows"] = double(doc.model()->rowCount());
}

} // namespace

// A guard types a name into the search of a 20,000-row presences list: each key press filters
// every row. Timed from a list just read (no folded texts kept yet) through five key presses;
// the counter is the time per key press (goal: under 16 ms, one frame).
void BM_SearchKeyPress(benchmark::State &state)
{
    const int n = int(state.range(0));
    static const char *const last[] = {"Petrović", "Đorđević", "Šćekić", "Jovanović", "Čolić", "Nikolić", "Marković"};
    static const char *const first[] = {"Ana", "Dušan", "Žarko", "Milica", "Đurđa", "Nemanja", "Jelena"};
    Rows rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i)
        rows << CPresencesModel::Row{
            QStringLiteral("2026-03-04 %1:%2:00").arg(7 + i % 10).arg(i % 60, 2, 10, QLatin1Char('0')),
            QString::fromUtf8(last[i % 7]) + QString::number(i / 7), QString::fromUtf8(first[(i / 3) % 7]),
            QStringLiteral("%1").arg(i, 8, 16, QLatin1Char('0')).toUpper(), QStringLiteral("Arrival")};
    CPresencesModel model;
    CListFilterModel filter;
    filter.setSourceModel(&model);
    const QStringList keys{QStringLiteral("p"), QStringLiteral("pe"), QStringLiteral("pet"), QStringLiteral("petr"),
                           QStringLiteral("petro")};
    double total = 0;
    int presses = 0;
    for (auto _ : state) {
        state.PauseTiming();
        filter.setSearch(QString());
        model.replace(rows);
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        for (const QString &k : keys)
            filter.setSearch(k);
        total += t.nsecsElapsed() / 1e6;
        presses += int(keys.size());
        benchmark::DoNotOptimize(filter.rowCount());
    }
    state.counters["ms_per_key"] = total / presses;
    state.counters["found"] = filter.rowCount();
}

BENCHMARK(BM_SearchKeyPress)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HashedMerge)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(kEmployees)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkMerge)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshOverReplace)->Arg(kEmployees)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refresh)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    site();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

namespace {
void BM_QueryOnly(benchmark::State &state)
{
    Site &s = site();
    for (auto _ : state) {
        CDbCursor cursor(&s.reference.connection());
        cursor.open(C_ZorvikDocPresences::queryText(nullptr));
        benchmark::DoNotOptimize(cursor.recordCount());
    }
}
void BM_QueryAndRead(benchmark::State &state)
{
    Site &s = site();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.read(kEmployees));
}
} // namespace
BENCHMARK(BM_QueryOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryAndRead)->Unit(benchmark::kMillisecond);
