#include "views/C_ZorvikDocRollCall.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "config/COnSiteActivities.h"
#include "db/CReferenceData.h"
#include "views/CRollCallModel.h"
#include "views/CRollCallTicks.h"

#include <QMutexLocker>

C_ZorvikDocRollCall::C_ZorvikDocRollCall(CReferenceData *reference, CSettings *settings, const QString &folder,
                                         QObject *parent)
    : CDocument(parent), m_reference(reference), m_settings(settings), m_folder(folder),
      m_model(new CRollCallModel(this))
{
    loadTicksOfToday();
    connect(m_model, &CRollCallModel::ticksChanged, this, [this] {
        if (!m_loading)
            saveTicks();
    });
}

C_ZorvikDocRollCall::~C_ZorvikDocRollCall() = default;

QString C_ZorvikDocRollCall::ticksFilePath() const
{
    return CRollCallTicks::filePathFor(m_folder, m_day);
}

void C_ZorvikDocRollCall::loadTicksOfToday()
{
    m_day = CClock::now().date();
    m_loading = true;
    m_model->setTicks(CRollCallTicks::load(ticksFilePath()));
    m_loading = false;
}

void C_ZorvikDocRollCall::saveTicks()
{
    QString error;
    if (CRollCallTicks::save(ticksFilePath(), m_model->ticks(), &error)) {
        m_saveError.clear();
        return;
    }
    m_saveError = error;
    emit saveFailed(error);
}

void C_ZorvikDocRollCall::refresh()
{
    const QDateTime now = CClock::now();
    if (!m_reference)
        return;
    // A new day starts a new roll call with the ticks of its own file.
    if (now.date() != m_day)
        loadTicksOfToday();
    const QSet<QString> onSite = m_settings ? COnSiteActivities::read(*m_settings) : QSet<QString>();
    QList<CRollCallModel::Person> people;
    bool live = false;
    {
        QMutexLocker lock(&m_reference->dbMutex);
        // A failing cycle leaves its cursors closed: an empty list then would show everyone as
        // absent, so the last list stays instead.
        live = !m_reference->databaseError && m_reference->cursor(CReferenceData::LastRegistrationCursor)->isOpen();
        if (live)
            people = CRollCallModel::collect(*m_reference, onSite, now.date());
    }
    if (!live) {
        setConnected(false);
        return;
    }
    m_since = QDateTime();
    m_asOf = now;
    m_model->setPeople(people);
    emit listChanged();
}

void C_ZorvikDocRollCall::setConnected(bool connected)
{
    if (connected || !m_since.isNull())
        return; // a reconnection shows at the next list read
    m_since = CClock::now();
    emit listChanged();
}

void C_ZorvikDocRollCall::clearTicks()
{
    m_model->setTicks({});
}

QString C_ZorvikDocRollCall::countsText() const
{
    return CStringTable::text(QStringLiteral("rollcall.counts"))
        .arg(m_model->employeeCount())
        .arg(m_model->guestCount())
        .arg(m_model->tickedCount())
        .arg(m_model->rowCount());
}

QString C_ZorvikDocRollCall::departmentsText() const
{
    return m_model->departmentsText();
}

QString C_ZorvikDocRollCall::staleText() const
{
    if (m_since.isNull())
        return QString();
    const QString asOf = m_asOf.isNull() ? CStringTable::text(QStringLiteral("rollcall.never"))
                                         : m_asOf.toString(QStringLiteral("HH:mm"));
    return CStringTable::text(QStringLiteral("rollcall.stale")).arg(m_since.toString(QStringLiteral("HH:mm")), asOf);
}
