#include "rollcall/CPhoneList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <algorithm>

namespace {

QByteArray compact(const QJsonArray &array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// A string as a JSON value.
QByteArray jsonString(const QString &text)
{
    const QByteArray a = compact(QJsonArray{text});
    return a.mid(1, a.size() - 2);
}

QByteArray deflated(const QByteArray &bytes)
{
    // qCompress gives a 4-byte length, then a zlib stream: HTTP's "deflate".
    return qCompress(bytes, 6).mid(4);
}

} // namespace

CPhoneList::CPhoneList(QObject *parent) : QObject(parent)
{
    // One build at a time, behind the desk's own work.
    m_pool.setMaxThreadCount(1);
    m_pool.setThreadPriority(QThread::LowPriority);
}

CPhoneList::~CPhoneList()
{
    m_pool.waitForDone();
}

quint64 CPhoneList::readyVersion() const
{
    return m_ready ? m_ready->version : 0;
}

void CPhoneList::update(quint64 version, const QList<CRollCallModel::Person> &people)
{
    collect();
    if (m_ready && m_ready->version == version)
        return;
    if (m_building) {
        if (version == m_buildingVersion) {
            m_hasWanted = false;
            m_pending.clear();
            return;
        }
        // Only the newest version waits; those in between are never sent.
        m_wanted = version;
        m_pending = people;
        m_hasWanted = true;
        return;
    }
    m_building = true;
    m_buildingVersion = version;
    const std::shared_ptr<const Built> previous = m_ready;
    // The destructor waits for the build, so this outlives it.
    m_pool.start([this, version, people, previous] {
        std::shared_ptr<const Built> built = build(version, people, previous.get());
        {
            const QMutexLocker lock(&m_doneMutex);
            m_done = std::move(built);
        }
        // Taken up at once when an event loop runs, else by the next update or wait.
        QMetaObject::invokeMethod(this, &CPhoneList::collect, Qt::QueuedConnection);
    });
}

void CPhoneList::collect()
{
    std::shared_ptr<const Built> built;
    {
        const QMutexLocker lock(&m_doneMutex);
        built = std::move(m_done);
        m_done.reset();
    }
    if (built)
        finished(std::move(built));
}

void CPhoneList::waitForBuild()
{
    if (!m_building)
        return;
    m_pool.waitForDone();
    collect();
}

void CPhoneList::ensureReady(quint64 version, const QList<CRollCallModel::Person> &people)
{
    update(version, people);
    if (m_ready)
        return;
    waitForBuild();
}

void CPhoneList::finished(std::shared_ptr<const Built> built)
{
    m_building = false;
    if (!m_ready || m_ready->version != built->version) {
        m_history.append({built->version, built->changedKeys});
        while (m_history.size() > kHistory)
            m_history.removeFirst();
        m_ready = std::move(built);
        emit ready(m_ready->version);
    }
    if (m_hasWanted) {
        m_hasWanted = false;
        const QList<CRollCallModel::Person> people = std::exchange(m_pending, {});
        update(m_wanted, people);
    }
}

std::shared_ptr<const CPhoneList::Built> CPhoneList::build(quint64 version, const QList<CRollCallModel::Person> &people,
                                                           const Built *previous)
{
    auto b = std::make_shared<Built>();
    b->version = version;
    if (previous)
        b->departments = previous->departments;
    QHash<QString, int> department;
    for (int i = 0; i < b->departments.size(); ++i)
        department.insert(b->departments.at(i), i);
    b->rows.reserve(people.size());
    b->keys.reserve(people.size());
    b->position.reserve(people.size());
    QSet<QString> changed;
    for (const CRollCallModel::Person &p : people) {
        auto d = department.constFind(p.department);
        if (d == department.cend()) {
            d = department.insert(p.department, int(b->departments.size()));
            b->departments.append(p.department);
        }
        // [key, name, department, time, detail, company, guest]: a third of the size of objects.
        QByteArray row = compact(QJsonArray{p.key, p.name, *d, p.time, p.detail, p.company, p.guest ? 1 : 0});
        if (previous) {
            const int at = previous->position.value(p.key, -1);
            if (at < 0 || previous->rows.at(at) != row)
                changed.insert(p.key);
        }
        b->position.insert(p.key, int(b->rows.size()));
        b->rows.append(std::move(row));
        b->keys.append(p.key);
    }
    if (previous)
        for (const QString &key : previous->keys)
            if (!b->position.contains(key))
                changed.insert(key);
    b->changedKeys = QStringList(changed.begin(), changed.end());

    QByteArray full = "{\"lv\":" + jsonString(QString::number(version)) +
                      ",\"deps\":" + compact(QJsonArray::fromStringList(b->departments)) + ",\"people\":[";
    qsizetype size = full.size() + 2;
    for (const QByteArray &row : std::as_const(b->rows))
        size += row.size() + 1;
    full.reserve(size);
    for (qsizetype i = 0; i < b->rows.size(); ++i) {
        if (i)
            full += ',';
        full += b->rows.at(i);
    }
    full += "]}";
    b->fullDeflated = deflated(full);
    b->full = std::move(full);
    return b;
}

CPhoneList::Answer CPhoneList::answer(quint64 since, bool hasSince, bool deflate) const
{
    const Built &b = *m_ready;
    const auto whole = [&b, deflate] {
        return deflate ? Answer{b.fullDeflated, true, false} : Answer{b.full, false, false};
    };
    if (!hasSince)
        return whole();
    // The steps after the phone's version, when it is among the recent ones.
    const auto from =
        std::find_if(m_history.cbegin(), m_history.cend(), [since](const Step &s) { return s.version == since; });
    if (from == m_history.cend())
        return whole();
    QSet<QString> changed;
    for (auto s = std::next(from); s != m_history.cend(); ++s)
        for (const QString &key : s->changedKeys)
            changed.insert(key);
    // A large change goes whole: it is smaller, and the phone's work is simpler.
    if (changed.size() > std::max<qsizetype>(64, b.rows.size() / 4))
        return whole();
    QList<int> upserts;
    QStringList removed;
    for (const QString &key : std::as_const(changed)) {
        const int at = b.position.value(key, -1);
        if (at >= 0)
            upserts.append(at);
        else
            removed.append(key);
    }
    // In list order, each after the row before it, so that the phone can place it among rows it
    // already has.
    std::sort(upserts.begin(), upserts.end());
    QByteArray body = "{\"lv\":" + jsonString(QString::number(b.version)) +
                      ",\"since\":" + jsonString(QString::number(since)) +
                      ",\"deps\":" + compact(QJsonArray::fromStringList(b.departments)) + ",\"upsert\":[";
    for (qsizetype i = 0; i < upserts.size(); ++i) {
        const int at = upserts.at(i);
        if (i)
            body += ',';
        body += b.rows.at(at).chopped(1) + ',' + jsonString(at ? b.keys.at(at - 1) : QString()) + ']';
    }
    body += "],\"remove\":" + compact(QJsonArray::fromStringList(removed)) + '}';
    return {body, false, true};
}
