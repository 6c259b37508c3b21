#include "rollcall/C_ZorvikDocRollCall.h"

#include "app/CClock.h"
#include "app/CStringTable.h"
#include "db/CReferenceData.h"
#include "rollcall/COnSiteActivities.h"
#include "rollcall/CRollCallEventReport.h"
#include "rollcall/CRollCallModel.h"
#include "rollcall/CRollCallTicks.h"

#include <QMutexLocker>

C_ZorvikDocRollCall::C_ZorvikDocRollCall(CReferenceData *reference, CSettings *settings, const QString &folder,
                                         QObject *parent)
    : CDocument(parent), m_reference(reference), m_settings(settings), m_folder(folder),
      m_model(new CRollCallModel(this)), m_log(folder)
{
    loadTicksOfToday();
    connect(m_model, &CRollCallModel::ticksChanged, this, [this] {
        if (!m_loading)
            saveTicks();
    });
    connect(m_model, &CRollCallModel::tickChanged, this, &C_ZorvikDocRollCall::logTick);
    connect(&m_ownStatus, &CLiveStatus::changed, this, &C_ZorvikDocRollCall::listChanged);
}

C_ZorvikDocRollCall::~C_ZorvikDocRollCall()
{
    if (m_source)
        m_source->removeListener();
    // An event still open when the window goes (the program is closing) keeps its record.
    if (m_drill.kind() != CRollCallDrill::None)
        endDrill(nullptr, nullptr, nullptr);
}

QString C_ZorvikDocRollCall::ticksFilePath() const
{
    return CRollCallTicks::filePathFor(m_folder, m_day);
}

void C_ZorvikDocRollCall::logTick(const QString &key, bool ticked, const QString &warden)
{
    const int row = m_model->rowOf(key);
    const QString name = row < 0 ? QString() : m_model->people().at(row).name;
    log(QStringLiteral("%1\t%2\t%3\t%4")
            .arg(ticked ? QStringLiteral("tick") : QStringLiteral("untick"), key, name,
                 warden.isEmpty() ? QStringLiteral("desk") : QStringLiteral("warden ") + warden));
}

void C_ZorvikDocRollCall::loadTicksOfToday()
{
    m_day = CClock::now().date();
    m_loading = true;
    CRollCallTicks::Attributions attributions;
    const QSet<QString> ticks = CRollCallTicks::load(ticksFilePath(), &attributions);
    m_model->setTicks(ticks, attributions);
    m_savedTicks = ticks;
    m_loading = false;
    if (!m_saveError.isEmpty()) {
        m_saveError.clear();
        emit saveStateChanged();
    }
}

void C_ZorvikDocRollCall::saveTicks()
{
    // Never a dialog here: a phone's tick waits for this.
    QString error;
    const bool saved = CRollCallTicks::save(ticksFilePath(), m_model->ticks(), &error, m_model->attributions());
    if (saved)
        m_savedTicks = m_model->ticks();
    else if (error.isEmpty())
        error = QStringLiteral("?");
    if (error == m_saveError)
        return;
    if (!saved)
        log(QStringLiteral("ticks not saved\t") + error);
    m_saveError = saved ? QString() : error;
    emit saveStateChanged();
}

bool C_ZorvikDocRollCall::onlyInMemory(const QString &key) const
{
    return m_model->ticks().contains(key) && !m_savedTicks.contains(key);
}

void C_ZorvikDocRollCall::refresh()
{
    if (!m_reference)
        return;
    if (m_source) {
        if (m_source->hasResult() && m_source->latest().hasPeople)
            apply(m_source->latest());
        m_source->refresh();
        return;
    }
    const QDateTime now = CClock::now();
    const QSet<QString> onSite = m_settings ? COnSiteActivities::read(*m_settings) : QSet<QString>();
    COnSiteList::Snapshot snapshot;
    {
        QMutexLocker lock(&m_reference->dbMutex);
        snapshot = COnSiteList::snapshot(*m_reference, onSite, now);
    }
    apply(COnSiteList::make(snapshot));
}

void C_ZorvikDocRollCall::setSource(COnSiteList *source)
{
    if (m_source)
        m_source->removeListener();
    m_source = source;
    if (source) {
        source->addListener();
        connect(source, &COnSiteList::ready, this, &C_ZorvikDocRollCall::apply);
    }
}

