#include "views/C_ZorvikDocPresences.h"

#include "app/CAppContext.h"
#include "app/CMemoryTrim.h"
#include "app/CStringTable.h"
#include "app/CTextPool.h"
#include "db/CDbCursor.h"
#include "db/CDbWorker.h"
#include "db/CReferenceData.h"
#include "db/CSqlDialect.h"
#include "db/RefreshInterval.h"
#include "views/CPresencesModel.h"

#include <QEventLoop>
#include <QMutexLocker>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <memory>

namespace {
const QString kSelect =
    QStringLiteral("select IDLogickeAktivnosti, DatumLastReg, Prezime, Ime, tblLastReg.IDZaposlenog, "
                   "SUBSTRING(UPPER(viewMediaIDActive.IDNo),7,8) as IDNo from tblLastReg join viewMediaIDActive on "
                   "viewMediaIDActive.IDZaposlenog = tblLastReg.IDZaposlenog");
const QString kOrder = QStringLiteral(" order by DatumLastReg desc");

} // namespace

C_ZorvikDocPresences::C_ZorvikDocPresences(QObject *parent) : CDocument(parent), m_model(new CPresencesModel(this))
{
    setTitle(S(1073));
}

C_ZorvikDocPresences::~C_ZorvikDocPresences()
{
    // The worker goes first: a query still in flight finishes without touching the grid.
    delete m_worker;
    m_worker = nullptr;
}

CReferenceData *C_ZorvikDocPresences::reference()
{
    CAppContext *ctx = CAppContext::current();
    return ctx ? ctx->reference() : nullptr;
}

void C_ZorvikDocPresences::loadActivities()
{
    m_activities.clear();
    CReferenceData *ref = reference();
    if (!ref)
        return;
    QMutexLocker lock(&ref->dbMutex);
    CDbCursor *cursor = ref->cursor(CReferenceData::ActivityCursor);
    if (!cursor || cursor->recordCount() == 0)
        return;
    for (cursor->moveFirst(); !cursor->isEOF(); cursor->moveNext()) {
        Activity a;
        cursor->getFieldText(QStringLiteral("IDLogickeAktivnosti"), a.id);
        cursor->getFieldText(QStringLiteral("OpisLogAkt"), a.description);
        m_activities.append(a);
    }
}

void C_ZorvikDocPresences::setSelection(int entry)
{
    m_selection = entry > 0 && entry <= m_activities.size() ? entry : 0;
}

QString C_ZorvikDocPresences::queryText(const QString *activityId, const QStringList &employees)
{
    QStringList where;
    if (activityId)
        where << QStringLiteral("tblLastReg.IDLogickeAktivnosti = ") + CSqlDialect::literal(*activityId);
    if (!employees.isEmpty()) {
        QStringList keys;
        for (const QString &e : employees)
            keys << CSqlDialect::literal(e);
        where << QStringLiteral("tblLastReg.IDZaposlenog in (") + keys.join(u',') + u')';
    }
    return kSelect + (where.isEmpty() ? QString() : QStringLiteral(" where ") + where.join(QStringLiteral(" and "))) +
           kOrder;
}

QString C_ZorvikDocPresences::queryText(const QStringList &employees) const
{
    if (m_selection <= 0 || m_selection > m_activities.size())
        return queryText(nullptr, employees);
    return queryText(&m_activities.at(m_selection - 1).id, employees);
}

bool C_ZorvikDocPresences::runQuery(CReferenceData *ref, const QString &query, QList<CPresencesModel::Row> &result,
                                    QStringList &employees, QString &error)
{
    result.clear();
    employees.clear();
    // A cursor of our own: the shared ones belong to the polling thread's cycle.
    CDbCursor cursor(&ref->connection());
    if (!cursor.open(query)) {
        error = cursor.lastErrorText();
        return false;
    }
    error.clear();
    result.reserve(cursor.recordCount());
    const QString date = QStringLiteral("DatumLastReg"), activity = QStringLiteral("IDLogickeAktivnosti"),
                  media = QStringLiteral("IDNo"), first = QStringLiteral("Ime"), last = QStringLiteral("Prezime"),
                  employee = QStringLiteral("IDZaposlenog");
    QString activityId, employeeId, moment, name;
    // Rows of the same moment share one text (arrivals come in bursts), and so do equal names
    // (a site has far fewer first names, and fewer last names, than people).
    CTextPool moments, names;
    for (cursor.moveFirst(); !cursor.isEOF(); cursor.moveNext()) {
        CPresencesModel::Row row;
        cursor.getFieldText(date, moment);
        row[CPresencesModel::DateTimeColumn] = moments.shared(moment);
        cursor.getFieldText(activity, activityId);
        cursor.getFieldText(media, row[CPresencesModel::MediaColumn]);
        cursor.getFieldText(first, name);
        row[CPresencesModel::FirstNameColumn] = names.shared(name);
        cursor.getFieldText(last, name);
        row[CPresencesModel::LastNameColumn] = names.shared(name);
        // The map is built before any thread starts and only read afterwards.
        const auto it = ref->activityMap.find(activityId);
        if (it != ref->activityMap.end())
            row[CPresencesModel::ActivityColumn] = it->second;
        result.append(std::move(row));
        cursor.getFieldText(employee, employeeId);
        employees.append(employeeId);
    }
    return true;
}

