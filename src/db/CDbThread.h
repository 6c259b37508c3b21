#pragma once

#include "db/CReferenceData.h"

#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <map>
#include <memory>

// DBThread: re-reads the live cursors at the refresh interval, runs the day-type procedure,
// reconnects after a failure, swaps what it read into the shared cursors under DBMutex, and
// tells the interface thread after each cycle. It sleeps in one-second steps so that stopping never waits longer than
// one second plus a cycle in progress.
class CDbThread : public QThread
{
    Q_OBJECT
public:
    CDbThread(CReferenceData *reference, int refreshSeconds, QObject *parent = nullptr);
    ~CDbThread() override;

    // The running switch.
    void setRunning(bool on) { m_running = on ? 1 : 0; }
    // Clears the running switch and waits for the thread to end.
    void stopAndWait();
    // The same, waiting at most timeoutMs; false when the thread is still inside a database
    // call (it then ends by itself at its time-out, and the object must outlive it).
    bool stop(int timeoutMs);
    // Called by the receiver of cycleFinished when it takes the update.
    void passTaken() { m_passQueued = false; }
    // Ends the sleep between cycles: the next cycle starts within one sleep step.
    void wake() { m_wake = true; }
    // How long the cycle in progress has been running (0 between cycles), any thread.
    qint64 busyForMs() const;
    // A cycle that runs past hangLimitMs() waits on a server that does not answer: the status
    // bar says so now, not when the driver gives up (FreeTDS waits again for its cancel to be
    // acknowledged). The next cycle that ends tells the state again. Any thread.
    void reportHung() { reportStatus(false); }
    // The longest a cycle may take before it counts as hung: the refresh interval, at least 5 s,
    // and never more than the statement time-out.
    qint64 hangLimitMs() const;

    std::atomic<bool> firstCyclePending{true};
    std::atomic<bool> firstCycleDone{false};
    // Length of one sleep step; one second in the program.
    void setSleepStepMs(int ms) { m_sleepStepMs = ms; }
    // One cycle: re-reads the live cursors, reconnecting after a failure, and swaps them in
    // under DBMutex; true when every step succeeded. Public so that a cycle can also be run on
    // its own.
    bool cycle();

signals:
    // After every cycle (queued to the interface thread): the connection state for the status
    // bar, and whether the cycle succeeded (then an update pass is due).
    void connectionStatus(bool connected);
    void cycleFinished(bool ok);

protected:
    void run() override;

private:
    using Fresh = std::map<CReferenceData::Cursor, std::unique_ptr<CDbCursor>>;
    void joined();
    bool readFresh(Fresh &fresh, CReferenceData::Cursor c);
    void reconnect(Fresh &fresh);
    void reportStatus(bool connected);
    // Logs a lost connection (server, error without the password) and its return (after how long).
    void logConnection(bool ok);
    // What the cycle's fresh rows change against the rows of the last swap (this thread's).
    CCycleChanges changesOf(const Fresh &fresh) const;

    CReferenceData *m_reference;
    int m_refreshSeconds;
    int m_sleepStepMs = 1000;
    std::atomic<int> m_running{0};
    std::atomic<bool> m_passQueued{false};
    std::atomic<bool> m_wake{false};
    std::atomic<int> m_lastStatus{-1};
    std::atomic<qint64> m_cycleStartMs{0};            // monotonic ms; 0 between cycles
    std::map<CReferenceData::Cursor, int> m_rowsSeen; // rows of each cursor's last read
    QElapsedTimer m_lostSince;                        // valid while the connection is lost
    QString m_cycleError;                             // the first error of the cycle running
    // The rows each live cursor had after the last swap, to tell the next cycle's changes.
    std::map<CReferenceData::Cursor, std::shared_ptr<const CDbTable>> m_previous;
};
