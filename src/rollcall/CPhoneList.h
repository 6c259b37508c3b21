#pragma once

#include "rollcall/CRollCallModel.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <memory>

// The roll call's list as phones fetch it. Each version of the list is turned into JSON (and
// compressed) on a thread of its own, so that a site of tens of thousands never holds up the
// desk; phones get the newest version that is ready. A phone that holds an earlier version is
// sent only what changed since, while that version is among the recent ones.
class CPhoneList : public QObject
{
    Q_OBJECT
public:
    // Recent versions a phone may ask the changes since.
    static constexpr int kHistory = 32;

    explicit CPhoneList(QObject *parent = nullptr);
    ~CPhoneList() override;

    // The list is now at version; builds it unless that version is ready or being built. The
    // people are shared, not copied.
    void update(quint64 version, const QList<CRollCallModel::Person> &people);
    // Builds at once when nothing is ready yet (the first phone, before the thread answered).
    void ensureReady(quint64 version, const QList<CRollCallModel::Person> &people);
    bool isReady() const { return m_ready != nullptr; }
    // The version phones can have now.
    quint64 readyVersion() const;
    // Waits for a build under way (tests, and a share that stops).
    void waitForBuild();

    struct Answer
    {
        QByteArray body;
        bool deflated = false;
        bool delta = false;
    };
    // The whole list, or the changes since the version a phone has when they are known and
    // smaller; deflated when the phone takes it.
    Answer answer(quint64 since, bool hasSince, bool deflate) const;

    // One version as built: its JSON, and what the next version needs to tell the changes.
    struct Built
    {
        quint64 version = 0;
        QStringList departments; // only grows, so that a phone's department numbers stay valid
        QList<QByteArray> rows;  // one JSON array a person, in list order
        QStringList keys;
        QHash<QString, int> position; // key -> row
        QByteArray full;
        QByteArray fullDeflated;
        QStringList changedKeys; // added, changed or gone since the version before
    };
    static std::shared_ptr<const Built> build(quint64 version, const QList<CRollCallModel::Person> &people,
                                              const Built *previous);

signals:
    // A version finished building (on this object's thread).
    void ready(quint64 version);

private:
    // Takes up a build the thread finished, if any.
    void collect();
    void finished(std::shared_ptr<const Built> built);

    struct Step
    {
        quint64 version;
        QStringList changedKeys; // since the step before
    };
    std::shared_ptr<const Built> m_ready;
    QList<Step> m_history; // oldest first, the ready version last
    quint64 m_wanted = 0;
    quint64 m_buildingVersion = 0;
    bool m_building = false;
    bool m_hasWanted = false;
    QList<CRollCallModel::Person> m_pending; // the people of m_wanted, to build after the current one
    QMutex m_doneMutex;
    std::shared_ptr<const Built> m_done; // handed over by the thread
    // Last, so that it is destroyed first: it waits for a build under way.
    QThreadPool m_pool;
};