bool C_ZorvikDocPresences::start(Work work)
{
    CReferenceData *ref = reference();
    if (!ref)
        return false;
    // A rebuild asked for while a query runs supersedes a waiting refresh, which supersedes a
    // waiting partial one.
    if (m_running != Work::None) {
        if (int(work) > int(m_next))
            m_next = work;
        return true;
    }
    if (work == Work::Partial && m_partial.size() > kMaxPartial)
        work = Work::Refresh;
    if (work != Work::Partial)
        m_partial.clear(); // every row is asked for
    else if (m_partial.isEmpty())
        return true;
    if (!m_worker)
        m_worker = new CDbWorker(&ref->connection(), this);
    m_running = work;
    auto result = std::make_shared<Result>();
    m_asked = work == Work::Partial ? QStringList(m_partial.begin(), m_partial.end()) : QStringList();
    m_partial.clear();
    const QString query = queryText(m_asked);
    // A refresh is compared with the grid as it is now (a shared copy: only finish() changes the
    // rows, and it runs after this query), off the interface thread. A partial one touches only
    // the rows of the employees it asked for.
    auto current = std::make_shared<QList<CPresencesModel::Row>>(work != Work::Rebuild ? m_model->rows()
                                                                                       : QList<CPresencesModel::Row>());
    const bool compare = work != Work::Rebuild;
    std::shared_ptr<QSet<QString>> scope;
    if (work == Work::Partial) {
        scope = std::make_shared<QSet<QString>>();
        for (const QString &e : std::as_const(m_asked))
            for (auto [it, end] = m_mediaOf.equal_range(e); it != end; ++it)
                scope->insert(*it);
    }
    m_worker->run(
        [ref, query, result, current, compare, scope] {
            result->ok = runQuery(ref, query, result->rows, result->employees, result->error);
            if (result->ok && compare)
                result->plan = CPresencesModel::plan(*current, result->rows, scope.get());
            // Let go of the grid's rows here, or changing them would copy them all.
            current->clear();
        },
        [this, result] { finish(*result); });
    return true;
}

void C_ZorvikDocPresences::finish(Result &result)
{
    const Work done = std::exchange(m_running, Work::None);
    m_lastOk = result.ok;
    m_lastError = result.error;
    if (result.ok) {
        // The grid is emptied only once the query has succeeded: when the database cannot be
        // reached the rows stay on screen until a later attempt succeeds. A rebuild takes the
        // result's rows as they are; a refresh applies only the changes worked out beside it.
        if (done == Work::Rebuild)
            m_model->replace(result.rows);
        else
            m_model->apply(result.plan);
        noteEmployees(result, done == Work::Partial ? m_asked : QStringList());
        updateAllViews();
        // Every presence read again leaves its scratch behind on the query's thread.
        if (done != Work::Partial)
            CMemoryTrim::afterLargeWork();
    } else if (done == Work::Partial) {
        // Asked again with the next refresh.
        for (const QString &e : std::as_const(m_asked))
            m_partial.insert(e);
    }
    m_asked.clear();
    // The next request starts before the news goes out, so that a waiter sees it running.
    if (const Work next = std::exchange(m_next, Work::None); next != Work::None)
        start(next);
    emit queryFinished(result.ok);
}

bool C_ZorvikDocPresences::refresh()
{
    return start(Work::Refresh);
}

bool C_ZorvikDocPresences::rebuild()
{
    return start(Work::Rebuild);
}

bool C_ZorvikDocPresences::waitForQuery(int timeoutMs)
{
    if (m_running != Work::None) {
        QEventLoop loop;
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        connect(this, &C_ZorvikDocPresences::queryFinished, &loop, [&] {
            if (m_running == Work::None)
                loop.quit();
        });
        loop.exec();
    }
    return m_running == Work::None && m_lastOk;
}

void C_ZorvikDocPresences::noteEmployees(const Result &result, const QStringList &asked)
{
    // The texts held already stay, rather than the equal ones just read: what a query read is
    // then freed all together, not one text at a time among the kept ones, which would leave a
    // large site's memory in holes.
    QMultiHash<QString, QString> before;
    if (asked.isEmpty()) {
        before = std::exchange(m_mediaOf, {});
    } else {
        for (const QString &e : asked)
            for (auto [it, end] = m_mediaOf.equal_range(e); it != end; ++it)
                before.insert(it.key(), *it);
        for (const QString &e : asked)
            m_mediaOf.remove(e);
    }
    m_mediaOf.reserve(m_mediaOf.size() + result.rows.size());
    for (qsizetype i = 0; i < result.rows.size() && i < result.employees.size(); ++i) {
        QString employee = result.employees.at(i), media = result.rows.at(i)[CPresencesModel::MediaColumn];
        for (auto [it, end] = before.equal_range(employee); it != end; ++it)
            if (*it == media) {
                employee = it.key();
                media = *it;
                break;
            }
        m_mediaOf.insert(employee, media);
    }
}

void C_ZorvikDocPresences::onUpdatePass(const CCycleChanges &changes)
{
    if (changes.everything) {
        refresh();
        return;
    }
    if (changes.employees.isEmpty())
        return;
    m_partial.unite(changes.employees);
    start(Work::Partial);
}

void C_ZorvikDocPresences::reorder()
{
    // Rows a query is about to change are put in order after it.
    if (m_running == Work::None)
        m_model->sortNewestFirst();
}

int C_ZorvikDocPresences::timerIntervalMs(int refreshSeconds)
{
    const qint64 seconds = RefreshInterval::seconds(refreshSeconds);
    return int(std::clamp<qint64>(seconds * 1000, 10, std::numeric_limits<int>::max()));
}