void C_ZorvikDocRollCall::apply(const COnSiteList::Result &result)
{
    if (result.live && !result.hasPeople)
        return; // counted only, before this window asked for the list
    // A new day starts a new roll call with the ticks of its own file.
    if (CClock::now().date() != m_day)
        loadTicksOfToday();
    if (!m_status)
        m_ownStatus.note(result.live, result.asOf);
    if (!result.live)
        return;
    // An unchanged list leaves the window as it is (its scroll position, its selection). The
    // source says so itself for a list that follows one shown here already.
    const bool follows = m_shownSerial != 0 && result.serial == m_shownSerial + 1;
    const bool sameAsShown = follows && !result.changed;
    if (follows && result.incremental) {
        // Only the rows that changed change (the selection and the scroll position stay).
        if (!result.peopleDelta.isEmpty()) {
            if (!m_model->changePeople(result.peopleDelta, result.people.size()))
                m_model->setPeople(result.people);
            m_drill.notePeople(result.people);
        }
    } else if (!sameAsShown && result.people != m_model->people()) {
        m_model->setPeople(result.people);
        m_drill.notePeople(result.people);
    }
    m_shownSerial = result.serial;
    emit listChanged();
}

void C_ZorvikDocRollCall::setStatus(CLiveStatus *status)
{
    if (m_status)
        disconnect(m_status, nullptr, this, nullptr);
    m_status = status;
    if (status)
        connect(status, &CLiveStatus::changed, this, &C_ZorvikDocRollCall::listChanged);
}

void C_ZorvikDocRollCall::setConnected(bool connected)
{
    // A reconnection shows at the next list read.
    if (!connected)
        status()->note(false);
}

void C_ZorvikDocRollCall::clearTicks()
{
    m_model->setTicks({});
    log(QStringLiteral("clear"));
}

void C_ZorvikDocRollCall::startDrill(CRollCallDrill::Kind kind)
{
    if (kind == CRollCallDrill::None || m_drill.kind() != CRollCallDrill::None)
        return;
    m_drill.begin(kind, CClock::now(), m_model->people());
    log(kind == CRollCallDrill::Evacuation ? QStringLiteral("start evacuation") : QStringLiteral("start drill"));
    emit drillChanged();
}

bool C_ZorvikDocRollCall::endDrill(QString *pdfPath, QString *csvPath, QString *error)
{
    if (m_drill.kind() == CRollCallDrill::None)
        return false;
    m_drill.finish(CClock::now());
    const QString stem =
        recordFolder() +
        QStringLiteral("RollCallEvent-%1").arg(m_drill.start().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString pdf = stem + QStringLiteral(".pdf"), csv = stem + QStringLiteral(".csv");
    QString why;
    if (!CRollCallEventReport::write(*this, pdf, csv, &why)) {
        m_recordError = why;
        log(QStringLiteral("record not written\t") + why);
        if (error)
            *error = why;
        emit drillChanged();
        return false;
    }
    log(QStringLiteral("end\t") + pdf + u'\t' + csv);
    m_drill.reset();
    m_recordError.clear();
    if (pdfPath)
        *pdfPath = pdf;
    if (csvPath)
        *csvPath = csv;
    emit drillChanged();
    return true;
}

CRollCallDrill::Tally C_ZorvikDocRollCall::tally() const
{
    return m_drill.tally(m_model->ticks(), m_model->people());
}

QList<CRollCallModel::Person> C_ZorvikDocRollCall::stillMissing() const
{
    QList<CRollCallModel::Person> out = tally().missing;
    CRollCallModel::sortPeople(out);
    return out;
}

QString C_ZorvikDocRollCall::countsText() const
{
    int ticked = m_model->tickedCount(), of = m_model->rowCount();
    if (m_drill.isRunning()) {
        const CRollCallDrill::Tally t = tally();
        ticked = int(t.found.size());
        of = int(t.expected());
    }
    return CStringTable::text(QStringLiteral("rollcall.counts"))
        .arg(m_model->employeeCount())
        .arg(m_model->guestCount())
        .arg(ticked)
        .arg(of);
}

QString C_ZorvikDocRollCall::departmentsText() const
{
    return m_model->departmentsText();
}

QString C_ZorvikDocRollCall::staleText() const
{
    return status()->staleText(QStringLiteral("rollcall.stale"));
}
