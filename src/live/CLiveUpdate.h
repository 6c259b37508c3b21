#pragma once

#include "app/CTextPool.h"
#include "db/CCycleChanges.h"
#include "db/CDateTime.h"
#include "live/CLiveStatus.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <memory>
#include <set>
#include <utility>

class CReferenceData;
class CDbThread;
class CDocTemplate;
class C_ZorvikDoc;
class CTablet;
class CDbCursor;
class CDbTable;

// Live data: starts and stops the polling thread, and runs the update pass that copies each
// employee's last clocking into the tablets of every open panel and refreshes the guests and
// presences windows. The pass never blocks the interface thread on the first cycle: a pass
// asked for before the first cycle has ended runs when it ends, and with no polling thread it
// runs at once. On a large site the pass runs in slices over one cycle's rows, so that the
// window keeps answering while thousands of tablets are filled.
class CLiveUpdate : public QObject
{
    Q_OBJECT
public:
    explicit CLiveUpdate(CReferenceData *reference, QObject *parent = nullptr);
    ~CLiveUpdate() override;

    // The panel template, then the templates whose documents are refreshed by every pass.
    void setTemplates(CDocTemplate *panels, const QList<CDocTemplate *> &refreshed);

    // Sets the running switch and starts DBThread (a negative interval counts as the default).
    void start(int refreshSeconds, int sleepStepMs = 1000);
    // Clears the running switch and waits for the thread to end.
    void stop();
    // The same, waiting at most timeoutMs. False when the thread is still inside a database
    // call: it is then left to end by itself, and the reference data must outlive it.
    bool stop(int timeoutMs);
    bool isThreadRunning() const;
    // Runs a polling cycle now instead of at the end of the interval (Refresh now, F5).
    void refreshNow();
    CDbThread *thread() const { return m_thread.get(); }
    // Whether the data are current, as the polling thread's cycles tell.
    CLiveStatus *status() { return &m_status; }

    // Asks for a pass over one panel, or over all (nullptr); runs from the event loop, in
    // slices of about kSliceMs with the event loop between them.
    void requestUpdate(C_ZorvikDoc *doc = nullptr);
    // The update pass itself, whole, before it returns: holds DBMutex while it takes the cycle's
    // rows and refreshes the lists, then walks every tablet of the panels on those rows. Always
    // true.
    bool OnMsgUpdateDocs(C_ZorvikDoc *only = nullptr);
    bool isPassRunning() const { return m_pass != nullptr; }
    // The pass a polling cycle asks for, whole before it returns: only the tablets of the
    // employees the cycles changed since the last pass over every panel, and the lists when
    // anything changed.
    void passOverChanges();
    // What the last pass over every panel took as changed (nothing for a pass over one panel);
    // the lists made after a pass follow it.
    const CCycleChanges &lastChanges() const { return m_lastChanges; }
    // Tablets the last pass looked at, for measurements.
    qsizetype lastPassTablets() const { return m_lastPassTablets; }

    static constexpr int kSliceMs = 8;     // a slice of a pass holds the interface thread this long
    static constexpr int kSliceCheck = 32; // tablets between looks at the clock
    // Other slices (tests make them small enough for a small panel).
    void setSlices(int ms, int tabletsBetweenChecks)
    {
        m_sliceMs = ms;
        m_sliceCheck = tabletsBetweenChecks;
    }

    // One tablet's update; DBMutex is held by the caller.
    // Fills the tablet from the last registration; true when anything it shows changed.
    bool updateTablet(C_ZorvikDoc *doc, CTablet *tablet, const CDateTime &now);

    // The longest slice of a pass since the last reset, in milliseconds, for measurements.
    double longestSliceMs() const { return double(m_longestSliceNs) / 1e6; }
    void resetLongestSlice() { m_longestSliceNs = 0; }

    bool waitForFirstCycle() const { return m_waitForFirstCycle; }
    int passCount() const { return m_passCount; }

signals:
    void connectionStatus(bool connected);
    void passFinished();

private:
    struct Rows;
    struct Pass;
    enum class Scope
    {
        Changed, // the employees the cycles changed since the last pass (a cycle's own pass)
        Whole,   // every tablet of every panel
        One      // every tablet of one panel
    };
    void startPass(Scope scope, C_ZorvikDoc *only, bool sliced);
    // The employees a pass over what changed visits: the cycles' changes, and the tablets
    // whose clocking has turned a day old since.
    QStringList keysToVisit(const CCycleChanges &changes, const CDateTime &now);
    // Notes when a tablet that is not stale turns stale, so that a later pass looks at it then.
    void noteStaleDue(const CTablet *t);
    void continuePass(bool sliced);
    bool updateTablet(C_ZorvikDoc *doc, CTablet *tablet, const CDateTime &now, const Rows &rows);
    void handleRequest(QPointer<C_ZorvikDoc> doc, bool all);
    void onCycleFinished(bool ok);
    void runPending();

    CReferenceData *m_reference;
    CLiveStatus m_status;
    std::unique_ptr<CDbThread> m_thread;
    std::unique_ptr<CDbThread> m_abandoned;
    QPointer<CDocTemplate> m_panels;
    QList<QPointer<CDocTemplate>> m_refreshed;
    bool m_waitForFirstCycle = true;
    bool m_pendingAll = false;
    bool m_pendingWhole = false; // an "every panel" request not made by a cycle: every tablet
    CCycleChanges m_lastChanges;
    qsizetype m_lastPassTablets = 0;
    // What the last pass over every panel saw: a change of it makes the next pass a whole one.
    std::weak_ptr<const CDbTable> m_seenEmployees, m_seenPairs;
    int m_seenDay = -1;
    int m_seenExpandLatest = -1;
    // When a clocking shown as fresh turns a day old (days), and whose: once per employee and
    // moment, however many panels show the employee and passes look at the tablet.
    std::set<std::pair<double, QString>> m_staleDue;
    QList<QPointer<C_ZorvikDoc>> m_pending;
    std::unique_ptr<Pass> m_pass;
    QTimer m_sliceTimer;
    QTimer m_hangWatch; // a cycle stuck on a server that does not answer shows as not connected
    CTextPool m_texts;  // the date and time texts of 100,000 tablets: a few hundred distinct ones
    int m_sliceMs = kSliceMs;
    int m_sliceCheck = kSliceCheck;
    int m_passCount = 0;
    qint64 m_longestSliceNs = 0;
    qint64 m_startNs = 0; // what starting the pass took, counted in its first slice
};
