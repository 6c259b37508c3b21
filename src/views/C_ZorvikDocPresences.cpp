#include "views/C_ZorvikDocPresences.h"

#include "app/CAppContext.h"
#include "app/CStringTable.h"
#include "db/CDbCursor.h"
#include "db/CReferenceData.h"
#include "views/CPresencesModel.h"

#include <QMutexLocker>
#include <algorithm>
#include <limits>

namespace {
const QString kSelect =
    QStringLiteral("select IDLogickeAktivnosti, DatumLastReg, Prezime, Ime, tblLastReg.IDZaposlenog, "
                   "SUBSTRING(UPPER(viewMediaIDActive.IDNo),7,8) as IDNo from tblLastReg join viewMediaIDActive on "
                   "viewMediaIDActive.IDZaposlenog = tblLastReg.IDZaposlenog");
const QString kOrder = QStringLiteral(" order by DatumLastReg desc");

class BusyGuard
{
public:
    explicit BusyGuard(bool &flag) : m_flag(flag) { m_flag = true; }
    ~BusyGuard() { m_flag = false; }

private:
    bool &m_flag;
};
} // namespace

C_ZorvikDocPresences::C_ZorvikDocPresences(QObject *parent) : CDocument(parent), m_model(new CPresencesModel(this))
{
    setTitle(S(1073));
}

C_ZorvikDocPresences::~C_ZorvikDocPresences() = default;

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

QString C_ZorvikDocPresences::queryText(const QString *activityId)
{
    if (!activityId)
        return kSelect + kOrder;
    QString id = *activityId;
    id.replace(u'\'', QLatin1String("''"));
    return kSelect + QStringLiteral(" where tblLastReg.IDLogickeAktivnosti = '%1'").arg(id) + kOrder;
}

QString C_ZorvikDocPresences::queryText() const
{
    if (m_selection <= 0 || m_selection > m_activities.size())
        return queryText(nullptr);
    return queryText(&m_activities.at(m_selection - 1).id);
}

bool C_ZorvikDocPresences::runQuery(QList<CPresencesModel::Row> &result)
{
    result.clear();
    CReferenceData *ref = reference();
    if (!ref)
        return false;
    // A cursor of our own: the shared ones belong to the polling thread's cycle.
    CDbCursor cursor(&ref->connection());
    if (!cursor.open(queryText())) {
        m_lastError = cursor.lastErrorText();
        return false;
    }
    m_lastError.clear();
    result.reserve(cursor.recordCount());
    const QString date = QStringLiteral("DatumLastReg"), activity = QStringLiteral("IDLogickeAktivnosti"),
                  media = QStringLiteral("IDNo"), first = QStringLiteral("Ime"), last = QStringLiteral("Prezime");
    QString activityId;
    for (cursor.moveFirst(); !cursor.isEOF(); cursor.moveNext()) {
        CPresencesModel::Row row;
        cursor.getFieldText(date, row[CPresencesModel::DateTimeColumn]);
        cursor.getFieldText(activity, activityId);
        cursor.getFieldText(media, row[CPresencesModel::MediaColumn]);
        cursor.getFieldText(first, row[CPresencesModel::FirstNameColumn]);
        cursor.getFieldText(last, row[CPresencesModel::LastNameColumn]);
        const auto it = ref->activityMap.find(activityId);
        if (it != ref->activityMap.end())
            row[CPresencesModel::ActivityColumn] = it->second;
        result.append(std::move(row));
    }
    return true;
}

bool C_ZorvikDocPresences::refresh()
{
    if (m_busy)
        return false;
    BusyGuard guard(m_busy);
    QList<CPresencesModel::Row> result;
    if (!runQuery(result))
        return false;
    m_model->merge(result);
    return true;
}

bool C_ZorvikDocPresences::rebuild()
{
    if (m_busy)
        return false;
    BusyGuard guard(m_busy);
    // The query runs before the grid is emptied: when the database cannot be reached the
    // rows stay on screen until a later attempt succeeds.
    QList<CPresencesModel::Row> result;
    if (!runQuery(result))
        return false;
    m_model->clear();
    m_model->merge(result);
    return true;
}

void C_ZorvikDocPresences::onUpdatePass()
{
    refresh();
    updateAllViews();
}

int C_ZorvikDocPresences::timerIntervalMs(int refreshSeconds)
{
    const qint64 seconds = refreshSeconds < 0 ? 60 : refreshSeconds;
    return int(std::clamp<qint64>(seconds * 1000, 10, std::numeric_limits<int>::max()));
}
